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

} // namespace

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
