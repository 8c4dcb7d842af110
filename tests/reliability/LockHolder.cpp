// Another program holding the database file, for the busy-file tests: it opens the file with
// the program's password and takes a lock, prints "locked", keeps the lock until a line (or the
// end) arrives on its input, then lets go and prints "released".
//   reliability_lock_holder FILE exclusive   keeps out readers too, as while a write commits
//   reliability_lock_holder FILE reserved    lets others read, as while a write is under way
#include "store/Database.h"
#include "store/DatabaseConnection.h"

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    using radici::Database;
    const std::string mode = argc == 3 ? argv[2] : std::string();
    if (mode != "exclusive" && mode != "reserved") {
        std::fprintf(stderr, "usage: %s FILE exclusive|reserved\n", argv[0]);
        return 2;
    }
    radici::Result<Database> opened =
        Database::open(QString::fromLocal8Bit(argv[1]), radici::DatabaseConnection::Password,
                       Database::Mode::OpenExisting);
    if (!opened.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.status().description()));
        return 1;
    }
    Database& database = opened.value();
    // A test fixture's own SQL: the program itself never takes an exclusive lock.
    const radici::Status locked =
        mode == "exclusive" ? database.execute("begin exclusive") : database.begin();
    if (!locked.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(locked.description()));
        return 1;
    }
    std::printf("locked\n");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    if (!database.rollback().ok()) return 1;
    std::printf("released\n");
    return 0;
}
