#include "personcard/PersonCardWindow.h"

#include "registry/RegistryWindow.h"
#include "ui/AppContext.h"
#include "ui/Toolkit.h"
#include "ui/TypedText.h"
#include "ui_PersonCardWindow.h"

#include <QShowEvent>

namespace radici {
namespace {

const QString NewKey = QStringLiteral("(assegnata al salvataggio)");
const QString KeyLocks = QStringLiteral(
    "Cognome, nome e data di nascita formano la chiave dell'anagrafica: non si cambiano.");
const QString SexLock = QStringLiteral("Il sesso registrato non si cambia.");
const QString Saved = QStringLiteral("Scheda salvata.");

}  // namespace

PersonCardWindow::PersonCardWindow(AppContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      ui_(std::make_unique<Ui::PersonCardWindow>()),
      card_(context.connection) {
    ui_->setupUi(this);
    KeepTypedTextWhole(*this);
    for (QLineEdit* date : {ui_->dataNascita, ui_->dataMorte}) date->setToolTip(TypedDateForms());
    connect(ui_->nuova, &QPushButton::clicked, this, &PersonCardWindow::startNew);
    connect(ui_->scegli, &QPushButton::clicked, this, &PersonCardWindow::choosePerson);
    connect(ui_->salva, &QPushButton::clicked, this, &PersonCardWindow::save);
}

PersonCardWindow::~PersonCardWindow() = default;

void PersonCardWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) startNew();
}

std::vector<PersonCardWindow::Box> PersonCardWindow::boxes() const {
    return {{ui_->cognome, &CardFields::surname, 20},
            {ui_->nome, &CardFields::givenName, 30},
            {ui_->dataNascita, &CardFields::birthDate, 40},
            {ui_->comuneNascita, &CardFields::birthPlace, 20},
            {ui_->nazioneNascita, &CardFields::birthCountry, 20},
            {ui_->dataMorte, &CardFields::deathDate, 40},
            {ui_->comuneMorte, &CardFields::deathPlace, 20},
            {ui_->nazioneMorte, &CardFields::deathCountry, 20}};
}

void PersonCardWindow::startNew() {
    card_.startNew();
    showCard();
    ui_->cognome->setFocus();
}

void PersonCardWindow::choosePerson() {
    const QString key = PickFromRegistry(context_, this);
    if (key.isEmpty()) return;
    if (const Status loaded = card_.load(key); !loaded.ok()) {
        context_.toolkit.inform(this, loaded.description());
        return;
    }
    showCard();
}

void PersonCardWindow::save() {
    const CardFields typed = typedFields();
    if (const QStringList refused = card_.refusal(typed); !refused.isEmpty()) {
        context_.toolkit.inform(this, MessageLines(refused));
        return;
    }
    if (const Status saved = card_.save(typed); !saved.ok()) {
        context_.toolkit.inform(this, saved.description());
        return;
    }
    showCard();
    ui_->esito->setText(Saved);
}

void PersonCardWindow::showCard() {
    const CardFields& shown = card_.shown();
    // A longer stored value is shown whole: the box's length only bounds what is typed.
    for (const Box& box : boxes()) {
        const QString& text = shown.*box.field;
        box.edit->setMaxLength(std::max(box.length, static_cast<int>(text.size())));
        box.edit->setText(text);
    }
    const bool namesLocked = card_.isLocked(CardLock::Names);
    for (QLineEdit* name : {ui_->cognome, ui_->nome}) name->setReadOnly(namesLocked);
    ui_->dataNascita->setReadOnly(card_.isLocked(CardLock::BirthDate));
    const std::optional<SexCode> sex = shown.sex;
    (!sex ? ui_->sessoNonNoto : *sex == Male ? ui_->maschio : ui_->femmina)->setChecked(true);
    ui_->sesso->setEnabled(!card_.isLocked(CardLock::Sex));
    QStringList locks;
    if (namesLocked) locks.append(KeyLocks);
    if (card_.isLocked(CardLock::Sex)) locks.append(SexLock);
    ui_->avviso->setText(locks.join(u' '));
    ui_->chiave->setText(card_.isNew() ? NewKey : card_.key());
    ui_->esito->clear();
}

// A box the user did not edit gives back what the card showed, not what the box made of it: the
// box turns a stored tab or line break into a blank.
CardFields PersonCardWindow::typedFields() const {
    CardFields typed;
    for (const Box& box : boxes())
        typed.*box.field = box.edit->isModified() ? box.edit->text() : card_.shown().*box.field;
    if (ui_->maschio->isChecked()) typed.sex = Male;
    if (ui_->femmina->isChecked()) typed.sex = Female;
    return typed;
}

}  // namespace radici
