// Lookups by national bank code and by IBAN for the countries with a bank-code
// directory: which bank it is, and which BIC an IBAN's bank uses.
#include <string.h>

#include <cstddef>

#include "account/account.h"
#include "ident/ident.h"

namespace tarvo {
namespace {

constexpr std::size_t longest_bankcode = 8;

// The country whose IBANs begin like iban (exact comparison), or null.
const bank_code_country *iban_country(const char *iban) {
    for (const auto *row = max_bid_len; row->length; ++row)
        if (strncmp(iban, row->code, 2) == 0) return row;
    return nullptr;
}

void cut_bankcode(const char *iban, const bank_code_country &country, char (&out)[longest_bankcode + 1]) {
    memcpy(out, iban + 4, country.length);
    out[country.length] = '\0';
}

// German IBAN rules that fix a bank's BIC whatever its directory entry says. Records of
// other countries carry rule 0, so only German IBANs meet them.
struct bic_override {
    int rule;
    bool (*applies)(const char *bankcode);
    const char *bic;
};

// Rule 5: Commerzbank codes (4th digit 4) route through the head office, except the
// codes whose 5th and 6th digits are 11.
bool commerzbank_code(const char *bankcode) {
    return bankcode[3] == '4' && !(bankcode[4] == '1' && bankcode[5] == '1');
}
bool always(const char *) { return true; }

constexpr bic_override bic_overrides[] = {
    {5, commerzbank_code, "COBADEFFXXX"},
    {14, always, "DAAEDEDDXXX"},
};

// The BIC an IBAN with this bank code uses: the record's, unless an IBAN rule fixes another.
void bic_of(const bank_record &record, const char *bankcode, char (&bic)[12]) {
    memset(bic, 0, sizeof bic);
    if (record.bic != nullptr) strncpy(bic, record.bic, sizeof bic - 1);
    for (const auto &rule : bic_overrides)
        if (record.iban_rule / 100 == rule.rule && rule.applies(bankcode)) memcpy(bic, rule.bic, sizeof bic);
}

// Copies text into an array, cut to fit; null copies as empty.
template <std::size_t N> void copy_cut(char (&to)[N], const char *text) {
    const std::size_t n = text != nullptr ? strnlen(text, N - 1) : 0;
    memcpy(to, text, n);
    to[n] = '\0';
}

} // namespace
} // namespace tarvo

extern "C" int tarvo_bankid_check(const char *country, const char *bankid, tarvo_bank_t **bank) {
    if (tarvo::find_country(country) == nullptr) return 0;
    tarvo::bank_record record;
    if (tarvo::lookup_bank(country, bankid, &record) != 1) return -2;
    if (bank == nullptr) return 1;
    tarvo_bank_t *block = tarvo::make_bank(record);
    if (block == nullptr) return -3;
    *bank = block;
    return 1;
}

extern "C" int tarvo_iban_getBank(const char *iban, tarvo_bank_t **bank) {
    if (tarvo_iban_check(iban) != 1) return -1;
    const auto *country = tarvo::iban_country(iban);
    if (country == nullptr) return 0;
    char bankcode[tarvo::longest_bankcode + 1];
    tarvo::cut_bankcode(iban, *country, bankcode);
    const char code[3] = {iban[0], iban[1], '\0'};
    return tarvo_bankid_check(code, bankcode, bank);
}

extern "C" int tarvo_iban_getBIC(const char *iban, char *bic) {
    if (bic == nullptr) return -1;
    memset(bic, 0, 12);
    if (iban == nullptr) return -1;
    const auto *country = tarvo::iban_country(iban);
    if (country == nullptr) return 0;
    if (strnlen(iban, country->iban_length + 1) != country->iban_length) return -1;
    char bankcode[tarvo::longest_bankcode + 1];
    tarvo::cut_bankcode(iban, *country, bankcode);
    tarvo::bank_record record;
    if (tarvo::lookup_bank(country->key, bankcode, &record) != 1) return -3;
    char found[12];
    tarvo::bic_of(record, bankcode, found);
    memcpy(bic, found, sizeof found);
    return 1;
}

extern "C" int tarvo_iban_inspect(const char *iban, tarvo_iban_info_t *info) {
    if (info == nullptr) return -1;
    // Empty texts rather than a cleared block: a batch calls this millions of times.
    info->error = nullptr;
    info->bankid[0] = info->bic[0] = info->name[0] = '\0';
    // A German check reads the directory and fills the record; others leave it empty.
    tarvo::bank_record record;
    record.text[0] = '\0';
    if (tarvo::iban_check(iban, &info->error, &record) != 1) return -1;
    const auto *country = tarvo::iban_country(iban);
    if (country == nullptr) return 1;
    char bankcode[tarvo::longest_bankcode + 1];
    tarvo::cut_bankcode(iban, *country, bankcode);
    tarvo::copy_cut(info->bankid, bankcode);
    if (record.text[0] == '\0' && tarvo::lookup_bank(country->key, bankcode, &record) != 1) return 1;
    char bic[12];
    tarvo::bic_of(record, bankcode, bic);
    tarvo::copy_cut(info->bic, bic);
    tarvo::copy_cut(info->name, record.name);
    return 1;
}

extern "C" int tarvo_account_check_bank(const char *account, const char *bankid) {
    constexpr std::size_t german_bankcode = 8;
    if (bankid == nullptr || strnlen(bankid, german_bankcode + 1) != german_bankcode) return -3;
    // The directory pads short codes for its key; a full code must not be found that way.
    for (std::size_t i = 0; i < german_bankcode; ++i)
        if (bankid[i] < '0' || bankid[i] > '9') return -3;
    const int method = tarvo::german_method(bankid);
    if (method < 0) return -3;
    char acct[11];
    if (!tarvo::normalise_account(account, acct)) return -1;
    return tarvo::check_normalised(acct, bankid, method);
}
