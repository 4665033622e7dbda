// Swiss QR-bill payloads: the 31 to 34 lines of the payment part's code read into a
// record, and written from one.
#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>

#include "frame/frame.h"
#include "qr/qrbill.h"

namespace tarvo::qr {
namespace {

constexpr int fixed_lines = 31;             // header to trailer
constexpr int max_lines = fixed_lines + 3;  // bill information and two alternative schemes
constexpr int max_characters = 997;

// Characters as UTF-8 counts them; whether they are well-formed is each field's concern,
// so that a refusal names the field.
size_t characters_in(std::string_view text) {
    size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

void read_address(const std::string_view *line, BillAddress &a) {
    a = {line[0], line[1], line[2], line[3], line[4], line[5], line[6]};
}

bool read_bill(std::string_view payload, Bill &b, Refusal &r) {
    std::string_view line[max_lines];
    const int count = split_lines(payload, line, max_lines);
    if (count < 0) return refuse(r, "alternativeSchemes", "more than two alternative schemes");
    if (line[0] != "SPC") return refuse(r, "header", "not a QR-bill (SPC expected)");
    if (count > 1 && line[1] != "0200") return refuse(r, "version", "must be 0200");
    if (count > 2 && line[2] != "1") return refuse(r, "coding", "must be 1 (UTF-8)");
    if (count < fixed_lines) return refuse(r, "payload", "%d lines, at least %d expected", count, fixed_lines);
    if (characters_in(payload) > max_characters) return refuse(r, "payload", "more than %d characters", max_characters);
    b.iban = line[3];
    read_address(line + 4, b.creditor);
    read_address(line + 11, b.ultimate_creditor);
    if (!line[18].empty()) {
        b.amount = read_amount(line[18], false);
        if (b.amount < 0) return refuse(r, "amount", "not an amount from 0.00 to 999999999.99");
    }
    b.currency = line[19];
    read_address(line + 20, b.ultimate_debtor);
    b.reference_type = line[27];
    b.reference = line[28];
    b.message = line[29];
    b.trailer = line[30];
    if (count > fixed_lines) b.bill_information = line[31];
    for (int i = fixed_lines + 1; i < count; ++i) b.alternative_schemes[b.alternative_count++] = line[i];
    return check_bill(b, r);
}

BillAddress to_view(const tarvo_qr_address_t &a, bool optional) {
    BillAddress v{"S", view(a.name), view(a.street), view(a.buildingNumber), view(a.postalCode), view(a.town),
                  view(a.country)};
    if (optional && v.name.empty() && v.street.empty() && v.building.empty() && v.postal.empty() && v.town.empty() &&
        v.country.empty())
        v.type = {};
    return v;
}

bool bill_from_record(const tarvo_qrbill_t &c, Bill &b, Refusal &r) {
    b.iban = view(c.iban);
    b.creditor = to_view(c.creditor, false);
    if (c.hasAmount) {
        if (c.amount < 0) return refuse(r, "amount", "below 0.00");
        b.amount = c.amount;
    }
    b.currency = view(c.currency);
    b.ultimate_debtor = to_view(c.ultimateDebtor, true);
    b.reference_type = view(c.referenceType);
    b.reference = view(c.reference);
    b.message = view(c.message);
    b.trailer = "EPD";
    b.bill_information = view(c.billInformation);
    for (const char *scheme : c.alternativeSchemes)
        if (scheme != nullptr && *scheme != '\0') b.alternative_schemes[b.alternative_count++] = scheme;
    if (b.alternative_count == 1 && view(c.alternativeSchemes[0]).empty())
        return refuse(r, "alternativeSchemes", "the second scheme given without the first");
    return true;
}

void append_address(std::string &out, const BillAddress &a) {
    for (std::string_view field : {a.type, a.name, a.street, a.building, a.postal, a.town, a.country}) {
        out += '\n';
        out += field;
    }
}

std::string write_bill(const Bill &b) {
    std::string out = "SPC\n0200\n1\n";
    out += b.iban;
    append_address(out, b.creditor);
    append_address(out, b.ultimate_creditor);
    out += '\n';
    if (b.amount >= 0) {
        char amount[cents_text_size];
        out.append(amount, format_cents(b.amount, amount));
    }
    out += '\n';
    out += b.currency;
    append_address(out, b.ultimate_debtor);
    for (std::string_view field : {b.reference_type, b.reference, b.message, b.trailer}) (out += '\n') += field;
    if (!b.bill_information.empty() || b.alternative_count > 0) (out += '\n') += b.bill_information;
    for (int i = 0; i < b.alternative_count; ++i) (out += '\n') += b.alternative_schemes[i];
    return out;
}

void fill_address(RecordBlock &block, const BillAddress &a, tarvo_qr_address_t &out) {
    out = {block.copy(a.name), block.copy(a.street),  block.copy(a.building),
           block.copy(a.postal), block.copy(a.town), block.copy(a.country)};
}

} // namespace
} // namespace tarvo::qr

using namespace tarvo::qr;

extern "C" int tarvo_qrbill_parse(const char *payload, size_t length, tarvo_qrbill_t **bill, char *error,
                                  size_t errorSize) {
    if (bill != nullptr) *bill = nullptr;
    if (!begin(payload, bill, "payload", error, errorSize)) return -1;
    Refusal r;
    Bill b;
    if (!read_bill(std::string_view(payload, length), b, r)) {
        report(r, error, errorSize);
        return -1;
    }
    // Every text is a piece of the payload, so the payload's size bounds them all.
    RecordBlock block(sizeof(tarvo_qrbill_t), length + max_lines);
    if (!block.ok()) return -2;
    auto *out = static_cast<tarvo_qrbill_t *>(block.record());
    out->iban = block.copy(b.iban);
    fill_address(block, b.creditor, out->creditor);
    out->hasAmount = b.amount >= 0;
    out->amount = b.amount >= 0 ? b.amount : 0;
    out->currency = block.copy(b.currency);
    fill_address(block, b.ultimate_debtor, out->ultimateDebtor);
    out->referenceType = block.copy(b.reference_type);
    out->reference = block.copy(b.reference);
    out->message = block.copy(b.message);
    out->billInformation = block.copy(b.bill_information);
    for (int i = 0; i < b.alternative_count; ++i) out->alternativeSchemes[i] = block.copy(b.alternative_schemes[i]);
    *bill = static_cast<tarvo_qrbill_t *>(block.release());
    return 1;
}

extern "C" char *tarvo_qrbill_make(const tarvo_qrbill_t *bill, char *error, size_t errorSize) {
    if (!begin(bill, bill, "bill", error, errorSize)) return nullptr;
    Refusal r;
    Bill b;
    if (!bill_from_record(*bill, b, r) || !check_bill(b, r)) {
        report(r, error, errorSize);
        return nullptr;
    }
    try {
        const std::string payload = write_bill(b);
        if (characters_in(payload) > max_characters) {
            refuse(r, "payload", "more than %d characters", max_characters);
            report(r, error, errorSize);
            return nullptr;
        }
        return hand_over(payload);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
