#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class ImportDialog;
}

namespace radici {

// Shows what an import would do, before anything is written: "Importa" goes ahead, "Annulla"
// leaves the database as it is.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    ImportDialog(const QStringList& reportLines, QWidget* parent = nullptr);
    ~ImportDialog() override;

private:
    std::unique_ptr<Ui::ImportDialog> ui_;
};

}  // namespace radici
