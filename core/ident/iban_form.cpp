// IBANs as people write them: grouped in fours, with a leading "IBAN" word, in lower case,
// copied with non-breaking spaces. Both directions between that and the electronic form.
#include <string.h>

#include <array>
#include <cstddef>

#include "ident/ident.h"

namespace tarvo {
namespace {

constexpr std::size_t longest_iban = 34;
constexpr std::size_t shortest_iban = 5;

// Per byte: the upper-case letter or digit it stands for in an IBAN, or 0.
constexpr auto iban_char = [] {
    std::array<char, 256> t{};
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<char>(c);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<char>(c - 'a' + 'A');
    return t;
}();

char iban_char_at(const char *p) { return iban_char[static_cast<unsigned char>(*p)]; }

// Length of the separator at p (space, tab, line end, or a UTF-8 no-break space), or 0.
std::size_t separator(const char *p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return 1;
    if (c == 0xC2 && static_cast<unsigned char>(p[1]) == 0xA0) return 2;
    return 0;
}

const char *skip_separators(const char *p) {
    for (std::size_t n; (n = separator(p)) != 0;) p += n;
    return p;
}

// A leading "IBAN" word (any case, followed by a separator or a colon) is a label, not part
// of the number; no country code starts with "IB", so it never eats real characters.
const char *skip_label(const char *p) {
    if (iban_char_at(p) != 'I' || iban_char_at(p + 1) != 'B' || iban_char_at(p + 2) != 'A' || iban_char_at(p + 3) != 'N')
        return p;
    const char *after = p + 4;
    if (*after == ':') return after + 1;
    return separator(after) ? after : p;
}

} // namespace

int compact_identifier(const char *input, char *out, std::size_t cap) {
    std::size_t length = 0;
    for (const char *p = input; *p != '\0';) {
        if (const char c = iban_char_at(p)) {
            if (length == cap) return -1;
            out[length++] = c;
            ++p;
        } else if (const std::size_t n = separator(p)) {
            p += n;
        } else {
            return -1;
        }
    }
    out[length] = '\0';
    return static_cast<int>(length);
}

int iban_normalize(const char *input, char (&out)[longest_iban + 1]) {
    out[0] = '\0';
    if (input == nullptr) return -1;
    const int length = compact_identifier(skip_label(skip_separators(input)), out, longest_iban);
    if (length < static_cast<int>(shortest_iban)) {
        out[0] = '\0';
        return -1;
    }
    return 1;
}

} // namespace tarvo

extern "C" int tarvo_iban_normalize(const char *input, char *iban) {
    if (iban == nullptr) return -1;
    char electronic[tarvo::longest_iban + 1];
    const int result = tarvo::iban_normalize(input, electronic);
    memcpy(iban, electronic, strlen(electronic) + 1);
    return result;
}

extern "C" int tarvo_iban_format(const char *iban, char *printed) {
    if (printed == nullptr) return -1;
    printed[0] = '\0';
    char electronic[tarvo::longest_iban + 1];
    if (tarvo::iban_normalize(iban, electronic) != 1) return -1;
    char *out = printed;
    for (std::size_t i = 0; electronic[i]; ++i) {
        if (i > 0 && i % 4 == 0) *out++ = ' ';
        *out++ = electronic[i];
    }
    *out = '\0';
    return 1;
}
