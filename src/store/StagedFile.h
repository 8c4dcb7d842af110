#pragma once

#include "Status.h"

#include <QString>

namespace radici {

enum class ExistingCopy { Refuse, Replace };

// A failure when a file, a folder or a link (even a broken one) has the name.
Status RefuseExisting(const QString& path);

// A file is written under a name of Radici's own beside the name the user chose, and takes that
// name only once it is complete: a run that is killed leaves no file under the chosen name. The
// staging name carries the process and the computer that made it, so a leftover is removed only
// once its program is known to be gone, and a file Radici did not make is never touched.
class StagedFile {
public:
    // Removes the folder's leftovers of ended runs, then creates the staging file, empty.
    explicit StagedFile(const QString& finalPath);
    // Removes the staging file, with its engine journal, unless it was published.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Whether the staging file could be made; the system's error number when not.
    bool created() const { return creationError_ == 0; }
    int creationError() const { return creationError_; }
    const QString& path() const { return path_; }

    // Gives the file its final name; Refuse never replaces a file, even one that appeared
    // meanwhile.
    Status publish(ExistingCopy existing);

    // Removes the folder's staging files whose program on this computer has ended.
    static void RemoveLeftovers(const QString& folder);

private:
    QString finalPath_;
    QString path_;
    int creationError_ = 0;
    bool published_ = false;
};

}  // namespace radici
