#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QDialog;
class QMessageBox;
class QWidget;

namespace radici {

// The program's title: every message box carries it.
inline const QString ApplicationTitle = QStringLiteral("Albero genealogico Borgoquintaro");
// A progress window shows only for work that takes longer than this.
inline constexpr int ProgressDelayMilliseconds = 500;

// One message of several lines, as every toolkit shows it.
inline QString MessageLines(const QStringList& lines) { return lines.join(QChar(u'\r')); }

// What the windows ask of the window toolkit that tests must be able to drive: message boxes,
// showing a window modally, and the beep. Lines of a message are joined by "\r".
class Toolkit {
public:
    virtual ~Toolkit() = default;

    // An OK-only message without an icon.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // A Yes/No question with the stop icon and No as the default; true on Yes.
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    // A question with a button for each choice and one to cancel, first choice the default; the
    // index of the choice, or -1 when cancelled.
    virtual int choose(QWidget* parent, const QString& text, const QStringList& choices) = 0;
    // Shows the window modally and returns once it has closed.
    virtual void showModal(QDialog& window) = 0;
    virtual void beep() = 0;
    // The usual file dialogs, filter as "Descrizione (*.ext)"; an empty text when cancelled.
    // Choosing a file that exists is not questioned here: the window asks, in its own words.
    virtual QString askFileToWrite(QWidget* parent, const QString& caption,
                                   const QString& suggestedPath, const QString& filter) = 0;
    virtual QString askFileToRead(QWidget* parent, const QString& caption, const QString& folder,
                                  const QString& filter) = 0;
    // The usual folder dialog, starting in the folder given; an empty text when cancelled.
    virtual QString askFolder(QWidget* parent, const QString& caption, const QString& folder) = 0;
};

// The toolkit of the real program, over Qt's message boxes and modal dialogs.
class QtToolkit final : public Toolkit {
public:
    // For a program that is ending: the open message boxes close, a question as answered No,
    // and from now on messages and windows are not shown, every question is answered No and
    // every file dialog is cancelled.
    void answerNoFromNowOn();

    void inform(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    int choose(QWidget* parent, const QString& text, const QStringList& choices) override;
    void showModal(QDialog& window) override;
    void beep() override;
    QString askFileToWrite(QWidget* parent, const QString& caption, const QString& suggestedPath,
                           const QString& filter) override;
    QString askFileToRead(QWidget* parent, const QString& caption, const QString& folder,
                          const QString& filter) override;
    QString askFolder(QWidget* parent, const QString& caption, const QString& folder) override;

private:
    int showBox(QMessageBox& box, const QString& text);
    int showMessage(QWidget* parent, int icon, const QString& text, int buttons, int defaultButton);

    bool ending_ = false;
    QList<QMessageBox*> openBoxes_;  // innermost last
};

}  // namespace radici
