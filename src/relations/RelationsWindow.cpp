#include "relations/RelationsWindow.h"

#include "registry/RegistryWindow.h"
#include "store/Dates.h"
#include "ui/AppContext.h"
#include "ui/Icons.h"
#include "ui/Toolkit.h"
#include "ui/TypedText.h"
#include "ui_RelationsWindow.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QShowEvent>
#include <QSignalBlocker>

namespace radici {
namespace {

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString Natural = QStringLiteral("Naturale");
const QString Acquired = QStringLiteral("Acquisito");
const QString Warning = QStringLiteral("Attenzione....");
const QString ConfirmRemoval =
    MessageLines({Warning, QStringLiteral("Se confermi id dato verrà cancellato dal database")});

void AppendRow(const std::vector<QListWidget*>& group, const QStringList& cells) {
    for (std::size_t column = 0; column < group.size(); ++column) {
        group[column]->addItem(cells.value(static_cast<qsizetype>(column)));
    }
}

// Marks a row of a key list as read from the file.
constexpr int StoredRole = Qt::UserRole;

// The first row whose key, trimmed, equals the key; -1 when none does.
int RowOfKey(const QListWidget& keys, const QString& key) {
    for (int row = 0; row < keys.count(); ++row) {
        if (keys.item(row)->text().trimmed() == key) {
            return row;
        }
    }
    return -1;
}

int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.first());
}

// Removes the row from every list of the group and leaves no row selected.
void RemoveRow(const std::vector<QListWidget*>& group, int row) {
    for (QListWidget* list : group) {
        const QSignalBlocker blocker(list);
        delete list->takeItem(row);
        list->setCurrentRow(-1);
    }
}

QStringList PersonCells(const Person& person) {
    return {person.idrecord, person.cognome, person.nome, FormatDisplayDate(person.datanasc)};
}

}  // namespace

// The form's controls by their role; the form keeps its own object names.
struct RelationsWindow::Controls {
    explicit Controls(const Ui::RelationsWindow& ui)
        : shownKey(ui.Label20),
          surname(ui.Label24),
          givenName(ui.Label25),
          birthDate(ui.Label28),
          birthPlace(ui.Label26),
          birthCountry(ui.Label27),
          deathDate(ui.Label31),
          deathPlace(ui.Label29),
          deathCountry(ui.Label30),
          father{ui.Label16, ui.Label12, ui.Label10, ui.Label17},
          mother{ui.Label19, ui.Label32, ui.Label33, ui.Label18},
          spouseCandidate{ui.Label13, ui.Label22, ui.Label23},
          marriageDate(ui.Text9),
          spouseKeys(ui.List1),
          marriageDates(ui.List7),
          childKeys(ui.List4),
          siblingKeys(ui.List12),
          siblingTypes(ui.List13),
          choosePerson(ui.Command6),
          chooseFather(ui.Command1),
          chooseMother(ui.Command2),
          chooseSpouse(ui.Command3),
          addMarriage(ui.Command10),
          removeMarriage(ui.Command11),
          addChild(ui.Command9),
          importChildren(ui.Command12),
          removeChild(ui.Command7),
          save(ui.Command4),
          deletePerson(ui.Command5),
          clear(ui.Command8),
          relationFrames{ui.Frame3, ui.Frame4, ui.Frame5, ui.Frame6} {}

    QLabel* shownKey;
    QLabel* surname;
    QLabel* givenName;
    QLabel* birthDate;
    QLabel* birthPlace;
    QLabel* birthCountry;
    QLabel* deathDate;
    QLabel* deathPlace;
    QLabel* deathCountry;
    std::vector<QLabel*> father;           // key, surname, given name, birth date
    std::vector<QLabel*> mother;           // the same columns
    std::vector<QLabel*> spouseCandidate;  // key, surname, given name
    QLineEdit* marriageDate;
    QListWidget* spouseKeys;
    QListWidget* marriageDates;
    QListWidget* childKeys;
    QListWidget* siblingKeys;
    QListWidget* siblingTypes;
    QPushButton* choosePerson;
    QPushButton* chooseFather;
    QPushButton* chooseMother;
    QPushButton* chooseSpouse;
    QPushButton* addMarriage;
    QPushButton* removeMarriage;
    QPushButton* addChild;
    QPushButton* importChildren;
    QPushButton* removeChild;
    QPushButton* save;
    QPushButton* deletePerson;
    QPushButton* clear;
    std::vector<QWidget*> relationFrames;
};

RelationsWindow::RelationsWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::RelationsWindow>()) {
    ui_->setupUi(this);
    controls_ = std::make_unique<Controls>(*ui_);
    KeepTypedTextWhole(*this);
    controls_->choosePerson->setIcon(ChoosePersonIcon());
    controls_->choosePerson->setToolTip(QStringLiteral("Scegli la persona da mostrare"));
    ui_->sesso->setId(ui_->sesso_0, Male);
    ui_->sesso->setId(ui_->sesso_1, Female);
    marriageLists_ = {ui_->List1, ui_->List2, ui_->List3, ui_->List7};
    childLists_ = {ui_->List4, ui_->List5, ui_->List6, ui_->List8};
    siblingLists_ = {ui_->List12, ui_->List11, ui_->List10, ui_->List9, ui_->List13};
    // One line each: the lists need not measure every row of a large family.
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            list->setUniformItemSizes(true);
        }
    }
    connectControls();
    resetForOpening();
}

RelationsWindow::~RelationsWindow() = default;

void RelationsWindow::connectControls() {
    const Controls& c = *controls_;
    connect(c.choosePerson, &QPushButton::clicked, this, &RelationsWindow::choosePerson);
    connect(c.chooseFather, &QPushButton::clicked, this, [this] { chooseParent(Parent::Father); });
    connect(c.chooseMother, &QPushButton::clicked, this, [this] { chooseParent(Parent::Mother); });
    connect(c.chooseSpouse, &QPushButton::clicked, this, &RelationsWindow::chooseSpouseCandidate);
    connect(c.addMarriage, &QPushButton::clicked, this, &RelationsWindow::AddMarriageRow);
    connect(c.removeMarriage, &QPushButton::clicked, this, &RelationsWindow::RemoveMarriage);
    connect(c.addChild, &QPushButton::clicked, this, &RelationsWindow::AddChild);
    connect(c.importChildren, &QPushButton::clicked, this, &RelationsWindow::ImportChildren);
    connect(c.removeChild, &QPushButton::clicked, this, &RelationsWindow::RemoveChild);
    connect(c.save, &QPushButton::clicked, this, &RelationsWindow::SaveRelations);
    connect(c.deletePerson, &QPushButton::clicked, this, &RelationsWindow::DeletePersonCascade);
    connect(c.clear, &QPushButton::clicked, this, &RelationsWindow::ClearRelationsWindow);
    // Selected from code or by a click alike.
    connect(ui_->sesso, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            personSex_ = static_cast<SexCode>(id);
        }
    });
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            connect(list, &QListWidget::itemSelectionChanged, this,
                    [this, group, list] { SyncListSelection(*group, SelectedRow(*list)); });
        }
    }
}

// Each opening shows a fresh window: nobody shown, no candidate, no date, no sex selected.
// PersonSex keeps its value until a person is loaded or an option is clicked.
void RelationsWindow::resetForOpening() {
    ClearRelationsWindow();
    clearSpouseCandidate();
    controls_->marriageDate->clear();
    const QSignalBlocker blocker(ui_->sesso);
    ui_->sesso->setExclusive(false);
    ui_->sesso_0->setChecked(false);
    ui_->sesso_1->setChecked(false);
    ui_->sesso->setExclusive(true);
}

void RelationsWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        resetForOpening();
    }
    QDialog::showEvent(event);
}

void RelationsWindow::setIdCaption(const QString& key) {
    controls_->shownKey->setText(key);
    // Not trimmed: a caption of blanks still counts as a person shown.
    const bool showing = !key.isEmpty();
    for (QWidget* frame : controls_->relationFrames) {
        frame->setEnabled(showing);
    }
}

QString RelationsWindow::currentKey() const { return controls_->shownKey->text().trimmed(); }

void RelationsWindow::ClearRelationsWindow() {
    setIdCaption(QString());
    clearShownPerson();
}

// Everything ClearRelationsWindow empties but the Id label. Loading a person goes straight from
// one Id to the next, so the relation frames are not disabled and enabled again on the way.
void RelationsWindow::clearShownPerson() {
    const Controls& c = *controls_;
    for (QLabel* caption : {c.surname, c.givenName, c.birthDate, c.birthPlace, c.birthCountry,
                            c.deathDate, c.deathPlace, c.deathCountry}) {
        caption->clear();
    }
    for (const std::vector<QLabel*>* row : {&c.father, &c.mother}) {
        for (QLabel* caption : *row) {
            caption->clear();
        }
    }
    for (const ListGroup* group : {&marriageLists_, &childLists_, &siblingLists_}) {
        for (QListWidget* list : *group) {
            const QSignalBlocker blocker(list);
            list->clear();
        }
    }
    siblingRows_.clear();
    childKeys_.clear();
    motherSiblingsRead_ = false;
    fatherStored_ = false;
    motherStored_ = false;
}

void RelationsWindow::clearSpouseCandidate() {
    for (QLabel* caption : controls_->spouseCandidate) {
        caption->clear();
    }
}

void RelationsWindow::inform(const QString& text) { context_.toolkit.inform(this, text); }

// The registry window hands the chosen key over through SelectedPersonKey; inside this window
// keys travel as parameters.
QString RelationsWindow::PickFromRegistry() {
    if (registry_ == nullptr) {
        registry_ = new RegistryWindow(context_, this);
    }
    context_.toolkit.showModal(*registry_);
    return context_.selectedPersonKey.trimmed();
}

QString RelationsWindow::pickRelative() {
    const QString key = PickFromRegistry();
    if (!key.isEmpty() && key == currentKey()) {
        inform(NotDuplicable);
        return {};
    }
    return key;
}

std::optional<Person> RelationsWindow::seekPerson(const QString& key,
                                                  const QString& missingMessage) {
    const Result<std::optional<Person>> found = context_.connection.anagrafica().seek(key);
    if (!found.ok()) {
        inform(found.status().description());
        return std::nullopt;
    }
    if (!found.value()) {
        inform(missingMessage);
    }
    return found.value();
}

void RelationsWindow::choosePerson() {
    const QString key = PickFromRegistry();
    // Without a person loaded the relatives would be those of whoever was shown before.
    if (!key.isEmpty() && LoadPerson(key)) {
        LoadRelatives();
    }
}

bool RelationsWindow::LoadPerson(const QString& key) {
    const std::optional<Person> person =
        seekPerson(key.trimmed(), QStringLiteral("Errore di lettura del record"));
    if (!person) {
        return false;
    }
    const Controls& c = *controls_;
    clearShownPerson();
    setIdCaption(person->idrecord);
    c.surname->setText(person->cognome);
    c.givenName->setText(person->nome);
    c.birthDate->setText(FormatDisplayDate(person->datanasc));
    c.birthPlace->setText(person->luogonasc);
    c.birthCountry->setText(person->nazionenasc);
    c.deathDate->setText(FormatDisplayDate(person->datamorte));
    c.deathPlace->setText(person->luogomorte);
    c.deathCountry->setText(person->nazionemorte);
    (person->sesso == Male ? ui_->sesso_0 : ui_->sesso_1)->setChecked(true);
    loadedSex_ = personSex_;
    return true;
}

// Parents with their children first, then marriages, then children. A pass that cannot read its
// rows adds nothing more and the next pass still runs; the first failure is reported once, so
// the user never takes a partial family for the whole one.
void RelationsWindow::LoadRelatives() {
    const Status failure = context_.connection.runReading([this] {
        Status first = loadParents();
        for (const Status& pass : {loadMarriages(), loadChildren()}) {
            if (first.ok()) first = pass;
        }
        return first;
    });
    if (!failure.ok()) {
        inform(failure.description());
    }
}

Status RelationsWindow::loadParents() {
    const Result<std::vector<ParentLink>> parents =
        context_.connection.relazioni().parentsOf(currentKey());
    if (!parents.ok()) {
        return parents.status();
    }
    Status failure;
    for (const ParentLink& link : parents.value()) {
        const Status read =
            link.idsesso == Male ? LoadFather(link.idgenitori) : LoadMother(link.idgenitori);
        (link.idsesso == Male ? fatherStored_ : motherStored_) = true;
        if (failure.ok()) failure = read;
    }
    return failure;
}

Status RelationsWindow::LoadFather(const QString& key) { return loadParent(Parent::Father, key); }

Status RelationsWindow::LoadMother(const QString& key) { return loadParent(Parent::Mother, key); }

// A parent whose record is missing is reported at once and adds nothing.
Status RelationsWindow::loadParent(Parent parent, const QString& key) {
    const bool father = parent == Parent::Father;
    const std::optional<Person> person =
        seekPerson(key.trimmed(), father ? QStringLiteral("Errore di lettura del record padre")
                                         : QStringLiteral("Errore di lettura del record madre"));
    if (!person) {
        return Status::success();
    }
    const QStringList cells = PersonCells(*person);
    const std::vector<QLabel*>& row = father ? controls_->father : controls_->mother;
    for (std::size_t column = 0; column < row.size(); ++column) {
        row[column]->setText(cells[static_cast<qsizetype>(column)]);
    }
    return mergeParentChildren(person->idrecord.trimmed(), parent);
}

// A mother's children are natural siblings; a father's children that she does not share are
// acquired once her children are known, and have no type until then.
Status RelationsWindow::mergeParentChildren(const QString& parentKey, Parent parent) {
    const Result<std::vector<ParentLink>> children =
        context_.connection.relazioni().childrenOf(parentKey);
    if (!children.ok()) {
        return children.status();
    }
    for (const ParentLink& link : children.value()) {
        if (const Status merged = mergeSibling(link.idfigli.trimmed(), parent); !merged.ok()) {
            return merged;
        }
    }
    if (parent == Parent::Mother) {
        for (int row = 0; row < controls_->siblingTypes->count(); ++row) {
            QListWidgetItem* type = controls_->siblingTypes->item(row);
            if (type->text().trimmed().isEmpty()) {
                type->setText(Acquired);
            }
        }
        motherSiblingsRead_ = true;
    }
    return Status::success();
}

// A child whose record is missing, and the person shown, are left out silently.
Status RelationsWindow::mergeSibling(const QString& childKey, Parent parent) {
    const Result<std::optional<Person>> child = context_.connection.anagrafica().seek(childKey);
    if (!child.ok()) {
        return child.status();
    }
    if (!child.value() || child.value()->idrecord.trimmed() == currentKey()) {
        return Status::success();
    }
    const Person& sibling = *child.value();
    const QString key = sibling.idrecord.trimmed();
    if (const auto known = siblingRows_.constFind(key); known != siblingRows_.cend()) {
        if (parent == Parent::Mother) {
            controls_->siblingTypes->item(*known)->setText(Natural);
        }
        return Status::success();
    }
    siblingRows_.insert(key, controls_->siblingKeys->count());
    const QString type = parent == Parent::Mother ? Natural
                         : motherSiblingsRead_    ? Acquired
                                                  : QString();
    AppendRow(siblingLists_, PersonCells(sibling) << type);
    return Status::success();
}

// A spouse whose record is missing is left out silently.
Status RelationsWindow::loadMarriages() {
    const MarriageTable& marriages = context_.connection.matrimoni();
    const bool asHusband = personSex_ == Male;
    const Result<std::vector<Marriage>> rows =
        asHusband ? marriages.ofHusband(currentKey()) : marriages.ofWife(currentKey());
    if (!rows.ok()) {
        return rows.status();
    }
    for (const Marriage& marriage : rows.value()) {
        const QString spouseKey = asHusband ? marriage.idmoglie : marriage.idmarito;
        const Result<std::optional<Person>> spouse =
            context_.connection.anagrafica().seek(spouseKey.trimmed());
        if (!spouse.ok()) {
            return spouse.status();
        }
        if (spouse.value()) {
            const Person& found = *spouse.value();
            AppendRow(marriageLists_, {found.idrecord, found.cognome, found.nome,
                                       FormatDisplayDate(marriage.data)});
            controls_->spouseKeys->item(controls_->spouseKeys->count() - 1)
                ->setData(StoredRole, true);
        }
    }
    return Status::success();
}

Status RelationsWindow::loadChildren() {
    const Result<std::vector<ParentLink>> children =
        context_.connection.relazioni().childrenOf(currentKey());
    if (!children.ok()) {
        return children.status();
    }
    for (const ParentLink& link : children.value()) {
        const int rows = controls_->childKeys->count();
        AddChildRow(link.idfigli);
        if (controls_->childKeys->count() > rows) {
            controls_->childKeys->item(rows)->setData(StoredRole, true);
        }
    }
    return Status::success();
}

void RelationsWindow::AddChildRow(const QString& childKey) {
    const QString key = childKey.trimmed();
    if (childKeys_.contains(key)) {
        return;
    }
    const std::optional<Person> child =
        seekPerson(key, QStringLiteral("Errore di lettura del record figli"));
    if (child) {
        AppendRow(childLists_, PersonCells(*child));
        childKeys_.insert(key);
    }
}

void RelationsWindow::LoadSpouseCandidate(const QString& key) {
    const std::optional<Person> spouse =
        seekPerson(key, QStringLiteral("Errore di lettura del record coniuge"));
    if (spouse) {
        const std::vector<QLabel*>& row = controls_->spouseCandidate;
        row[0]->setText(spouse->idrecord);
        row[1]->setText(spouse->cognome);
        row[2]->setText(spouse->nome);
    }
}

void RelationsWindow::chooseParent(Parent parent) {
    if (const QString key = pickRelative(); !key.isEmpty()) {
        if (const Status read = loadParent(parent, key); !read.ok()) {
            inform(read.description());
        }
        (parent == Parent::Father ? fatherStored_ : motherStored_) = false;
    }
}

void RelationsWindow::chooseSpouseCandidate() {
    if (const QString key = PickFromRegistry(); !key.isEmpty()) {
        LoadSpouseCandidate(key);
    }
}

void RelationsWindow::SyncListSelection(const ListGroup& group, int row) {
    for (QListWidget* list : group) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void RelationsWindow::AddMarriageRow() {
    const std::vector<QLabel*>& candidate = controls_->spouseCandidate;
    const QString spouse = candidate[0]->text().trimmed();
    const QString dateText = controls_->marriageDate->text();
    if (spouse.isEmpty()) {
        inform(NotEnoughData);
        return;
    }
    if (spouse == currentKey()) {
        inform(NotDuplicable);
        return;
    }
    if (!dateText.trimmed().isEmpty() && !ReadDayFirstDate(dateText)) {
        inform(NotEnoughData);
        return;
    }
    if (RowOfKey(*controls_->spouseKeys, spouse) >= 0) {
        return;
    }
    AppendRow(marriageLists_,
              {candidate[0]->text(), candidate[1]->text(), candidate[2]->text(), dateText});
    clearSpouseCandidate();
}

void RelationsWindow::RemoveMarriage() {
    MarriageTable& marriages = context_.connection.matrimoni();
    const bool asHusband = personSex_ == Male;
    const QString self = currentKey();
    removeSelectedRow(
        marriageLists_,
        [&](const QString& spouse) {
            return asHusband ? marriages.contains(self, spouse) : marriages.contains(spouse, self);
        },
        [&](const QString& spouse) {
            return asHusband ? marriages.remove(self, spouse) : marriages.remove(spouse, self);
        });
}

void RelationsWindow::RemoveChild() {
    RelationTable& links = context_.connection.relazioni();
    const QString self = currentKey();
    removeSelectedRow(
        childLists_, [&](const QString& child) { return links.contains(self, child); },
        [&](const QString& child) { return links.remove(self, child); });
    childKeys_.clear();
    for (int row = 0; row < controls_->childKeys->count(); ++row) {
        childKeys_.insert(controls_->childKeys->item(row)->text().trimmed());
    }
}

// A stored link that cannot be deleted keeps its row, so the list never claims it is gone.
void RelationsWindow::removeSelectedRow(const ListGroup& group,
                                        const std::function<Result<bool>(const QString&)>& isStored,
                                        const std::function<Status(const QString&)>& deleteStored) {
    QListWidget& keys = *group.front();
    const int row = SelectedRow(keys);
    const QString key = row < 0 ? QString() : keys.item(row)->text().trimmed();
    if (key.isEmpty()) {
        inform(NotEnoughData);
        return;
    }
    const Result<bool> stored = isStored(key);
    if (!stored.ok()) {
        inform(stored.status().description());
        return;
    }
    if (stored.value()) {
        if (!context_.toolkit.confirm(this, ConfirmRemoval)) {
            return;
        }
        if (const Status removed = deleteStored(key); !removed.ok()) {
            inform(removed.description());
            return;
        }
    }
    RemoveRow(group, row);
}

void RelationsWindow::AddChild() {
    if (const QString key = pickRelative(); !key.isEmpty()) {
        AddChildRow(key);
    }
}

void RelationsWindow::ImportChildren() {
    const QString other = pickRelative();
    if (other.isEmpty()) {
        return;
    }
    const Result<std::vector<ParentLink>> children =
        context_.connection.relazioni().childrenOf(other);
    if (!children.ok()) {
        inform(children.status().description());
        return;
    }
    const QString self = currentKey();
    for (const ParentLink& link : children.value()) {
        // The person may be among the other's children, but is never their own child.
        if (link.idfigli.trimmed() == self) {
            continue;
        }
        AddChildRow(link.idfigli);
    }
}

bool RelationsWindow::rowToWrite(const QListWidget& keys, int row) const {
    return personSex_ != loadedSex_ || !keys.item(row)->data(StoredRole).toBool();
}

// Only what the user added or changed: a row read from the file keeps its stored values, which
// the lists may not show whole (a date that cannot be read, two rows for one couple).
RelationsToSave RelationsWindow::rowsToSave() const {
    RelationsToSave rows;
    const QString self = currentKey();
    if (const QString father = controls_->father[0]->text().trimmed();
        !father.isEmpty() && !fatherStored_) {
        rows.parentLinks.push_back({father, self, Male});
    }
    if (const QString mother = controls_->mother[0]->text().trimmed();
        !mother.isEmpty() && !motherStored_) {
        rows.parentLinks.push_back({mother, self, Female});
    }
    for (int row = 0; row < controls_->spouseKeys->count(); ++row) {
        if (!rowToWrite(*controls_->spouseKeys, row)) {
            continue;
        }
        const QString spouse = controls_->spouseKeys->item(row)->text().trimmed();
        // Dates were checked when typed; loaded ones are shown as dd/mm/yyyy.
        const QDate date =
            ReadDayFirstDate(controls_->marriageDates->item(row)->text()).value_or(QDate());
        rows.marriages.push_back(personSex_ == Male ? Marriage{self, spouse, date}
                                                    : Marriage{spouse, self, date});
    }
    for (int row = 0; row < controls_->childKeys->count(); ++row) {
        if (!rowToWrite(*controls_->childKeys, row)) {
            continue;
        }
        rows.childLinks.push_back(
            {self, controls_->childKeys->item(row)->text().trimmed(), personSex_});
    }
    return rows;
}

// All rows or none: on a failure the window keeps what it shows so the user can try again.
void RelationsWindow::SaveRelations() {
    const RelationsToSave rows = rowsToSave();
    const bool nothingToWrite =
        rows.parentLinks.empty() && rows.marriages.empty() && rows.childLinks.empty();
    if (!nothingToWrite) {
        if (const Status saved = context_.connection.saveRelations(rows); !saved.ok()) {
            inform(saved.description());
            return;
        }
    }
    ClearRelationsWindow();
}

void RelationsWindow::DeletePersonCascade() {
    const QString key = currentKey();
    if (key.isEmpty()) {
        return;
    }
    const QString question = MessageLines(
        {Warning, QStringLiteral("Se confermi verranno cancellati tutti i dati relativi a: ") +
                      controls_->surname->text() + QStringLiteral(" - ") +
                      controls_->givenName->text()});
    if (!context_.toolkit.confirm(this, question) ||
        !context_.toolkit.confirm(this,
                                  MessageLines({Warning, QStringLiteral("Sei proprio sicuro?")}))) {
        return;
    }
    const CascadeOutcome outcome = context_.connection.deletePersonCascade(key);
    if (outcome.committed()) {
        ClearRelationsWindow();
        return;
    }
    for (const Status& failure : outcome.failures) {
        inform(failure.description());
    }
    inform(QStringLiteral("Si è verificato un errore. La procedura è stata annullata"));
}

}  // namespace radici
