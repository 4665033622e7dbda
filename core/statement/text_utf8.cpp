// Statement texts as UTF-8. The records carry the file's own bytes: UTF-8 from some
// banks, ISO-8859-1 from most German ones.
#include <stdint.h>
#include <string.h>

#include "tarvo.h"

namespace {

// The length of text when it is well-formed UTF-8, or -1. The readers cut fixed-size
// fields at character boundaries, so a lead byte at the end is a Latin-1 letter
// ("WEI\xDF"), not a cut character.
long utf8_length(const char *text) {
    const char *p = text;
    uint32_t code_point;
    while (*p != '\0') {
        const size_t n = tarvo_utf8_char(p, &code_point);
        if (n == 0) return -1;
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
