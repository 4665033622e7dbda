/*
 * Error texts quote the byte the library refused, which may be the first byte of a
 * multi-byte character, and the virtual machine must never be handed bytes that are not
 * modified UTF-8: what it makes of them is undefined. So every text bound for Java passes
 * through here; well-formed text (the usual case) is used as it is, without a copy.
 */
#include "modified_utf8.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

/* Bytes of the well-formed UTF-8 sequence at p and its code point, or 0 when the byte at
 * p does not start one (overlong forms and encoded surrogates are malformed). */
static size_t utf8_sequence(const unsigned char *p, uint32_t *code_point) {
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
        /* The terminating NUL is no continuation byte, so this never reads past it. */
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *code_point = cp;
    return length;
}

static char *put_unit(char *out, uint32_t unit) {
    *out++ = (char)(0xE0 | (unit >> 12));
    *out++ = (char)(0x80 | ((unit >> 6) & 0x3F));
    *out++ = (char)(0x80 | (unit & 0x3F));
    return out;
}

static int is_modified_utf8(const unsigned char *p) {
    uint32_t cp;
    for (size_t n; *p != '\0'; p += n) {
        n = utf8_sequence(p, &cp);
        if (n == 0 || n == 4) return 0;
    }
    return 1;
}

const char *modified_utf8(const char *text) {
    const unsigned char *p = (const unsigned char *)text;
    if (is_modified_utf8(p)) return text;
    /* A malformed byte grows to three bytes, a four-byte character to six: at most 3x. */
    const size_t length = strlen(text);
    char *copy = malloc(3 * length + 1);
    if (copy == NULL) return NULL;
    char *out = copy;
    while (*p != '\0') {
        uint32_t cp;
        const size_t n = utf8_sequence(p, &cp);
        if (n == 0) {
            out = put_unit(out, 0xFFFD);
            p += 1;
        } else if (n == 4) {
            cp -= 0x10000;
            out = put_unit(out, 0xD800 | (cp >> 10));
            out = put_unit(out, 0xDC00 | (cp & 0x3FF));
            p += 4;
        } else {
            memcpy(out, p, n);
            out += n;
            p += n;
        }
    }
    *out = '\0';
    return copy;
}

void modified_utf8_release(const char *converted, const char *text) {
    if (converted != text) free((void *)converted);
}
