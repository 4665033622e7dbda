// Amounts as text and back, independent of the locale's decimal mark.
#include <ctype.h>
#include <errno.h>
#include <math.h>
#include <stdint.h>

#include <array>

#include "frame/frame.h"

namespace {

constexpr int max_exponent = 511;
constexpr std::array<double, 9> powersOf10{1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};
// 2^63 as a double: the first cent value that no longer fits int64_t.
constexpr double cents_limit = 9223372036854775808.0;

} // namespace

using tarvo::read_sign;

extern "C" void __tarvo_d2str(char *out, size_t cap, double amount) {
    if (cap == 0) return;
    const double rounded = round(amount * 100.0);
    // Non-finite or unrepresentable amounts have no text; callers refuse them.
    if (!(rounded > -cents_limit && rounded < cents_limit)) {
        out[0] = '\0';
        return;
    }
    const int64_t cents = static_cast<int64_t>(rounded);
    uint64_t value = cents < 0 ? uint64_t{0} - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    uint64_t divisor = 10;
    size_t digits = 2;
    for (; divisor <= value / 10; divisor *= 10) ++digits;
    // Sign, "0." before amounts below 1, the digits and the full stop among them.
    const size_t length = (cents < 0 ? 1 : 0) + (value <= 99 ? 2 : 1) + digits;
    // A text cut to fit would read as another amount.
    if (length >= cap) {
        out[0] = '\0';
        return;
    }

    size_t pos = 0;
    if (cents < 0) out[pos++] = '-';
    if (value <= 99) {
        out[pos++] = '0';
        out[pos++] = '.';
    }
    for (;; divisor /= 10) {
        out[pos++] = static_cast<char>('0' + value / divisor);
        value %= divisor;
        if (divisor == 100) out[pos++] = '.';
        if (divisor == 1) break;
    }
    out[pos] = '\0';
}

extern "C" double __tarvo_strtod(const char *text, char **end) {
    const char *p = text;
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    const bool negative = read_sign(p);

    // Mantissa: digits with at most one decimal point. Leading zeros are not significant,
    // so they do not count against the 18 digits that are used.
    int digits = 0;
    int leading_zeros = 0;
    int point = -1;
    const char *mantissa = p;
    for (;; ++p) {
        if (isdigit(static_cast<unsigned char>(*p))) {
            if (*p == '0' && leading_zeros == digits) ++leading_zeros;
            ++digits;
        } else if (*p == '.' && point < 0) {
            point = digits;
        } else {
            break;
        }
    }
    if (digits == 0) {
        if (end != nullptr) *end = const_cast<char *>(text);
        return 0.0;
    }
    if (point < 0) point = digits;
    const int significant = digits - leading_zeros;
    const int used = significant > 18 ? 18 : significant;
    int exponent = point - leading_zeros - used;

    // At most 18 digits in two integer halves, each converted to double once.
    uint32_t hi = 0;
    uint32_t lo = 0;
    const char *q = mantissa;
    for (int skipped = 0; skipped < leading_zeros; ++q)
        if (*q != '.') ++skipped;
    for (int i = 0; i < used; ++q) {
        if (*q == '.') continue;
        if (used > 9 && i < used - 9)
            hi = hi * 10 + static_cast<uint32_t>(*q - '0');
        else
            lo = lo * 10 + static_cast<uint32_t>(*q - '0');
        ++i;
    }
    double value = used > 9 ? 1.0e9 * hi + lo : static_cast<double>(lo);

    if (*p == 'e' || *p == 'E') {
        ++p;
        const bool exp_negative = read_sign(p);
        int written = 0;
        for (; isdigit(static_cast<unsigned char>(*p)); ++p)
            if (written < 100000) written = written * 10 + (*p - '0');
        exponent += exp_negative ? -written : written;
    }

    const bool scale_down = exponent < 0;
    unsigned magnitude = static_cast<unsigned>(scale_down ? -exponent : exponent);
    if (magnitude > max_exponent) {
        magnitude = max_exponent;
        errno = ERANGE;
    }
    double scale = 1.0;
    for (size_t bit = 0; magnitude != 0; magnitude >>= 1, ++bit)
        if (magnitude & 1) scale *= powersOf10[bit];
    value = scale_down ? value / scale : value * scale;

    if (end != nullptr) *end = const_cast<char *>(p);
    return negative ? -value : value;
}
