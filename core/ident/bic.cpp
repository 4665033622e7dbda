// BIC lookups in the directory and the tarvo_bank_t result block that every bank lookup
// hands out.
#include <stdlib.h>
#include <string.h>

#include "ident/data_tables.h"
#include "ident/ident.h"

namespace tarvo {

tarvo_bank_t *make_bank(const char *name, const char *zip, const char *city, const char *country,
                        const char *bic, uint16_t flags) {
    const char *texts[] = {name, zip, city, country, bic};
    size_t size = sizeof(tarvo_bank_t);
    for (const char *t : texts)
        if (t)
            size += strlen(t) + 1;
    auto *bank = static_cast<tarvo_bank_t *>(malloc(size));
    if (!bank)
        return nullptr;
    char **slots[] = {&bank->name, &bank->zip, &bank->city, &bank->country, &bank->bic};
    // The texts follow the struct in the same block, so one free releases everything.
    char *p = reinterpret_cast<char *>(bank + 1);
    for (size_t i = 0; i < 5; ++i) {
        if (!texts[i]) {
            *slots[i] = nullptr;
            continue;
        }
        const size_t n = strlen(texts[i]) + 1;
        memcpy(p, texts[i], n);
        *slots[i] = p;
        p += n;
    }
    bank->flags = flags;
    return bank;
}

tarvo_bank_t *make_bank(const bank_record &record) {
    return make_bank(record.name, record.zip, record.city, record.country, record.bic, 0);
}

namespace {

constexpr size_t bic_key_length = 11;
constexpr size_t bic_flags_offset = 11;
constexpr size_t bic_name_offset = 12;

// ASCII rules, not the locale's: under a Turkish locale toupper('i') is not 'I'.
constexpr char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool is_upper_or_digit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

} // namespace

template <typename Tables>
int bic_get_bank(const Tables &tables, const char *bic, tarvo_bank_t **bank) {
    if (!bic)
        return -2;
    const size_t length = strnlen(bic, bic_key_length + 1);
    if (length != 8 && length != bic_key_length)
        return -2;
    char key[bic_key_length + 1];
    for (size_t i = 0; i < length; ++i) {
        const char c = ascii_upper(bic[i]);
        if (!is_upper_or_digit(c))
            return -2;
        key[i] = c;
    }
    if (length == 8)
        memcpy(key + 8, "XXX", 3);
    key[bic_key_length] = '\0';

    const int index = hash_in(tables, key);
    if (index < 0 || index >= tables.at_first)
        return -2;
    const char *record = tables.record(index);
    if (memcmp(record, key, bic_key_length) != 0)
        return -2;
    if (!bank)
        return 1;
    // The country is the BIC's fifth and sixth character.
    const char country[3] = {key[4], key[5], '\0'};
    tarvo_bank_t *result = make_bank(record + bic_name_offset, nullptr, nullptr, country, key,
                                     static_cast<uint8_t>(record[bic_flags_offset]));
    if (!result)
        return -3;
    *bank = result;
    return 1;
}
template int bic_get_bank(const file_tables &, const char *, tarvo_bank_t **);

} // namespace tarvo

extern "C" int tarvo_bic_getBank(const char *bic, tarvo_bank_t **bank) {
    return tarvo::with_tables([&](const auto &t) { return tarvo::bic_get_bank(t, bic, bank); });
}
