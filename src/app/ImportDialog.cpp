#include "app/ImportDialog.h"

#include "ui_ImportDialog.h"

#include <QPushButton>

namespace radici {

ImportDialog::ImportDialog(const QStringList& reportLines, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ImportDialog>()) {
    ui_->setupUi(this);
    ui_->pulsanti->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Importa"));
    ui_->pulsanti->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    ui_->resoconto->setPlainText(reportLines.join(u'\n'));
}

ImportDialog::~ImportDialog() = default;

}  // namespace radici
