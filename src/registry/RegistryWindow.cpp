#include "registry/RegistryWindow.h"

#include "store/Dates.h"
#include "store/PersonKey.h"
#include "ui/AppContext.h"
#include "ui/Icons.h"
#include "ui/Toolkit.h"
#include "ui/TypedText.h"
#include "ui_RegistryWindow.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <QStringList>

namespace radici {
namespace {

// Client sizes in pixels (15 twips each). The compact height ends just below the upper row of
// buttons; the full one shows the whole person-data frame and the buttons beside it.
constexpr QSize CompactSize{535, 204};
constexpr QSize FullSize{535, 497};

const QString NothingFound = QStringLiteral("Nessun dato disponibile");
const QString ReadFailed = QStringLiteral("Errore di lettura del record");
const QString DuplicatePerson = QStringLiteral(
    "Attenzione... il nominativo creato già esiste in archivio. Creazione impossibile");
const QString InsufficientData =
    QStringLiteral("Attenzione... dati insufficienti per creare l'indice.");
// Creating and correcting word this line differently ("essre"); users know both as they are.
const QString CreateLengthHint =
    QStringLiteral("Il cognome e/o il nome deve essere maggiore uguale a 3 caratteri.");
const QString ModifyLengthHint =
    QStringLiteral("Il cognome e/o il nome deve essre maggiore uguale a 3 caratteri.");
const QString DateFormatHint = QStringLiteral("La data deve avere il formato: gg/mm/aaaa");
const QString InvalidDeathDate = QStringLiteral("Attenzione... la data di morte non è valida.");
const QString NotShownWhole = QStringLiteral(
    "Attenzione... questi dati registrati non possono essere mostrati per intero: %1.");
const QString KeptUnlessChanged =
    QStringLiteral("Se non li modifichi, restano registrati come sono.");

QString Lines(const QStringList& lines) { return lines.join(QChar(u'\r')); }

// Names, places and countries are kept upper-case, without blanks at either end. UpperCase maps
// one character to one, like the key, so a name never outgrows its box.
QString StoredText(const QLineEdit& box) { return UpperCase(box.text().trimmed()); }

QDate StoredDate(const QLineEdit& box) { return ReadDayFirstDate(box.text()).value_or(QDate()); }

SearchField ChosenSearchField(const Ui::RegistryWindow& ui) {
    return ui.Option1_1->isChecked() ? SearchField::GivenName : SearchField::Surname;
}

using Controls = std::initializer_list<QWidget*>;

void SetEnabled(Controls controls, bool enabled) {
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

void SetVisible(Controls controls, bool visible) {
    for (QWidget* control : controls) {
        control->setVisible(visible);
    }
}

}  // namespace

RegistryWindow::RegistryWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::RegistryWindow>()) {
    ui_->setupUi(this);
    KeepTypedTextWhole(*this);
    ui_->Command1->setIcon(SearchIcon());
    // Holds the shown person's key for "Seleziona" and "Modifica"; never shown.
    ui_->Label13->hide();
    connectHandlers();
    setEditingSize(false);
}

RegistryWindow::~RegistryWindow() = default;

void RegistryWindow::connectHandlers() {
    connect(ui_->Command1, &QPushButton::clicked, this, &RegistryWindow::search);
    connect(ui_->trova_0, &QPushButton::clicked, this, [this] { navigate(Move::First); });
    connect(ui_->trova_1, &QPushButton::clicked, this, [this] { navigate(Move::Previous); });
    connect(ui_->trova_2, &QPushButton::clicked, this, [this] { navigate(Move::Next); });
    connect(ui_->trova_3, &QPushButton::clicked, this, [this] { navigate(Move::Last); });
    connect(ui_->Command4, &QPushButton::clicked, this, &RegistryWindow::choosePerson);
    connect(ui_->Command2, &QPushButton::clicked, this, &RegistryWindow::cancel);
    connect(ui_->Command5, &QPushButton::clicked, this, &RegistryWindow::enterCreating);
    connect(ui_->Command3, &QPushButton::clicked, this, &RegistryWindow::enterModifying);
    connect(ui_->Command6, &QPushButton::clicked, this, &RegistryWindow::createRecord);
    connect(ui_->Command8, &QPushButton::clicked, this, &RegistryWindow::modifyRecord);
    connect(ui_->Command7, &QPushButton::clicked, this, &RegistryWindow::ReturnToBrowsing);
    // Selected by mouse, keyboard, a screen reader or code alike.
    connect(ui_->sesso_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on) personSex_ = Male;
    });
    connect(ui_->sesso_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) personSex_ = Female;
    });
    connect(ui_->Text9, &QLineEdit::textChanged, this, [this] { composeKey(false); });
    connect(ui_->Text2, &QLineEdit::textChanged, this, [this] { composeKey(false); });
    connect(ui_->Text3, &QLineEdit::textChanged, this, [this] { composeKey(true); });
}

void RegistryWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // the window system showing it again (after minimising) is no new opening
    }
    ui_->Option1_0->setChecked(true);
    personChosen_ = false;
    editMode_ = EditMode::Creating;
    ui_->Text1->clear();
    ClearResult();
    // A close during modifying leaves the key boxes and the store button as modifying set them.
    SetEnabled({ui_->Text9, ui_->Text2, ui_->Text3, ui_->Command8}, true);
    ReturnToBrowsing();
}

void RegistryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        ui_->Command2->click();  // a disabled button ignores it
        return;
    }
    QDialog::keyPressEvent(event);
}

void RegistryWindow::done(int result) {
    if (!personChosen_) {
        context_.selectedPersonKey.clear();
    }
    QDialog::done(result);
}

void RegistryWindow::setEditingSize(bool editing) {
    setFixedSize(editing ? FullSize : CompactSize);
    // Outside the compact window they must not take the focus either.
    SetVisible({ui_->Frame2, ui_->Command6, ui_->Command8, ui_->Command7}, editing);
}

void RegistryWindow::ReturnToBrowsing() {
    setEditingSize(false);
    SetEnabled({ui_->Frame1, ui_->Frame5, ui_->Frame2, ui_->Frame6, ui_->Command4, ui_->Command5,
                ui_->Command2},
               true);
    for (QLineEdit* box : {ui_->Text2, ui_->Text3, ui_->Text4, ui_->Text5, ui_->Text6, ui_->Text7,
                           ui_->Text8, ui_->Text9}) {
        box->clear();
    }
    setKeyLabel(QString());
    loaded_.reset();
    ui_->Text1->setFocus();
}

// Browsing

void RegistryWindow::search() {
    if (!ui_->Text1->text().trimmed().isEmpty()) {
        RunSearch();
    }
}

void RegistryWindow::RunSearch() {
    auto found = context_.connection.anagrafica().search(ChosenSearchField(*ui_),
                                                         ui_->Text1->text().trimmed());
    if (!found.ok()) {
        context_.toolkit.inform(this, found.status().description());
        return;
    }
    searchResult_ = std::move(found).value();
    if (!searchResult_.moveFirst()) {
        context_.toolkit.inform(this, NothingFound);
        ClearResult();
        return;
    }
    ShowCurrentResult();
}

void RegistryWindow::ShowCurrentResult() {
    const Result<Person> current = searchResult_.current();
    if (!current.ok()) {
        // Gone since the search, or its row now holds someone else: never show another person.
        ClearResult();
        context_.toolkit.inform(this, current.status().is(EngineError::NoCurrentRecord)
                                          ? ReadFailed
                                          : current.status().description());
        return;
    }
    const Person& person = current.value();
    ui_->Label13->setText(person.idrecord);
    ui_->Label22->setText(person.cognome);
    ui_->Label23->setText(person.nome);
    ui_->Label14->setText(FormatDisplayDate(person.datanasc));
    ui_->Label16->setText(person.luogonasc);
    ui_->Label17->setText(person.nazionenasc);
    ui_->Label15->setText(
        QStringLiteral("%1/%2").arg(searchResult_.position() + 1).arg(searchResult_.count()));
    ui_->Command3->setEnabled(true);
}

void RegistryWindow::ClearResult() {
    for (QLabel* label : {ui_->Label13, ui_->Label22, ui_->Label23, ui_->Label14, ui_->Label16,
                          ui_->Label17, ui_->Label15}) {
        label->clear();
    }
    ui_->Command3->setEnabled(false);
}

void RegistryWindow::navigate(Move move) {
    if (searchResult_.isEmpty()) {
        return;  // no search yet, or it found nobody
    }
    // At either end the cursor stays where it is.
    switch (move) {
        case Move::First:
            searchResult_.moveFirst();
            break;
        case Move::Previous:
            searchResult_.movePrevious();
            break;
        case Move::Next:
            searchResult_.moveNext();
            break;
        case Move::Last:
            searchResult_.moveLast();
            break;
    }
    ShowCurrentResult();
}

void RegistryWindow::choosePerson() {
    const QString key = ui_->Label13->text().trimmed();
    if (key.isEmpty()) {
        context_.toolkit.inform(this, NothingFound);
        return;
    }
    context_.selectedPersonKey.write(key);
    personChosen_ = true;
    accept();
}

void RegistryWindow::cancel() {
    personChosen_ = false;
    reject();
}

// Creating

void RegistryWindow::enterCreating() {
    setEditingSize(true);
    SetEnabled({ui_->Frame1, ui_->Frame5, ui_->Command4, ui_->Command5, ui_->Command2,
                ui_->Command3, ui_->Command8},
               false);
    SetEnabled({ui_->Text9, ui_->Text2, ui_->Text3}, true);
    editMode_ = EditMode::Creating;
    selectSex(Male);
    ui_->Text9->setFocus();
}

void RegistryWindow::composeKey(bool dateBoxChanged) {
    if (editMode_ != EditMode::Creating) {
        return;
    }
    setKeyLabel(ComposeKey(ui_->Text9->text(), ui_->Text2->text(), ui_->Text3->text(),
                           dateBoxChanged ? DateRule::ExactlyTenCharacters : DateRule::AnyLength));
}

void RegistryWindow::setKeyLabel(const QString& key) {
    ui_->Label20->setText(key);
    if (editMode_ == EditMode::Creating) {
        ui_->Command6->setEnabled(KeyComplete(key));
    }
}

void RegistryWindow::createRecord() {
    if (!checkKey(CreateLengthHint) || !checkDeathDate()) {
        return;
    }
    const Status stored = context_.connection.anagrafica().add(personFromBoxes());
    if (stored.is(EngineError::DuplicateKey)) {
        context_.toolkit.inform(this, DuplicatePerson);
        return;
    }
    if (!stored.ok()) {
        context_.toolkit.inform(this, stored.description());
        return;
    }
    ReturnToBrowsing();
}

// Modifying

void RegistryWindow::enterModifying() {
    setEditingSize(true);
    SetEnabled({ui_->Frame1, ui_->Frame5, ui_->Frame6, ui_->Command4, ui_->Command5, ui_->Command2,
                ui_->Command3},
               false);
    ui_->Command8->setEnabled(true);
    editMode_ = EditMode::Modifying;  // filling the boxes must not recompose the key
    LoadPersonForEdit();
    ui_->Text4->setFocus();
}

void RegistryWindow::LoadPersonForEdit() {
    const auto found = context_.connection.anagrafica().seekStored(ui_->Label13->text().trimmed());
    if (!found.ok()) {
        context_.toolkit.inform(this, Lines({ReadFailed, found.status().description()}));
        return;
    }
    if (!found.value()) {
        context_.toolkit.inform(this, ReadFailed);
        return;
    }
    loaded_ = found.value();
    const QStringList notWhole = showLoadedPerson();
    // The key is made from these: changing them would orphan the person's relations.
    SetEnabled({ui_->Text9, ui_->Text2, ui_->Text3}, false);
    if (!notWhole.isEmpty()) {
        context_.toolkit.inform(this, Lines({NotShownWhole.arg(notWhole.join(QStringLiteral(", "))),
                                             KeptUnlessChanged}));
    }
}

std::vector<RegistryWindow::FieldBox> RegistryWindow::fieldBoxes() const {
    using C = PersonColumn;
    return {
        {ui_->Text9, C::cognome, QStringLiteral("Cognome"), &Person::cognome, nullptr},
        {ui_->Text2, C::nome, QStringLiteral("Nome"), &Person::nome, nullptr},
        {ui_->Text3, C::datanasc, QStringLiteral("Data di nascita"), nullptr, &Person::datanasc},
        {ui_->Text4, C::luogonasc, QStringLiteral("Comune di nascita"), &Person::luogonasc,
         nullptr},
        {ui_->Text5, C::nazionenasc, QStringLiteral("Nazione di nascita"), &Person::nazionenasc,
         nullptr},
        {ui_->Text8, C::datamorte, QStringLiteral("Data di morte"), nullptr, &Person::datamorte},
        {ui_->Text7, C::luogomorte, QStringLiteral("Comune di morte"), &Person::luogomorte,
         nullptr},
        {ui_->Text6, C::nazionemorte, QStringLiteral("Nazione di morte"), &Person::nazionemorte,
         nullptr},
    };
}

QStringList RegistryWindow::showLoadedPerson() {
    const Person& person = loaded_->person;
    setKeyLabel(person.idrecord);
    QStringList notWhole;
    shownTexts_.clear();
    for (const FieldBox& field : fieldBoxes()) {
        field.box->setText(field.text ? person.*field.text : FormatDisplayDate(person.*field.date));
        shownTexts_.push_back(field.box->text());
        const bool cut = field.text && field.box->text() != person.*field.text;
        if (cut || loaded_->unreadable(field.column)) notWhole.append(field.name);
    }
    selectSex(person.sesso);
    if (loaded_->unreadable(PersonColumn::sesso)) notWhole.append(QStringLiteral("Sesso"));
    return notWhole;
}

bool RegistryWindow::boxChanged(const QLineEdit& box) const {
    const std::vector<FieldBox> fields = fieldBoxes();
    for (std::size_t at = 0; at < fields.size(); ++at) {
        if (fields[at].box == &box)
            return at >= shownTexts_.size() || box.text() != shownTexts_[at];
    }
    return true;
}

Person RegistryWindow::correctedPerson() const {
    Person person = loaded_->person;
    for (const FieldBox& field : fieldBoxes()) {
        if (!boxChanged(*field.box)) continue;
        if (field.text) {
            person.*field.text = StoredText(*field.box);
        } else {
            person.*field.date = StoredDate(*field.box);
        }
    }
    return person;
}

void RegistryWindow::modifyRecord() {
    if (!checkKey(ModifyLengthHint) || !checkDeathDate()) {
        return;
    }
    const Status stored = context_.connection.correctPerson(*loaded_, correctedPerson());
    if (!stored.ok()) {
        context_.toolkit.inform(this,
                                Lines({QString::number(stored.number()), stored.description()}));
        return;
    }
    ReturnToBrowsing();
}

// Shared by both editing modes

void RegistryWindow::selectSex(SexCode sex) {
    if (sex == Male || sex == Female) {
        (sex == Male ? ui_->sesso_0 : ui_->sesso_1)->setChecked(true);
    }
    personSex_ = sex;  // an unknown stored code is written back unchanged
}

Person RegistryWindow::personFromBoxes() const {
    Person person;
    person.idrecord = UpperCase(ui_->Label20->text().trimmed());
    person.cognome = StoredText(*ui_->Text9);
    person.nome = StoredText(*ui_->Text2);
    person.datanasc = StoredDate(*ui_->Text3);
    person.luogonasc = StoredText(*ui_->Text4);
    person.nazionenasc = StoredText(*ui_->Text5);
    person.datamorte = StoredDate(*ui_->Text8);
    person.luogomorte = StoredText(*ui_->Text7);
    person.nazionemorte = StoredText(*ui_->Text6);
    person.sesso = personSex_;
    return person;
}

bool RegistryWindow::checkKey(const QString& lengthHint) {
    if (ui_->Label20->text().trimmed().size() >= PersonKeyLength) {
        return true;
    }
    context_.toolkit.inform(this, Lines({InsufficientData, lengthHint, DateFormatHint}));
    return false;
}

bool RegistryWindow::checkDeathDate() {
    const QString typed = ui_->Text8->text().trimmed();
    // A stored date left alone is kept as it is, whatever it holds.
    const bool keptAsStored = editMode_ == EditMode::Modifying && !boxChanged(*ui_->Text8);
    if (keptAsStored || typed.isEmpty() || ReadDayFirstDate(typed)) {
        return true;
    }
    context_.toolkit.inform(this, Lines({InvalidDeathDate, DateFormatHint}));
    ui_->Text8->setFocus();
    return false;
}

}  // namespace radici
