#pragma once

#include <QDialog>

namespace radici {

struct AppContext;

// The registry window " ANAGRAFICA PERSONA" (form cerca): searches, creates and corrects persons,
// and hands a chosen person back through the context's SelectedPersonKey.
class RegistryWindow : public QDialog {
    Q_OBJECT
public:
    explicit RegistryWindow(AppContext& context, QWidget* parent = nullptr);
    ~RegistryWindow() override;
};

}  // namespace radici
