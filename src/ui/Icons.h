#pragma once

#include <QIcon>

namespace radici {

// Radici's own pictures, compiled into the program.
QIcon ApplicationIcon();   // the tree: every window's icon and the About box's picture
QIcon SearchIcon();        // a magnifying glass: the registry window's search button
QIcon ChoosePersonIcon();  // a person under a magnifying glass: choosing whom to show

}  // namespace radici
