#pragma once

#include "ui/Toolkit.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

namespace radici {

// A toolkit for tests: records every message, answers questions from a script, and operates
// modal windows with scripted steps instead of running a nested event loop.
class ScriptedToolkit final : public Toolkit {
public:
    using ModalStep = std::function<void(QDialog&)>;

    // Answers for the next questions, in order; a question without a queued answer gets No.
    void answer(bool yes) { answers_.push_back(yes); }
    // What to do with the next window shown modally: it is shown, the step runs, and if the
    // window is still open it is closed as by its close box. Without a step it closes at once.
    void onNextModal(ModalStep step) { modalSteps_.push_back(std::move(step)); }
    // The choice (its index) for the next question with choices; without one it is cancelled.
    void pick(int choice) { choices_.push_back(choice); }
    // The file or folder chosen in the next file dialog; a dialog without one is cancelled.
    void chooseFile(const QString& path) { files_.push_back(path); }

    // Every message and question, in order, lines joined by "\r" as the window built them.
    QStringList texts;
    int questions = 0;
    int beeps = 0;
    QStringList modalWindows;  // object names, in order
    QStringList fileDialogs;   // caption and suggested path of each file dialog, in order

    void inform(QWidget*, const QString& text) override { texts.append(text); }
    bool confirm(QWidget*, const QString& text) override {
        texts.append(text);
        ++questions;
        const bool yes = !answers_.empty() && answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        return yes;
    }
    int choose(QWidget*, const QString& text, const QStringList& choices) override {
        texts.append(text + u'\r' + choices.join(u'|'));
        const int chosen = choices_.empty() ? -1 : choices_.front();
        if (!choices_.empty()) choices_.pop_front();
        return chosen;
    }
    void showModal(QDialog& window) override {
        modalWindows.append(window.objectName());
        window.show();
        if (!modalSteps_.empty()) {
            // Taken off the queue first: the step may show windows with steps of their own.
            const ModalStep step = std::move(modalSteps_.front());
            modalSteps_.pop_front();
            step(window);
        }
        if (window.isVisible()) window.close();
    }
    void beep() override { ++beeps; }
    QString askFileToWrite(QWidget* parent, const QString& caption, const QString& suggestedPath,
                           const QString&) override {
        return askFileToRead(parent, caption, suggestedPath, QString());
    }
    QString askFileToRead(QWidget*, const QString& caption, const QString& folder,
                          const QString&) override {
        fileDialogs.append(caption + u' ' + folder);
        if (files_.empty()) return QString();
        const QString chosen = files_.front();
        files_.pop_front();
        return chosen;
    }

    QString askFolder(QWidget* parent, const QString& caption, const QString& folder) override {
        return askFileToRead(parent, caption, folder, QString());
    }

private:
    std::deque<int> choices_;
    std::deque<bool> answers_;
    std::deque<ModalStep> modalSteps_;
    std::deque<QString> files_;
};

}  // namespace radici
