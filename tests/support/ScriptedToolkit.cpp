#include "ScriptedToolkit.h"

#include <QDialog>

namespace radici {

bool ScriptedToolkit::confirm(QWidget*, const QString& text) {
    texts.append(text);
    ++questions;
    if (answers_.empty()) return false;
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedToolkit::showModal(QDialog& window) {
    modalWindows.append(window.objectName());
    window.show();
    if (!modalSteps_.empty()) {
        // Taken off the queue first: the step may show further windows with steps of their own.
        const ModalStep step = std::move(modalSteps_.front());
        modalSteps_.pop_front();
        step(window);
    }
    if (window.isVisible()) window.close();
}

}  // namespace radici
