// Input lines as the batch commands get them: readable text, or the reason it is not.
#include "batch.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

bool control(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7F; }

// Whether the text is UTF-8 without control characters other than the tab.
bool printable(std::string_view text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        if (p[i] >= 0x20 && p[i] < 0x7F) { // the usual case, without a call
            ++i;
            continue;
        }
        const size_t length = control(p[i]) ? 0 : tarvo_utf8_length(text.data() + i, n - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// The text with every control byte and every byte that starts no valid UTF-8 character
// replaced by U+FFFD.
void stand_in(std::string_view text, std::string &out) {
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    out.clear();
    for (size_t i = 0; i < n;) {
        const size_t length = control(p[i]) ? 0 : tarvo_utf8_length(text.data() + i, n - i);
        if (length == 0) {
            out.append("\xEF\xBF\xBD");
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
}

} // namespace

Line classify(std::string_view text, uint64_t number, std::string &scratch) {
    if (text.size() > longest_line) return {{}, number, "Line longer than 1024 bytes"};
    if (!printable(text)) {
        stand_in(text, scratch);
        return {scratch, number, "Control character or invalid UTF-8 in line"};
    }
    if (text.empty() || ((text[0] == ' ' || text[0] == '\t') && trimmed(text).empty())) return {text, number, "Empty line"};
    return {text, number, nullptr};
}

} // namespace tarvotool
