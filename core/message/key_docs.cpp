// The documentation of every transaction key, generated from the tables the validation
// uses: type, limits, and the rulebooks that take it.
#include <stdint.h>

#include <string>
#include <vector>

#include "message/key_rules.h"
#include "message/message.h"

namespace tarvo {
namespace {

using namespace keys;

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
void describe(std::vector<KeyDoc> &out, int32_t msgtype, const KeyRule<Tx> (&rules)[N]) {
    for (const KeyRule<Tx> &rule : rules) {
        // A rule that only explains a refusal is no key a caller can use.
        if (rule.check == Check::NotStructured) continue;
        KeyDoc doc{msgtype, rule.key, type_of(rule), limits_of(rule), {}};
        for (int i = 0; i < rulebook_count; ++i) doc.taken[i] = taken_under(rule.check, *rulebook(i));
        out.push_back(std::move(doc));
    }
}

template <typename Tx, size_t N>
void describe_all(std::vector<KeyDoc> &out, int32_t msgtype, const KeyRule<Tx> (&own)[N]) {
    describe(out, msgtype, shared_rules<Tx>);
    describe(out, msgtype, own);
    for (const AddressKey &part : address_keys) {
        // The longest value the format check takes, asked of the check itself.
        std::string value;
        while (value.size() < 255 && format_check(part.kind, (value + "x").c_str())) value.push_back('x');
        const size_t max = value.size();
        KeyDoc doc{msgtype, part.key, "text", "1-" + std::to_string(max) + " bytes, extended", {}};
        for (int i = 0; i < rulebook_count; ++i) doc.taken[i] = address_keys_taken_under(*rulebook(i));
        out.push_back(std::move(doc));
    }
}

} // namespace

std::vector<KeyDoc> transaction_keys() {
    std::vector<KeyDoc> out;
    describe_all(out, TARVO_MSGTYPE_DDI, ddi_rules);
    describe_all(out, TARVO_MSGTYPE_CTI, cti_rules);
    return out;
}

} // namespace tarvo
