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
const QString ConfirmRemoval =
    QStringLiteral("Attenzione....\rSe confermi id dato verrà cancellato dal database");

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

RelationsWindow::RelationsWindow(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), ui_(std::make_unique<Ui::RelationsWindow>()) {
    ui_->setupUi(this);
    KeepTypedTextWhole(*this);
    ui_->Command6->setIcon(ChoosePersonIcon());
    ui_->Command6->setToolTip(QStringLiteral("Scegli la persona da mostrare"));
    ui_->sesso->setId(ui_->sesso_0, Male);
    ui_->sesso->setId(ui_->sesso_1, Female);
    marriageLists_ = {ui_->List1, ui_->List2, ui_->List3, ui_->List7};
    childLists_ = {ui_->List4, ui_->List5, ui_->List6, ui_->List8};
    siblingLists_ = {ui_->List12, ui_->List11, ui_->List10, ui_->List9, ui_->List13};
    connectControls();
    resetForOpening();
}

RelationsWindow::~RelationsWindow() = default;

void RelationsWindow::connectControls() {
    connect(ui_->Command6, &QPushButton::clicked, this, &RelationsWindow::ChoosePerson);
    connect(ui_->Command1, &QPushButton::clicked, this, [this] { ChooseParent(Parent::Father); });
    connect(ui_->Command2, &QPushButton::clicked, this, [this] { ChooseParent(Parent::Mother); });
    connect(ui_->Command3, &QPushButton::clicked, this, &RelationsWindow::ChooseSpouseCandidate);
    connect(ui_->Command10, &QPushButton::clicked, this, &RelationsWindow::AddMarriageRow);
    connect(ui_->Command11, &QPushButton::clicked, this, &RelationsWindow::RemoveMarriage);
    connect(ui_->Command9, &QPushButton::clicked, this, &RelationsWindow::AddChild);
    connect(ui_->Command12, &QPushButton::clicked, this, &RelationsWindow::ImportChildren);
    connect(ui_->Command7, &QPushButton::clicked, this, &RelationsWindow::RemoveChild);
    connect(ui_->Command4, &QPushButton::clicked, this, &RelationsWindow::SaveRelations);
    connect(ui_->Command5, &QPushButton::clicked, this, &RelationsWindow::DeletePersonCascade);
    connect(ui_->Command8, &QPushButton::clicked, this, &RelationsWindow::ClearRelationsWindow);
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
    ui_->Label13->clear();
    ui_->Label22->clear();
    ui_->Label23->clear();
    ui_->Text9->clear();
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
    ui_->Label20->setText(key);
    // Not trimmed: a caption of blanks still counts as a person shown.
    const bool showing = !key.isEmpty();
    for (QWidget* frame : {ui_->Frame3, ui_->Frame4, ui_->Frame5, ui_->Frame6}) {
        frame->setEnabled(showing);
    }
}

QString RelationsWindow::currentKey() const { return ui_->Label20->text().trimmed(); }

void RelationsWindow::ClearRelationsWindow() {
    setIdCaption(QString());
    clearShownPerson();
}

// Everything ClearRelationsWindow empties but the Id label. Loading a person goes straight from
// one Id to the next, so the relation frames are not disabled and enabled again on the way.
void RelationsWindow::clearShownPerson() {
    for (QLabel* caption :
         {ui_->Label24, ui_->Label25, ui_->Label26, ui_->Label27, ui_->Label28, ui_->Label29,
          ui_->Label30, ui_->Label31, ui_->Label16, ui_->Label12, ui_->Label10, ui_->Label17,
          ui_->Label19, ui_->Label32, ui_->Label33, ui_->Label18}) {
        caption->clear();
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

void RelationsWindow::inform(const QString& text) { context_.toolkit.inform(this, text); }

QString RelationsWindow::PickFromRegistry() {
    if (registry_ == nullptr) {
        registry_ = new RegistryWindow(context_, this);
    }
    context_.toolkit.showModal(*registry_);
    return context_.selectedPersonKey.trimmed();
}

QString RelationsWindow::PickRelative() {
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

void RelationsWindow::ChoosePerson() {
    if (PickFromRegistry().isEmpty()) {
        return;
    }
    // Without a person loaded the relatives would be those of whoever was shown before.
    if (LoadPerson()) {
        LoadRelatives();
    }
}

bool RelationsWindow::LoadPerson() {
    const std::optional<Person> person = seekPerson(context_.selectedPersonKey.trimmed(),
                                                    QStringLiteral("Errore di lettura del record"));
    if (!person) {
        return false;
    }
    clearShownPerson();
    setIdCaption(person->idrecord);
    ui_->Label24->setText(person->cognome);
    ui_->Label25->setText(person->nome);
    ui_->Label28->setText(FormatDisplayDate(person->datanasc));
    ui_->Label26->setText(person->luogonasc);
    ui_->Label27->setText(person->nazionenasc);
    ui_->Label31->setText(FormatDisplayDate(person->datamorte));
    ui_->Label29->setText(person->luogomorte);
    ui_->Label30->setText(person->nazionemorte);
    (person->sesso == Male ? ui_->sesso_0 : ui_->sesso_1)->setChecked(true);
    loadedSex_ = personSex_;
    return true;
}

// Parents with their children first, then marriages, then children; a pass that cannot read its
// rows adds nothing and the next pass still runs.
void RelationsWindow::LoadRelatives() {
    const Result<std::vector<ParentLink>> parents =
        context_.connection.relazioni().parentsOf(currentKey());
    if (parents.ok()) {
        for (const ParentLink& link : parents.value()) {
            context_.selectedPersonKey.write(link.idgenitori);
            if (link.idsesso == Male) {
                LoadFather();
                fatherStored_ = true;
            } else {
                LoadMother();
                motherStored_ = true;
            }
        }
    }
    loadMarriages();
    loadChildren();
}

void RelationsWindow::LoadFather() { loadParent(Parent::Father); }

void RelationsWindow::LoadMother() { loadParent(Parent::Mother); }

void RelationsWindow::loadParent(Parent parent) {
    const bool father = parent == Parent::Father;
    const std::optional<Person> person =
        seekPerson(context_.selectedPersonKey.trimmed(),
                   father ? QStringLiteral("Errore di lettura del record padre")
                          : QStringLiteral("Errore di lettura del record madre"));
    if (!person) {
        return;
    }
    const QStringList cells = PersonCells(*person);
    const std::vector<QLabel*> row =
        father ? std::vector<QLabel*>{ui_->Label16, ui_->Label12, ui_->Label10, ui_->Label17}
               : std::vector<QLabel*>{ui_->Label19, ui_->Label32, ui_->Label33, ui_->Label18};
    for (std::size_t column = 0; column < row.size(); ++column) {
        row[column]->setText(cells[static_cast<qsizetype>(column)]);
    }
    mergeParentChildren(person->idrecord.trimmed(), parent);
}

// A mother's children are natural siblings; a father's children that she does not share are
// acquired once her children are known, and have no type until then.
void RelationsWindow::mergeParentChildren(const QString& parentKey, Parent parent) {
    const Result<std::vector<ParentLink>> children =
        context_.connection.relazioni().childrenOf(parentKey);
    if (children.ok()) {
        for (const ParentLink& link : children.value()) {
            mergeSibling(link.idfigli.trimmed(), parent);
        }
    }
    if (parent == Parent::Mother) {
        for (int row = 0; row < ui_->List13->count(); ++row) {
            QListWidgetItem* type = ui_->List13->item(row);
            if (type->text().trimmed().isEmpty()) {
                type->setText(Acquired);
            }
        }
        motherSiblingsRead_ = true;
    }
}

// A child whose record is missing, and the person shown, are left out silently.
void RelationsWindow::mergeSibling(const QString& childKey, Parent parent) {
    const Result<std::optional<Person>> child = context_.connection.anagrafica().seek(childKey);
    if (!child.ok() || !child.value() || child.value()->idrecord.trimmed() == currentKey()) {
        return;
    }
    const Person& sibling = *child.value();
    const QString key = sibling.idrecord.trimmed();
    if (const auto known = siblingRows_.constFind(key); known != siblingRows_.cend()) {
        if (parent == Parent::Mother) {
            ui_->List13->item(*known)->setText(Natural);
        }
        return;
    }
    siblingRows_.insert(key, ui_->List12->count());
    const QString type = parent == Parent::Mother ? Natural
                         : motherSiblingsRead_    ? Acquired
                                                  : QString();
    AppendRow(siblingLists_, PersonCells(sibling) << type);
}

void RelationsWindow::loadMarriages() {
    const MarriageTable& marriages = context_.connection.matrimoni();
    const bool asHusband = personSex_ == Male;
    const Result<std::vector<Marriage>> rows =
        asHusband ? marriages.ofHusband(currentKey()) : marriages.ofWife(currentKey());
    if (!rows.ok()) {
        return;
    }
    for (const Marriage& marriage : rows.value()) {
        const QString spouseKey = asHusband ? marriage.idmoglie : marriage.idmarito;
        const Result<std::optional<Person>> spouse =
            context_.connection.anagrafica().seek(spouseKey.trimmed());
        if (spouse.ok() && spouse.value()) {
            const Person& found = *spouse.value();
            AppendRow(marriageLists_, {found.idrecord, found.cognome, found.nome,
                                       FormatDisplayDate(marriage.data)});
            ui_->List1->item(ui_->List1->count() - 1)->setData(StoredRole, true);
        }
    }
}

void RelationsWindow::loadChildren() {
    const Result<std::vector<ParentLink>> children =
        context_.connection.relazioni().childrenOf(currentKey());
    if (!children.ok()) {
        return;
    }
    for (const ParentLink& link : children.value()) {
        context_.selectedPersonKey.write(link.idfigli);
        const int rows = ui_->List4->count();
        AddChildRow();
        if (ui_->List4->count() > rows) {
            ui_->List4->item(rows)->setData(StoredRole, true);
        }
    }
}

void RelationsWindow::AddChildRow() {
    const QString key = context_.selectedPersonKey.trimmed();
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

void RelationsWindow::LoadSpouseCandidate() {
    const std::optional<Person> spouse =
        seekPerson(context_.selectedPersonKey.trimmed(),
                   QStringLiteral("Errore di lettura del record coniuge"));
    if (spouse) {
        ui_->Label13->setText(spouse->idrecord);
        ui_->Label22->setText(spouse->cognome);
        ui_->Label23->setText(spouse->nome);
    }
}

void RelationsWindow::ChooseParent(Parent parent) {
    if (!PickRelative().isEmpty()) {
        loadParent(parent);
        (parent == Parent::Father ? fatherStored_ : motherStored_) = false;
    }
}

void RelationsWindow::ChooseSpouseCandidate() {
    if (!PickFromRegistry().isEmpty()) {
        LoadSpouseCandidate();
    }
}

void RelationsWindow::SyncListSelection(const ListGroup& group, int row) {
    for (QListWidget* list : group) {
        const QSignalBlocker blocker(list);
        list->setCurrentRow(row);
    }
}

void RelationsWindow::AddMarriageRow() {
    const QString spouse = ui_->Label13->text().trimmed();
    const QString dateText = ui_->Text9->text();
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
    if (RowOfKey(*ui_->List1, spouse) >= 0) {
        return;
    }
    AppendRow(marriageLists_,
              {ui_->Label13->text(), ui_->Label22->text(), ui_->Label23->text(), dateText});
    ui_->Label13->clear();
    ui_->Label22->clear();
    ui_->Label23->clear();
}

void RelationsWindow::RemoveMarriage() {
    const MarriageTable& marriages = context_.connection.matrimoni();
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
    const RelationTable& links = context_.connection.relazioni();
    const QString self = currentKey();
    removeSelectedRow(
        childLists_, [&](const QString& child) { return links.contains(self, child); },
        [&](const QString& child) { return links.remove(self, child); });
    childKeys_ = {};
    for (int row = 0; row < ui_->List4->count(); ++row) {
        childKeys_.insert(ui_->List4->item(row)->text().trimmed());
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
    if (!PickRelative().isEmpty()) {
        AddChildRow();
    }
}

void RelationsWindow::ImportChildren() {
    const QString other = PickRelative();
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
        context_.selectedPersonKey.write(link.idfigli);
        AddChildRow();
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
    if (const QString father = ui_->Label16->text().trimmed();
        !father.isEmpty() && !fatherStored_) {
        rows.parentLinks.push_back({father, self, Male});
    }
    if (const QString mother = ui_->Label19->text().trimmed();
        !mother.isEmpty() && !motherStored_) {
        rows.parentLinks.push_back({mother, self, Female});
    }
    for (int row = 0; row < ui_->List1->count(); ++row) {
        if (!rowToWrite(*ui_->List1, row)) {
            continue;
        }
        const QString spouse = ui_->List1->item(row)->text().trimmed();
        // Dates were checked when typed; loaded ones are shown as dd/mm/yyyy.
        const QDate date = ReadDayFirstDate(ui_->List7->item(row)->text()).value_or(QDate());
        rows.marriages.push_back(personSex_ == Male ? Marriage{self, spouse, date}
                                                    : Marriage{spouse, self, date});
    }
    for (int row = 0; row < ui_->List4->count(); ++row) {
        if (!rowToWrite(*ui_->List4, row)) {
            continue;
        }
        rows.childLinks.push_back({self, ui_->List4->item(row)->text().trimmed(), personSex_});
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
    const QString question =
        QStringLiteral(
            "Attenzione....\rSe confermi verranno cancellati tutti i dati relativi a: ") +
        ui_->Label24->text() + QStringLiteral(" - ") + ui_->Label25->text();
    if (!context_.toolkit.confirm(this, question) ||
        !context_.toolkit.confirm(this, QStringLiteral("Attenzione....\rSei proprio sicuro?"))) {
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
