// Which publisher files a directory is built from, and the edition each one is: the
// date in its name where the publisher's naming carries one, else the date the file
// states in its text, else the date the caller names.
#ifndef TARVOGEN_SOURCES_H
#define TARVOGEN_SOURCES_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "input.h"

namespace tarvogen {

struct SourceFile {
    std::filesystem::path path;
    std::optional<FileDate> edition; // empty: unknown
    bool month_only = false;         // the edition names a month, not a day
};

struct SourceFiles {
    std::vector<SourceFile> blz; // one or two Bundesbank editions, oldest first
    SourceFile iban_rules;       // the rule of every bank code (blz_iban_rule_*.csv)
    SourceFile scl, oenb, six;
};

// The files the build reads from the data folder: the two newest Bundesbank editions, the
// newest rule table and SCL directory, the OeNB and SIX lists. Throws InputError saying
// what to download for a missing one.
SourceFiles default_sources(const std::filesystem::path &data_dir);

// The two newest blz_YYYY_MM_DD.txt editions of a folder, oldest first.
std::vector<SourceFile> bundesbank_editions(const std::filesystem::path &de_dir);
// The newest blz_iban_rule_*.csv of an IBAN rule folder.
SourceFile iban_rule_table(const std::filesystem::path &rules_dir);
// A Bundesbank edition given by path: its date from a blz_YYYY_MM_DD.txt name, if any.
SourceFile bundesbank_file(const std::filesystem::path &file);
// An SCL directory given by path: its month from a scl_directory_YYYY_MM.csv name, if any.
SourceFile scl_file(const std::filesystem::path &file);
// The OeNB list's query date ("SEPA-Verzeichnis-Abfrage vom DD.MM.YYYY"), if it has one.
SourceFile oenb_file(const std::filesystem::path &file);
// The SIX bank master's newest "Gültig seit" date among head offices, if it has one.
SourceFile six_file(const std::filesystem::path &file);

// "YYYY-MM-DD" (or "YYYY-MM" with month_only) as a date; nullopt when it is not one.
std::optional<FileDate> parse_iso_date(const std::string &text, bool month_only);

} // namespace tarvogen

#endif
