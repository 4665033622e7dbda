// The converter from UTF-8 to the locale's character set.
#include "locale_text.h"

#include <errno.h>
#include <iconv.h>
#include <stdio.h>
#include <string.h>

namespace tarvotool {

namespace {

iconv_t converter = reinterpret_cast<iconv_t>(-1);
char area[1024];

} // namespace

bool open_locale_text() {
    // An empty target names the locale's own character set.
    converter = iconv_open("//TRANSLIT", "UTF-8");
    return converter != reinterpret_cast<iconv_t>(-1);
}

void close_locale_text() {
    if (converter != reinterpret_cast<iconv_t>(-1)) iconv_close(converter);
    converter = reinterpret_cast<iconv_t>(-1);
}

const char *in_locale(const char *utf8) {
    if (utf8 == nullptr) return nullptr;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(utf8);
    size_t in_left = strlen(utf8);
    char *out = area;
    size_t out_left = sizeof area - 1;
    // The final call with no input flushes a pending shift state into the area.
    if (iconv(converter, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1) ||
        iconv(converter, nullptr, nullptr, &out, &out_left) == static_cast<size_t>(-1)) {
        fprintf(stderr, "iconv() failed: %s\n", strerror(errno));
        area[0] = '\0';
        return area;
    }
    *out = '\0';
    return area;
}

} // namespace tarvotool
