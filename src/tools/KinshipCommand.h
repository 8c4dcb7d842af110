#pragma once

#include <QStringList>
#include <optional>

class QTextStream;

namespace radici {

// radici-db parentela KEY1 KEY2 [DB]: prints one line for each relationship of the two, closest
// first. Given the whole command line (program name first); no value when it asks for another
// command.
std::optional<int> RunKinshipCommand(const QStringList& arguments, QTextStream& out,
                                     QTextStream& err);

}  // namespace radici
