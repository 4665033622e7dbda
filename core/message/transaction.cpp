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
#include "message/message.h"

namespace tarvo {
namespace {

// ---- Key rules as data -------------------------------------------------------------

enum class Check : uint8_t {
    Text,          // length within bounds, then the characters of the rule's mode
    MandateRef,    // as Text; the rulebook decides whether a space is allowed
    AddressLine,   // as Text; refused where the rulebook wants structured address data
    Iban,          // the IBAN check of the account layer
    Bic,           // BIC pattern on the upper-cased value, which is what gets stored
    Country,       // two upper-case letters
    Date,          // a real calendar date yyyy-mm-dd
    Purpose,       // four letters or digits
    Sequence,      // FRST, RCUR, OOFF or FNAL in any case
    Amount,        // the amount rule
    Smnda,         // the flag "1"
    NotStructured, // a structured address key where the rulebook has none
    Ultimate,      // as Text, where the rulebook has ultimate parties
    CreditorRef,   // an ISO 11649 reference, stored in electronic form
    Currency,      // CHF or EUR, where the rulebook pays in more than euros
    QrReference,   // a Swiss QR reference, where the rulebook has them
};

template <typename Tx>
struct KeyRule {
    std::string_view key;
    Check check;
    char *Tx::*field = nullptr;
    uint8_t min = 0;
    uint8_t max = 0;
    CharsetMode mode = CHARSET_IDENT;
    const char *message = nullptr;      // the rule's general or length message
    const char *detail_message = nullptr; // a refused character ("%c") or a refused format
};

// Keys that both kinds of transaction accept with the same rule.
template <typename Tx>
constexpr KeyRule<Tx> shared_rules[] = {
    {.key = "iban", .check = Check::Iban, .field = &Tx::iban},
    {.key = "bic", .check = Check::Bic, .field = &Tx::bic, .message = "Invalid BIC", .detail_message = "Invalid BIC format"},
    {.key = "addrCC", .check = Check::Country, .field = &Tx::addrCC, .message = "Invalid country code"},
    {.key = "addrLine1", .check = Check::AddressLine, .field = &Tx::addrLine1, .min = 1, .max = 70,
     .mode = CHARSET_EXTENDED, .message = "Invalid address line 1 (must be 1-70 chars)",
     .detail_message = "Invalid character '%c' in address line 1"},
    {.key = "addrLine2", .check = Check::AddressLine, .field = &Tx::addrLine2, .min = 1, .max = 70,
     .mode = CHARSET_EXTENDED, .message = "Invalid address line 2 (must be 1-70 chars)",
     .detail_message = "Invalid character '%c' in address line 2"},
    {.key = "ref", .check = Check::Text, .field = &Tx::ref, .min = 0, .max = 140, .mode = CHARSET_EXTENDED,
     .message = "Invalid unstructured remittance information (must be 0-140 characters)",
     .detail_message = "Invalid character '%c' in unstructured remittance information"},
    {.key = "amount", .check = Check::Amount},
    {.key = "date", .check = Check::Date, .field = &Tx::date, .message = "Invalid execution date (format: yyyy-mm-dd)"},
    {.key = "id", .check = Check::Text, .field = &Tx::id, .min = 1, .max = 35, .mode = CHARSET_TEXT,
     .message = "Invalid end-to-end ID (must be 1-35 characters)",
     .detail_message = "Invalid character '%c' in end-to-end ID"},
    {.key = "ultimateName", .check = Check::Ultimate, .field = &Tx::ultimate, .min = 1, .max = 70,
     .mode = CHARSET_EXTENDED, .message = "Invalid ultimate name (must be 1-70 characters)",
     .detail_message = "Invalid character '%c' in ultimate name"},
    {.key = "cref", .check = Check::CreditorRef, .field = &Tx::cref,
     .message = "Invalid creditor reference (RF, two check digits, 1-21 letters or digits)",
     .detail_message = "Invalid creditor reference (RF check digits)"},
};

constexpr KeyRule<ddi_tx> ddi_rules[] = {
    {.key = "name", .check = Check::Text, .field = &ddi_tx::name, .min = 1, .max = 70, .mode = CHARSET_EXTENDED,
     .message = "Invalid name (must be 1-70 characters)", .detail_message = "Invalid character '%c' in debtor name"},
    {.key = "addrDept", .check = Check::NotStructured},
    {.key = "seq", .check = Check::Sequence},
    {.key = "mref", .check = Check::MandateRef, .field = &ddi_tx::mref, .min = 1, .max = 35,
     .message = "Invalid mandate reference (must be 1-35 characters)",
     .detail_message = "Invalid character '%c' in mandate reference"},
    {.key = "mdate", .check = Check::Date, .field = &ddi_tx::mdate,
     .message = "Invalid mandate signature date (format: yyyy-mm-dd)"},
    {.key = "old_mref", .check = Check::Text, .field = &ddi_tx::old_mref, .min = 1, .max = 35,
     .mode = CHARSET_IDENT, .message = "Invalid old mandate reference (must be 1-35 characters)",
     .detail_message = "Invalid character '%c' in old mandate reference"},
    {.key = "old_iban", .check = Check::Iban, .field = &ddi_tx::old_iban},
    {.key = "smnda", .check = Check::Smnda},
};

constexpr KeyRule<cti_tx> cti_rules[] = {
    {.key = "name", .check = Check::Text, .field = &cti_tx::name, .min = 1, .max = 70, .mode = CHARSET_EXTENDED,
     .message = "Invalid name (must be 1-70 characters)", .detail_message = "Invalid character '%c' in creditor name"},
    {.key = "purp", .check = Check::Purpose, .field = &cti_tx::purp, .message = "Invalid purpose (must be 4 characters)"},
    {.key = "currency", .check = Check::Currency, .message = "Invalid currency (CHF or EUR)"},
    {.key = "qrr", .check = Check::QrReference, .field = &cti_tx::qrr,
     .message = "Invalid QR reference (27 digits with check digit)"},
};

// The structured postal address, accepted where the rulebook asks for it.
struct AddressKey {
    std::string_view key;
    char *address_parts::*field;
    FormatKind kind;
};

constexpr AddressKey address_keys[] = {
    {"addrDept", &address_parts::addrDept, FORMAT_MAX70},
    {"addrSubDept", &address_parts::addrSubDept, FORMAT_MAX70},
    {"addrStreet", &address_parts::addrStreet, FORMAT_MAX70},
    {"addrNum", &address_parts::addrNum, FORMAT_MAX16},
    {"addrBldg", &address_parts::addrBldg, FORMAT_MAX35},
    {"addrFloor", &address_parts::addrFloor, FORMAT_MAX70},
    {"addrPoBox", &address_parts::addrPoBox, FORMAT_MAX16},
    {"addrRoom", &address_parts::addrRoom, FORMAT_MAX70},
    {"addrCode", &address_parts::addrCode, FORMAT_MAX16},
    {"addrTown", &address_parts::addrTown, FORMAT_MAX35},
    {"addrLoc", &address_parts::addrLoc, FORMAT_MAX35},
    {"addrDstrct", &address_parts::addrDstrct, FORMAT_MAX35},
    {"addrCtrySub", &address_parts::addrCtrySub, FORMAT_MAX35},
};

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

// Whether a rulebook takes a key at all. The key documentation asks the same questions, so
// that it shows what the validation does.
constexpr bool taken_under(Check check, const Rulebook &rb) {
    switch (check) {
    case Check::AddressLine: return !rb.structured_address || rb.hybrid_address;
    case Check::Ultimate: return rb.ultimate_parties;
    case Check::CreditorRef: return rb.creditor_reference;
    case Check::NotStructured: return false;
    case Check::Currency:
    case Check::QrReference: return rb.swiss;
    default: return true;
    }
}
constexpr bool address_keys_taken_under(const Rulebook &rb) { return rb.structured_address; }

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

// ---- Documentation -----------------------------------------------------------------

struct CheckDoc {
    Check check;
    const char *type;
    const char *limits; // null: the text rule's length and characters
};

constexpr CheckDoc check_docs[] = {
    {Check::Text, "text", nullptr},
    {Check::MandateRef, "text", nullptr},
    {Check::AddressLine, "text", nullptr},
    {Check::Iban, "IBAN", "valid IBAN, German ones with a known bank and a passing account check"},
    {Check::Bic, "BIC", "8 or 11 characters, stored in upper case"},
    {Check::Country, "country code", "2 upper-case letters"},
    {Check::Date, "date", "a real calendar date, yyyy-mm-dd"},
    {Check::Purpose, "purpose code", "4 letters or digits"},
    {Check::Sequence, "sequence type", "FRST, RCUR, OOFF or FNAL, in any case"},
    {Check::Amount, "amount", "decimal text, above 0, at most 999999999.99"},
    {Check::Smnda, "flag", "\"1\""},
    {Check::Ultimate, "text", nullptr},
    {Check::Currency, "currency", "CHF (default) or EUR"},
    {Check::QrReference, "QR reference", "27 digits, mod-10 check digit, blanks ignored"},
    {Check::CreditorRef, "creditor reference", "ISO 11649: RF, 2 check digits, 1-21 letters or digits"},
};

constexpr const char *charset_names[] = {"ident", "text", "extended"};

// The rulebooks whose flag is set, by identifier.
std::string rulebooks_where(bool Rulebook::*flag, bool set) {
    std::string out;
    for (int i = 0; i < rulebook_count; ++i)
        if (rulebook(i)->*flag == set) out.append(out.empty() ? "" : ", ").append(rulebook(i)->id);
    return out;
}

template <typename Tx>
std::string limits_of(const KeyRule<Tx> &rule) {
    for (const CheckDoc &doc : check_docs)
        if (doc.check == rule.check && doc.limits != nullptr) return doc.limits;
    std::string limits = std::to_string(rule.min) + "-" + std::to_string(rule.max) + " bytes, ";
    if (rule.check == Check::MandateRef)
        return limits + "ident; text under " + rulebooks_where(&Rulebook::mandate_ref_text, true);
    return limits + charset_names[rule.mode];
}

template <typename Tx>
const char *type_of(const KeyRule<Tx> &rule) {
    for (const CheckDoc &doc : check_docs)
        if (doc.check == rule.check) return doc.type;
    return "text";
}

template <typename Tx, size_t N>
void describe(std::vector<KeyDoc> &out, const KeyRule<Tx> (&rules)[N]) {
    for (const KeyRule<Tx> &rule : rules) {
        // A rule that only explains a refusal is no key a caller can use.
        if (rule.check == Check::NotStructured) continue;
        KeyDoc doc{Kind<Tx>::msgtype, rule.key, type_of(rule), limits_of(rule), {}};
        for (int i = 0; i < rulebook_count; ++i) doc.taken[i] = taken_under(rule.check, *rulebook(i));
        out.push_back(std::move(doc));
    }
}

template <typename Tx>
void describe(std::vector<KeyDoc> &out) {
    describe(out, shared_rules<Tx>);
    describe(out, Kind<Tx>::rules);
    for (const AddressKey &part : address_keys) {
        // The longest value the format check takes, asked of the check itself.
        std::string value;
        while (value.size() < 255 && format_check(part.kind, (value + "x").c_str())) value.push_back('x');
        const size_t max = value.size();
        KeyDoc doc{Kind<Tx>::msgtype, part.key, "text", "1-" + std::to_string(max) + " bytes, extended", {}};
        for (int i = 0; i < rulebook_count; ++i) doc.taken[i] = address_keys_taken_under(*rulebook(i));
        out.push_back(std::move(doc));
    }
}

} // namespace

std::vector<KeyDoc> transaction_keys() {
    std::vector<KeyDoc> out;
    describe<ddi_tx>(out);
    describe<cti_tx>(out);
    return out;
}

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
