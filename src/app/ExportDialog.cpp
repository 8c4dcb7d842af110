#include "app/ExportDialog.h"

#include "ui_ExportDialog.h"

namespace radici {

ExportDialog::ExportDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportDialog>()) {
    ui_->setupUi(this);
}

ExportDialog::~ExportDialog() = default;

bool ExportDialog::privateMode() const { return ui_->privato->isChecked(); }

}  // namespace radici
