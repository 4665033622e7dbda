// The Bundesbank's bank-code file: fixed-width records of 168 characters in ISO-8859-1, one
// per bank code and branch; and the table of IBAN rules per bank code.
#include <algorithm>

#include "directory.h"

namespace tarvogen {

namespace {

constexpr std::size_t blz_record_length = 168;

// 0-based offset and width of the fields the directory uses.
struct Field {
    std::size_t offset, width;
};
constexpr Field blz_code{0, 8}, blz_feature{8, 1}, blz_name{9, 58}, blz_zip{67, 5}, blz_city{72, 35},
    blz_bic{139, 11}, blz_method{150, 2}, blz_change{158, 1}, blz_deletion{159, 1}, blz_successor{160, 8};

std::string_view field(std::string_view line, Field f) { return line.substr(f.offset, f.width); }

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::map<std::string, uint16_t> read_iban_rule_map(const std::filesystem::path &file) {
    LineReader reader(file, Encoding::Utf8);
    std::string_view line;
    if (!reader.next(line) || trim(line) != "bank_code,iban_rule")
        reader.fail("expected the header \"bank_code,iban_rule\"");
    std::map<std::string, uint16_t> rules;
    while (reader.next(line)) {
        if (trim(line).empty())
            continue;
        auto fields = split(line, ',');
        if (fields.size() != 2)
            reader.fail("expected 2 fields, found " + std::to_string(fields.size()));
        std::string_view code = trim(fields[0]), rule = trim(fields[1]);
        if (code.size() != 8 || !all_digits(code))
            reader.fail("bank code \"" + std::string(code) + "\" is not 8 digits");
        if (rule.size() != 6 || !all_digits(rule))
            reader.fail("IBAN rule \"" + std::string(rule) + "\" is not 6 digits (rule and version)");
        // Stored as a 16-bit number: rule * 100 + version.
        long value = std::stol(std::string(rule));
        if (value > 0xFFFF)
            reader.fail("IBAN rule " + std::string(rule) + " does not fit the 16-bit rule field");
        if (!rules.emplace(std::string(code), static_cast<uint16_t>(value)).second)
            reader.fail("bank code " + std::string(code) + " is listed twice");
    }
    return rules;
}

std::map<std::string, GermanVersion> read_bundesbank_edition(const std::filesystem::path &file,
                                                             const std::map<std::string, uint16_t> &rules) {
    LineReader reader(file, Encoding::Latin1);
    std::string_view line;
    std::map<std::string, GermanVersion> main_entries;
    while (reader.next(line)) {
        if (line.empty())
            continue;
        if (line.size() != blz_record_length)
            reader.fail("record has " + std::to_string(line.size()) + " characters, expected " +
                        std::to_string(blz_record_length));
        std::string code(field(line, blz_code));
        if (!all_digits(code))
            reader.fail("bank code \"" + code + "\" is not 8 digits");
        std::string_view feature = field(line, blz_feature);
        if (feature != "1" && feature != "2")
            reader.fail("feature flag \"" + std::string(feature) + "\" is neither 1 nor 2");
        if (feature != "1")
            continue;
        GermanVersion v;
        v.name = reader.text(trim(field(line, blz_name)));
        v.zip = std::string(field(line, blz_zip));
        v.city = reader.text(trim(field(line, blz_city)));
        std::string_view method = field(line, blz_method);
        std::string_view change = field(line, blz_change);
        std::string_view deletion = field(line, blz_deletion);
        std::string_view successor = field(line, blz_successor);
        if (v.name.empty())
            reader.fail("bank code " + code + " has no name");
        if (!all_digits(v.zip))
            reader.fail("postal code \"" + v.zip + "\" is not 5 digits");
        int high = hex_digit(method[0]), low = hex_digit(method[1]);
        if (high < 0 || low < 0 || low > 9)
            reader.fail("check method \"" + std::string(method) + "\" is not a method code");
        if (change.find_first_of("ADUM") != 0)
            reader.fail("change marker \"" + std::string(change) + "\" is not A, D, U or M");
        if (deletion != "0" && deletion != "1")
            reader.fail("deletion mark \"" + std::string(deletion) + "\" is neither 0 nor 1");
        if (!all_digits(successor))
            reader.fail("successor \"" + std::string(successor) + "\" is not 8 digits");
        v.bic = reader.bic(field(line, blz_bic));
        v.method = static_cast<uint8_t>(high * 16 + low);
        v.deleted = deletion == "1";
        if (successor != "00000000")
            v.successor = std::string(successor);
        auto rule = rules.find(code);
        v.iban_rule = rule == rules.end() ? 0 : rule->second;
        if (!main_entries.emplace(code, std::move(v)).second)
            reader.fail("bank code " + code + " has a second main entry");
    }
    if (main_entries.empty())
        throw InputError(file.string() + ": no main entry (feature flag 1) in the file");
    return main_entries;
}

GermanDirectory read_german_directory(const std::vector<SourceFile> &editions,
                                      const std::filesystem::path &rule_table) {
    if (editions.empty() || editions.size() > 2)
        throw InputError("give one or two editions of the Bundesbank's bank-code file");
    for (const auto &e : editions)
        if (!e.edition)
            throw InputError(e.path.string() + ": the name carries no edition date; name the day it is valid from");
    if (editions.size() == 2 && !(*editions[0].edition < *editions[1].edition))
        throw InputError(editions[1].path.string() + ": two editions of the bank-code file need different dates");
    const auto rules = read_iban_rule_map(rule_table);

    const SourceFile &newer = editions.back();
    const SourceFile &older = editions.front();
    auto older_entries = read_bundesbank_edition(older.path, rules);
    auto newer_entries = editions.size() > 1 ? read_bundesbank_edition(newer.path, rules) : older_entries;

    GermanDirectory dir;
    dir.older_name = older.path.filename().string();
    dir.newer_name = newer.path.filename().string();
    dir.switch_instant = german_midnight(*newer.edition);
    std::map<std::string, GermanEntry> merged;
    for (auto &[code, v] : older_entries)
        merged[code].older = v;
    for (auto &[code, v] : newer_entries)
        merged[code].newer = v;
    for (auto &[code, entry] : merged) {
        entry.code = code;
        dir.entries.push_back(std::move(entry));
    }
    return dir;
}

namespace {

// Day of the last Sunday of a month with 31 days.
long last_sunday(int year, int month) {
    long last = days_from_civil({year, month, 31});
    long weekday = (last + 4) % 7; // 1970-01-01 was a Thursday; 0 is Sunday
    return last - weekday;
}

} // namespace

std::time_t german_midnight(const FileDate &day) {
    // Summer time runs from the last Sunday of March to the last Sunday of October (the
    // rule in force since 1996); both changes happen after midnight, so a day's midnight is
    // in summer time exactly when the day lies after the March change day and not after
    // the October one.
    if (day.year < 1996)
        throw InputError("edition dates before 1996 follow other summer-time rules");
    long days = days_from_civil(day);
    bool summer = days > last_sunday(day.year, 3) && days <= last_sunday(day.year, 10);
    long offset_hours = summer ? 2 : 1;
    return static_cast<std::time_t>(days * 86400 - offset_hours * 3600);
}

} // namespace tarvogen
