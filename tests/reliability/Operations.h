#pragma once

#include "Session.h"

#include <functional>
#include <vector>

namespace radici {

// One thing the user does with the file, on the Family: how to get there from a fresh session,
// the click that does it, what the user sees that a refusal must keep, and whether it took
// effect.
struct Operation {
    QString name;
    std::function<void(Session&)> prepare;
    // The click, with the answers to the questions it asks.
    std::function<void(Session&)> act;
    std::function<QStringList(Session&)> screen;
    // The file changed as asked, or the windows show what was read.
    std::function<bool(Session&, TestDatabase&)> done;
};

// Searching, creating and correcting a person in the registry window; loading a person, saving
// parents, removing a marriage and deleting a person in the relations window.
std::vector<Operation> Operations(const Family& family);
// Only those that write to the file.
std::vector<Operation> Writes(const Family& family);
// The operation of that name, among them.
Operation Named(const std::vector<Operation>& operations, const QString& name);

// The family's rows and those the operations write, for telling whether anything changed.
QStringList FileContents(TestDatabase& database, const Family& family);

}  // namespace radici
