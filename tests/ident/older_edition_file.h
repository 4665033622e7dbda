// A bank data file built from the older of the two shared Bundesbank editions (the other
// sources as the library was built), written once per test program.
#ifndef TARVO_TESTS_OLDER_EDITION_FILE_H
#define TARVO_TESTS_OLDER_EDITION_FILE_H

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data_file.h"

inline const std::filesystem::path &shared_data_dir() {
    static const std::filesystem::path dir = std::filesystem::path(TARVO_SHARED_DIR) / "data";
    return dir;
}

inline tarvogen::SourceFiles older_edition_sources() {
    tarvogen::SourceFiles sources = tarvogen::default_sources(shared_data_dir());
    sources.blz = {tarvogen::bundesbank_file(shared_data_dir() / "de" / "blz_2025_06_09.txt")};
    return sources;
}

// The file's path; built on first use into the temporary folder.
inline const std::string &older_edition_file() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() /
                          ("tarvo_older_edition_" + std::to_string(getpid()) + ".tdat");
        tarvogen::write_data_file(older_edition_sources(), file, 0);
        return file.string();
    }();
    return path;
}

inline std::string file_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#endif
