#include "registry/RegistryWindow.h"

namespace radici {
RegistryWindow::RegistryWindow(AppContext&, QWidget* parent) : QDialog(parent) {}
RegistryWindow::~RegistryWindow() = default;
}  // namespace radici
