#pragma once

#include "personcard/PersonCard.h"

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class PersonCardWindow;
}

namespace radici {

struct AppContext;

// "Scheda persona": creates a person of any kind, or shows a person chosen in the registry window
// and corrects what may be corrected. Each opening starts with a new person.
class PersonCardWindow : public QDialog {
    Q_OBJECT
public:
    explicit PersonCardWindow(AppContext& context, QWidget* parent = nullptr);
    ~PersonCardWindow() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A text box, the field it edits and the length the user may type.
    struct Box {
        QLineEdit* edit;
        QString CardFields::*field;
        int length;
    };
    std::vector<Box> boxes() const;

    void startNew();
    void choosePerson();
    void save();
    // Copies the card into the controls and locks what the card locks.
    void showCard();
    CardFields typedFields() const;

    AppContext& context_;
    std::unique_ptr<Ui::PersonCardWindow> ui_;
    PersonCard card_;
};

}  // namespace radici
