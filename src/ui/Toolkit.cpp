#include "ui/Toolkit.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace radici {

namespace {

// Messages are plain text whose lines the windows join with "\r".
void Prepare(QMessageBox& box, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setWindowTitle(ApplicationTitle);
    box.setText(shown);
    box.setTextFormat(Qt::PlainText);
}

int ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, QString(), QString(), buttons, parent);
    Prepare(box, text);
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

int QtToolkit::choose(QWidget* parent, const QString& text, const QStringList& choices) {
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Cancel, parent);
    Prepare(box, text);
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons.append(box.addButton(choice, QMessageBox::AcceptRole));
    if (!buttons.isEmpty()) box.setDefaultButton(qobject_cast<QPushButton*>(buttons.first()));
    box.exec();
    return static_cast<int>(buttons.indexOf(box.clickedButton()));
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

QString QtToolkit::askFolder(QWidget* parent, const QString& caption, const QString& folder) {
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

}  // namespace radici
