#include "relations/RelationsEditor.h"

#include "store/Dates.h"
#include "store/PartialDate.h"

#include <algorithm>

namespace radici {
namespace {

const QString NotEnoughData = QStringLiteral("Non ci sono dati sufficienti");
const QString NotDuplicable = QStringLiteral("Attenzione... dato non duplicabile");
const QString Natural = QStringLiteral("Naturale");
const QString Acquired = QStringLiteral("Acquisito");
const QString Warning = QStringLiteral("Attenzione....");

const QStringList ConfirmRemoval = {
    Warning, QStringLiteral("Se confermi id dato verrà cancellato dal database")};
const QStringList SexNeeded = {
    QStringLiteral("Attenzione... il sesso della persona non è noto: matrimoni e figli non "
                   "sono stati salvati, perché è il sesso a dire chi è marito o moglie, padre "
                   "o madre."),
    QStringLiteral("Scegli \"Maschio\" o \"Femmina\" e premi di nuovo \"Salva\".")};

}  // namespace

RelationsEditor::RelationsEditor(DatabaseConnection& connection, EditorPrompts prompts)
    : connection_(connection), prompts_(std::move(prompts)) {}

std::optional<Person> RelationsEditor::seekPerson(const QString& key,
                                                  const QString& missingMessage) {
    const Result<std::optional<Person>> found = connection_.anagrafica().seek(key);
    if (!found.ok()) {
        prompts_.inform(found.status().description());
        return std::nullopt;
    }
    if (!found.value()) {
        prompts_.inform(missingMessage);
    }
    return found.value();
}

void RelationsEditor::ClearRelationsWindow() {
    person_ = {};
    father_.reset();
    mother_.reset();
    fatherChosen_ = false;
    motherChosen_ = false;
    siblings_.clear();
    marriages_.clear();
    children_.clear();
    siblingRows_.clear();
    childKeys_.clear();
    motherSiblingsRead_ = false;
}

void RelationsEditor::resetForOpening() {
    ClearRelationsWindow();
    candidate_ = {};
}

bool RelationsEditor::LoadPerson(const QString& key) {
    const std::optional<Person> person =
        seekPerson(key.trimmed(), QStringLiteral("Errore di lettura del record"));
    if (!person) {
        return false;
    }
    const Result<PersonDatesInPart> inPart =
        connection_.datesInPart().ofPerson(person->idrecord.trimmed());
    if (!inPart.ok()) {
        prompts_.inform(inPart.status().description());
        return false;
    }
    ClearRelationsWindow();
    person_ = {person->idrecord,
               person->cognome,
               person->nome,
               ShownDate(person->datanasc, inPart.value().birth),
               person->luogonasc,
               person->nazionenasc,
               ShownDate(person->datamorte, inPart.value().death),
               person->luogomorte,
               person->nazionemorte};
    // Never the sex of the person shown before.
    sex_ = IsKnownSex(person->sesso) ? person->sesso : std::nullopt;
    loadedSex_ = sex_;
    return true;
}

// Parents with their children first, then marriages, then children. A pass that cannot read its
// rows adds nothing more and the next pass still runs; the first failure is reported once, so
// the user never takes a partial family for the whole one.
void RelationsEditor::LoadRelatives() {
    const Status failure = connection_.runReading([this] {
        Status first = loadParents();
        for (const Status& pass : {loadMarriages(), loadChildren()}) {
            if (first.ok()) first = pass;
        }
        return first;
    });
    if (!failure.ok()) {
        prompts_.inform(failure.description());
    }
}

Status RelationsEditor::loadParents() {
    const Result<std::vector<ParentLink>> parents = connection_.relazioni().parentsOf(currentKey());
    if (!parents.ok()) {
        return parents.status();
    }
    Status failure;
    for (const ParentLink& link : parents.value()) {
        const Status read =
            loadParent(link.idsesso == Male ? Parent::Father : Parent::Mother, link.idgenitori);
        if (failure.ok()) failure = read;
    }
    return failure;
}

// Any choice counts as a change, even of the parent already shown: the link is written with
// this row's idsesso.
void RelationsEditor::chooseParent(Parent which, const QString& key) {
    if (const Status read = loadParent(which, key); !read.ok()) {
        prompts_.inform(read.description());
    }
    (which == Parent::Father ? fatherChosen_ : motherChosen_) = true;
}

// A parent whose record is missing is reported at once and adds nothing.
Status RelationsEditor::loadParent(Parent which, const QString& key) {
    const bool father = which == Parent::Father;
    const std::optional<Person> person =
        seekPerson(key.trimmed(), father ? QStringLiteral("Errore di lettura del record padre")
                                         : QStringLiteral("Errore di lettura del record madre"));
    if (!person) {
        return Status::success();
    }
    Result<RelativeRow> row = rowOf(*person, false);
    if (!row.ok()) {
        return row.status();
    }
    (father ? father_ : mother_) = std::move(row).value();
    return mergeParentChildren(person->idrecord.trimmed(), which);
}

// A mother's children are natural siblings; a father's children that she does not share are
// acquired once her children are known, and have no type until then.
Status RelationsEditor::mergeParentChildren(const QString& parentKey, Parent which) {
    const Result<std::vector<ParentLink>> children = connection_.relazioni().childrenOf(parentKey);
    if (!children.ok()) {
        return children.status();
    }
    for (const ParentLink& link : children.value()) {
        if (const Status merged = mergeSibling(link.idfigli.trimmed(), which); !merged.ok()) {
            return merged;
        }
    }
    if (which == Parent::Mother) {
        for (RelativeRow& sibling : siblings_) {
            if (sibling.type.trimmed().isEmpty()) sibling.type = Acquired;
        }
        motherSiblingsRead_ = true;
    }
    return Status::success();
}

// A child whose record is missing, and the person shown, are left out silently.
Status RelationsEditor::mergeSibling(const QString& childKey, Parent which) {
    const Result<std::optional<Person>> child = connection_.anagrafica().seek(childKey);
    if (!child.ok()) {
        return child.status();
    }
    if (!child.value() || child.value()->idrecord.trimmed() == currentKey()) {
        return Status::success();
    }
    const QString key = child.value()->idrecord.trimmed();
    if (const auto known = siblingRows_.constFind(key); known != siblingRows_.cend()) {
        if (which == Parent::Mother) {
            siblings_[static_cast<std::size_t>(*known)].type = Natural;
        }
        return Status::success();
    }
    Result<RelativeRow> row = rowOf(*child.value(), true);
    if (!row.ok()) {
        return row.status();
    }
    siblingRows_.insert(key, static_cast<int>(siblings_.size()));
    RelativeRow sibling = std::move(row).value();
    sibling.type = which == Parent::Mother ? Natural : motherSiblingsRead_ ? Acquired : QString();
    siblings_.push_back(std::move(sibling));
    return Status::success();
}

// A birth known to the day has nothing known in part, so nothing more is read.
Result<RelativeRow> RelationsEditor::rowOf(const Person& person, bool stored) const {
    RelativeRow row{
        person.idrecord, person.cognome, person.nome, FormatDisplayDate(person.datanasc), {},
        stored};
    if (person.datanasc.isValid()) {
        return row;
    }
    const Result<PersonDatesInPart> inPart =
        connection_.datesInPart().ofPerson(person.idrecord.trimmed());
    if (!inPart.ok()) {
        return inPart.status();
    }
    row.date = ShownDate({}, inPart.value().birth);
    return row;
}

// Whose sex is not known may be husband or wife: both are shown.
Status RelationsEditor::loadMarriages() {
    const MarriageTable& marriages = connection_.matrimoni();
    Status read;
    if (sex_ != Female) read = addMarriages(marriages.ofHusband(currentKey()), true);
    if (read.ok() && sex_ != Male) read = addMarriages(marriages.ofWife(currentKey()), false);
    return read;
}

// A spouse whose record is missing is left out silently; two rows for one spouse are both shown.
// A date known only in part is shown as such, never taken for the date of the row.
Status RelationsEditor::addMarriages(const Result<std::vector<Marriage>>& rows, bool asHusband) {
    if (!rows.ok()) {
        return rows.status();
    }
    for (const Marriage& marriage : rows.value()) {
        const QString spouseKey = asHusband ? marriage.idmoglie : marriage.idmarito;
        const Result<std::optional<Person>> spouse =
            connection_.anagrafica().seek(spouseKey.trimmed());
        if (!spouse.ok()) {
            return spouse.status();
        }
        if (!spouse.value()) continue;
        Result<RelativeRow> row = rowOf(*spouse.value(), true);
        if (!row.ok()) return row.status();
        const Result<QString> inPart =
            marriage.data.isValid() ? Result<QString>(QString())
                                    : connection_.datesInPart().ofMarriage(
                                          marriage.idmarito.trimmed(), marriage.idmoglie.trimmed());
        if (!inPart.ok()) return inPart.status();
        row.value().date = ShownDate(marriage.data, inPart.value());
        marriages_.push_back(std::move(row).value());
    }
    return Status::success();
}

Status RelationsEditor::loadChildren() {
    const Result<std::vector<ParentLink>> children =
        connection_.relazioni().childrenOf(currentKey());
    if (!children.ok()) {
        return children.status();
    }
    for (const ParentLink& link : children.value()) {
        AddChildRow(link.idfigli, true);
    }
    return Status::success();
}

void RelationsEditor::AddChildRow(const QString& key, bool stored) {
    const QString trimmed = key.trimmed();
    if (childKeys_.contains(trimmed)) {
        return;
    }
    const std::optional<Person> child =
        seekPerson(trimmed, QStringLiteral("Errore di lettura del record figli"));
    if (!child) {
        return;
    }
    Result<RelativeRow> row = rowOf(*child, stored);
    if (!row.ok()) {
        prompts_.inform(row.status().description());
        return;
    }
    children_.push_back(std::move(row).value());
    childKeys_.insert(trimmed);
}

void RelationsEditor::LoadSpouseCandidate(const QString& key) {
    if (const std::optional<Person> spouse =
            seekPerson(key.trimmed(), QStringLiteral("Errore di lettura del record coniuge"))) {
        candidate_ = {spouse->idrecord, spouse->cognome, spouse->nome, {}, {}, false};
    }
}

void RelationsEditor::AddMarriageRow(const QString& dateText) {
    const QString spouse = candidate_.key.trimmed();
    if (spouse.isEmpty()) {
        prompts_.inform(NotEnoughData);
        return;
    }
    if (spouse == currentKey()) {
        prompts_.inform(NotDuplicable);
        return;
    }
    if (!dateText.trimmed().isEmpty() && !ReadDayFirstDate(dateText)) {
        prompts_.inform(NotEnoughData);
        return;
    }
    const auto listed = [&](const RelativeRow& row) { return row.key.trimmed() == spouse; };
    if (std::any_of(marriages_.cbegin(), marriages_.cend(), listed)) {
        return;
    }
    candidate_.date = dateText;
    marriages_.push_back(candidate_);
    candidate_ = {};
}

bool RelationsEditor::acceptsRelative(const QString& key) {
    if (key == currentKey()) {
        prompts_.inform(NotDuplicable);
        return false;
    }
    return !key.isEmpty();
}

void RelationsEditor::AddChild(const QString& key) {
    if (acceptsRelative(key)) {
        AddChildRow(key, false);
    }
}

void RelationsEditor::ImportChildren(const QString& otherKey) {
    if (!acceptsRelative(otherKey)) {
        return;
    }
    const Result<std::vector<ParentLink>> children = connection_.relazioni().childrenOf(otherKey);
    if (!children.ok()) {
        prompts_.inform(children.status().description());
        return;
    }
    const QString self = currentKey();
    for (const ParentLink& link : children.value()) {
        // The person may be among the other's children, but is never their own child.
        if (link.idfigli.trimmed() != self) {
            AddChildRow(link.idfigli, false);
        }
    }
}

// In the roles PersonSex gives; whose sex is not known, in either role.
void RelationsEditor::RemoveMarriage(int row) {
    MarriageTable& marriages = connection_.matrimoni();
    const QString self = currentKey();
    const auto pairs = [&](const QString& spouse) {
        std::vector<std::pair<QString, QString>> both;
        if (sex_ != Female) both.emplace_back(self, spouse);
        if (sex_ != Male) both.emplace_back(spouse, self);
        return both;
    };
    removeRow(
        marriages_, row,
        [&](const QString& spouse) -> Result<bool> {
            for (const auto& [husband, wife] : pairs(spouse)) {
                const Result<bool> stored = marriages.contains(husband, wife);
                if (!stored.ok() || stored.value()) return stored;
            }
            return false;
        },
        [&](const QString& spouse) {
            for (const auto& [husband, wife] : pairs(spouse)) {
                if (Status removed = marriages.remove(husband, wife); !removed.ok()) return removed;
            }
            return Status::success();
        });
}

void RelationsEditor::RemoveChild(int row) {
    RelationTable& links = connection_.relazioni();
    const QString self = currentKey();
    removeRow(
        children_, row, [&](const QString& child) { return links.contains(self, child); },
        [&](const QString& child) { return links.remove(self, child); });
    rebuildChildKeys();
}

void RelationsEditor::rebuildChildKeys() {
    childKeys_.clear();
    for (const RelativeRow& child : children_) {
        childKeys_.insert(child.key.trimmed());
    }
}

// Whether to ask is decided by the table, not by the row: a row added by hand may be stored
// already. A stored link that cannot be deleted keeps its row, so the list never claims it is
// gone.
void RelationsEditor::removeRow(std::vector<RelativeRow>& rows, int row,
                                const std::function<Result<bool>(const QString&)>& isStored,
                                const std::function<Status(const QString&)>& deleteStored) {
    const bool inRange = row >= 0 && row < static_cast<int>(rows.size());
    const QString key = inRange ? rows[static_cast<std::size_t>(row)].key.trimmed() : QString();
    if (key.isEmpty()) {
        prompts_.inform(NotEnoughData);
        return;
    }
    const Result<bool> stored = isStored(key);
    if (!stored.ok()) {
        prompts_.inform(stored.status().description());
        return;
    }
    if (!stored.value()) {
        rows.erase(rows.begin() + row);
        return;
    }
    if (!prompts_.confirm(ConfirmRemoval)) {
        return;
    }
    if (const Status removed = deleteStored(key); !removed.ok()) {
        prompts_.inform(removed.description());
        return;
    }
    // Every stored row of the pair is gone, so no list row of it may stay.
    std::erase_if(rows, [&](const RelativeRow& other) { return other.key.trimmed() == key; });
}

RelationsToSave RelationsEditor::rowsToSave() const {
    RelationsToSave rows;
    const QString self = currentKey();
    const auto addParent = [&](const std::optional<RelativeRow>& row, bool chosen, SexCode sex) {
        if (chosen && row && !row->key.trimmed().isEmpty()) {
            rows.parentLinks.push_back({row->key.trimmed(), self, sex});
        }
    };
    addParent(father_, fatherChosen_, Male);
    addParent(mother_, motherChosen_, Female);
    // Without a sex the roles of marriages and child links are not known: only parents go.
    if (!sex_) return rows;
    for (const RelativeRow& marriage : marriages_) {
        if (!toWrite(marriage)) continue;
        const QString spouse = marriage.key.trimmed();
        // Dates were checked when typed; loaded ones are shown as dd/mm/yyyy, or in a short form
        // that is no such date.
        const QDate date = ReadDayFirstDate(marriage.date).value_or(QDate());
        rows.marriages.push_back(*sex_ == Male ? Marriage{self, spouse, date}
                                               : Marriage{spouse, self, date});
    }
    for (const RelativeRow& child : children_) {
        if (toWrite(child)) rows.childLinks.push_back({self, child.key.trimmed(), *sex_});
    }
    return rows;
}

bool RelationsEditor::waitingForSex() const {
    const auto added = [this](const RelativeRow& row) { return toWrite(row); };
    return !sex_ && (std::any_of(marriages_.cbegin(), marriages_.cend(), added) ||
                     std::any_of(children_.cbegin(), children_.cend(), added));
}

// All rows or none: on a failure everything stays shown so the user can try again. Without a
// sex the parents are written and the rest stays shown until a sex is chosen.
void RelationsEditor::SaveRelations() {
    const RelationsToSave rows = rowsToSave();
    const bool nothingToWrite =
        rows.parentLinks.empty() && rows.marriages.empty() && rows.childLinks.empty();
    if (!nothingToWrite) {
        if (const Status saved = connection_.saveRelations(rows); !saved.ok()) {
            prompts_.inform(saved.description());
            return;
        }
    }
    if (waitingForSex()) {
        fatherChosen_ = false;  // written
        motherChosen_ = false;
        prompts_.inform(SexNeeded.join(u'\r'));
        return;
    }
    ClearRelationsWindow();
}

void RelationsEditor::DeletePersonCascade() {
    const QString key = currentKey();
    if (key.isEmpty()) {
        return;
    }
    const QStringList question = {
        Warning, QStringLiteral("Se confermi verranno cancellati tutti i dati relativi a: ") +
                     person_.surname + QStringLiteral(" - ") + person_.givenName};
    if (!prompts_.confirm(question) ||
        !prompts_.confirm({Warning, QStringLiteral("Sei proprio sicuro?")})) {
        return;
    }
    const CascadeOutcome outcome = connection_.deletePersonCascade(key);
    if (outcome.committed()) {
        ClearRelationsWindow();
        return;
    }
    for (const Status& failure : outcome.failures) {
        prompts_.inform(failure.description());
    }
    prompts_.inform(QStringLiteral("Si è verificato un errore. La procedura è stata annullata"));
}

}  // namespace radici
