// Reading one UTF-8 character: what every check of text for well-formed UTF-8 builds on.
#include <stdint.h>
#include <stddef.h>

#include "tarvo.h"

extern "C" size_t tarvo_utf8_char(const char *text, uint32_t *code_point) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    if (p[0] < 0x80) {
        *code_point = p[0];
        return 1;
    }
    size_t length;
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
    for (size_t i = 1; i < length; ++i) {
        // The terminating NUL is no continuation byte, so this never reads past it.
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *code_point = cp;
    return length;
}
