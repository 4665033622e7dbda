// The generator's modules: each reads what it needs from the data folder and writes its
// sources into the output folder, stopping with an InputError on any bad input.
#ifndef TARVOGEN_MODULES_H
#define TARVOGEN_MODULES_H

#include <filesystem>
#include <string_view>

namespace tarvogen {

using ModuleWriter = void (*)(const std::filesystem::path &data_dir, const std::filesystem::path &out_dir);

struct Module {
    std::string_view name;
    ModuleWriter write;
};

// Bank and BIC directory with its perfect hash: directory_data.h, directory_data.cpp.
void write_directory(const std::filesystem::path &data_dir, const std::filesystem::path &out_dir);
// Per-bank tables of the German IBAN rules: iban_rule_tables.cpp.
void write_iban_rules(const std::filesystem::path &data_dir, const std::filesystem::path &out_dir);

} // namespace tarvogen

#endif
