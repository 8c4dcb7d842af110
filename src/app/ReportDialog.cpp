#include "app/ReportDialog.h"

#include "ui/Toolkit.h"
#include "ui_ReportDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSaveFile>

namespace radici {

ReportDialog::ReportDialog(Toolkit& toolkit, const ReportText& text, QWidget* parent)
    : QDialog(parent), toolkit_(toolkit), ui_(std::make_unique<Ui::ReportDialog>()) {
    ui_->setupUi(this);
    setObjectName(text.name);
    setWindowTitle(text.title);
    ui_->spiega->setText(text.introduction);
    if (text.acceptText.isEmpty()) {
        ui_->pulsanti->setStandardButtons(QDialogButtonBox::Ok);
    } else {
        ui_->pulsanti->button(QDialogButtonBox::Ok)->setText(text.acceptText);
        ui_->pulsanti->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    }
    QPushButton* save = ui_->pulsanti->addButton(QStringLiteral("Salva come testo..."),
                                                 QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("salvaComeTesto"));
    connect(save, &QPushButton::clicked, this, &ReportDialog::saveAsText);
    ui_->resoconto->setPlainText(text.lines.join(u'\n'));
}

ReportDialog::~ReportDialog() = default;

void ReportDialog::saveAsText() {
    const QString path =
        toolkit_.askFileToWrite(this, QStringLiteral("Salva come testo"),
                                QDir::home().filePath(QStringLiteral("resoconto.txt")),
                                QStringLiteral("File di testo (*.txt)"));
    if (path.isEmpty()) return;
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (QFileInfo::exists(path) &&
        !toolkit_.confirm(this,
                          QStringLiteral("Il file \"%1\" esiste già.\rSostituirlo?").arg(shown)))
        return;
    QSaveFile file(path);
    const QByteArray bytes = (ui_->resoconto->toPlainText() + u'\n').toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        toolkit_.inform(this, QStringLiteral("Impossibile salvare il resoconto nel file \"%1\" "
                                             "(%2): controlla che la cartella sia scrivibile e "
                                             "che il disco non sia pieno.")
                                  .arg(shown, file.errorString()));
}

}  // namespace radici
