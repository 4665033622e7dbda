// Format checks by field kind and character-set checks by field and rulebook.
#include <string.h>

#include <array>

#include "frame/frame.h"

namespace {

using tarvo::CharsetMode;

enum : uint8_t { IDENT = 1, TEXT = 2, EXTENDED = 4, AUSTRIAN = 8 };

// Per byte: the lowest mode that allows it as a single byte. AUSTRIAN bytes are allowed
// in every mode under the Austrian guideline only.
constexpr std::array<uint8_t, 256> make_classes() {
    std::array<uint8_t, 256> c{};
    for (int ch = 'A'; ch <= 'Z'; ++ch) c[ch] = IDENT;
    for (int ch = 'a'; ch <= 'z'; ++ch) c[ch] = IDENT;
    for (int ch = '0'; ch <= '9'; ++ch) c[ch] = IDENT;
    for (unsigned char ch : std::string_view("'()+,-./:?")) c[ch] = IDENT;
    c[' '] = TEXT;
    for (unsigned char ch : std::string_view("$%&*")) c[ch] = EXTENDED;
    for (unsigned char ch : std::string_view("\"!#;<=>@[]^_{|}~")) c[ch] = AUSTRIAN;
    return c;
}
constexpr std::array<uint8_t, 256> classes = make_classes();

// Second bytes of the UTF-8 umlauts and sharp s after the lead byte C3.
constexpr bool is_umlaut_tail(unsigned char b) {
    return b == 0x84 || b == 0x96 || b == 0x9C || b == 0x9F || b == 0xA4 || b == 0xB6 || b == 0xBC;
}

// Second bytes of the UTF-8 section and degree signs after the lead byte C2: the
// documents are UTF-8, so their single ISO 8859-1 bytes would make them ill-formed.
constexpr bool is_austrian_sign_tail(unsigned char b) { return b == 0xA7 || b == 0xB0; }

// Bytes of a character that starts at p and is allowed, or 0.
size_t allowed_length(const unsigned char *p, int mode, bool austrian) {
    const uint8_t cls = classes[*p];
    if (cls == IDENT) return 1;
    if (cls == TEXT) return mode >= tarvo::CHARSET_TEXT ? 1 : 0;
    if (cls == EXTENDED) return mode >= tarvo::CHARSET_EXTENDED ? 1 : 0;
    if (cls == AUSTRIAN) return austrian ? 1 : 0;
    if (*p == 0xC3 && mode >= tarvo::CHARSET_EXTENDED && is_umlaut_tail(p[1])) return 2;
    if (*p == 0xC2 && austrian && is_austrian_sign_tail(p[1])) return 2;
    if (*p == 0xE2 && austrian && p[1] == 0x82 && p[2] == 0xAC) return 3;
    return 0;
}

// The code point of the UTF-8 sequence at p and its length, or length 0 when the bytes
// are no well-formed, shortest sequence of at most three bytes (the Swiss set lies in
// the Basic Multilingual Plane).
struct CodePoint {
    uint32_t value;
    size_t length;
};
CodePoint decode(const unsigned char *p) {
    if (p[0] < 0x80) return {p[0], 1};
    if (p[0] >= 0xC2 && p[0] <= 0xDF && (p[1] & 0xC0) == 0x80)
        return {static_cast<uint32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F)), 2};
    if ((p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
        const uint32_t value = static_cast<uint32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        if (value >= 0x800) return {value, 3};
    }
    return {0, 0};
}

// The Swiss set by code point. U+00AD, the soft hyphen, is a format character and as
// such refused like the control characters around it.
constexpr bool swiss_code_point(uint32_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0x17F && c != 0xAD) || c == 0x20AC ||
           (c >= 0x218 && c <= 0x21B);
}

} // namespace

bool tarvo::swiss_text(const char *text, unsigned char *bad) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (p != nullptr && *p != '\0') {
        const CodePoint c = decode(p);
        if (c.length == 0 || !swiss_code_point(c.value)) {
            if (bad != nullptr) *bad = *p;
            return false;
        }
        p += c.length;
    }
    return true;
}

int format_check(int kind, const char *value) {
    using namespace tarvo;
    // The BIC pattern is compiled for every kind, so the first check of any field
    // prepares it.
    const bool bic = bic_pattern_matches(kind == FORMAT_BIC ? value : nullptr);
    if (kind == FORMAT_BIC) return bic ? 1 : 0;
    size_t max = 0;
    switch (kind) {
    case FORMAT_MAX70: max = 70; break;
    case FORMAT_MAX16: max = 16; break;
    case FORMAT_MAX35: max = 35; break;
    default: return 0;
    }
    if (value == nullptr) return 0;
    const size_t length = strlen(value);
    return length >= 1 && length <= max ? 1 : 0;
}

int check_string(const char *value, unsigned char *bad, int mode) {
    return tarvo::check_string_under(value, bad, mode, tarvo::current_rulebook());
}

int tarvo::check_string_under(const char *value, unsigned char *bad, int mode, const Rulebook *rb) {
    if (value == nullptr) return 1;
    if (mode > tarvo::CHARSET_TEXT && rb != nullptr && !rb->extended_charset) mode = tarvo::CHARSET_TEXT;
    // Names and texts of Swiss payments take the Swiss set; identifiers keep the narrow
    // sets, which are what SIX's identifier pattern allows.
    if (mode == tarvo::CHARSET_EXTENDED && rb != nullptr && rb->swiss) return tarvo::swiss_text(value, bad) ? 1 : 0;
    const bool austrian = rb != nullptr && rb->at_charset;
    const auto *p = reinterpret_cast<const unsigned char *>(value);
    while (*p != '\0') {
        const size_t n = allowed_length(p, mode, austrian);
        if (n == 0) {
            if (bad != nullptr) *bad = *p;
            return 0;
        }
        p += n;
    }
    return 1;
}
