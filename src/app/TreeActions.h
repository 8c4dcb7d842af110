#pragma once

#include "store/Status.h"

#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace radici {

struct AppContext;
class DatabaseLock;
struct OpenedTree;

// The tree the program works on: opened at start, made, opened in another folder or restored
// from a copy through the menu, and closed, with an automatic copy when anything was written.
// Another file is always opened and checked on a connection of its own first, so that the tree
// that is open stays open when it fails.
class TreeActions {
public:
    // closeTreeWindows closes the program's windows that show the open tree.
    TreeActions(AppContext& context, QWidget* parent, std::function<void()> closeTreeWindows);
    ~TreeActions();

    // The open at start: a missing file says nothing, any other failure is reported with a beep.
    void openAtStart();
    // True when the tree is open, trying again if it was not; otherwise says why not and offers
    // to make a new tree or open another, and is true when the user did.
    bool requireOpenTree();
    void newTree();
    void openTree();
    void restoreCopy();
    // Closes the windows, the tables and the database, then, when anything was written and
    // automaticCopy holds, copies the closed file into the copies folder; releases the lock last.
    void closeTree(bool automaticCopy);
    // The folder of the open tree; empty when none is open.
    QString openFolder() const;

private:
    // Whether to take over a lock written on another computer is asked only when the user asked
    // for the tree, never at start.
    enum class LockQuestion { Never, Ask };
    Status openUnlessOpen(LockQuestion question);
    bool takeOverForeignLock(const DatabaseLock& lock);
    // Opens the file in place of the open tree; false, having said why, when it cannot.
    bool switchTo(const QString& path);
    void adopt(OpenedTree& tree, const QString& path);
    void reportOpenFailure(const QString& path, const Status& failure);
    void makeAutomaticCopy(const QString& treePath);

    AppContext& context_;
    QWidget* parent_;
    std::function<void()> closeTreeWindows_;
    std::unique_ptr<DatabaseLock> lock_;  // beside the file, held while the connection is open
};

}  // namespace radici
