// Result rows of the batch commands in CSV or JSON Lines.
#include <charconv>

#include "batch.h"

namespace tarvotool {

namespace {

bool needs_quotes(std::string_view value) {
    for (const char c : value)
        if (c == ';' || c == '"' || c == '\n' || c == '\r') return true;
    return false;
}

void append_csv(std::string &out, std::string_view value) {
    if (!needs_quotes(value)) {
        out.append(value);
        return;
    }
    out.push_back('"');
    for (const char c : value) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

// Rows hold valid UTF-8 only (lines with other bytes are shown by a stand-in), so only
// the quote, the backslash and control characters need escapes.
void append_json_string(std::string &out, std::string_view value) {
    static constexpr char hex[] = "0123456789abcdef";
    out.push_back('"');
    for (const char c : value) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (u < 0x20) {
            out.append("\\u00");
            out.push_back(hex[u >> 4]);
            out.push_back(hex[u & 15]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

} // namespace

void Row::key() {
    const char *name = next_ < columns_.size() ? columns_[next_] : "";
    if (format_ == Format::csv) {
        if (next_ > 0) out_.push_back(';');
    } else {
        out_.append(opened_ ? ",\"" : "{\"").append(name).append("\":");
        opened_ = true;
    }
    ++next_;
}

void Row::text(std::string_view value) {
    if (format_ == Format::json_lines) {
        if (value.empty()) {
            ++next_;
            return;
        }
        key();
        append_json_string(out_, value);
    } else {
        key();
        append_csv(out_, value);
    }
}

void Row::number(int64_t value) {
    key();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out_.append(digits, end);
}

void Row::flag(bool value) {
    key();
    if (format_ == Format::csv)
        out_.append(value ? "yes" : "no");
    else
        out_.append(value ? "true" : "false");
}

void Row::end() {
    if (format_ == Format::csv) {
        while (next_ < columns_.size()) key();
        out_.push_back('\n');
    } else {
        out_.append(opened_ ? "}\n" : "{}\n");
    }
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace tarvotool
