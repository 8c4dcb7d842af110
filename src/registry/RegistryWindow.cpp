#include "registry/RegistryWindow.h"

#include "store/Dates.h"
#include "store/PartialDate.h"
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
const QString DeathInPartKept = QStringLiteral(
    "Attenzione... la data di morte nota solo in parte è rimasta registrata accanto a quella "
    "nuova.");
const QString NotShownWhole = QStringLiteral(
    "Attenzione... questi dati registrati non possono essere mostrati per intero: %1.");
const QString KeptUnlessChanged =
    QStringLiteral("Se non li modifichi, restano registrati come sono.");

constexpr int DateBoxLength = 10;

QDate StoredDate(const QLineEdit& box) { return ReadDayFirstDate(box.text()).value_or(QDate()); }

using WidgetList = std::initializer_list<QWidget*>;

void SetEnabled(WidgetList controls, bool enabled) {
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

void SetVisible(WidgetList controls, bool visible) {
    for (QWidget* control : controls) {
        control->setVisible(visible);
    }
}

}  // namespace

// The form's controls by their role; the form keeps its own object names.
struct RegistryWindow::Controls {
    explicit Controls(const Ui::RegistryWindow& ui)
        : searchFrame(ui.Frame1),
          searchText(ui.Text1),
          bySurname(ui.Option1_0),
          byGivenName(ui.Option1_1),
          search(ui.Command1),
          resultFrame(ui.Frame5),
          shownSurname(ui.Label22),
          shownGivenName(ui.Label23),
          shownBirthDate(ui.Label14),
          shownBirthPlace(ui.Label16),
          shownBirthCountry(ui.Label17),
          position(ui.Label15),
          choose(ui.Command4),
          cancel(ui.Command2),
          create(ui.Command5),
          modify(ui.Command3),
          personFrame(ui.Frame2),
          sexFrame(ui.Frame6),
          key(ui.Label20),
          surname(ui.Text9),
          givenName(ui.Text2),
          birthDate(ui.Text3),
          birthPlace(ui.Text4),
          birthCountry(ui.Text5),
          deathDate(ui.Text8),
          deathPlace(ui.Text7),
          deathCountry(ui.Text6),
          storeNew(ui.Command6),
          storeChanges(ui.Command8),
          leaveEditing(ui.Command7) {}

    QWidget* searchFrame;
    QLineEdit* searchText;
    QRadioButton* bySurname;
    QRadioButton* byGivenName;
    QPushButton* search;
    QWidget* resultFrame;
    QLabel* shownSurname;
    QLabel* shownGivenName;
    QLabel* shownBirthDate;
    QLabel* shownBirthPlace;
    QLabel* shownBirthCountry;
    QLabel* position;
    QPushButton* choose;
    QPushButton* cancel;
    QPushButton* create;
    QPushButton* modify;
    QWidget* personFrame;
    QWidget* sexFrame;
    QLabel* key;
    QLineEdit* surname;
    QLineEdit* givenName;
    QLineEdit* birthDate;
    QLineEdit* birthPlace;
    QLineEdit* birthCountry;
    QLineEdit* deathDate;
    QLineEdit* deathPlace;
    QLineEdit* deathCountry;
    QPushButton* storeNew;
    QPushButton* storeChanges;
    QPushButton* leaveEditing;
};

RegistryWindow::RegistryWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::RegistryWindow>()) {
    ui_->setupUi(this);
    controls_ = std::make_unique<Controls>(*ui_);
    KeepTypedTextWhole(*this);
    controls_->search->setIcon(SearchIcon());
    connectHandlers();
    setEditingSize(false);
}

RegistryWindow::~RegistryWindow() = default;

void RegistryWindow::connectHandlers() {
    connect(controls_->search, &QPushButton::clicked, this, &RegistryWindow::search);
    connect(ui_->trova_0, &QPushButton::clicked, this, [this] { navigate(Move::First); });
    connect(ui_->trova_1, &QPushButton::clicked, this, [this] { navigate(Move::Previous); });
    connect(ui_->trova_2, &QPushButton::clicked, this, [this] { navigate(Move::Next); });
    connect(ui_->trova_3, &QPushButton::clicked, this, [this] { navigate(Move::Last); });
    connect(controls_->choose, &QPushButton::clicked, this, &RegistryWindow::choosePerson);
    connect(controls_->cancel, &QPushButton::clicked, this, &RegistryWindow::cancel);
    connect(controls_->create, &QPushButton::clicked, this, &RegistryWindow::enterCreating);
    connect(controls_->modify, &QPushButton::clicked, this, &RegistryWindow::enterModifying);
    connect(controls_->storeNew, &QPushButton::clicked, this, &RegistryWindow::createRecord);
    connect(controls_->storeChanges, &QPushButton::clicked, this, &RegistryWindow::modifyRecord);
    connect(controls_->leaveEditing, &QPushButton::clicked, this,
            &RegistryWindow::ReturnToBrowsing);
    // Selected by mouse, keyboard, a screen reader or code alike.
    connect(ui_->sesso_0, &QRadioButton::toggled, this, [this](bool on) {
        if (on) personSex_ = Male;
    });
    connect(ui_->sesso_1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) personSex_ = Female;
    });
    connect(controls_->surname, &QLineEdit::textChanged, this, [this] { composeKey(false); });
    connect(controls_->givenName, &QLineEdit::textChanged, this, [this] { composeKey(false); });
    connect(controls_->birthDate, &QLineEdit::textChanged, this, [this] { composeKey(true); });
}

void RegistryWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // the window system showing it again (after minimising) is no new opening
    }
    controls_->bySurname->setChecked(true);
    personChosen_ = false;
    editMode_ = EditMode::Creating;
    controls_->searchText->clear();
    ClearResult();
    // A close during modifying leaves the key boxes and the store button as modifying set them.
    SetEnabled(
        {controls_->surname, controls_->givenName, controls_->birthDate, controls_->storeChanges},
        true);
    ReturnToBrowsing();
}

void RegistryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        controls_->cancel->click();  // a disabled button ignores it
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
    SetVisible({controls_->personFrame, controls_->storeNew, controls_->storeChanges,
                controls_->leaveEditing},
               editing);
}

void RegistryWindow::ReturnToBrowsing() {
    setEditingSize(false);
    SetEnabled({controls_->searchFrame, controls_->resultFrame, controls_->personFrame,
                controls_->sexFrame, controls_->choose, controls_->create, controls_->cancel},
               true);
    for (QLineEdit* box : {controls_->givenName, controls_->birthDate, controls_->birthPlace,
                           controls_->birthCountry, controls_->deathCountry, controls_->deathPlace,
                           controls_->deathDate, controls_->surname}) {
        box->clear();
    }
    setKeyLabel(QString());
    loaded_.reset();
    loadedInPart_ = {};
    for (QLineEdit* box : {controls_->birthDate, controls_->deathDate}) {
        box->setMaxLength(DateBoxLength);  // a date known in part may have widened it
    }
    controls_->searchText->setFocus();
}

// Browsing

void RegistryWindow::search() {
    if (!controls_->searchText->text().trimmed().isEmpty()) {
        RunSearch();
    }
}

void RegistryWindow::RunSearch() {
    auto found = context_.connection.anagrafica().search(
        controls_->byGivenName->isChecked() ? SearchField::GivenName : SearchField::Surname,
        controls_->searchText->text().trimmed());
    if (!found.ok()) {
        context_.toolkit.inform(this, found.status().description());
        return;
    }
    searchResult_ = std::move(found).value();
    if (!searchResult_.moveFirst()) {
        context_.toolkit.inform(this, NoDataAvailable);
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
    // A birth known to the day has nothing known in part: stepping reads nothing more.
    const Result<PersonDatesInPart> inPart =
        person.datanasc.isValid()
            ? Result<PersonDatesInPart>(PersonDatesInPart{})
            : context_.connection.datesInPart().ofPerson(person.idrecord.trimmed());
    if (!inPart.ok()) {
        context_.toolkit.inform(this, inPart.status().description());
    }
    shownKey_ = person.idrecord;
    controls_->shownSurname->setText(person.cognome);
    controls_->shownGivenName->setText(person.nome);
    controls_->shownBirthDate->setText(
        ShownDate(person.datanasc, inPart.ok() ? inPart.value().birth : QString()));
    controls_->shownBirthPlace->setText(person.luogonasc);
    controls_->shownBirthCountry->setText(person.nazionenasc);
    controls_->position->setText(
        QStringLiteral("%1/%2").arg(searchResult_.position() + 1).arg(searchResult_.count()));
    controls_->modify->setEnabled(true);
}

void RegistryWindow::ClearResult() {
    shownKey_.clear();
    for (QLabel* label :
         {controls_->shownSurname, controls_->shownGivenName, controls_->shownBirthDate,
          controls_->shownBirthPlace, controls_->shownBirthCountry, controls_->position}) {
        label->clear();
    }
    controls_->modify->setEnabled(false);
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
    const QString key = shownKey_.trimmed();
    if (key.isEmpty()) {
        context_.toolkit.inform(this, NoDataAvailable);
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
    SetEnabled({controls_->searchFrame, controls_->resultFrame, controls_->choose,
                controls_->create, controls_->cancel, controls_->modify, controls_->storeChanges},
               false);
    SetEnabled({controls_->surname, controls_->givenName, controls_->birthDate}, true);
    editMode_ = EditMode::Creating;
    selectSex(Male);
    controls_->surname->setFocus();
}

void RegistryWindow::composeKey(bool dateBoxChanged) {
    if (editMode_ != EditMode::Creating) {
        return;
    }
    setKeyLabel(ComposeKey(controls_->surname->text(), controls_->givenName->text(),
                           controls_->birthDate->text(),
                           dateBoxChanged ? DateRule::ExactlyTenCharacters : DateRule::AnyLength));
}

void RegistryWindow::setKeyLabel(const QString& key) {
    controls_->key->setText(key);
    if (editMode_ == EditMode::Creating) {
        controls_->storeNew->setEnabled(KeyComplete(key));
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
    SetEnabled({controls_->searchFrame, controls_->resultFrame, controls_->sexFrame,
                controls_->choose, controls_->create, controls_->cancel, controls_->modify},
               false);
    controls_->storeChanges->setEnabled(true);
    editMode_ = EditMode::Modifying;  // filling the boxes must not recompose the key
    LoadPersonForEdit();
    controls_->birthPlace->setFocus();
}

void RegistryWindow::LoadPersonForEdit() {
    const auto found = context_.connection.anagrafica().seekStored(shownKey_.trimmed());
    if (!found.ok()) {
        context_.toolkit.inform(this, MessageLines({ReadFailed, found.status().description()}));
        return;
    }
    if (!found.value()) {
        context_.toolkit.inform(this, ReadFailed);
        return;
    }
    const Result<PersonDatesInPart> inPart =
        context_.connection.datesInPart().ofPerson(shownKey_.trimmed());
    if (!inPart.ok()) {
        context_.toolkit.inform(this, MessageLines({ReadFailed, inPart.status().description()}));
        return;
    }
    loadedInPart_ = inPart.value();
    loaded_ = found.value();
    const QStringList notWhole = showLoadedPerson();
    // The key is made from these: changing them would orphan the person's relations.
    SetEnabled({controls_->surname, controls_->givenName, controls_->birthDate}, false);
    if (!notWhole.isEmpty()) {
        context_.toolkit.inform(
            this, MessageLines(
                      {NotShownWhole.arg(notWhole.join(QStringLiteral(", "))), KeptUnlessChanged}));
    }
}

std::vector<RegistryWindow::FieldBox> RegistryWindow::fieldBoxes() const {
    using C = PersonColumn;
    using D = PersonDatesInPart;
    return {
        {controls_->surname, C::cognome, QStringLiteral("Cognome"), &Person::cognome, nullptr,
         nullptr},
        {controls_->givenName, C::nome, QStringLiteral("Nome"), &Person::nome, nullptr, nullptr},
        {controls_->birthDate, C::datanasc, QStringLiteral("Data di nascita"), nullptr,
         &Person::datanasc, &D::birth},
        {controls_->birthPlace, C::luogonasc, QStringLiteral("Comune di nascita"),
         &Person::luogonasc, nullptr, nullptr},
        {controls_->birthCountry, C::nazionenasc, QStringLiteral("Nazione di nascita"),
         &Person::nazionenasc, nullptr, nullptr},
        {controls_->deathDate, C::datamorte, QStringLiteral("Data di morte"), nullptr,
         &Person::datamorte, &D::death},
        {controls_->deathPlace, C::luogomorte, QStringLiteral("Comune di morte"),
         &Person::luogomorte, nullptr, nullptr},
        {controls_->deathCountry, C::nazionemorte, QStringLiteral("Nazione di morte"),
         &Person::nazionemorte, nullptr, nullptr},
    };
}

QStringList RegistryWindow::showLoadedPerson() {
    const Person& person = loaded_->person;
    setKeyLabel(person.idrecord);
    QStringList notWhole;
    shownTexts_.clear();
    for (const FieldBox& field : fieldBoxes()) {
        if (field.text) {
            field.box->setText(person.*field.text);
        } else {
            // Shown whole: the box's own length is for dates typed to the day.
            const QString date = ShownDate(person.*field.date, loadedInPart_.*field.inPart);
            field.box->setMaxLength(std::max(DateBoxLength, static_cast<int>(date.size())));
            field.box->setText(date);
        }
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
            person.*field.text = field.box->text();  // the store trims and upper-cases it
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
        context_.toolkit.inform(
            this, MessageLines({QString::number(stored.number()), stored.description()}));
        return;
    }
    replaceDeathInPart();
    ReturnToBrowsing();
}

// Only a file that holds a date in part has the table it lives in: none is made here.
void RegistryWindow::replaceDeathInPart() {
    if (loadedInPart_.death.isEmpty() || !boxChanged(*controls_->deathDate)) {
        return;
    }
    DatesInPartTable& dates = context_.connection.datesInPart();
    const QString key = loaded_->person.idrecord.trimmed();
    Result<PersonDatesInPart> now = dates.ofPerson(key);
    Status replaced = now.status();
    if (now.ok()) {
        now.value().death.clear();
        replaced = dates.setPerson(key, now.value());
    }
    if (!replaced.ok()) {
        context_.toolkit.inform(this, MessageLines({DeathInPartKept, replaced.description()}));
    }
}

// Shared by both editing modes

void RegistryWindow::selectSex(const std::optional<SexCode>& sex) {
    if (IsKnownSex(sex)) {
        (sex == Male ? ui_->sesso_0 : ui_->sesso_1)->setChecked(true);
    } else {
        for (QRadioButton* option : {ui_->sesso_0, ui_->sesso_1}) {
            option->setAutoExclusive(false);  // an exclusive option cannot be cleared
            option->setChecked(false);
            option->setAutoExclusive(true);
        }
    }
    personSex_ = sex;  // a correction keeps the stored sex, known or not
}

Person RegistryWindow::personFromBoxes() const {
    Person person;
    // The store trims and upper-cases names, places and the key.
    person.idrecord = controls_->key->text();
    person.cognome = controls_->surname->text();
    person.nome = controls_->givenName->text();
    person.datanasc = StoredDate(*controls_->birthDate);
    person.luogonasc = controls_->birthPlace->text();
    person.nazionenasc = controls_->birthCountry->text();
    person.datamorte = StoredDate(*controls_->deathDate);
    person.luogomorte = controls_->deathPlace->text();
    person.nazionemorte = controls_->deathCountry->text();
    person.sesso = personSex_;
    return person;
}

bool RegistryWindow::checkKey(const QString& lengthHint) {
    if (controls_->key->text().trimmed().size() >= PersonKeyLength) {
        return true;
    }
    context_.toolkit.inform(this, MessageLines({InsufficientData, lengthHint, DateFormatHint}));
    return false;
}

bool RegistryWindow::checkDeathDate() {
    const QString typed = controls_->deathDate->text().trimmed();
    // A stored date left alone is kept as it is, whatever it holds.
    const bool keptAsStored =
        editMode_ == EditMode::Modifying && !boxChanged(*controls_->deathDate);
    if (keptAsStored || typed.isEmpty() || ReadDayFirstDate(typed)) {
        return true;
    }
    context_.toolkit.inform(this, MessageLines({InvalidDeathDate, DateFormatHint}));
    controls_->deathDate->setFocus();
    return false;
}

QString PickFromRegistry(AppContext& context, QWidget* caller) {
    QPointer<QDialog>& window = context.registryWindow;
    if (!window) {
        window = new RegistryWindow(context, caller);
    } else if (window->parentWidget() != caller) {
        window->setParent(caller, window->windowFlags());
    }
    context.toolkit.showModal(*window);
    return context.selectedPersonKey.trimmed();
}

}  // namespace radici
