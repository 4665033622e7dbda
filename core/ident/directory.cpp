// The bank directory: the perfect hash over the record keys and the lookup by country and
// national bank code. The records and hash tables are generated from the publishers'
// files (tools/tarvogen) into directory_data.cpp, or come from a loaded data file.
#include <string.h>

#include "ident/data_tables.h"
#include "ident/ident.h"

namespace tarvo {

constexpr bank_code_country max_bid_len[] = {
    {"AT", "AT", 5, 20}, {"CH", "CH", 5, 21}, {"DE", "DE", 8, 22}, {"LI", "CH", 5, 21}, {"", "", 0, 0},
};

const bank_code_country *find_country(const char *country) {
    if (!country)
        return nullptr;
    for (const auto *row = max_bid_len; row->length; ++row)
        if (strcmp(row->code, country) == 0)
            return row;
    return nullptr;
}

namespace {

constexpr int min_key_length = 6;

// Cuts text at its '|' into up to count fields; fields without a separator left stay null.
void cut_fields(char *text, char **fields[], int count) {
    char *start = text;
    *fields[0] = start;
    for (int f = 1; f < count; ++f) {
        char *bar = strchr(start, '|');
        if (!bar)
            return;
        *bar = '\0';
        start = bar + 1;
        *fields[f] = start;
    }
}

// Fills out from one version of a record starting at p (German records: at the version's
// four bytes). Returns where the next version starts, or null when this is the last one.
const char *read_version(const char *p, bool german, bank_record *out) {
    memset(out, 0, sizeof *out);
    if (german) {
        out->deleted = static_cast<uint8_t>(p[0]);
        out->method = static_cast<uint8_t>(p[1]);
        out->iban_rule = static_cast<uint8_t>(p[2]) << 8 | static_cast<uint8_t>(p[3]);
        p += 4;
    }
    // A German version ends at the NUL or at the '|' after its sixth field, behind which
    // the next version's bytes follow; copying stops there, so a second version never
    // spills into the copy and nothing is written past the text area.
    const int field_count = german ? 6 : 5;
    size_t n = 0;
    int bars = 0;
    while (p[n] && n < sizeof out->text - 1) {
        if (p[n] == '|' && ++bars == field_count)
            break;
        ++n;
    }
    memcpy(out->text, p, n);
    out->text[n] = '\0';
    const bool more = german && p[n] == '|' && bars == field_count;
    if (german) {
        char **fields[] = {&out->successor, &out->bic, &out->name, &out->zip, &out->city, &out->country};
        cut_fields(out->text, fields, 6);
    } else {
        char **fields[] = {&out->bic, &out->name, &out->zip, &out->city, &out->country};
        cut_fields(out->text, fields, 5);
    }
    return more ? p + n + 1 : nullptr;
}

// The clock is read only for records that have a second version.
template <typename Tables, typename Clock>
int lookup(const Tables &tables, const char *country, const char *bankcode, bank_record *out, Clock now) {
    if (!bankcode || !*bankcode || !out)
        return 0;
    const bank_code_country *row = find_country(country);
    if (!row)
        return 0;
    const size_t length = strnlen(bankcode, row->length + 1);
    if (length > row->length)
        return 0;
    char key[16];
    const size_t key_length = row->length + 3;
    key[0] = '_';
    memcpy(key + 1, row->key, 2);
    memset(key + 3, '0', row->length - length);
    memcpy(key + 3 + row->length - length, bankcode, length);
    key[key_length] = '\0';

    const int index = hash_in(tables, key);
    if (index < tables.at_first)
        return 0;
    const char *record = tables.record(index);
    if (memcmp(record, key, key_length) != 0)
        return 0;
    const bool german = index >= tables.de_first;
    const char *next = read_version(record + key_length, german, out);
    if (next && now() >= tables.switch_instant)
        while (next)
            next = read_version(next, german, out);
    // A bank code that the edition in force does not list.
    if (german && out->deleted == directory_version_absent)
        return 0;
    return 1;
}

template <typename Tables>
int record_index(const Tables &tables, uint32_t s0, uint32_t s1, uint32_t s2) {
    const int32_t t = tables.g_of(s1) + tables.g_of(s0) + tables.g_of(s2);
    // Vertices no key touches hold -1; a sum through them is no index, whatever its value.
    return t < 0 ? -1 : tables.index_of(t);
}

// hash() of a key known to be a valid one of `length` characters, without its checks.
template <size_t length, typename Tables>
int hash_of_valid(const Tables &tables, const char *key) {
    static_assert(length >= size_t{min_key_length} && length <= size_t{hash_positions});
    uint32_t s0 = 0, s1 = 0, s2 = 0;
    for (size_t p = 0; p < length; ++p) {
        const unsigned i = (static_cast<unsigned char>(key[p]) - '0') + hash_chars * p;
        s0 += tables.t0(i);
        s1 += tables.t1(i);
        s2 += tables.t2(i);
    }
    return record_index(tables, s0, s1, s2);
}

// bankcode: 8 digits, which the callers have checked. The method tables spare copying
// the record, and the clock is read only where the editions differ.
template <typename Tables, typename Clock>
int method_in_force(const Tables &tables, const char *bankcode, Clock now) {
    constexpr size_t code_length = 8;
    char key[3 + code_length + 1] = {'_', 'D', 'E'};
    memcpy(key + 3, bankcode, code_length);
    key[3 + code_length] = '\0';
    const int index = hash_of_valid<3 + code_length>(tables, key);
    uint32_t code = 0;
    for (size_t i = 0; i < code_length; ++i)
        code = code * 10 + static_cast<uint32_t>(bankcode[i] - '0');
    // The codes as numbers are a table a tenth of the size of the records.
    if (index < tables.de_first || tables.code(index - tables.de_first) != code)
        return -1;
    const uint8_t older = tables.method_older(index - tables.de_first);
    const uint8_t newer = tables.method_newer(index - tables.de_first);
    const uint8_t method = older == newer || now() < tables.switch_instant ? older : newer;
    return method == german_method_unlisted ? -1 : method;
}

} // namespace

template <typename Tables>
int hash_in(const Tables &tables, const char *key) {
    if (!key)
        return -1;
    uint32_t s0 = 0, s1 = 0, s2 = 0;
    int p = 0;
    for (; key[p]; ++p) {
        const auto c = static_cast<unsigned char>(key[p]);
        if (p >= hash_positions || c < '0' || c > 'z')
            return -1;
        const unsigned i = (c - '0') + hash_chars * p;
        s0 += tables.t0(i);
        s1 += tables.t1(i);
        s2 += tables.t2(i);
    }
    if (p < min_key_length)
        return -1;
    return record_index(tables, s0, s1, s2);
}
template int hash_in(const compiled_tables &, const char *);
template int hash_in(const file_tables &, const char *);

int hash(const char *key) {
    return hash_in(compiled_tables{}, key);
}

int lookup_bank(const char *country, const char *bankcode, bank_record *out) {
    return with_tables([&](const auto &t) { return lookup(t, country, bankcode, out, [] { return time(nullptr); }); });
}

int lookup_bank_at(const char *country, const char *bankcode, bank_record *out, time_t now) {
    return with_tables([&](const auto &t) { return lookup(t, country, bankcode, out, [now] { return now; }); });
}

int german_method(const char *bankcode) {
    return with_tables([&](const auto &t) { return method_in_force(t, bankcode, [] { return time(nullptr); }); });
}

int german_method_at(const char *bankcode, time_t now) {
    return with_tables([&](const auto &t) { return method_in_force(t, bankcode, [now] { return now; }); });
}

int lookup_bank_in(const file_tables &tables, const char *country, const char *bankcode, bank_record *out,
                   time_t now) {
    return lookup(tables, country, bankcode, out, [now] { return now; });
}

int german_method_in(const file_tables &tables, const char *bankcode, time_t now) {
    return method_in_force(tables, bankcode, [now] { return now; });
}

} // namespace tarvo
