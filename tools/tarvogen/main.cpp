// tarvogen DATA_DIR OUT_DIR [MODULE...]: writes the compiled-in tables of the library from
// the publishers' files. Without module names every module runs.
// tarvogen --out FILE [source options]: writes a bank data file instead (see data_build.h).
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <iterator>

#include "data_build.h"
#include "input.h"
#include "modules.h"

namespace {

// One line per module; the build lists each module's outputs in tools/CMakeLists.txt.
constexpr tarvogen::Module modules[] = {
    {"directory", tarvogen::write_directory},
    {"iban_rules", tarvogen::write_iban_rules},
};

} // namespace

int main(int argc, char **argv) {
    if (argc > 1 && std::string_view(argv[1]).starts_with("--"))
        return tarvogen::run_data_build({argv + 1, argv + argc}, TARVOGEN_DATA_DIR, "tarvogen",
                                        tarvogen::source_date_epoch(std::getenv("SOURCE_DATE_EPOCH")));
    if (argc < 3) {
        std::cerr << "usage: tarvogen DATA_DIR OUT_DIR [MODULE...]\n       tarvogen --out FILE [--blz FILE [--blz FILE]] [--iban-rules DIR] [--scl FILE] [--oenb FILE] [--six FILE]\n";
        return 2;
    }
    const std::filesystem::path data_dir = argv[1], out_dir = argv[2];
    std::vector<std::string_view> wanted(argv + 3, argv + argc);
    for (auto name : wanted)
        if (std::none_of(std::begin(modules), std::end(modules), [&](const auto &m) { return m.name == name; })) {
            std::cerr << "tarvogen: no module \"" << name << "\"\n";
            return 2;
        }
    try {
        if (!std::filesystem::is_directory(data_dir))
            throw tarvogen::InputError(data_dir.string() +
                                       ": the reference data folder is missing; put the publishers' files "
                                       "into de/, at/ and ch/ there (see the README of each folder)");
        std::filesystem::create_directories(out_dir);
        for (const auto &m : modules)
            if (wanted.empty() || std::find(wanted.begin(), wanted.end(), m.name) != wanted.end())
                m.write(data_dir, out_dir);
    } catch (const std::exception &e) {
        std::cerr << "tarvogen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
