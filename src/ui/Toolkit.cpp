#include "ui/Toolkit.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace radici {

namespace {

// Messages are plain text whose lines the windows join with "\r".
int ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(icon, ApplicationTitle, shown, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return box.exec();
}

}  // namespace

void QtToolkit::inform(QWidget* parent, const QString& text) {
    ShowMessage(parent, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtToolkit::confirm(QWidget* parent, const QString& text) {
    return ShowMessage(parent, QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::No) == QMessageBox::Yes;
}

void QtToolkit::showModal(QDialog& window) { window.exec(); }

void QtToolkit::beep() { QApplication::beep(); }

QString QtToolkit::askFileToWrite(QWidget* parent, const QString& caption,
                                  const QString& suggestedPath, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtToolkit::askFileToRead(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

}  // namespace radici
