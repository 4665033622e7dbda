/*
 * Error texts quote the byte the library refused, which may be the first byte of a
 * multi-byte character, and the virtual machine must never be handed bytes that are not
 * modified UTF-8: what it makes of them is undefined. So every text bound for Java passes
 * through here; well-formed text (the usual case) is used as it is, without a copy.
 */
#include "modified_utf8.h"
#include "tarvo.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

static char *put_unit(char *out, uint32_t unit) {
    *out++ = (char)(0xE0 | (unit >> 12));
    *out++ = (char)(0x80 | ((unit >> 6) & 0x3F));
    *out++ = (char)(0x80 | (unit & 0x3F));
    return out;
}

static int is_modified_utf8(const unsigned char *p) {
    uint32_t cp;
    for (size_t n; *p != '\0'; p += n) {
        n = tarvo_utf8_char((const char *)p, &cp);
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
        const size_t n = tarvo_utf8_char((const char *)p, &cp);
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
