#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class ReportDialog;
}

namespace radici {

class Toolkit;

// What a report window shows. With acceptText it asks whether to go ahead ("Importa" or
// "Annulla"); without it, it only reports ("OK").
struct ReportText {
    QString name;  // the window's object name
    QString title;
    QString introduction;
    QStringList lines;
    QString acceptText;
};

// A report of any length, shown whole: it scrolls, it can be resized, and "Salva come testo..."
// writes it into a text file.
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    ReportDialog(Toolkit& toolkit, const ReportText& text, QWidget* parent = nullptr);
    ~ReportDialog() override;

private:
    void saveAsText();

    Toolkit& toolkit_;
    std::unique_ptr<Ui::ReportDialog> ui_;
};

}  // namespace radici
