#include "ui/Toolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace radici {

// Messages are plain text whose lines the windows join with "\r". A box is known while it is
// open, so that a program that is ending can answer it.
int QtToolkit::showBox(QMessageBox& box, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setWindowTitle(ApplicationTitle);
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
    openBoxes_.append(&box);
    const int answer = box.exec();
    openBoxes_.removeOne(&box);
    return answer;
}

int QtToolkit::showMessage(QWidget* parent, int icon, const QString& text, int buttons,
                           int defaultButton) {
    if (ending_) return QMessageBox::No;
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), QString(), QString(),
                    QMessageBox::StandardButtons(buttons), parent);
    box.setDefaultButton(static_cast<QMessageBox::StandardButton>(defaultButton));
    const int answer = showBox(box, text);
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

int QtToolkit::choose(QWidget* parent, const QString& text, const QStringList& choices) {
    if (ending_) return -1;
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Cancel, parent);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    if (!buttons.isEmpty()) box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    showBox(box, text);
    return ending_ ? -1 : static_cast<int>(buttons.indexOf(box.clickedButton()));
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

QString QtToolkit::askFolder(QWidget* parent, const QString& caption, const QString& folder) {
    if (ending_) return {};
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

}  // namespace radici
