#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ExportDialog;
}

namespace radici {

// Asks how to export: whole, or without the dates, places and keys of living persons.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportDialog(QWidget* parent = nullptr);
    ~ExportDialog() override;

    bool privateMode() const;

private:
    std::unique_ptr<Ui::ExportDialog> ui_;
};

}  // namespace radici
