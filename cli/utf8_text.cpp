// UTF-8 checks for texts from files whose character set nobody promised.
#include "utf8_text.h"

#include "tarvo.h"

namespace tarvotool {

bool is_utf8(std::string_view text) {
    for (size_t i = 0, n = text.size(); i < n;) {
        const size_t length = tarvo_utf8_length(text.data() + i, n - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

} // namespace tarvotool
