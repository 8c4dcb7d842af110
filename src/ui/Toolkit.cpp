#include "ui/Toolkit.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace radici {

// Messages are plain text whose lines the windows join with "\r".
int QtToolkit::showMessage(QWidget* parent, int icon, const QString& text, int buttons,
                           int defaultButton) {
    if (ending_) return QMessageBox::No;
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), ApplicationTitle, shown,
                    QMessageBox::StandardButtons(buttons), parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
    openBoxes_.append(&box);
    const int answer = box.exec();
    openBoxes_.removeOne(&box);
    return ending_ ? QMessageBox::No : answer;
}

void QtToolkit::answerNoFromNowOn() {
    ending_ = true;
    for (QMessageBox* box : openBoxes_) box->done(QMessageBox::No);
}

void QtToolkit::inform(QWidget* parent, const QString& text) {
    showMessage(parent, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtToolkit::confirm(QWidget* parent, const QString& text) {
    return showMessage(parent, QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No,
                       QMessageBox::No) == QMessageBox::Yes;
}

void QtToolkit::showModal(QDialog& window) {
    if (!ending_) window.exec();
}

void QtToolkit::beep() { QApplication::beep(); }

QString QtToolkit::askFileToWrite(QWidget* parent, const QString& caption,
                                  const QString& suggestedPath, const QString& filter) {
    if (ending_) return {};
    return QFileDialog::getSaveFileName(parent, caption, suggestedPath, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtToolkit::askFileToRead(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) {
    if (ending_) return {};
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

}  // namespace radici
