#include "ui/Toolkit.h"

#include <QApplication>
#include <QDialog>
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

}  // namespace radici
