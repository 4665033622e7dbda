// UTF-8 checks for texts from files whose character set nobody promised.
#ifndef TARVOTOOL_UTF8_TEXT_H
#define TARVOTOOL_UTF8_TEXT_H

#include <stddef.h>

#include <string_view>

namespace tarvotool {

// Length of the valid UTF-8 character at p (n bytes readable there), or 0. Overlong
// forms, surrogates and code points above U+10FFFF are invalid.
size_t utf8_length(const unsigned char *p, size_t n);

// Whether the whole text is valid UTF-8.
bool is_utf8(std::string_view text);

} // namespace tarvotool

#endif
