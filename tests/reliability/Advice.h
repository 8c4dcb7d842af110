#pragma once

#include <QString>
#include <QStringList>

namespace radici {

// Whether a failure message tells the user what to do: the verbs of the advice our messages give.
inline bool GivesAdvice(const QString& message) {
    static const QStringList advice = {"riprova", "ripristina", "controlla", "libera",
                                       "attendi", "chiudi",     "rendi",     "crealo",
                                       "crearlo", "creane",     "ripeti",    "riavvialo"};
    for (const QString& verb : advice)
        if (message.contains(verb, Qt::CaseInsensitive)) return true;
    return false;
}

}  // namespace radici
