// The SIX bank master: one row per institution and branch; the directory keeps the head
// offices (branch id 0000), which also serve Liechtenstein.
#include <algorithm>
#include <map>

#include "directory.h"

namespace tarvogen {

namespace {

// Columns are found by their header names, so a reordered edition still reads correctly.
constexpr std::string_view six_columns[] = {"IID", "Filial-ID", "Name Bank/Institut", "PLZ", "Ort", "Landcode", "BIC"};
enum SixColumn : std::size_t { iid, branch_id, bank_name, postal_code, town, country_code, bic_column };
constexpr std::string_view head_office = "0000";

} // namespace

std::vector<BankEntry> read_six_bank_master(const std::filesystem::path &file) {
    LineReader reader(file, Encoding::Detect);
    std::string_view line;
    if (!reader.next(line))
        throw InputError(file.string() + ": empty file");
    auto header = split(line, ';');
    std::size_t column[std::size(six_columns)];
    for (std::size_t i = 0; i < std::size(six_columns); ++i) {
        auto it = std::find(header.begin(), header.end(), six_columns[i]);
        if (it == header.end())
            reader.fail("header has no column \"" + std::string(six_columns[i]) + "\"");
        column[i] = static_cast<std::size_t>(it - header.begin());
    }
    std::map<std::string, BankEntry> by_code;
    while (reader.next(line)) {
        if (trim(line).empty())
            continue;
        auto fields = split(line, ';');
        if (fields.size() != header.size())
            reader.fail("expected " + std::to_string(header.size()) + " fields, found " + std::to_string(fields.size()));
        if (trim(fields[column[branch_id]]) != head_office)
            continue;
        std::string_view code = trim(fields[column[iid]]);
        if (!all_digits(code) || code.size() > 5)
            reader.fail("clearing number \"" + std::string(code) + "\" is not 1 to 5 digits");
        BankEntry entry;
        entry.code = pad_left(code, 5, '0');
        entry.bic = reader.bic(fields[column[bic_column]]);
        entry.name = reader.text(trim(fields[column[bank_name]]));
        entry.zip = reader.text(trim(fields[column[postal_code]]));
        entry.city = reader.text(trim(fields[column[town]]));
        entry.country = reader.text(trim(fields[column[country_code]]));
        if (entry.name.empty())
            reader.fail("clearing number " + entry.code + " has no name");
        if (!entry.country.empty() &&
            (entry.country.size() != 2 || !std::all_of(entry.country.begin(), entry.country.end(),
                                                       [](char c) { return c >= 'A' && c <= 'Z'; })))
            reader.fail("country code \"" + entry.country + "\" is not two letters");
        std::string key = entry.code;
        if (!by_code.emplace(key, std::move(entry)).second)
            reader.fail("head office " + key + " is listed twice");
    }
    std::vector<BankEntry> entries;
    for (auto &[code, entry] : by_code)
        entries.push_back(std::move(entry));
    return entries;
}

} // namespace tarvogen
