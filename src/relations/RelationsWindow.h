#pragma once

#include "store/DatabaseConnection.h"
#include "store/Records.h"
#include "store/Status.h"

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QListWidget;
class QShowEvent;

namespace Ui {
class RelationsWindow;
}

namespace radici {

struct AppContext;
class RegistryWindow;

// The relations window "GESTIONE CORRELAZIONI PERSONE" (form anagrafica): one person with parents,
// brothers and sisters, marriages and children.
class RelationsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RelationsWindow(AppContext& context, QWidget* parent = nullptr);
    ~RelationsWindow() override;

    // Shows the person with the key; false, after a message, when there is none. Public so the
    // benchmarks can time it apart from the registry window.
    bool LoadPerson(const QString& key);
    // Reads the shown person's parents with brothers and sisters, marriages and children; a
    // failed read is reported.
    void LoadRelatives();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Parallel lists, one per column; row i of a relation is entry i of every list.
    using ListGroup = std::vector<QListWidget*>;
    enum class Parent { Father, Mother };
    struct Controls;

    void connectControls();
    void resetForOpening();

    // The Id label decides whether the four relation frames can be used.
    void setIdCaption(const QString& key);
    QString currentKey() const;

    void ClearRelationsWindow();
    void clearShownPerson();
    void clearSpouseCandidate();
    void choosePerson();
    QString PickFromRegistry();
    Status loadParents();
    Status LoadFather(const QString& key);
    Status LoadMother(const QString& key);
    void AddChildRow(const QString& childKey);
    void LoadSpouseCandidate(const QString& key);
    void chooseParent(Parent parent);
    void chooseSpouseCandidate();
    void SyncListSelection(const ListGroup& group, int row);

    void AddMarriageRow();
    void RemoveMarriage();
    void AddChild();
    void ImportChildren();
    void RemoveChild();
    void SaveRelations();
    void DeletePersonCascade();

    // Each loader adds what it could read and returns the first failed read.
    Status loadParent(Parent parent, const QString& key);
    Status mergeParentChildren(const QString& parentKey, Parent parent);
    Status mergeSibling(const QString& childKey, Parent parent);
    Status loadMarriages();
    Status loadChildren();

    // The person with the key, or nothing after a message: the store's description when the read
    // failed, missingMessage when there is no such person.
    std::optional<Person> seekPerson(const QString& key, const QString& missingMessage);
    // Asks for the key in the registry window; empty when nobody was chosen or the choice is
    // the current person, who cannot be their own relative (then with a message).
    QString pickRelative();
    // Removes the selected row of the group. A stored link is deleted first, after a question;
    // both functions take the key of the selected row.
    void removeSelectedRow(const ListGroup& group,
                           const std::function<Result<bool>(const QString&)>& isStored,
                           const std::function<Status(const QString&)>& deleteStored);
    RelationsToSave rowsToSave() const;
    // Whether "Salva" writes the row: rows read from the file are there already, unless the
    // person's sex changed, which moves marriages to the other side and changes idsesso.
    bool rowToWrite(const QListWidget& keys, int row) const;
    void inform(const QString& text);

    AppContext& context_;
    std::unique_ptr<Ui::RelationsWindow> ui_;
    std::unique_ptr<Controls> controls_;
    RegistryWindow* registry_ = nullptr;  // made on first use, owned as a child window
    ListGroup marriageLists_;
    ListGroup childLists_;
    ListGroup siblingLists_;
    SexCode personSex_ = Male;  // the sex option last selected: marriage side and idsesso saved
    bool motherSiblingsRead_ = false;  // the mother's children are merged into the sibling rows
    SexCode loadedSex_ = Male;         // the sex the shown person was loaded with
    // Parents read from the file rather than chosen by the user.
    bool fatherStored_ = false;
    bool motherStored_ = false;
    // Row of each sibling and the children's keys, so that merging stays linear in their number.
    QHash<QString, int> siblingRows_;
    QSet<QString> childKeys_;
};

}  // namespace radici
