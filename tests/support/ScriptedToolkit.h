#pragma once

#include "ui/Toolkit.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace radici {

// A toolkit for tests: records every message, answers questions from a script, and operates
// modal windows with scripted steps instead of running a nested event loop.
class ScriptedToolkit final : public Toolkit {
public:
    enum class Kind { Information, Question };
    struct Message {
        Kind kind;
        QString text;  // lines joined by "\r", as the window built it
    };
    using ModalStep = std::function<void(QDialog&)>;

    // Answers for the next questions, in order; a question without a queued answer gets No.
    void answer(bool yes) { answers_.push_back(yes); }
    // What to do with the next window shown modally. It is shown (its load step runs), the step
    // runs, and if the window is still open afterwards it is closed as by its close box.
    // A window shown without a queued step is closed at once.
    void onNextModal(ModalStep step) { modalSteps_.push_back(std::move(step)); }
    // The file chosen in the next file dialog; a dialog without one is cancelled.
    void chooseFile(const QString& path) { files_.push_back(path); }
    // The captions and suggested paths of the file dialogs shown, in order.
    const QStringList& fileDialogs() const { return fileDialogs_; }

    const std::vector<Message>& messages() const { return messages_; }
    QStringList texts() const;  // every message text, in order
    void clearMessages() { messages_.clear(); }
    int beeps() const { return beeps_; }
    const QStringList& modalWindows() const { return modalWindows_; }  // object names, in order
    int pendingModalSteps() const { return static_cast<int>(modalSteps_.size()); }

    void inform(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    void showModal(QDialog& window) override;
    void beep() override { ++beeps_; }
    QString askFileToWrite(QWidget* parent, const QString& caption, const QString& suggestedPath,
                           const QString& filter) override;
    QString askFileToRead(QWidget* parent, const QString& caption, const QString& folder,
                          const QString& filter) override;

private:
    std::vector<Message> messages_;
    std::deque<bool> answers_;
    std::deque<ModalStep> modalSteps_;
    QStringList modalWindows_;
    std::deque<QString> files_;
    QStringList fileDialogs_;
    int beeps_ = 0;
};

}  // namespace radici
