// Statement texts as UTF-8. The records carry the file's own bytes: UTF-8 from some
// banks, ISO-8859-1 from most German ones, and a fixed-size field may end in the middle
// of a character where the parser cut it.
#include <stdint.h>
#include <string.h>

#include "tarvo.h"

namespace {

// True when p holds only the start of a character before the end: a character cut off
// where a fixed-size field ends.
bool cut_off(const unsigned char *p) {
    const int need = (p[0] & 0xE0) == 0xC0 ? 2 : (p[0] & 0xF0) == 0xE0 ? 3 : (p[0] & 0xF8) == 0xF0 ? 4 : 0;
    int i = 1;
    while (i < need && (p[i] & 0xC0) == 0x80) ++i;
    return need > 0 && i < need && p[i] == '\0';
}

// The length of text as well-formed UTF-8 without a cut-off last character, or -1 when
// it is no UTF-8.
long utf8_length(const char *text) {
    const char *p = text;
    uint32_t code_point;
    while (*p != '\0') {
        const size_t n = tarvo_utf8_char(p, &code_point);
        if (n == 0) {
            if (cut_off(reinterpret_cast<const unsigned char *>(p))) break;
            return -1;
        }
        p += n;
    }
    return p - text;
}

} // namespace

extern "C" size_t tarvo_stmt_text_utf8(const char *text, char *out) {
    const long valid = utf8_length(text);
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    if (valid >= 0) {
        memcpy(out, text, static_cast<size_t>(valid));
        out[valid] = '\0';
        return static_cast<size_t>(valid);
    }
    char *o = out;
    for (; *in != '\0'; ++in) {
        if (*in < 0x80) {
            *o++ = static_cast<char>(*in);
        } else {
            *o++ = static_cast<char>(0xC0 | (*in >> 6));
            *o++ = static_cast<char>(0x80 | (*in & 0x3F));
        }
    }
    *o = '\0';
    return static_cast<size_t>(o - out);
}
