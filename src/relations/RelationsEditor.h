#pragma once

#include "store/DatabaseConnection.h"
#include "store/Records.h"
#include "store/Status.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace radici {

// A relative in one row of a list, or in a parent row: the key and names as stored, the date as
// shown ("dd/mm/yyyy", or the text typed for a marriage added by hand).
struct RelativeRow {
    QString key;
    QString surname;
    QString givenName;
    QString date;
    QString type;         // brothers and sisters only: "Naturale", "Acquisito" or empty
    bool stored = false;  // read from the file rather than added by the user

    bool operator==(const RelativeRow&) const = default;
};

// The person shown, as stored; dates as shown.
struct ShownPerson {
    QString key;
    QString surname;
    QString givenName;
    QString birthDate;
    QString birthPlace;
    QString birthCountry;
    QString deathDate;
    QString deathPlace;
    QString deathCountry;
};

enum class Parent { Father, Mother };

// What the editor asks of the one who shows it: a message, and a Yes/No question (true on Yes).
struct EditorPrompts {
    std::function<void(const QString&)> inform;
    std::function<bool(const QStringList& lines)> confirm;
};

// The family of the person shown in the relations window, without widgets: the person, the
// parents, brothers and sisters, marriages and children as read from the file and as the user
// changed them, with the rules that read them, change them and say what "Salva" writes.
// Keys are compared trimmed; the rows keep them as stored.
class RelationsEditor {
public:
    RelationsEditor(DatabaseConnection& connection, EditorPrompts prompts);

    // Shows the person with the key; false, after a message, when there is none.
    bool LoadPerson(const QString& key);
    // Reads the shown person's parents with their children, marriages and children.
    void LoadRelatives();
    // Everything but the spouse candidate and the sex.
    void ClearRelationsWindow();
    // Each opening of the window: nobody shown and no spouse candidate; the sex stays.
    void resetForOpening();
    // Whether a chosen relative may be added: the person shown may not (with a message), and
    // then nobody chosen may not. The test against the person comes first.
    bool acceptsRelative(const QString& key);

    // A parent chosen by the user: it replaces the row and adds that parent's children to the
    // brothers and sisters; "Salva" writes it.
    void LoadFather(const QString& key) { chooseParent(Parent::Father, key); }
    void LoadMother(const QString& key) { chooseParent(Parent::Mother, key); }
    void LoadSpouseCandidate(const QString& key);
    // The spouse candidate with the typed date as a new marriage, after the checks.
    void AddMarriageRow(const QString& dateText);
    // A chosen child, and the children of a chosen person; an empty key (nobody chosen) does
    // nothing, the person shown is refused.
    void AddChild(const QString& key);
    void ImportChildren(const QString& otherKey);
    // The row; a stored marriage or link is deleted first, after a question.
    void RemoveMarriage(int row);
    void RemoveChild(int row);
    // Writes what the user added or changed, then clears; on a failure keeps everything.
    void SaveRelations();
    // Deletes the person with every link after two questions, then clears.
    void DeletePersonCascade();

    // The rows "Salva" writes: only what the user added or changed.
    RelationsToSave rowsToSave() const;

    // The sex option last selected: 0 "Maschio", 1 "Femmina"; none for a person loaded with a
    // sex not known, until an option is chosen.
    const std::optional<SexCode>& sex() const { return sex_; }
    void setSex(SexCode sex) { sex_ = sex; }

    const ShownPerson& person() const { return person_; }
    // The Id caption is not trimmed: blanks still show a person.
    bool showing() const { return !person_.key.isEmpty(); }
    const std::optional<RelativeRow>& parent(Parent which) const {
        return which == Parent::Father ? father_ : mother_;
    }
    const std::vector<RelativeRow>& siblings() const { return siblings_; }
    const std::vector<RelativeRow>& marriages() const { return marriages_; }
    const std::vector<RelativeRow>& children() const { return children_; }
    const RelativeRow& spouseCandidate() const { return candidate_; }

private:
    QString currentKey() const { return person_.key.trimmed(); }
    // The person with the key, or nothing after a message: the store's description when the read
    // failed, missingMessage when there is no such person.
    std::optional<Person> seekPerson(const QString& key, const QString& missingMessage);
    void chooseParent(Parent which, const QString& key);
    // Each loader adds what it could read and returns the first failed read.
    Status loadParents();
    Status loadParent(Parent which, const QString& key);
    Status mergeParentChildren(const QString& parentKey, Parent which);
    Status mergeSibling(const QString& childKey, Parent which);
    Status loadMarriages();
    Status loadChildren();
    // Adds the child unless listed already; a missing person is reported.
    void AddChildRow(const QString& key, bool stored);
    // Removes the row of the list; a stored link is deleted first, after a question, and then
    // every row of that key goes with it. Both functions take the row's trimmed key.
    void removeRow(std::vector<RelativeRow>& rows, int row,
                   const std::function<Result<bool>(const QString&)>& isStored,
                   const std::function<Status(const QString&)>& deleteStored);
    void rebuildChildKeys();
    // Whether "Salva" writes the row: rows read from the file are there already, unless the
    // person's known sex changed, which moves marriages to the other side and changes idsesso. A
    // sex chosen for a person loaded without one decides only the rows added.
    bool toWrite(const RelativeRow& row) const {
        return !row.stored || (loadedSex_ && sex_ != loadedSex_);
    }
    // Rows the user added that wait for a sex: their roles depend on it.
    bool waitingForSex() const;
    // The row of a relative, the birth date as shown.
    Result<RelativeRow> rowOf(const Person& person, bool stored) const;
    Status addMarriages(const Result<std::vector<Marriage>>& rows, bool asHusband);

    DatabaseConnection& connection_;
    EditorPrompts prompts_;
    ShownPerson person_;
    std::optional<RelativeRow> father_;
    std::optional<RelativeRow> mother_;
    bool fatherChosen_ = false;  // by the user: "Salva" writes the link
    bool motherChosen_ = false;
    std::vector<RelativeRow> siblings_;
    std::vector<RelativeRow> marriages_;
    std::vector<RelativeRow> children_;
    RelativeRow candidate_;
    std::optional<SexCode> sex_ = Male;
    std::optional<SexCode> loadedSex_ = Male;  // the sex the shown person was loaded with
    bool motherSiblingsRead_ = false;          // the mother's children are merged into the siblings
    // Row of each sibling and the children's keys, so that merging stays linear in their number.
    QHash<QString, int> siblingRows_;
    QSet<QString> childKeys_;
};

}  // namespace radici
