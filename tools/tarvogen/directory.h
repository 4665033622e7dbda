// The bank and BIC directory as the generator builds it: the entries each publisher's file
// yields, and how they become the records of the compiled-in table.
#ifndef TARVOGEN_DIRECTORY_H
#define TARVOGEN_DIRECTORY_H

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "input.h"
#include "perfect_hash.h"
#include "sources.h"

namespace tarvogen {

// Limits the run-time lookups rely on; a file that breaks one stops the generator. Keys
// are what the perfect hash can take: no longer than its positions, within its characters.
inline constexpr std::size_t record_text_size = 192; // bank_record::text, NUL included
inline constexpr std::size_t min_key_length = 6;
inline constexpr std::size_t max_key_length = hash_positions;
inline constexpr char min_key_char = hash_first_char;
inline constexpr char max_key_char = hash_first_char + hash_chars - 1;

// One BIC of the SCL directory; bic has 11 characters.
struct BicEntry {
    std::string bic;
    uint8_t flags = 0;
    std::string name;
};

// One Austrian or Swiss bank code; code is zero-padded to 5 digits.
struct BankEntry {
    std::string code;
    std::string bic, name, zip, city, country;
};

// One German bank code as one edition of the bank-code file has it.
struct GermanVersion {
    bool deleted = false;
    uint8_t method = 0;
    uint16_t iban_rule = 0;
    std::string successor, bic, name, zip, city;
    bool operator==(const GermanVersion &) const = default;
};

// A German bank code over the two newest editions. A missing side means the code is not
// in that edition.
struct GermanEntry {
    std::string code;
    std::optional<GermanVersion> older, newer;
};

// Deletion byte of a version that stands for "not in this edition": a lookup that ends on
// it finds nothing.
inline constexpr uint8_t version_absent = 2;

struct GermanDirectory {
    std::vector<GermanEntry> entries; // sorted by code
    std::time_t switch_instant = 0;   // first second of the newer edition
    std::string older_name, newer_name;
};

// ---- readers, one per publisher --------------------------------------------------------

// SCL directory; 8- and 11-character forms of one BIC are merged, flags OR-ed.
std::vector<BicEntry> read_scl_directory(const std::filesystem::path &file);
// OeNB's SEPA payment directory (full list).
std::vector<BankEntry> read_oenb_list(const std::filesystem::path &file);
// SIX bank master (CSV written from the Excel sheet), head offices only.
std::vector<BankEntry> read_six_bank_master(const std::filesystem::path &file);
// One edition of the Bundesbank bank-code file: main entries (feature flag 1) by code.
// Their iban_rule comes from rules (a code not listed has rule 0).
std::map<std::string, GermanVersion> read_bundesbank_edition(const std::filesystem::path &file,
                                                             const std::map<std::string, uint16_t> &rules);
// IBAN rule per bank code: rule * 100 + version.
std::map<std::string, uint16_t> read_iban_rule_map(const std::filesystem::path &file);
// One or two editions (oldest first) merged into one entry per code; the rule table gives
// each code its IBAN rule.
GermanDirectory read_german_directory(const std::vector<SourceFile> &editions,
                                      const std::filesystem::path &rule_table);

// Midnight German civil time (CET/CEST) at the start of the given day, as epoch seconds.
std::time_t german_midnight(const FileDate &day);

// ---- records -----------------------------------------------------------------------------

// Method byte of a German version that is not listed (no check method has this code).
inline constexpr uint8_t method_unlisted = 0xFF;

struct Directory {
    std::vector<std::string> records; // key first, in table order
    // Per German record, in table order: the check method of each edition, for the
    // account check that needs nothing else from a record.
    std::vector<uint8_t> methods_older, methods_newer;
    // Per German record: its bank code as a number, so that a lookup confirms a code
    // without reading the record text.
    std::vector<uint32_t> german_codes;
    std::size_t bic_count = 0, at_count = 0, ch_count = 0, de_count = 0, second_versions = 0;
    std::time_t switch_instant = 0;
    std::vector<std::string> sources;
};

std::string bic_record(const BicEntry &entry);
std::string bank_record_text(const BankEntry &entry, std::string_view country_key);
std::string german_record(const GermanEntry &entry);
// All records in table order, every limit checked.
Directory build_directory(const SourceFiles &sources);

// The records with their perfect hash, checked to find every key at its own index.
struct HashedDirectory {
    Directory dir;
    PerfectHash hash;
};
HashedDirectory hash_directory(Directory dir);

} // namespace tarvogen

#endif
