// EPC QR codes ("GiroCode"): the twelve lines that let a banking app fill in a SEPA credit
// transfer, read into a record and written from one.
#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>

#include "frame/frame.h"
#include "ident/ident.h"
#include "qr/qr.h"

namespace tarvo::qr {
namespace {

constexpr int max_lines = 12;
constexpr int min_lines = 7; // through the IBAN; what follows may be left off
constexpr size_t max_bytes = 331;

struct Code {
    std::string_view version;
    int charset = 1;
    std::string_view bic, name, iban;
    int64_t amount = -1; // cents; -1 for none
    std::string_view purpose, reference, text, information;
};

bool alphanumeric(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// ISO 13616 form and check digits only: the code may name any SEPA account.
bool check_iban(std::string_view iban, Refusal &r) {
    if (iban.empty()) return refuse(r, "iban", "missing");
    if (iban.size() > 34) return refuse(r, "iban", "more than 34 characters");
    bool form = iban.size() >= 5;
    for (size_t i = 0; form && i < iban.size(); ++i)
        form = i < 2 ? (iban[i] >= 'A' && iban[i] <= 'Z') : i < 4 ? (iban[i] >= '0' && iban[i] <= '9') : alphanumeric(iban[i]);
    if (!form) return refuse(r, "iban", "not an IBAN (country, check digits, account; no blanks)");
    if (iban_mod97(iban.data(), iban.size()) != 1) return refuse(r, "iban", "wrong check digits");
    return true;
}

bool check_bic(std::string_view bic, bool required, Refusal &r) {
    if (bic.empty()) return !required || refuse(r, "bic", "missing (required in version 001)");
    char text[12] = {};
    if (bic.size() != 8 && bic.size() != 11) return refuse(r, "bic", "must be 8 or 11 characters");
    memcpy(text, bic.data(), bic.size());
    if (strlen(text) != bic.size() || !bic_pattern_matches(text)) return refuse(r, "bic", "not a BIC");
    return true;
}

bool check_code(const Code &c, Refusal &r) {
    if (c.version != "001" && c.version != "002") return refuse(r, "version", "must be 001 or 002");
    if (!check_bic(c.bic, c.version == "001", r)) return false;
    if (!check_text(c.name, 70, true, printable_character, "name", r) || !check_iban(c.iban, r)) return false;
    if (c.amount == 0) return refuse(r, "amount", "below 0.01");
    if (c.amount > max_amount_cents) return refuse(r, "amount", "above 999999999.99");
    if (c.purpose.size() > 4) return refuse(r, "purpose", "more than 4 characters");
    for (char ch : c.purpose)
        if (!alphanumeric(ch)) return refuse(r, "purpose", "only capital letters and digits");
    if (!c.reference.empty() && !c.text.empty()) return refuse(r, "reference", "a reference and a text exclude each other");
    if (!check_text(c.reference, 35, false, printable_character, "reference", r)) return false;
    if (!c.reference.empty()) {
        char reference[26] = {}, electronic[26];
        if (c.reference.size() < sizeof reference) memcpy(reference, c.reference.data(), c.reference.size());
        if (c.reference.size() >= sizeof reference || !creditor_reference_normalize(reference, electronic) ||
            strcmp(reference, electronic) != 0 || !creditor_reference_valid(electronic))
            return refuse(r, "reference", "not a creditor reference (RF and check digits)");
    }
    return check_text(c.text, 140, false, printable_character, "text", r) &&
           check_text(c.information, 70, false, printable_character, "information", r);
}

// The texts of a payload in a single-byte set, converted to UTF-8 into out (three bytes a
// byte at most); false for a byte the set does not define.
bool to_utf8(std::string_view text, int charset, std::string &out, const char *field, Refusal &r) {
    for (unsigned char byte : text) {
        const uint32_t c = epc_code_point(charset, byte);
        if (c == 0) return refuse(r, field, "byte 0x%02X is not a character of set %d", byte, charset);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

constexpr const char *field_names[max_lines] = {"serviceTag", "version", "charset",   "identification",
                                                "bic",        "name",    "iban",      "amount",
                                                "purpose",    "reference", "text",    "information"};

// text holds the converted texts; it is reserved up front so that the views stay put.
bool read_code(std::string_view payload, Code &c, std::string &text, Refusal &r) {
    if (payload.size() > max_bytes) return refuse(r, "payload", "more than %zu bytes", max_bytes);
    std::string_view line[max_lines];
    if (split_lines(payload.substr(0, payload.find('\n')), line, 1) != 1 || line[0] != "BCD")
        return refuse(r, "serviceTag", "not an EPC code (BCD expected)");
    const int count = split_lines(payload, line, max_lines);
    if (count < 0) return refuse(r, "payload", "more than %d lines", max_lines);
    if (count > 1) c.version = line[1];
    if (count > 1 && c.version != "001" && c.version != "002") return refuse(r, "version", "must be 001 or 002");
    if (count > 2 && (line[2].size() != 1 || line[2][0] < '1' || line[2][0] > '8'))
        return refuse(r, "charset", "must be 1 to 8");
    if (count > 3 && line[3] != "SCT") return refuse(r, "identification", "must be SCT");
    if (count < min_lines) return refuse(r, "payload", "%d lines, at least %d expected", count, min_lines);
    c.charset = line[2][0] - '0';
    std::string_view *fields[max_lines] = {nullptr, nullptr, nullptr, nullptr, &c.bic, &c.name, &c.iban,
                                           nullptr, &c.purpose, &c.reference, &c.text, &c.information};
    text.reserve(payload.size() * 3);
    for (int i = 4; i < count; ++i) {
        if (fields[i] == nullptr) continue;
        if (c.charset == 1) {
            *fields[i] = line[i];
            continue;
        }
        const size_t start = text.size();
        if (!to_utf8(line[i], c.charset, text, field_names[i], r)) return false;
        *fields[i] = std::string_view(text).substr(start);
    }
    if (count > 7 && !line[7].empty()) {
        if (line[7].substr(0, 3) != "EUR") return refuse(r, "amount", "must be EUR and the amount");
        c.amount = read_amount(line[7].substr(3), true);
        if (c.amount < 0) return refuse(r, "amount", "not an amount from 0.01 to 999999999.99");
    }
    return check_code(c, r);
}

std::string write_code(const Code &c) {
    std::string out = "BCD\n";
    out += c.version;
    out += "\n1\nSCT";
    std::string amount;
    if (c.amount >= 0) {
        char digits[cents_text_size];
        amount.assign("EUR").append(digits, format_cents(c.amount, digits));
    }
    const std::string_view rest[] = {c.bic, c.name, c.iban, amount, c.purpose, c.reference, c.text, c.information};
    size_t last = 0;
    for (size_t i = 0; i < std::size(rest); ++i)
        if (!rest[i].empty()) last = i;
    for (size_t i = 0; i <= last; ++i) (out += '\n') += rest[i];
    return out;
}

} // namespace
} // namespace tarvo::qr

using namespace tarvo::qr;

extern "C" int tarvo_epcqr_parse(const char *payload, size_t length, tarvo_epcqr_t **code, char *error,
                                 size_t errorSize) {
    if (code != nullptr) *code = nullptr;
    if (!begin(payload, code, "payload", error, errorSize)) return -1;
    Refusal r;
    try {
        Code c;
        std::string text;
        if (!read_code(std::string_view(payload, length), c, text, r)) {
            report(r, error, errorSize);
            return -1;
        }
        RecordBlock block(sizeof(tarvo_epcqr_t), text.size() + length + max_lines);
        if (!block.ok()) return -2;
        auto *out = static_cast<tarvo_epcqr_t *>(block.record());
        *out = {block.copy(c.version), c.charset, block.copy(c.bic), block.copy(c.name), block.copy(c.iban),
                c.amount >= 0, c.amount >= 0 ? c.amount : 0, block.copy(c.purpose), block.copy(c.reference),
                block.copy(c.text), block.copy(c.information)};
        *code = static_cast<tarvo_epcqr_t *>(block.release());
        return 1;
    } catch (const std::bad_alloc &) {
        return -2;
    }
}

extern "C" char *tarvo_epcqr_make(const tarvo_epcqr_t *code, char *error, size_t errorSize) {
    if (!begin(code, code, "code", error, errorSize)) return nullptr;
    Refusal r;
    Code c;
    c.version = view(code->version).empty() ? "002" : view(code->version);
    c.bic = view(code->bic);
    c.name = view(code->name);
    c.iban = view(code->iban);
    if (code->hasAmount) c.amount = code->amount;
    if (code->hasAmount && code->amount <= 0) {
        refuse(r, "amount", "below 0.01");
        report(r, error, errorSize);
        return nullptr;
    }
    c.purpose = view(code->purpose);
    c.reference = view(code->reference);
    c.text = view(code->text);
    c.information = view(code->information);
    if (!check_code(c, r)) {
        report(r, error, errorSize);
        return nullptr;
    }
    try {
        const std::string payload = write_code(c);
        if (payload.size() > max_bytes) {
            refuse(r, "payload", "more than %zu bytes", max_bytes);
            report(r, error, errorSize);
            return nullptr;
        }
        return hand_over(payload);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
