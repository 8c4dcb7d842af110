#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

namespace radici {

// Runs "export" and "backup" of radici-db, given its whole command line (program name first).
// No value when the command line asks for neither.
std::optional<int> RunExchangeCommand(const QStringList& arguments, QTextStream& out,
                                      QTextStream& err);

}  // namespace radici
