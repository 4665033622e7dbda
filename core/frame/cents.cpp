// Payment amounts as whole cents, read from and written as decimal text without ever
// passing through binary floating point: every written amount and every control sum is
// then exactly what the caller's texts say.
#include <ctype.h>

#include <charconv>

#include "frame/frame.h"

namespace tarvo {
namespace {

// The exponent magnitude beyond which the amount parser reports a range error.
constexpr int max_exponent = 511;
// Digits of the largest amount in cents; a longer integer part is too large for sure.
constexpr int max_cent_digits = 11;

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

AmountText parse_cents(const char *text, int64_t *cents) {
    if (text == nullptr) return AmountText::Invalid;
    const char *p = text;
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    const bool negative = read_sign(p);

    // The significant digits (after the leading zeros): how many, and the first few,
    // which are all that can matter below the largest amount and for its rounding.
    char leading[max_cent_digits + 1];
    int significant = 0;
    int leading_zeros = 0;
    int digits = 0;
    int point = -1;
    for (;; ++p) {
        if (is_digit(*p)) {
            if (*p == '0' && significant == 0) {
                ++leading_zeros;
            } else {
                if (significant < static_cast<int>(sizeof leading)) leading[significant] = *p;
                ++significant;
            }
            ++digits;
        } else if (*p == '.' && point < 0) {
            point = digits;
        } else {
            break;
        }
    }
    if (digits == 0) return *p == '\0' && p == text ? AmountText::Empty : AmountText::Invalid;
    if (point < 0) point = digits;

    int written = 0;
    if (*p == 'e' || *p == 'E') {
        ++p;
        const bool exp_negative = read_sign(p);
        for (; is_digit(*p); ++p)
            if (written < 100000) written = written * 10 + (*p - '0');
        if (exp_negative) written = -written;
    }
    if (*p != '\0') return AmountText::Invalid;
    // The range rule of the amount parser: the exponent of the first 18 significant
    // digits read as an integer.
    const int range_exponent = point - leading_zeros - (significant > 18 ? 18 : significant) + written;
    if (range_exponent > max_exponent || range_exponent < -max_exponent) return AmountText::Invalid;
    if (significant == 0) return AmountText::Empty;
    if (negative) return AmountText::Negative;

    // value = 0.S x 10^(point - leading_zeros); in cents the integer part has this many digits.
    const int integer_digits = point - leading_zeros + written + 2;
    if (integer_digits > max_cent_digits) return AmountText::TooLarge;
    int64_t value = 0;
    for (int i = 0; i < integer_digits; ++i) value = value * 10 + (i < significant ? leading[i] - '0' : 0);
    // Half away from zero: the first digit dropped decides.
    if (integer_digits >= 0 && integer_digits < significant && leading[integer_digits] >= '5') ++value;
    if (value > max_amount_cents) return AmountText::TooLarge;
    *cents = value;
    return AmountText::Ok;
}

size_t format_cents(int64_t cents, char (&out)[cents_text_size]) {
    const uint64_t magnitude = cents < 0 ? uint64_t{0} - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    char *p = out;
    if (cents < 0) *p++ = '-';
    p = std::to_chars(p, out + cents_text_size, magnitude / 100).ptr;
    const unsigned fraction = static_cast<unsigned>(magnitude % 100);
    *p++ = '.';
    *p++ = static_cast<char>('0' + fraction / 10);
    *p++ = static_cast<char>('0' + fraction % 10);
    *p = '\0';
    return static_cast<size_t>(p - out);
}

} // namespace tarvo
