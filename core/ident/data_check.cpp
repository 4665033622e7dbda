// Every check a data file passes before any lookup reads it: after these, each offset a
// lookup can compute from the file's own numbers lies inside the mapping.
#include <string.h>

#include "ident/data_tables.h"
#include "ident/ident.h"

namespace tarvo {

namespace {

namespace format = data_format;

constexpr uint32_t hash_table_bytes = hash_positions * hash_chars * sizeof(uint32_t);
// Longest key a lookup compares with a record (German bank codes, BICs).
constexpr uint32_t longest_key = 11;
constexpr uint32_t german_version_bytes = 4;
constexpr uint32_t german_fields = 6;
// What read_version copies at most (bank_record::text without its NUL).
constexpr uint32_t copied_text = sizeof(bank_record::text) - 1;

bool valid_date(const format::date &d) {
    if (d.year == 0)
        return d.month == 0 && d.day == 0;
    return d.year >= 1970 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day <= 31;
}

// A German record's versions, walked as read_version reads them: every byte it reads must
// lie before end (the record's last byte, a NUL).
bool german_record_in_bounds(const char *text, uint32_t start, uint32_t end) {
    uint32_t pos = start + longest_key;
    for (;;) {
        if (pos + german_version_bytes >= end)
            return false;
        const uint32_t p = pos + german_version_bytes;
        uint32_t n = 0, bars = 0;
        while (p + n < end && text[p + n] && n < copied_text) {
            if (text[p + n] == '|' && ++bars == german_fields)
                break;
            ++n;
        }
        if (text[p + n] != '|' || bars != german_fields)
            return true;
        pos = p + n + 1;
    }
}

const char *check_records(const format::header &h, const uint32_t *offsets, const char *text, uint32_t text_size) {
    if (offsets[0] != 0 || offsets[h.records] != text_size)
        return "record offsets: the first or last offset does not match the record text";
    for (uint32_t i = 0; i < h.records; ++i) {
        const uint32_t start = offsets[i], end = offsets[i + 1];
        // BIC records: key, flags byte, name; bank-code records: a key compared over up to
        // eleven bytes, then their text. Each ends with a NUL.
        const uint32_t least = i < h.at_first ? longest_key + 2 : longest_key + 1;
        if (end < start || end > text_size || end - start < least)
            return "record offsets: a record is shorter than its key or out of order";
        if (text[end - 1] != '\0')
            return "record text: a record does not end with a NUL byte";
        // Bank-code lookups read a record as German by its index alone; only a key of its
        // own country may match it.
        const char *prefix = i < h.at_first ? nullptr : i < h.ch_first ? "_AT" : i < h.de_first ? "_CH" : "_DE";
        if (prefix && memcmp(text + start, prefix, 3) != 0)
            return "record text: a record lies in another country's block";
        if (i >= h.de_first && !german_record_in_bounds(text, start, end - 1))
            return "record text: a German record's versions run past its end";
    }
    return nullptr;
}

} // namespace

const char *check_data_file(const unsigned char *bytes, size_t size, data_file &out) {
    if (size == 0)
        return "empty file";
    format::header h;
    if (size < sizeof h)
        return "truncated: shorter than the header";
    memcpy(&h, bytes, sizeof h);
    if (memcmp(h.magic, format::magic, sizeof h.magic) != 0)
        return "magic: not a tarvo data file";
    if (h.version != format::version)
        return "format version: written for another version of the library";
    if (h.header_size != sizeof h)
        return "header size: does not match the format version";
    if (h.file_size != size)
        return h.file_size > size ? "truncated: shorter than its header says" : "size: longer than its header says";
    if (format::crc32c(bytes + format::checksum_start, size - format::checksum_start) != h.checksum)
        return "checksum: the content does not match its CRC-32C";
    if (h.hash_positions != uint32_t{hash_positions} || h.hash_chars != uint32_t{hash_chars})
        return "hash layout: positions or characters differ from this library's";
    if (h.records == 0 || h.records > (1u << 24) || h.at_first > h.ch_first || h.ch_first > h.de_first ||
        h.de_first > h.records || h.vertices == 0 || h.vertices > (1u << 26))
        return "record counts: out of range or out of order";
    for (const auto &e : h.editions)
        if (!valid_date(e.issued) || !valid_date(e.valid_until))
            return "editions: a date is not a calendar date";

    const uint32_t german = h.records - h.de_first;
    const uint64_t expected[format::section_count] = {
        hash_table_bytes, hash_table_bytes, hash_table_bytes, uint64_t{h.vertices} * 4, german, german,
        uint64_t{german} * 4, (uint64_t{h.records} + 1) * 4, 0};
    for (uint32_t s = 0; s < format::section_count; ++s) {
        const format::section &sec = h.sections[s];
        if (sec.offset % format::section_alignment != 0 || sec.offset < sizeof h ||
            uint64_t{sec.offset} + sec.size > size)
            return "section bounds: a table lies outside the file or is misaligned";
        if (s != format::record_text && sec.size != expected[s])
            return "section size: a table's size does not match the record counts";
    }
    const auto at = [&](format::section_id s) { return bytes + h.sections[s].offset; };
    const auto *g = reinterpret_cast<const int32_t *>(at(format::g));
    for (uint32_t v = 0; v < h.vertices; ++v)
        if (g[v] < -1 || g[v] >= static_cast<int32_t>(h.records))
            return "hash table: a vertex value is no record index";
    const auto *offsets = reinterpret_cast<const uint32_t *>(at(format::record_offsets));
    const auto *text = reinterpret_cast<const char *>(at(format::record_text));
    if (const char *failed = check_records(h, offsets, text, h.sections[format::record_text].size))
        return failed;

    file_tables &t = out.tables;
    t.records = static_cast<int>(h.records);
    t.at_first = static_cast<int>(h.at_first);
    t.de_first = static_cast<int>(h.de_first);
    t.switch_instant = static_cast<time_t>(h.switch_instant);
    t.vertices.set(h.vertices);
    t.record_count.set(h.records);
    t.T0_ = reinterpret_cast<const uint32_t *>(at(format::t0));
    t.T1_ = reinterpret_cast<const uint32_t *>(at(format::t1));
    t.T2_ = reinterpret_cast<const uint32_t *>(at(format::t2));
    t.g_ = g;
    t.older = at(format::method_older);
    t.newer = at(format::method_newer);
    t.codes = reinterpret_cast<const uint32_t *>(at(format::german_code));
    t.offsets = offsets;
    t.text = text;
    out.build_time = h.build_time;
    memcpy(out.editions, h.editions, sizeof out.editions);
    return nullptr;
}

} // namespace tarvo
