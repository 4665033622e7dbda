#include "sources.h"

#include <algorithm>
#include <regex>

#include "directory.h"

namespace tarvogen {

namespace fs = std::filesystem;

namespace {

// The date in a file name prefix + date + suffix, if the name has that form.
SourceFile named(const fs::path &file, std::string_view prefix, std::string_view suffix, bool with_day) {
    SourceFile source{file, std::nullopt, !with_day};
    for (const auto &f : dated_files(file.parent_path().empty() ? "." : file.parent_path(), prefix, suffix, with_day))
        if (f.path.filename() == file.filename())
            source.edition = f.date;
    return source;
}

// The day of the first line matching pattern (groups: day, month, year).
std::optional<FileDate> stated_date(const fs::path &file, const std::regex &pattern) {
    LineReader reader(file, Encoding::Detect);
    std::string_view line;
    std::smatch m;
    while (reader.next(line)) {
        const std::string text(line);
        if (!std::regex_search(text, m, pattern))
            continue;
        const FileDate d{std::stoi(m[3]), std::stoi(m[2]), std::stoi(m[1])};
        if (valid_date(d))
            return d;
    }
    return std::nullopt;
}

} // namespace

SourceFile bundesbank_file(const fs::path &file) { return named(file, "blz_", ".txt", true); }

SourceFile scl_file(const fs::path &file) { return named(file, "scl_directory_", ".csv", false); }

SourceFile oenb_file(const fs::path &file) {
    static const std::regex query(R"(Abfrage vom ([0-9]{2})\.([0-9]{2})\.([0-9]{4}))");
    return {file, stated_date(file, query), false};
}

SourceFile six_file(const fs::path &file) {
    // Every row says since when it is valid; the newest such day is the edition's.
    LineReader reader(file, Encoding::Detect);
    std::string_view line;
    SourceFile source{file, std::nullopt, false};
    if (!reader.next(line))
        return source;
    const auto header = split(line, ';');
    const auto column = std::find(header.begin(), header.end(), std::string_view("G\xc3\xbcltig seit"));
    if (column == header.end())
        return source;
    const auto index = static_cast<std::size_t>(column - header.begin());
    while (reader.next(line)) {
        const auto fields = split(line, ';');
        if (index >= fields.size())
            continue;
        const std::string_view v = trim(fields[index]);
        if (v.size() != 8 || !all_digits(v))
            continue;
        const FileDate d{std::stoi(std::string(v.substr(0, 4))), std::stoi(std::string(v.substr(4, 2))),
                         std::stoi(std::string(v.substr(6, 2)))};
        if (valid_date(d) && (!source.edition || *source.edition < d))
            source.edition = d;
    }
    return source;
}

SourceFile iban_rule_table(const fs::path &rules_dir) {
    const auto tables = dated_files(rules_dir, "blz_iban_rule_", ".csv", true);
    if (tables.empty())
        throw InputError((rules_dir / "blz_iban_rule_YYYY_MM_DD.csv").string() +
                         ": missing; provide the IBAN rule of every bank code (columns bank_code,iban_rule) "
                         "taken from the Bundesbank's bank-code file with IBAN rules");
    return {tables.back().path, tables.back().date, false};
}

std::optional<FileDate> parse_iso_date(const std::string &text, bool month_only) {
    static const std::regex day(R"(([0-9]{4})-([0-9]{2})-([0-9]{2}))"), month(R"(([0-9]{4})-([0-9]{2}))");
    std::smatch m;
    if (std::regex_match(text, m, day)) {
        FileDate d{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
        return valid_date(d) ? std::optional(d) : std::nullopt;
    }
    if (month_only && std::regex_match(text, m, month)) {
        FileDate d{std::stoi(m[1]), std::stoi(m[2]), 1};
        return valid_date(d) ? std::optional(d) : std::nullopt;
    }
    return std::nullopt;
}

std::vector<SourceFile> bundesbank_editions(const fs::path &de) {
    auto editions = dated_files(de, "blz_", ".txt", true);
    if (editions.empty())
        throw InputError((de / "blz_YYYY_MM_DD.txt").string() +
                         ": missing; download the Deutsche Bundesbank's bank-code file "
                         "(Bankleitzahlendatei, TXT edition) and save it there under the date of the "
                         "edition's first day; keep the previous edition beside it");
    std::vector<SourceFile> newest;
    for (std::size_t i = editions.size() > 1 ? editions.size() - 2 : 0; i < editions.size(); ++i)
        newest.push_back({editions[i].path, editions[i].date, false});
    return newest;
}

SourceFiles default_sources(const fs::path &data_dir) {
    SourceFiles s;
    const auto de = data_dir / "de";
    s.blz = bundesbank_editions(de);
    s.iban_rules = iban_rule_table(de / "iban_rules");
    const auto scl = dated_files(de, "scl_directory_", ".csv", false);
    if (scl.empty())
        throw InputError((de / "scl_directory_YYYY_MM.csv").string() +
                         ": missing; download the Bundesbank SEPA-Clearer's directory of reachable payment "
                         "service providers (CSV) and save it there under the month of its edition");
    s.scl = {scl.back().path, scl.back().date, true};
    const auto at_file = data_dir / "at" / "sepa-zv-vz_gesamt.csv";
    require_file(at_file, "download the OeNB's SEPA payment directory, full list (CSV, "
                          "sepa-zv-vz_gesamt.csv), into " + (data_dir / "at").string());
    const auto ch_file = data_dir / "ch" / "derived" / "bcbankenstamm_d.csv";
    require_file(ch_file, "download the SIX bank master (bcbankenstamm_d.xls) into " + (data_dir / "ch").string() +
                              " and write its sheet as ';'-separated UTF-8 CSV to " + ch_file.string());
    s.oenb = oenb_file(at_file);
    s.six = six_file(ch_file);
    return s;
}

} // namespace tarvogen
