// Result rows of the batch commands in CSV or JSON Lines.
#include <stdint.h>
#include <string.h>

#include <charconv>

#include "batch.h"

namespace tarvotool {

namespace {

constexpr size_t most_fields = 12;
// A field holds a line at most, and a line's printable stand-in is at most three times as
// long (U+FFFD for each byte).
constexpr size_t longest_text = 3 * longest_line;
// Escaped for JSON, a field grows at most sixfold (\u00XX); its key and quotes come on top.
constexpr size_t longest_row = most_fields * (6 * longest_text + 64) + 4;

// The text cut to longest_text bytes, at a character boundary.
std::string_view bounded(std::string_view text) {
    if (text.size() <= longest_text) return text;
    size_t cut = longest_text;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

// Whether the text holds a byte CSV must quote (';', '"', a control character) or, for
// JSON, one it must escape ('"', '\\', a control character). Eight bytes at a time: the
// common field holds none, and a byte-wise table walk would cost most of a row's time.
bool needs_care(std::string_view text, Format format) {
    constexpr uint64_t ones = 0x0101010101010101ULL;
    constexpr uint64_t highs = 0x8080808080808080ULL;
    // A high bit set where a byte below n stood (exact as a yes/no answer for n <= 128).
    const auto below = [](uint64_t x, uint64_t n) { return (x - ones * n) & ~x & highs; };
    const auto equal = [&](uint64_t x, uint64_t b) { return below(x ^ (ones * b), 1); };
    const uint64_t other = format == Format::csv ? ';' : '\\';
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t x;
        memcpy(&x, text.data() + i, 8);
        if ((below(x, 0x20) | equal(x, '"') | equal(x, other)) != 0) return true;
    }
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == '"' || c == other) return true;
    }
    return false;
}

char *quoted_csv(std::string_view value, char *at) {
    *at++ = '"';
    for (const char c : value) {
        if (c == '"') *at++ = '"';
        *at++ = c;
    }
    *at++ = '"';
    return at;
}

// Rows hold valid UTF-8 only (lines with other bytes are shown by a stand-in), so only
// the quote, the backslash and control characters need escapes.
char *escaped_json(std::string_view value, char *at) {
    static constexpr char hex[] = "0123456789abcdef";
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            *at++ = '\\';
            *at++ = c;
        } else if (u < 0x20) {
            memcpy(at, "\\u00", 4);
            at[4] = hex[u >> 4];
            at[5] = hex[u & 15];
            at += 6;
        } else {
            *at++ = c;
        }
    }
    return at;
}

// Fields are short: word moves (the last one overlapping) instead of a memcpy that the
// compiler turns into a string instruction with a long start-up.
char *append(char *at, std::string_view text) {
    const char *from = text.data();
    const size_t n = text.size();
    if (n >= 8) {
        for (size_t i = 0; i + 8 < n; i += 8) memcpy(at + i, from + i, 8);
        memcpy(at + n - 8, from + n - 8, 8);
    } else {
        for (size_t i = 0; i < n; ++i) at[i] = from[i];
    }
    return at + n;
}

} // namespace

char *RowBuffer::room_for_row() {
    if (capacity_ - size_ < longest_row) {
        const size_t capacity = std::max(2 * capacity_, size_ + 8 * longest_row);
        auto grown = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ > 0) memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }
    return data_.get() + size_;
}

void Row::key() {
    if (format_ == Format::csv) {
        if (next_ > 0) *at_++ = ';';
    } else {
        at_ = append(at_, opened_ ? ",\"" : "{\"");
        at_ = append(at_, next_ < columns_.size() ? columns_[next_] : "");
        at_ = append(at_, "\":");
        opened_ = true;
    }
    ++next_;
}

void Row::text(std::string_view value) {
    value = bounded(value);
    if (format_ == Format::json_lines && value.empty()) {
        ++next_;
        return;
    }
    key();
    const bool care = needs_care(value, format_);
    if (format_ == Format::csv) {
        at_ = care ? quoted_csv(value, at_) : append(at_, value);
    } else {
        *at_++ = '"';
        at_ = care ? escaped_json(value, at_) : append(at_, value);
        *at_++ = '"';
    }
}

void Row::number(int64_t value) {
    key();
    at_ = std::to_chars(at_, at_ + 24, value).ptr;
}

void Row::flag(bool value) {
    key();
    if (format_ == Format::csv)
        at_ = append(at_, value ? "yes" : "no");
    else
        at_ = append(at_, value ? "true" : "false");
}

void Row::end() {
    if (format_ == Format::csv) {
        while (next_ < columns_.size()) key();
        *at_++ = '\n';
    } else {
        at_ = append(at_, opened_ ? "}\n" : "{}\n");
    }
    out_.set_end(at_);
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace tarvotool
