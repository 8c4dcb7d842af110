#pragma once

#include "store/Records.h"
#include "store/SearchResult.h"

#include <QDialog>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace Ui {
class RegistryWindow;
}

namespace radici {

struct AppContext;

// The registry window " ANAGRAFICA PERSONA" (form cerca): searches, creates and corrects persons,
// and hands a chosen person back through the context's SelectedPersonKey.
//
// One window serves three modes, told apart by its size: browsing (compact), creating and
// modifying (full). The object is made once and reused; each showing starts afresh except for
// the latest search result, which stays until the next search.
class RegistryWindow : public QDialog {
    Q_OBJECT
public:
    explicit RegistryWindow(AppContext& context, QWidget* parent = nullptr);
    ~RegistryWindow() override;

    // Unload step: every way of closing ends here, so a key from an earlier use never survives
    // a close without a choice.
    void done(int result) override;

protected:
    // Load step, at each showing.
    void showEvent(QShowEvent* event) override;
    // Esc acts as the upper "Annulla", so it does nothing while that button is disabled.
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class EditMode { Creating = 0, Modifying = 1 };
    enum class Move { First, Previous, Next, Last };
    struct Controls;

    void connectHandlers();
    // Full size shows the person-data frame and its buttons; compact leaves them out.
    void setEditingSize(bool editing);

    void search();
    void RunSearch();
    void ShowCurrentResult();
    void ClearResult();
    void navigate(Move move);
    void choosePerson();
    void cancel();

    void enterCreating();
    void createRecord();
    void composeKey(bool dateBoxChanged);
    // The only way the key label changes: each change switches "Crea record".
    void setKeyLabel(const QString& key);

    void enterModifying();
    void LoadPersonForEdit();
    void modifyRecord();
    void ReturnToBrowsing();

    // A box of the person-data frame and the field it shows.
    struct FieldBox {
        QLineEdit* box;
        PersonColumn column;
        QString name;
        QString Person::*text;               // null for a date box
        QDate Person::*date;                 // null for a text box
        QString PersonDatesInPart::*inPart;  // null for a text box
    };
    std::vector<FieldBox> fieldBoxes() const;
    // Shows the loaded person; the names of the fields whose stored value the boxes cannot show
    // whole.
    QStringList showLoadedPerson();

    // A sex not known selects neither option.
    void selectSex(const std::optional<SexCode>& sex);
    // The person as the boxes describe it; the caller checks the key and the death date first.
    Person personFromBoxes() const;
    // The loaded person with the fields of the boxes the user changed.
    Person correctedPerson() const;
    bool boxChanged(const QLineEdit& box) const;
    // False, after telling the user, when the key label holds too short a key.
    bool checkKey(const QString& lengthHint);
    // False, after telling the user, when the death-date box holds something that is no date.
    bool checkDeathDate();
    // A death date typed or emptied replaces the one known only in part.
    void replaceDeathInPart();

    AppContext& context_;
    std::unique_ptr<Ui::RegistryWindow> ui_;
    std::unique_ptr<Controls> controls_;
    SearchResult searchResult_;  // kept from one showing to the next
    QString shownKey_;           // of the result shown: what "Seleziona" and "Modifica" take
    // The person being corrected as the file held it, and what each box showed of it: a box the
    // user leaves alone writes nothing back.
    std::optional<StoredPerson> loaded_;
    PersonDatesInPart loadedInPart_;
    std::vector<QString> shownTexts_;
    EditMode editMode_ = EditMode::Creating;
    std::optional<SexCode> personSex_ = Male;
    bool personChosen_ = false;
};

// Shows the context's one registry window modally over the caller for a choice and returns the
// key chosen, trimmed; empty when nobody was chosen. The window is made on first use and kept,
// so its latest search survives. The registry window alone writes SelectedPersonKey.
QString PickFromRegistry(AppContext& context, QWidget* caller);

}  // namespace radici
