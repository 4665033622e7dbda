// The Austrian national bank's SEPA payment directory: a few lines of conditions, the
// query date, a header row, then one row of 22 fields per bank code.
#include <map>

#include "directory.h"

namespace tarvogen {

namespace {

constexpr std::string_view oenb_header_start = "Kennzeichen;Identnummer;Bankleitzahl;";
constexpr std::size_t oenb_fields = 22;
enum OenbColumn : std::size_t { bank_code = 2, bank_name = 6, postal_code = 8, town = 9, swift_code = 18 };

} // namespace

std::vector<BankEntry> read_oenb_list(const std::filesystem::path &file) {
    LineReader reader(file, Encoding::Detect);
    std::string_view line;
    bool header_seen = false;
    std::map<std::string, BankEntry> by_code;
    while (reader.next(line)) {
        if (!header_seen) {
            header_seen = line.starts_with(oenb_header_start);
            continue;
        }
        if (trim(line).empty())
            continue;
        auto fields = split(line, ';');
        if (fields.size() != oenb_fields)
            reader.fail("expected " + std::to_string(oenb_fields) + " fields, found " + std::to_string(fields.size()));
        std::string_view code = trim(fields[bank_code]);
        if (!all_digits(code) || code.size() > 5)
            reader.fail("bank code \"" + std::string(code) + "\" is not 1 to 5 digits");
        BankEntry entry;
        entry.code = pad_left(code, 5, '0');
        entry.bic = reader.bic(fields[swift_code]);
        entry.name = reader.text(trim(fields[bank_name]));
        entry.zip = reader.text(trim(fields[postal_code]));
        entry.city = reader.text(trim(fields[town]));
        entry.country = "AT";
        if (entry.name.empty())
            reader.fail("bank code " + entry.code + " has no name");
        std::string key = entry.code;
        if (!by_code.emplace(key, std::move(entry)).second)
            reader.fail("bank code " + key + " is listed twice");
    }
    if (!header_seen)
        throw InputError(file.string() + ": no header line starting with \"" + std::string(oenb_header_start) + "\"");
    std::vector<BankEntry> entries;
    for (auto &[code, entry] : by_code)
        entries.push_back(std::move(entry));
    return entries;
}

} // namespace tarvogen
