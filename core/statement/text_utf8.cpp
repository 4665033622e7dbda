// Statement texts as UTF-8. The records carry the file's own bytes: UTF-8 from some
// banks, ISO-8859-1 from most German ones, and a fixed-size field may end in the middle
// of a character where the parser cut it.
#include <stdint.h>
#include <string.h>

#include "tarvo.h"

namespace {

// Bytes of the well-formed UTF-8 sequence at p, 0 when none starts there, or -1 when p
// holds only the start of one before the end: a character cut off by a field's size.
int sequence_length(const unsigned char *p) {
    if (p[0] < 0x80) return 1;
    int length;
    uint32_t cp, min;
    if ((p[0] & 0xE0) == 0xC0) {
        length = 2, cp = p[0] & 0x1Fu, min = 0x80;
    } else if ((p[0] & 0xF0) == 0xE0) {
        length = 3, cp = p[0] & 0x0Fu, min = 0x800;
    } else if ((p[0] & 0xF8) == 0xF0) {
        length = 4, cp = p[0] & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (p[i] == '\0') return -1;
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3Fu);
    }
    return cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : length;
}

// The length of text as well-formed UTF-8 without a cut-off last character, or -1 when
// it is no UTF-8.
long utf8_length(const unsigned char *text) {
    const unsigned char *p = text;
    while (*p != '\0') {
        const int n = sequence_length(p);
        if (n == 0) return -1;
        if (n < 0) break;
        p += n;
    }
    return p - text;
}

} // namespace

extern "C" size_t tarvo_stmt_text_utf8(const char *text, char *out) {
    const auto *in = reinterpret_cast<const unsigned char *>(text);
    const long valid = utf8_length(in);
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
