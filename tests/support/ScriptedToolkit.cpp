#include "ScriptedToolkit.h"

#include <QDialog>

namespace radici {

QStringList ScriptedToolkit::texts() const {
    QStringList result;
    for (const Message& message : messages_) result.append(message.text);
    return result;
}

void ScriptedToolkit::inform(QWidget*, const QString& text) {
    messages_.push_back({Kind::Information, text});
}

bool ScriptedToolkit::confirm(QWidget*, const QString& text) {
    messages_.push_back({Kind::Question, text});
    if (answers_.empty()) {
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedToolkit::showModal(QDialog& window) {
    modalWindows_.append(window.objectName());
    window.show();
    if (!modalSteps_.empty()) {
        // Taken off the queue first: the step may show further windows with steps of their own.
        const ModalStep step = std::move(modalSteps_.front());
        modalSteps_.pop_front();
        step(window);
    }
    if (window.isVisible()) window.close();
}

QString ScriptedToolkit::askFileToWrite(QWidget*, const QString& caption,
                                        const QString& suggestedPath, const QString&) {
    return askFileToRead(nullptr, caption, suggestedPath, QString());
}

QString ScriptedToolkit::askFileToRead(QWidget*, const QString& caption, const QString& folder,
                                       const QString&) {
    fileDialogs_.append(caption + u' ' + folder);
    if (files_.empty()) return QString();
    const QString chosen = files_.front();
    files_.pop_front();
    return chosen;
}

}  // namespace radici
