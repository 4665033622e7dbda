// UTF-8 checks for texts from files whose character set nobody promised.
#ifndef TARVOTOOL_UTF8_TEXT_H
#define TARVOTOOL_UTF8_TEXT_H

#include <stddef.h>

#include <string_view>

namespace tarvotool {

// Whether the whole text is valid UTF-8.
bool is_utf8(std::string_view text);

} // namespace tarvotool

#endif
