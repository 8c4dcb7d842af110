#pragma once

namespace radici {

// Makes Qt's own words (standard buttons, the text boxes' menu, the command-line parser's help)
// Italian, whatever the system's language, when Qt's Italian translation is installed.
void InstallItalianQtTexts();

}  // namespace radici
