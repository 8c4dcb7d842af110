// floor-probe: the floor of the whole-process figures, on the SQLCipher C API alone. Given the file
// and its password it opens the database and checks its tables, then writes one line and ends:
//   floor-probe startup FILE PASSWORD            writes "open"
//   floor-probe memory FILE PASSWORD PATTERN     first finds the rows of a registry search (an
//                                                index range for a plain surname beginning, a glob
//                                                scan for one that begins with "*") in birth
//                                                order and reads the first, then writes
//                                                "peak <MiB>"
#include "Floor.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv, argv + argc);
    if (arguments.size() < 4) {
        std::fputs("usage: floor-probe startup|memory FILE PASSWORD [PATTERN]\n", stderr);
        return 2;
    }
    radici::bench::FloorDatabase database(arguments[2], arguments[3]);
    if (!database.ok()) {
        std::fprintf(stderr, "floor-probe: %s\n", database.error().c_str());
        return 1;
    }
    if (arguments[1] == "startup") {
        std::puts("open");
        return 0;
    }
    const std::vector<std::int64_t> rows =
        radici::bench::FloorSearch(database.handle(), arguments.at(4)).run();
    return radici::bench::ReportPeak(
        !rows.empty() && radici::bench::FloorRowReader(database.handle()).read(rows.front()) > 0);
}
