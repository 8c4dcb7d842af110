#include "relations/RelationsWindow.h"

namespace radici {
RelationsWindow::RelationsWindow(AppContext&, QWidget* parent) : QDialog(parent) {}
RelationsWindow::~RelationsWindow() = default;
}  // namespace radici
