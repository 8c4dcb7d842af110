#pragma once

#include "relations/RelationsEditor.h"

#include <QDialog>
#include <QString>
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

// The relations window "GESTIONE CORRELAZIONI PERSONE" (form anagrafica): one person with parents,
// brothers and sisters, marriages and children.
class RelationsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RelationsWindow(AppContext& context, QWidget* parent = nullptr);
    ~RelationsWindow() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Parallel lists, one per column; row i of a relation is entry i of every list.
    using ListGroup = std::vector<QListWidget*>;
    struct Controls;

    void connectControls();
    void resetForOpening();
    // Shows what the editor holds, touching only what changed.
    void showFamily();
    // The Id label decides whether the four relation frames can be used.
    void setIdCaption(const QString& key);
    void showSex(const std::optional<SexCode>& sex);

    // Each handler asks the editor and shows its rows.
    void ClearRelationsWindow();
    void choosePerson();
    bool LoadPerson(const QString& key);
    void LoadRelatives();
    // LoadFather or LoadMother for the person chosen.
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
    // Removes the selected row through the editor; a row that goes leaves no row selected.
    void removeSelectedRow(const ListGroup& group, void (RelationsEditor::*remove)(int));

    AppContext& context_;
    std::unique_ptr<Ui::RelationsWindow> ui_;
    std::unique_ptr<Controls> controls_;
    RelationsEditor editor_;
    ListGroup marriageLists_;
    ListGroup childLists_;
    ListGroup siblingLists_;
};

}  // namespace radici
