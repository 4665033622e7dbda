// The options of a data file build, shared by tarvogen and "tarvotool data build":
//   --out FILE [--blz FILE [--blz FILE]] [--iban-rules DIR] [--scl FILE] [--oenb FILE]
//   [--six FILE] [--<source>-edition DATE]... [--data DIR]
#ifndef TARVOGEN_DATA_BUILD_H
#define TARVOGEN_DATA_BUILD_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sources.h"

namespace tarvogen {

struct DataBuild {
    std::filesystem::path out;
    SourceFiles sources;
};

// Reads the options; a source not named comes from data_dir (overridden by --data).
// Throws InputError naming the option at fault.
DataBuild parse_data_build(const std::vector<std::string> &args, const std::filesystem::path &data_dir);

// Runs a build: parses, builds, writes. Returns the exit status, messages on stderr
// prefixed with program.
int run_data_build(const std::vector<std::string> &args, const std::filesystem::path &data_dir,
                   const char *program, std::optional<int64_t> source_date_epoch);

// SOURCE_DATE_EPOCH as seconds, when set to a number.
std::optional<int64_t> source_date_epoch(const char *value);

} // namespace tarvogen

#endif
