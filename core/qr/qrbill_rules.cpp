// The rules of a QR-bill's payment part, applied alike to a payload read and to a record
// about to be written, so that whatever the writer accepts the reader accepts again.
#include <string.h>

#include "frame/frame.h"
#include "ident/ident.h"
#include "qr/qrbill.h"

namespace tarvo::qr {
namespace {

struct AddressFields {
    const char *type, *name, *street, *building, *postal, *town, *country;
};
constexpr AddressFields creditor_fields{"creditor.addressType", "creditor.name",       "creditor.street",
                                        "creditor.buildingNumber", "creditor.postalCode", "creditor.town",
                                        "creditor.country"};
constexpr AddressFields debtor_fields{"ultimateDebtor.addressType", "ultimateDebtor.name",
                                      "ultimateDebtor.street",      "ultimateDebtor.buildingNumber",
                                      "ultimateDebtor.postalCode",  "ultimateDebtor.town",
                                      "ultimateDebtor.country"};

bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }

bool check_address(const BillAddress &a, const AddressFields &f, Refusal &r) {
    if (a.type == "K")
        return refuse(r, f.type, "combined addresses (type K) are no longer accepted since 21 November 2025; "
                                 "use a structured address (type S)");
    if (a.type != "S") return refuse(r, f.type, "must be S");
    if (!check_text(a.name, 70, true, swiss_character, f.name, r)) return false;
    if (!check_text(a.street, 70, false, swiss_character, f.street, r)) return false;
    if (!check_text(a.building, 16, false, swiss_character, f.building, r)) return false;
    if (!check_text(a.postal, 16, false, swiss_character, f.postal, r)) return false;
    if (!check_text(a.town, 35, true, swiss_character, f.town, r)) return false;
    if (a.country.empty()) return refuse(r, f.country, "missing");
    if (a.country.size() != 2 || !is_upper(a.country[0]) || !is_upper(a.country[1]))
        return refuse(r, f.country, "not a two-letter country code");
    return true;
}

bool address_empty(const BillAddress &a) {
    return a.type.empty() && a.name.empty() && a.street.empty() && a.building.empty() && a.postal.empty() &&
           a.town.empty() && a.country.empty();
}

// Institution ids 30000 to 31999 mark the QR-IBANs, which take QR references only.
bool qr_iban(std::string_view iban) { return iban[4] == '3' && (iban[5] == '0' || iban[5] == '1'); }

bool check_iban(std::string_view iban, Refusal &r) {
    if (iban.empty()) return refuse(r, "iban", "missing");
    char text[22] = {};
    if (iban.size() != 21 || !(iban.substr(0, 2) == "CH" || iban.substr(0, 2) == "LI"))
        return refuse(r, "iban", "not a Swiss or Liechtenstein IBAN of 21 characters");
    memcpy(text, iban.data(), iban.size());
    const char *why = nullptr;
    if (iban_check(text, &why) != 1) return refuse(r, "iban", "%s", why == nullptr ? "invalid" : why);
    return true;
}

bool check_reference(const Bill &b, Refusal &r) {
    const bool qr = qr_iban(b.iban);
    if (b.reference_type == "QRR") {
        if (!qr) return refuse(r, "referenceType", "QRR needs a QR-IBAN");
        char digits[28] = {};
        if (b.reference.size() == 27) memcpy(digits, b.reference.data(), 27);
        // The payload holds the reference in its electronic form: no blanks.
        if (b.reference.size() != 27 || strspn(digits, "0123456789") != 27 || !qr_reference_valid(digits))
            return refuse(r, "reference", "not a QR reference (27 digits with check digit)");
        return true;
    }
    if (qr) return refuse(r, "referenceType", "a QR-IBAN needs a QR reference (QRR)");
    if (b.reference_type == "SCOR") {
        char reference[26] = {}, electronic[26];
        if (b.reference.size() < sizeof reference) memcpy(reference, b.reference.data(), b.reference.size());
        if (b.reference.size() >= sizeof reference || !creditor_reference_normalize(reference, electronic) ||
            strcmp(reference, electronic) != 0 || !creditor_reference_valid(electronic))
            return refuse(r, "reference", "not a creditor reference (RF and check digits)");
        return true;
    }
    if (b.reference_type == "NON")
        return b.reference.empty() || refuse(r, "reference", "must be empty with reference type NON");
    return refuse(r, "referenceType", "must be QRR, SCOR or NON");
}

} // namespace

bool check_bill(const Bill &b, Refusal &r) {
    if (!check_iban(b.iban, r) || !check_address(b.creditor, creditor_fields, r)) return false;
    if (!address_empty(b.ultimate_creditor)) return refuse(r, "ultimateCreditor", "reserved, must be empty");
    if (b.amount > max_amount_cents) return refuse(r, "amount", "above 999999999.99");
    if (b.currency != "CHF" && b.currency != "EUR") return refuse(r, "currency", "must be CHF or EUR");
    if (!address_empty(b.ultimate_debtor) && !check_address(b.ultimate_debtor, debtor_fields, r)) return false;
    if (!check_text(b.reference, 27, false, swiss_character, "reference", r) || !check_reference(b, r)) return false;
    const int message = count_characters(b.message, swiss_character, "message", r);
    if (message < 0) return false;
    const int information = count_characters(b.bill_information, swiss_character, "billInformation", r);
    if (information < 0) return false;
    if (message + information > 140)
        return refuse(r, message > 140 ? "message" : "billInformation",
                      "message and bill information together exceed 140 characters");
    if (b.trailer != "EPD") return refuse(r, "trailer", "must be EPD");
    for (int i = 0; i < b.alternative_count; ++i) {
        if (!check_text(b.alternative_schemes[i], 100, true, swiss_character, "alternativeSchemes", r)) return false;
    }
    return true;
}

} // namespace tarvo::qr
