// Transactions: a key/value list is checked pair by pair against the rules of its key and
// the rulebook in force, completed, and appended to the message's list.
#include <stdlib.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <type_traits>
#include <string_view>

#include "ident/ident.h"
#include "message/key_rules.h"
#include "message/message.h"

namespace tarvo {
namespace {

using namespace keys;

// Countries of BICs whose debtors lie outside the EEA although they take part in SEPA.
constexpr std::string_view non_eea_countries[] = {"AD", "BL", "CH", "GB", "GG", "GI", "IM", "JE",
                                                  "MC", "NC", "PF", "PM", "SM", "TF", "VA", "WF"};

// Every text a record owns, for the wipe on release.
constexpr char *ddi_tx::*ddi_texts[] = {&ddi_tx::id,   &ddi_tx::name,     &ddi_tx::iban,     &ddi_tx::bic,
                                        &ddi_tx::addrCC, &ddi_tx::addrLine1, &ddi_tx::addrLine2, &ddi_tx::date,
                                        &ddi_tx::mref, &ddi_tx::mdate,    &ddi_tx::old_mref, &ddi_tx::old_iban,
                                        &ddi_tx::ref,  &ddi_tx::cref,     &ddi_tx::ultimate};
constexpr char *cti_tx::*cti_texts[] = {&cti_tx::id,        &cti_tx::name,      &cti_tx::iban, &cti_tx::bic,
                                        &cti_tx::addrCC,    &cti_tx::addrLine1, &cti_tx::addrLine2,
                                        &cti_tx::ref,       &cti_tx::purp,      &cti_tx::date,
                                        &cti_tx::cref,      &cti_tx::ultimate,  &cti_tx::qrr};

// ---- Helpers -----------------------------------------------------------------------

constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Keys and sequence types compare without regard to case, independent of the locale.
// Most keys differ in length, so that cheap test comes first.
constexpr bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

// Keys are found through a hash of their lower-case spelling: each key table has one
// slot per hash value, and no two keys of a table share one (the compiler checks), so a
// lookup is one hash of the caller's key and one comparison per table.
constexpr size_t key_slots = 64;
using KeyIndex = std::array<int8_t, key_slots>;

// FNV-1a with an offset basis chosen so that the tables below are free of collisions.
constexpr size_t key_hash(std::string_view key) {
    uint32_t h = 2166136278U;
    for (char c : key) h = (h ^ static_cast<uint8_t>(ascii_lower(c))) * 16777619U;
    return h % key_slots;
}

template <typename Entry, size_t N>
constexpr KeyIndex index_keys(const Entry (&table)[N]) {
    KeyIndex index{};
    index.fill(-1);
    for (size_t i = 0; i < N; ++i) {
        int8_t &slot = index[key_hash(table[i].key)];
        if (slot >= 0) throw "two keys of one table share a hash slot";
        slot = static_cast<int8_t>(i);
    }
    return index;
}

template <typename Entry, size_t N>
const Entry *find_key(const Entry (&table)[N], const KeyIndex &index, std::string_view key, size_t hash) {
    const int8_t i = index[hash];
    // The index holds only positions of this table; the bound is for the optimiser, which
    // cannot see that through the indirection and would warn.
    if (i < 0 || static_cast<size_t>(i) >= N) return nullptr;
    return equals_ignoring_case(table[i].key, key) ? &table[i] : nullptr;
}

constexpr bool is_alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The rulebook table row in force for a message. Only a caller that writes the
// process-wide number directly can leave it outside the table; validate by the newest
// guideline then.
const Rulebook &rules_in_force(const tarvo_t *h) {
    const Rulebook *rb = message_rulebook(h);
    return rb != nullptr ? *rb : *rulebook(rulebook_number("DE-3.9"));
}

// Replaces a record's text with a copy of value; null on success.
const char *store(char *&field, const char *value) { return replace_text(field, value) ? nullptr : out_of_memory; }

// The amount rule; null on success with the amount in cents in *cents.
const char *parse_amount(const char *value, int64_t *cents) {
    switch (parse_cents(value, cents)) {
    case AmountText::Ok: return nullptr;
    case AmountText::Invalid: return "Invalid amount";
    case AmountText::Empty: return "Empty amount not allowed";
    case AmountText::Negative: return "Negative or zero amount not allowed";
    case AmountText::TooLarge: return amount_too_large;
    }
    return "Invalid amount";
}

constexpr KeyIndex address_index = index_keys(address_keys);
template <typename Tx>
constexpr KeyIndex shared_index = index_keys(shared_rules<Tx>);

// A refused byte of a structured address part; bytes that are no printable character
// are named by their code, so that the message itself stays readable text.
const char *refused_character(tarvo_t *h, unsigned char bad, std::string_view key) {
    if (bad >= 0x20 && bad < 0x7F) return format_error(h->errbuf, "Invalid character '%c' in '%s'", bad, key.data());
    return format_error(h->errbuf, "Invalid character (byte 0x%02X) in '%s'", bad, key.data());
}

// ---- Applying one pair -------------------------------------------------------------


template <typename Tx>
const char *apply_text_rule(tarvo_t *h, Tx &tx, const KeyRule<Tx> &rule, const char *value, const Rulebook &rb) {
    if (!taken_under(rule.check, rb))
        return rule.check == Check::Ultimate ? "selected SEPA rulebook does not support ultimate parties"
                                             : "selected SEPA rulebook requires structured address data";
    if (value == nullptr) return rule.message;
    const size_t length = strlen(value);
    if (length < rule.min || length > rule.max) return rule.message;
    CharsetMode mode = rule.mode;
    if (rule.check == Check::MandateRef) mode = rb.mandate_ref_text ? CHARSET_TEXT : CHARSET_IDENT;
    unsigned char bad = 0;
    if (!check_string_under(value, &bad, mode, &rb)) return format_error(h->errbuf, rule.detail_message, bad);
    // An empty remittance text means none: the document has no place for an empty one.
    if (length == 0) {
        release_text(tx.*rule.field);
        return nullptr;
    }
    return store(tx.*rule.field, value);
}

template <typename Tx>
const char *apply_rule(tarvo_t *h, Tx &tx, const KeyRule<Tx> &rule, const char *value, const Rulebook &rb) {
    switch (rule.check) {
    case Check::Text:
    case Check::MandateRef:
    case Check::AddressLine:
    case Check::Ultimate: return apply_text_rule(h, tx, rule, value, rb);
    case Check::CreditorRef: {
        if (!taken_under(rule.check, rb)) return "selected SEPA rulebook does not support creditor references";
        char electronic[26];
        if (!creditor_reference_normalize(value, electronic)) return rule.message;
        if (!creditor_reference_valid(electronic)) return rule.detail_message;
        return store(tx.*rule.field, electronic);
    }
    case Check::Iban: {
        const char *message = nullptr;
        if (!iban_check(value, &message)) return message != nullptr ? message : "Invalid IBAN";
        return store(tx.*rule.field, value);
    }
    case Check::Bic: {
        char upper[12];
        switch (check_bic(value, upper)) {
        case BicVerdict::BadLength: return rule.message;
        case BicVerdict::BadFormat: return rule.detail_message;
        case BicVerdict::Ok: break;
        }
        return store(tx.*rule.field, upper);
    }
    case Check::Country: {
        const bool valid = value != nullptr && strlen(value) == 2 && value[0] >= 'A' && value[0] <= 'Z' &&
                           value[1] >= 'A' && value[1] <= 'Z';
        return valid ? store(tx.*rule.field, value) : rule.message;
    }
    case Check::Date: return is_calendar_date(value) ? store(tx.*rule.field, value) : rule.message;
    case Check::Purpose: {
        const bool valid = value != nullptr && strlen(value) == 4 && is_alnum(value[0]) && is_alnum(value[1]) &&
                           is_alnum(value[2]) && is_alnum(value[3]);
        return valid ? store(tx.*rule.field, value) : rule.message;
    }
    case Check::Amount: return parse_amount(value, &tx.amount);
    case Check::Sequence:
        if constexpr (requires { tx.seq; }) {
            for (int i = 0; value != nullptr && i < 4; ++i) {
                if (equals_ignoring_case(ddi_seq_types[i], value)) {
                    tx.seq = i + 1;
                    return nullptr;
                }
            }
            return "Invalid/unknown sequence type";
        }
        break;
    case Check::Smnda:
        if constexpr (requires { tx.smnda; }) {
            if (value == nullptr) return "Missing value for SMNDA flag";
            if (strcmp(value, "1") != 0) return format_error(h->errbuf, "Invalid value '%s' for SMNDA flag", value);
            tx.smnda = 1;
            return nullptr;
        }
        break;
    case Check::NotStructured: return "selected SEPA rulebook does not support structured address data";
    case Check::Currency:
        if constexpr (requires { tx.currency; }) {
            if (value != nullptr && strcmp(value, "CHF") == 0) tx.currency = Currency::CHF;
            else if (value != nullptr && strcmp(value, "EUR") == 0) tx.currency = Currency::EUR;
            else return rule.message;
            return nullptr;
        }
        break;
    case Check::QrReference: {
        char digits[28];
        if (!qr_reference_valid(value) || !qr_reference_normalize(value, digits)) return rule.message;
        return store(tx.*rule.field, digits);
    }
    }
    return nullptr;
}

template <typename Tx>
struct Kind;

// Every key a credit transfer knows, for the suggestions after an unknown one.
template <typename... Tables>
constexpr auto keys_of(const Tables &...tables) {
    std::array<std::string_view, (std::extent_v<Tables> + ...)> keys{};
    size_t n = 0;
    ((std::for_each(std::begin(tables), std::end(tables), [&](const auto &e) { keys[n++] = e.key; })), ...);
    return keys;
}
constexpr auto cti_known_keys = keys_of(shared_rules<cti_tx>, cti_rules, address_keys);

template <>
struct Kind<ddi_tx> {
    static constexpr const auto &rules = ddi_rules;
    static constexpr KeyIndex index = index_keys(ddi_rules);
    static constexpr bool refuses_unknown_keys = true;
    static constexpr int32_t msgtype = TARVO_MSGTYPE_DDI;
    static constexpr const char *wrong_message = "No DDI message";
};

template <>
struct Kind<cti_tx> {
    static constexpr const auto &rules = cti_rules;
    static constexpr KeyIndex index = index_keys(cti_rules);
    // A credit transfer ignores the direct-debit keys such as "seq" or "mref", so that one
    // list may describe both, but refuses any other key it does not know: a misspelled
    // remittance key would otherwise drop the text without a word.
    static constexpr bool refuses_unknown_keys = false;
    static constexpr int32_t msgtype = TARVO_MSGTYPE_CTI;
    static constexpr const char *wrong_message = "No CTI message";
};

// key views the caller's NUL-terminated text, so key.data() may go into a message.
template <typename Tx>
const char *apply_pair(tarvo_t *h, Tx &tx, std::string_view key, const char *value) {
    const size_t hash = key_hash(key);
    const Rulebook &rb = rules_in_force(h);
    if (address_keys_taken_under(rb)) {
        if (const AddressKey *address = find_key(address_keys, address_index, key, hash)) {
            if (!format_check(address->kind, value)) return format_error(h->errbuf, "Invalid format for '%s'", key.data());
            unsigned char bad = 0;
            if (!check_string_under(value, &bad, CHARSET_EXTENDED, &rb)) return refused_character(h, bad, key);
            return store(tx.addr.*address->field, value);
        }
    }
    const KeyRule<Tx> *rule = find_key(shared_rules<Tx>, shared_index<Tx>, key, hash);
    if (rule == nullptr) rule = find_key(Kind<Tx>::rules, Kind<Tx>::index, key, hash);
    // The Swiss keys are unknown where no Swiss payments are written.
    const bool swiss_only = rule != nullptr && (rule->check == Check::Currency || rule->check == Check::QrReference);
    if (swiss_only && !taken_under(rule->check, rb))
        return format_error(h->errbuf, "Invalid transaction property '%s'", key.data());
    if (rule != nullptr) return apply_rule(h, tx, *rule, value, rb);
    if (Kind<Tx>::refuses_unknown_keys) return format_error(h->errbuf, "Invalid transaction property '%s'", key.data());
    if (find_key(ddi_rules, Kind<ddi_tx>::index, key, hash) == nullptr &&
        find_key(address_keys, address_index, key, hash) == nullptr) {
        char hint[80];
        return format_error(h->errbuf, "Invalid transaction property '%s'%s", key.data(),
                            suggest_keys(key, cti_known_keys, hint));
    }
    // Even an ignored key needs its value: a null one may be a list's end given one slot
    // too early, and reading on would run past it.
    if (value == nullptr) return format_error(h->errbuf, "Missing value for '%s'", key.data());
    return nullptr;
}

// ---- Completion --------------------------------------------------------------------

bool outside_eea(const char *bic) {
    const std::string_view country(bic + 4, 2);
    for (std::string_view code : non_eea_countries)
        if (code == country) return true;
    return false;
}

// The EPC rulebooks carry either a remittance text or a creditor reference, not both.
template <typename Tx>
const char *remittance_and_address_problem(const Tx &tx, const Rulebook &rb) {
    if (tx.cref != nullptr && tx.ref != nullptr && !rb.reference_and_text)
        return "Remittance text and creditor reference together not allowed by the selected SEPA rulebook "
               "(give 'ref' or 'cref')";
    return address_problem(tx, rb);
}

const char *complete(const ddi_tx &tx, const Rulebook &rb) {
    if (tx.iban == nullptr) return "IBAN missing";
    if (tx.bic == nullptr) {
        if (rb.tx_bic_mandatory) return "BIC missing";
    } else if (outside_eea(tx.bic)) { // stored BICs are upper case with at least 8 characters
        switch (rb.non_eea_address) {
        case NonEeaAddress::AddressLine:
            if (tx.addrLine1 == nullptr && tx.addrLine2 == nullptr) return "Address required for BICs outside EEA";
            break;
        case NonEeaAddress::TownAndCountry:
            if (tx.addr.addrTown == nullptr || tx.addrCC == nullptr)
                return "Structured address required for BICs outside EEA (at least town and country)";
            break;
        case NonEeaAddress::None: break;
        }
    }
    if (tx.seq == 0) return "Sequence type missing";
    if (tx.amount == 0) return "Amount missing";
    return remittance_and_address_problem(tx, rb);
}

const char *complete(cti_tx &tx, const Rulebook &rb) {
    if (tx.iban == nullptr) return "IBAN missing";
    if (tx.bic == nullptr && rb.tx_bic_mandatory) return "BIC missing";
    if (tx.amount == 0) return "Amount missing";
    if (tx.currency == Currency::Unset) tx.currency = rb.swiss ? Currency::CHF : Currency::EUR;
    if (const char *problem = remittance_and_address_problem(tx, rb)) return problem;
    return rb.swiss ? swiss_problem(tx) : nullptr;
}

} // namespace

const char *address_problem(const char *country, const char *line1, const char *line2, const address_parts &parts,
                            const Rulebook &rb) {
    bool structured = false;
    for (const AddressKey &part : address_keys) structured = structured || parts.*part.field != nullptr;
    if (!rb.structured_address)
        return structured ? "Structured address not supported by the selected SEPA rulebook" : nullptr;
    const bool lines = line1 != nullptr || line2 != nullptr;
    if (lines && !rb.hybrid_address)
        return "Address lines not supported by the selected SEPA rulebook (structured address required)";
    if ((structured || lines || country != nullptr) && (parts.addrTown == nullptr || country == nullptr))
        return "Address requires town and country (addrTown and addrCC)";
    return nullptr;
}

namespace {

// One stored text against its key's rule under rb; null when it passes.
template <typename Tx>
const char *text_problem(const Tx &tx, const KeyRule<Tx> &rule, const Rulebook &rb, char (&buf)[256]) {
    // Amounts, sequence types, flags and the currency are kept as numbers: no text to check,
    // and a null member pointer must not be followed.
    if (rule.field == nullptr) return nullptr;
    const char *value = tx.*rule.field;
    if (value == nullptr) return nullptr;
    switch (rule.check) {
    case Check::Ultimate:
        if (!rb.ultimate_parties) return "Ultimate parties not supported by the selected SEPA rulebook";
        break;
    case Check::CreditorRef:
        return rb.creditor_reference ? nullptr : "Creditor reference not supported by the selected SEPA rulebook";
    case Check::Text:
    case Check::MandateRef:
    case Check::AddressLine: break;
    default: return nullptr;
    }
    const size_t length = strlen(value);
    if (length < rule.min || length > rule.max) return rule.message;
    CharsetMode mode = rule.mode;
    if (rule.check == Check::MandateRef) mode = rb.mandate_ref_text ? CHARSET_TEXT : CHARSET_IDENT;
    unsigned char bad = 0;
    if (!check_string_under(value, &bad, mode, &rb)) return format_error(buf, rule.detail_message, bad);
    return nullptr;
}

template <typename Tx>
const char *stored_problem(const Tx &tx, const Rulebook &rb, char (&buf)[256]) {
    using Rules = std::span<const KeyRule<Tx>>;
    for (Rules table : {Rules(shared_rules<Tx>), Rules(Kind<Tx>::rules)})
        for (const KeyRule<Tx> &rule : table)
            if (const char *problem = text_problem(tx, rule, rb, buf)) return problem;
    for (const AddressKey &part : address_keys) {
        unsigned char bad = 0;
        const char *value = tx.addr.*part.field;
        if (value != nullptr && !check_string_under(value, &bad, CHARSET_EXTENDED, &rb))
            return format_error(buf, "Invalid character (byte 0x%02X) in '%s'", bad, part.key.data());
    }
    return remittance_and_address_problem(tx, rb);
}

} // namespace

const char *transaction_problem(const ddi_tx &tx, const Rulebook &rb, char (&buf)[256]) {
    return stored_problem(tx, rb, buf);
}
const char *transaction_problem(const cti_tx &tx, const Rulebook &rb, char (&buf)[256]) {
    return stored_problem(tx, rb, buf);
}

namespace {

// ---- Records -----------------------------------------------------------------------

template <typename Tx, size_t N>
void release_record(Tx *tx, char *Tx::*const (&texts)[N]) {
    if (tx == nullptr) return;
    for (char *Tx::*field : texts) release_text(tx->*field);
    for (const AddressKey &part : address_keys) release_text(tx->addr.*part.field);
    explicit_bzero(tx, sizeof *tx);
    free(tx);
}

void release(ddi_tx *tx) { release_record(tx, ddi_texts); }
void release(cti_tx *tx) { release_record(tx, cti_texts); }

template <typename Tx>
int add(tarvo_t *h, const char *const *kv) {
    if (h == nullptr) return 0;
    if (h->msgtype != Kind<Tx>::msgtype) {
        h->error = Kind<Tx>::wrong_message;
        return 0;
    }
    if (kv == nullptr) {
        h->error = "No key-value list submitted";
        return 0;
    }
    if (Kind<Tx>::msgtype == TARVO_MSGTYPE_DDI && rules_in_force(h).swiss) {
        h->error = swiss_direct_debits;
        return 0;
    }
    auto *tx = static_cast<Tx *>(calloc(1, sizeof(Tx)));
    if (tx == nullptr) {
        h->error = out_of_memory;
        return 0;
    }
    const char *error = nullptr;
    for (const char *const *pair = kv; error == nullptr && pair[0] != nullptr; pair += 2)
        error = apply_pair(h, *tx, pair[0], pair[1]);
    if (error == nullptr) error = complete(*tx, rules_in_force(h));
    // Neither the count nor the control sum may wrap or overflow into a wrong document.
    if (error == nullptr && h->tx_count == UINT32_MAX) error = "Too many transactions";
    if (error == nullptr && h->ctrl_sum > max_control_sum_cents - tx->amount)
        error = "Control sum out of range (at most 18 digits)";
    if (error != nullptr) {
        h->error = error;
        release(tx);
        return 0;
    }
    if (h->tx_tail != nullptr)
        static_cast<Tx *>(h->tx_tail)->next = tx;
    else
        h->tx_head = tx;
    h->tx_tail = tx;
    h->tx_count += 1;
    h->ctrl_sum += tx->amount;
    return 1;
}

} // namespace

} // namespace tarvo

int ddi_add(tarvo_t *h, const char *const *kv) { return tarvo::add<ddi_tx>(h, kv); }
int cti_add(tarvo_t *h, const char *const *kv) { return tarvo::add<cti_tx>(h, kv); }
void ddi_tx_free(ddi_tx *tx) { tarvo::release(tx); }
void cti_tx_free(cti_tx *tx) { tarvo::release(tx); }

extern "C" int tarvo_add(tarvo_t *h, const char *const *kv) {
    if (h == nullptr) return 0;
    switch (h->msgtype) {
    case TARVO_MSGTYPE_DDI: return ddi_add(h, kv);
    case TARVO_MSGTYPE_CTI: return cti_add(h, kv);
    default: return 0;
    }
}
