// Reading one UTF-8 character: what every check of text for well-formed UTF-8 builds on.
#include <stdint.h>
#include <stddef.h>
#include <string.h>

#include "tarvo.h"

// The well-formed byte sequences of Unicode's table 3-7: overlong forms, surrogates and
// code points above U+10FFFF are refused by the range of the second byte.
extern "C" size_t tarvo_utf8_length(const char *text, size_t n) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    if (n == 0) return 0;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (n < length || p[1] < low || p[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return length;
}

extern "C" size_t tarvo_utf8_char(const char *text, uint32_t *code_point) {
    // A character is at most four bytes; the terminating NUL is readable too and is no
    // continuation byte, so a character cut short by it is refused.
    const size_t length = tarvo_utf8_length(text, strnlen(text, 4) + 1);
    if (length == 0) return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    constexpr unsigned char lead_bits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t cp = p[0] & lead_bits[length];
    for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (p[i] & 0x3Fu);
    *code_point = cp;
    return length;
}
