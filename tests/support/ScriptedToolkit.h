#pragma once

#include "ui/Toolkit.h"

#include <QString>
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

    // Every message and question, in order, lines joined by "\r" as the window built them.
    QStringList texts;
    int questions = 0;
    int beeps = 0;
    QStringList modalWindows;  // object names, in order
    bool stepsLeft() const { return !modalSteps_.empty(); }

    void inform(QWidget*, const QString& text) override { texts.append(text); }
    bool confirm(QWidget* parent, const QString& text) override;
    void showModal(QDialog& window) override;
    void beep() override { ++beeps; }

private:
    std::deque<bool> answers_;
    std::deque<ModalStep> modalSteps_;
};

}  // namespace radici
