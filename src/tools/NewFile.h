#pragma once

#include "store/StagedFile.h"

#include <QString>
#include <memory>

class QTextStream;

namespace radici {

// The file to write for a new file at path, under a staging name, or none after saying on err
// why not: a name that is taken is refused before any work is done.
std::unique_ptr<StagedFile> StageNewFile(const QString& path, QTextStream& err);

// Gives the finished file its name, never replacing a file that appeared meanwhile. Returns an
// exit code, after saying on err why the name could not be given.
int PublishNewFile(StagedFile& staged, QTextStream& err);

}  // namespace radici
