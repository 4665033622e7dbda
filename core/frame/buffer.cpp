// Growable text buffer for the XML writers, with an escaping append for element content.
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "frame/frame.h"

namespace {

// Makes room for `needed` more bytes (text plus NUL); the allocation grows to the next
// multiple of 256 strictly above used + needed, so a document reallocates at most once
// per 256 bytes of output.
bool reserve(buffer_t *buf, uint64_t needed) {
    if (buf->size - buf->used >= needed) return true;
    const uint64_t size = ((buf->used + needed) & ~uint64_t{0xff}) + 256;
    void *data = realloc(buf->data, size);
    if (data == nullptr) return false;
    buf->data = static_cast<char *>(data);
    buf->size = size;
    return true;
}

// Where the next text starts: on the old NUL, or at the start of an empty buffer.
char *append_point(const buffer_t *buf) { return buf->data + (buf->used > 0 ? buf->used - 1 : 0); }

void commit(buffer_t *buf, uint64_t length) { buf->used = buf->used > 0 ? buf->used + length : length + 1; }

} // namespace

int buffer_strappend(buffer_t *buf, const char *src) {
    if (src == nullptr) return 1;
    const uint64_t length = strlen(src);
    if (!reserve(buf, length + 1)) return 0;
    memcpy(append_point(buf), src, length + 1);
    commit(buf, length);
    return 1;
}

int buffer_strcatn(buffer_t *buf, const char *first, ...) {
    va_list ap;
    va_start(ap, first);
    int ok = 1;
    for (const char *piece = first; piece != nullptr; piece = va_arg(ap, const char *)) {
        if (!buffer_strappend(buf, piece)) {
            ok = 0;
            break;
        }
    }
    va_end(ap);
    return ok;
}

void buffer_strcat_xmlescape(buffer_t *buf, const char *str) {
    if (str == nullptr) return;
    uint64_t length = 0;
    for (const char *p = str; *p != '\0'; ++p) length += *p == '&' ? 5 : (*p == '<' || *p == '>') ? 4 : 1;
    if (!reserve(buf, length + 1)) return;
    char *out = append_point(buf);
    for (const char *p = str; *p != '\0'; ++p) {
        switch (*p) {
        case '<': memcpy(out, "&lt;", 4); out += 4; break;
        case '>': memcpy(out, "&gt;", 4); out += 4; break;
        case '&': memcpy(out, "&amp;", 5); out += 5; break;
        default: *out++ = *p; break;
        }
    }
    *out = '\0';
    commit(buf, length);
}
