// Layout of a bank data file, shared by its writer (tarvogen) and the loader: a fixed
// header, then aligned sections that the lookups use in place from a read-only mapping.
// Every number is little-endian; the file is only accepted on little-endian machines.
#ifndef TARVO_DATA_FORMAT_H
#define TARVO_DATA_FORMAT_H

#include <stddef.h>
#include <stdint.h>

#include <array>

namespace tarvo::data_format {

inline constexpr char magic[8] = {'T', 'A', 'R', 'V', 'O', 'D', 'A', 'T'};
inline constexpr uint32_t version = 1;

// A calendar day; day 0 for an edition named by its month only, year 0 when unknown.
struct date {
    uint16_t year;
    uint8_t month;
    uint8_t day;
};

// The sources in the order of the header's edition table. Two Bundesbank slots: the
// edition in force and, when given, the next one with its switch instant.
enum source : uint32_t { bundesbank, bundesbank_next, iban_rules, scl, oenb, six, source_count };
inline constexpr const char *source_names[source_count] = {"bundesbank", "bundesbank", "iban-rules",
                                                           "scl",        "oenb",       "six"};

struct edition {
    date issued;
    date valid_until;
};

struct section {
    uint32_t offset; // from the start of the file, a multiple of section_alignment
    uint32_t size;   // in bytes
};
inline constexpr uint32_t section_alignment = 8;

enum section_id : uint32_t {
    t0, t1, t2, g, method_older, method_newer, german_code,
    record_offsets, // records + 1 uint32: record i is bytes [off[i], off[i+1]) of record_text
    record_text,
    section_count
};

struct header {
    char magic[8];
    uint32_t version;
    uint32_t header_size;
    uint64_t file_size;
    uint32_t checksum; // CRC-32C of every byte after this field
    uint32_t reserved;
    int64_t build_time;
    int64_t switch_instant; // German records answer in their second version from here on
    uint32_t records, at_first, ch_first, de_first;
    uint32_t vertices, hash_positions, hash_chars, second_versions;
    edition editions[source_count];
    section sections[section_count];
};
inline constexpr size_t checksum_start = offsetof(header, checksum) + sizeof(uint32_t);

// CRC-32C (Castagnoli, reflected polynomial 0x82F63B78), table-driven.
inline constexpr std::array<uint32_t, 256> crc32c_table = [] {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? (c >> 1) ^ 0x82F63B78u : c >> 1;
        table[i] = c;
    }
    return table;
}();

inline uint32_t crc32c(const unsigned char *bytes, size_t size) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        c = crc32c_table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

} // namespace tarvo::data_format

#endif
