// The keys a transaction takes, as data: each key's check, field, bounds and messages,
// and whether a rulebook takes it. Validation (transaction.cpp) and the key
// documentation (key_docs.cpp) read the same tables, so that the documentation shows
// what the validation does.
#ifndef TARVO_MESSAGE_KEY_RULES_H
#define TARVO_MESSAGE_KEY_RULES_H

#include <stdint.h>

#include <string_view>

#include "message/message.h"

namespace tarvo::keys {

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

} // namespace tarvo::keys

#endif
