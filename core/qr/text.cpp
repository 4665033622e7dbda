// What both payload kinds share: line splitting, character counting against a character
// set, strict amounts, refusal texts and the one-block records handed to callers.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "frame/frame.h"
#include "qr/qr.h"

namespace tarvo::qr {

bool refuse(Refusal &r, const char *field, const char *fmt, ...) {
    r.field = field;
    va_list args;
    va_start(args, fmt);
    vsnprintf(r.reason, sizeof r.reason, fmt, args);
    va_end(args);
    return false;
}

void report(const Refusal &r, char *error, size_t size) {
    if (error == nullptr || size == 0) return;
    snprintf(error, size, "%s: %s", r.field == nullptr ? "payload" : r.field, r.reason);
}

bool begin(const void *input, const void *output, const char *field, char *error, size_t size) {
    if (error != nullptr && size > 0) error[0] = '\0';
    if (input != nullptr && output != nullptr) return true;
    Refusal r;
    refuse(r, field, "missing");
    report(r, error, size);
    return false;
}

char *hand_over(std::string_view payload) {
    char *out = static_cast<char *>(malloc(payload.size() + 1));
    if (out == nullptr) return nullptr;
    memcpy(out, payload.data(), payload.size());
    out[payload.size()] = '\0';
    return out;
}

int split_lines(std::string_view payload, std::string_view *lines, int max) {
    if (!payload.empty() && payload.back() == '\n') {
        payload.remove_suffix(1);
        if (!payload.empty() && payload.back() == '\r') payload.remove_suffix(1);
    }
    int count = 0;
    for (;;) {
        const size_t end = payload.find('\n');
        std::string_view line = payload.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (count == max) return -1;
        lines[count++] = line;
        if (end == std::string_view::npos) return count;
        payload.remove_prefix(end + 1);
    }
}

namespace {

struct Range {
    uint32_t first, last;
};
// The characters Swiss payment texts may carry: Basic Latin, the Latin-1 supplement,
// Latin Extended-A, the Romanian letters with comma below, and the euro sign.
constexpr Range swiss_ranges[] = {
    {0x20, 0x7E}, {0xA0, 0xFF}, {0x100, 0x17F}, {0x218, 0x21B}, {0x20AC, 0x20AC},
};

} // namespace

bool swiss_character(uint32_t c) {
    for (const Range &r : swiss_ranges)
        if (c >= r.first && c <= r.last) return true;
    return false;
}

bool printable_character(uint32_t c) { return c >= 0x20 && c != 0x7F && (c < 0x80 || c > 0x9F); }

int count_characters(std::string_view text, CharacterSet allowed, const char *field, Refusal &r) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        const size_t length = tarvo_utf8_length(text.data() + i, text.size() - i);
        if (length == 0) {
            refuse(r, field, "not well-formed UTF-8 at byte %zu", i + 1);
            return -1;
        }
        const auto *p = reinterpret_cast<const unsigned char *>(text.data() + i);
        constexpr unsigned char lead_bits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
        uint32_t c = p[0] & lead_bits[length];
        for (size_t k = 1; k < length; ++k) c = (c << 6) | (p[k] & 0x3Fu);
        if (!allowed(c)) {
            refuse(r, field, "character U+%04X is not allowed", static_cast<unsigned>(c));
            return -1;
        }
        i += length;
    }
    return count;
}

bool check_text(std::string_view text, size_t max, bool required, CharacterSet allowed, const char *field,
                Refusal &r) {
    if (text.empty()) return !required || refuse(r, field, "missing");
    const int count = count_characters(text, allowed, field, r);
    if (count < 0) return false;
    if (static_cast<size_t>(count) > max) return refuse(r, field, "more than %zu characters", max);
    return true;
}

int64_t read_amount(std::string_view text, bool decimals_optional) {
    const size_t point = text.find('.');
    const std::string_view units = text.substr(0, point);
    const std::string_view cents = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (units.empty() || units.size() > 9 || (units.size() > 1 && units[0] == '0')) return -1;
    if (decimals_optional ? (cents.size() > 2 || (point != std::string_view::npos && cents.empty()))
                          : cents.size() != 2)
        return -1;
    int64_t value = 0;
    for (char c : units) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    for (size_t i = 0; i < 2; ++i) {
        const char c = i < cents.size() ? cents[i] : '0';
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value <= max_amount_cents ? value : -1;
}

} // namespace tarvo::qr

extern "C" int tarvo_qr_amount(const char *text, int64_t *cents) {
    if (text == nullptr || cents == nullptr) return -1;
    const int64_t value = tarvo::qr::read_amount(text, true);
    if (value < 0) return -1;
    *cents = value;
    return 1;
}

namespace tarvo::qr {

RecordBlock::RecordBlock(size_t record_size, size_t text_bytes)
    : block_(static_cast<char *>(calloc(1, record_size + text_bytes))), next_(block_ + record_size) {}

RecordBlock::~RecordBlock() { free(block_); }

const char *RecordBlock::copy(std::string_view text) {
    if (text.empty()) return nullptr;
    char *start = next_;
    memcpy(start, text.data(), text.size());
    start[text.size()] = '\0';
    next_ += text.size() + 1;
    return start;
}

void *RecordBlock::release() {
    void *block = block_;
    block_ = nullptr;
    return block;
}

} // namespace tarvo::qr
