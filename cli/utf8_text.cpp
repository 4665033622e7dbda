// UTF-8 validation by the well-formed byte sequences of Unicode's table 3-7.
#include "utf8_text.h"

namespace tarvotool {

size_t utf8_length(const unsigned char *p, size_t n) {
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

bool is_utf8(std::string_view text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    for (size_t i = 0, n = text.size(); i < n;) {
        const size_t length = utf8_length(p + i, n - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

} // namespace tarvotool
