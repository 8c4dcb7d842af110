#pragma once

#include <QDialog>

namespace radici {

struct AppContext;

// The relations window "GESTIONE CORRELAZIONI PERSONE" (form anagrafica): one person with parents,
// brothers and sisters, marriages and children.
class RelationsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RelationsWindow(AppContext& context, QWidget* parent = nullptr);
    ~RelationsWindow() override;
};

}  // namespace radici
