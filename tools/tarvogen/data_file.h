// The bank data file: the same records, perfect hash and method tables the compiled-in
// build generates, laid out for a read-only mapping (see core/ident/data_format.h).
#ifndef TARVOGEN_DATA_FILE_H
#define TARVOGEN_DATA_FILE_H

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "directory.h"
#include "ident/data_format.h"

namespace tarvogen {

using Editions = std::array<tarvo::data_format::edition, tarvo::data_format::source_count>;

// The edition of every source and, for the Bundesbank's, the last day it is valid: the
// day before the next edition, or 13 weeks after its first day (the quarterly cycle).
Editions editions_of(const SourceFiles &sources);

// The build time a file records: source_date_epoch when given (reproducible builds), else
// midnight UTC of the newest edition, so that the same inputs give the same bytes.
int64_t build_time(const Editions &editions, std::optional<int64_t> source_date_epoch);

// The complete file.
std::string data_file_bytes(const HashedDirectory &hashed, const Editions &editions, int64_t built);

// Builds the directory from sources and writes the file to out (replaced as a whole).
void write_data_file(const SourceFiles &sources, const std::filesystem::path &out,
                     std::optional<int64_t> source_date_epoch);

} // namespace tarvogen

#endif
