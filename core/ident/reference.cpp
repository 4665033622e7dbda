// Payment references that travel with a transfer: the ISO 11649 creditor reference
// ("RF18 5390 0754 7034") and the Swiss QR reference (27 digits). Both are read as people
// type them, in groups and lower case, and both carry check digits worth verifying before
// an invoice or a payment file goes out with a reference the payee cannot match.
#include <string.h>

#include <array>

#include "ident/ident.h"

namespace tarvo {
namespace {

constexpr std::size_t creditor_reference_max = 25; // "RF", two check digits, 21 characters
constexpr std::size_t qr_reference_length = 27;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The mod-10 recursive carry over a run of digits (the Swiss payment slips' check digit
// scheme): the check digit that follows them is (10 - carry) % 10.
constexpr std::array<int, 10> mod10_table{0, 9, 4, 6, 8, 2, 7, 1, 3, 5};
int mod10_carry(const char *digits, std::size_t n) {
    int carry = 0;
    for (std::size_t i = 0; i < n; ++i) carry = mod10_table[(carry + (digits[i] - '0')) % 10];
    return carry;
}

} // namespace

bool creditor_reference_normalize(const char *input, char (&out)[creditor_reference_max + 1]) {
    out[0] = '\0';
    if (input == nullptr) return false;
    const int n = compact_identifier(input, out, creditor_reference_max);
    if (n < 5 || out[0] != 'R' || out[1] != 'F' || !is_digit(out[2]) || !is_digit(out[3])) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool creditor_reference_valid(const char *input) {
    char electronic[creditor_reference_max + 1];
    return creditor_reference_normalize(input, electronic) && iban_mod97(electronic, strlen(electronic)) == 1;
}

bool qr_reference_normalize(const char *input, char (&out)[qr_reference_length + 1]) {
    out[0] = '\0';
    if (input == nullptr) return false;
    const int n = compact_identifier(input, out, qr_reference_length);
    bool digits = n == static_cast<int>(qr_reference_length);
    for (int i = 0; digits && i < n; ++i) digits = is_digit(out[i]);
    if (!digits) out[0] = '\0';
    return digits;
}

bool qr_reference_valid(const char *input) {
    char digits[qr_reference_length + 1];
    return qr_reference_normalize(input, digits) && mod10_carry(digits, qr_reference_length) == 0;
}

} // namespace tarvo

extern "C" int tarvo_creditor_reference_check(const char *reference) {
    return tarvo::creditor_reference_valid(reference) ? 1 : -1;
}

extern "C" int tarvo_creditor_reference_make(const char *base, char *out, size_t size) {
    if (out == nullptr || size == 0) return -2;
    out[0] = '\0';
    // The base behind "RF00" gives the remainder that the check digits must undo.
    char electronic[tarvo::creditor_reference_max + 1] = "RF00";
    if (base == nullptr) return -1;
    const int n = tarvo::compact_identifier(base, electronic + 4, tarvo::creditor_reference_max - 4);
    if (n < 1) return -1;
    const int check = 98 - tarvo::iban_mod97(electronic, strlen(electronic));
    electronic[2] = static_cast<char>('0' + check / 10);
    electronic[3] = static_cast<char>('0' + check % 10);
    const std::size_t length = strlen(electronic);
    if (length >= size) return -2;
    memcpy(out, electronic, length + 1);
    return 1;
}

extern "C" int tarvo_qrr_check(const char *reference) { return tarvo::qr_reference_valid(reference) ? 1 : -1; }

extern "C" int tarvo_qrr_make(const char *base, char *out, size_t size) {
    if (out == nullptr || size == 0) return -2;
    out[0] = '\0';
    constexpr std::size_t body = tarvo::qr_reference_length - 1;
    char digits[body + 1];
    if (base == nullptr) return -1;
    const int n = tarvo::compact_identifier(base, digits, body);
    if (n < 1) return -1;
    for (int i = 0; i < n; ++i)
        if (!tarvo::is_digit(digits[i])) return -1;
    if (size <= tarvo::qr_reference_length) return -2;
    // Leading zeros pad the base to 26 digits; they do not change the carry.
    memset(out, '0', body - static_cast<std::size_t>(n));
    memcpy(out + body - n, digits, static_cast<std::size_t>(n));
    out[body] = static_cast<char>('0' + (10 - tarvo::mod10_carry(out, body)) % 10);
    out[tarvo::qr_reference_length] = '\0';
    return 1;
}
