// The SEPA clearer's directory of reachable banks: one BIC per line with its name and one
// 0/1 column per payment scheme.
#include <algorithm>
#include <array>
#include <map>

#include "directory.h"

namespace tarvogen {

namespace {

constexpr std::string_view scl_header_start = "BIC;Name;";
// Scheme columns after BIC and name, and the reachability bit each sets; the last column
// (card clearing) is not part of the flags.
constexpr std::array<uint8_t, 5> scheme_bits = {1, 2, 4, 8, 0};

} // namespace

std::vector<BicEntry> read_scl_directory(const std::filesystem::path &file) {
    LineReader reader(file, Encoding::Detect);
    std::string_view line;
    bool header_seen = false;
    // key -> entry, plus which forms were listed (bit 0: 8 characters, bit 1: 11)
    std::map<std::string, std::pair<BicEntry, unsigned>> by_key;
    while (reader.next(line)) {
        if (trim(line).empty())
            continue;
        if (!header_seen) {
            // The publisher puts a validity line above the header in some editions.
            header_seen = line.starts_with(scl_header_start);
            continue;
        }
        auto fields = split(line, ';');
        if (fields.size() != 2 + scheme_bits.size())
            reader.fail("expected " + std::to_string(2 + scheme_bits.size()) + " fields, found " +
                        std::to_string(fields.size()));
        BicEntry entry;
        entry.bic = reader.bic(fields[0]);
        if (entry.bic.empty())
            reader.fail("line without a BIC");
        entry.name = reader.text(trim(fields[1]));
        if (entry.name.empty())
            reader.fail("BIC " + entry.bic + " has no name");
        for (std::size_t i = 0; i < scheme_bits.size(); ++i) {
            std::string_view flag = trim(fields[2 + i]);
            if (flag != "0" && flag != "1")
                reader.fail("scheme column " + std::to_string(3 + i) + " is neither 0 nor 1");
            if (flag == "1")
                entry.flags |= scheme_bits[i];
        }
        const bool short_form = trim(fields[0]).size() == 8;
        const unsigned form = short_form ? 1u : 2u;
        auto [it, inserted] = by_key.try_emplace(entry.bic, entry, form);
        if (!inserted) {
            auto &[kept, forms] = it->second;
            // The same bank listed once as 8 and once as 11 characters is one key: it is
            // reachable by either entry. The 8-character line names the institution. A
            // form listed again is a duplicate, even after the other form was merged.
            if (forms & form)
                reader.fail("BIC " + entry.bic + " is listed twice");
            forms |= form;
            kept.flags |= entry.flags;
            if (short_form)
                kept.name = entry.name;
        }
    }
    if (!header_seen)
        throw InputError(file.string() + ": no header line starting with \"" + std::string(scl_header_start) + "\"");
    std::vector<BicEntry> entries;
    entries.reserve(by_key.size());
    for (auto &[key, value] : by_key)
        entries.push_back(std::move(value.first));
    if (entries.empty())
        throw InputError(file.string() + ": no BIC in the file");
    return entries;
}

} // namespace tarvogen
