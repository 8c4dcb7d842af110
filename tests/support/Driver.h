#pragma once

#include "ScriptedToolkit.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace radici {

// Operates any window through its controls, found by their object names, as a user would. A
// control that is missing or not on screen ends the test at once: a step that cannot run must
// never pass unnoticed.
QWidget& Control(QWidget& window, const QString& name);
// Near the left edge, where buttons and radio buttons of any width take a click.
void Click(QWidget& window, const QString& name);
// One key event per character, letters outside ASCII and emoji included; Type adds to what the
// box holds, Retype empties it first.
void Type(QWidget& window, const QString& name, const QString& text);
void Retype(QWidget& window, const QString& name, const QString& text);
// Through the clipboard and Ctrl+V.
void Paste(QWidget& window, const QString& name, const QString& text);
void ClickRow(QWidget& window, const QString& list, int row);

// The text property of each control, joined by "|".
QString Shown(QWidget& window, const QStringList& names);
// Every row of the lists, the cells of a row joined by "|", the rows by ", ".
QString Rows(QWidget& window, const QStringList& lists);

// Steps for ScriptedToolkit::onNextModal in the registry window: search (by surname, as each
// showing starts), move to the next result that many times and press "Seleziona"; or press
// "Annulla".
ScriptedToolkit::ModalStep ChooseInRegistry(const QString& surname, int nextClicks = 0);
ScriptedToolkit::ModalStep CancelRegistry();

}  // namespace radici
