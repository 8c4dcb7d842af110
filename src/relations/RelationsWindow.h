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

    // Index of the sex option last selected: it decides the marriage side and the idsesso saved.
    SexCode PersonSex() const { return personSex_; }
    // Whether the mother's children have been merged into the sibling rows.
    bool MotherSiblingsRead() const { return motherSiblingsRead_; }

    // Shows the person whose key is in SelectedPersonKey; false, after a message, when there is
    // none. Public so the benchmarks can time it apart from the registry window.
    bool LoadPerson();
    // Reads the shown person's parents with brothers and sisters, marriages and children.
    void LoadRelatives();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Parallel lists, one per column; row i of a relation is entry i of every list.
    using ListGroup = std::vector<QListWidget*>;
    enum class Parent { Father, Mother };

    void connectControls();
    void resetForOpening();

    // The Id label decides whether the four relation frames can be used.
    void setIdCaption(const QString& key);
    QString currentKey() const;

    void ClearRelationsWindow();
    void clearShownPerson();
    void ChoosePerson();
    QString PickFromRegistry();
    void LoadFather();
    void LoadMother();
    void AddChildRow();
    void LoadSpouseCandidate();
    void ChooseParent(Parent parent);
    void ChooseSpouseCandidate();
    void SyncListSelection(const ListGroup& group, int row);

    void AddMarriageRow();
    void RemoveMarriage();
    void AddChild();
    void ImportChildren();
    void RemoveChild();
    void SaveRelations();
    void DeletePersonCascade();

    void loadParent(Parent parent);
    void mergeParentChildren(const QString& parentKey, Parent parent);
    void mergeSibling(const QString& childKey, Parent parent);
    void loadMarriages();
    void loadChildren();

    // The person with the key, or nothing after a message: the store's description when the read
    // failed, missingMessage when there is no such person.
    std::optional<Person> seekPerson(const QString& key, const QString& missingMessage);
    // Asks for the key in the registry window; empty when nobody was chosen or the choice is
    // the current person, who cannot be their own relative (then with a message).
    QString PickRelative();
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
    RegistryWindow* registry_ = nullptr;  // made on first use, owned as a child window
    ListGroup marriageLists_;
    ListGroup childLists_;
    ListGroup siblingLists_;
    SexCode personSex_ = Male;
    SexCode loadedSex_ = Male;  // the sex the shown person was loaded with
    bool motherSiblingsRead_ = false;
    // Parents read from the file rather than chosen by the user.
    bool fatherStored_ = false;
    bool motherStored_ = false;
    // Row of each sibling and the children's keys, so that merging stays linear in their number.
    QHash<QString, int> siblingRows_;
    QSet<QString> childKeys_;
};

}  // namespace radici
