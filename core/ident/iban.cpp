// IBAN validation: the country formats, the ISO 13616 check digits and, for German
// IBANs, the bank directory and the bank's account check.
#include <regex.h>
#include <string.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "account/account.h"
#include "frame/frame.h"
#include "frame/lazy_init.h"
#include "ident/ident.h"

namespace tarvo {
namespace {

struct iban_format {
    const char *country;
    const char *name;
    unsigned length;
    const char *pattern;
};

// Ended by a row without a country code.
constexpr iban_format iban_formats[] = {
    {"AT", "Austria", 20, "^AT[0-9]{18}$"},
    {"BE", "Belgium", 16, "^BE[0-9]{14}$"},
    {"BG", "Bulgaria", 22, "^BG[0-9]{2}[A-Z]{4}[0-9]{6}[A-Z0-9]{8}$"},
    {"HR", "Croatia", 21, "^HR[0-9]{19}$"},
    {"CY", "Cyprus", 28, "^CY[0-9]{10}[A-Z0-9]{16}$"},
    {"CZ", "Czech Republic", 24, "^CZ[0-9]{22}$"},
    {"DK", "Denmark", 18, "^DK[0-9]{16}$"},
    {"FO", "Denmark", 18, "^FO[0-9]{16}$"},
    {"GL", "Denmark", 18, "^GL[0-9]{16}$"},
    {"EE", "Estonia", 20, "^EE[0-9]{18}$"},
    {"FI", "Finland", 18, "^FI[0-9]{16}$"},
    {"FR", "France", 27, "^FR[0-9]{12}[A-Z0-9]{11}[0-9]{2}$"},
    {"DE", "Germany", 22, "^DE[0-9]{20}$"},
    {"GI", "Gibraltar", 23, "^GI[0-9]{2}[A-Z]{4}[A-Z0-9]{15}$"},
    {"GR", "Greece", 27, "^GR[0-9]{9}[A-Z0-9]{16}$"},
    {"HU", "Hungary", 28, "^HU[0-9]{26}$"},
    {"IS", "Iceland", 26, "^IS[0-9]{24}$"},
    {"IE", "Ireland", 22, "^IE[0-9]{2}[A-Z]{4}[0-9]{14}$"},
    {"IT", "Italy", 27, "^IT[0-9]{2}[A-Z]{1}[0-9]{10}[A-Z0-9]{12}$"},
    {"LV", "Latvia", 21, "^LV[0-9]{2}[A-Z]{4}[A-Z0-9]{13}$"},
    {"LI", "Liechtenstein", 21, "^LI[0-9]{7}[A-Z0-9]{12}$"},
    {"LT", "Lithuania", 20, "^LT[0-9]{18}$"},
    {"LU", "Luxembourg", 20, "^LU[0-9]{5}[A-Z0-9]{13}$"},
    {"MT", "Malta", 31, "^MT[0-9]{2}[A-Z]{4}[0-9]{5}[A-Z0-9]{18}$"},
    {"MC", "Monaco", 27, "^MC[0-9]{12}[A-Z0-9]{11}[0-9]{2}$"},
    {"NL", "The Netherlands", 18, "^NL[0-9]{2}[A-Z]{4}[0-9]{10}$"},
    {"NO", "Norway", 15, "^NO[0-9]{13}$"},
    {"PL", "Poland", 28, "^PL[0-9]{26}$"},
    {"PT", "Portugal", 25, "^PT[0-9]{23}$"},
    {"RO", "Romania", 24, "^RO[0-9]{2}[A-Z]{4}[A-Z0-9]{16}$"},
    {"SM", "San Marino", 27, "^SM[0-9]{2}[A-Z]{1}[0-9]{10}[A-Z0-9]{12}$"},
    {"SK", "Slovak Republic", 24, "^SK[0-9]{22}$"},
    {"SI", "Slovenia", 19, "^SI[0-9]{17}$"},
    {"ES", "Spain", 24, "^ES[0-9]{22}$"},
    {"SE", "Sweden", 24, "^SE[0-9]{22}$"},
    {"CH", "Switzerland", 21, "^CH[0-9]{7}[A-Z0-9]{12}$"},
    {"GB", "United Kingdom", 22, "^GB[0-9]{2}[A-Z]{4}[0-9]{14}$"},
    {nullptr, nullptr, 0, nullptr},
};

constexpr std::size_t format_count = std::size(iban_formats) - 1;
static_assert(format_count == 37);

// ---- Patterns as position classes ------------------------------------------------------
//
// Every country pattern is an anchored run of literal capitals and bracket classes with
// fixed repeat counts, so it is equivalent to one allowed class per position. The table
// below is derived from the pattern strings themselves when the library is compiled; a
// pattern outside that shape stops the build. Matching is a few mask tests per eight
// positions instead of a pass through the C library's matcher.

constexpr std::size_t longest_iban = 34; // ISO 13616

enum : uint8_t { CLASS_DIGIT = 1, CLASS_UPPER = 2 };

// at[i] is a class mask (below 'A') or the literal capital the position requires.
struct pattern_shape {
    uint8_t length = 0;
    std::array<uint8_t, longest_iban> at{};
};

constexpr uint8_t bracket_range(char lo, char hi) {
    if (lo == '0' && hi == '9') return CLASS_DIGIT;
    if (lo == 'A' && hi == 'Z') return CLASS_UPPER;
    throw "unsupported range in an IBAN pattern";
}

constexpr pattern_shape shape_of(std::string_view p) {
    pattern_shape s;
    if (p.size() < 2 || p.front() != '^' || p.back() != '$') throw "IBAN pattern not anchored";
    std::size_t i = 1;
    const std::size_t end = p.size() - 1;
    while (i < end) {
        uint8_t item = 0;
        if (p[i] == '[') {
            for (++i; i < end && p[i] != ']'; i += 3) {
                if (i + 2 >= end || p[i + 1] != '-') throw "unsupported bracket in an IBAN pattern";
                item |= bracket_range(p[i], p[i + 2]);
            }
            if (i >= end) throw "unclosed bracket in an IBAN pattern";
            ++i;
        } else if (p[i] >= 'A' && p[i] <= 'Z') {
            item = static_cast<uint8_t>(p[i++]);
        } else {
            throw "unsupported element in an IBAN pattern";
        }
        unsigned count = 1;
        if (i < end && p[i] == '{') {
            count = 0;
            for (++i; i < end && p[i] != '}'; ++i) {
                if (p[i] < '0' || p[i] > '9') throw "unsupported repeat in an IBAN pattern";
                count = count * 10 + static_cast<unsigned>(p[i] - '0');
            }
            if (i >= end || count == 0) throw "unsupported repeat in an IBAN pattern";
            ++i;
        }
        for (; count > 0; --count) {
            if (s.length == longest_iban) throw "IBAN pattern too long";
            s.at[s.length++] = item;
        }
    }
    return s;
}

constexpr auto shapes = [] {
    std::array<pattern_shape, format_count> all{};
    for (std::size_t row = 0; row < format_count; ++row) {
        all[row] = shape_of(iban_formats[row].pattern);
        if (all[row].length != iban_formats[row].length) throw "IBAN pattern and length disagree";
        // The check-digit range test reads positions 3 and 4 as digits.
        if (all[row].at[2] != CLASS_DIGIT || all[row].at[3] != CLASS_DIGIT) throw "IBAN check digits not numeric";
    }
    return all;
}();

// The same test eight positions at a time: per 8-byte word of a shape, a mark (0x80) in
// every byte whose position wants a digit only, a capital only, either, or the literal
// capital held in `literal`.
constexpr std::size_t shape_words = (longest_iban + 7) / 8;

struct word_masks {
    std::array<uint64_t, shape_words> digit{}, upper{}, either{}, literal_at{}, literal{};
};

constexpr auto masks = [] {
    std::array<word_masks, format_count> all{};
    for (std::size_t row = 0; row < format_count; ++row)
        for (std::size_t i = 0; i < shapes[row].length; ++i) {
            const uint8_t want = shapes[row].at[i];
            const std::size_t word = i / 8;
            const uint64_t mark = uint64_t{0x80} << (8 * (i % 8));
            if (want >= 'A') {
                all[row].literal_at[word] |= uint64_t{0xFF} << (8 * (i % 8));
                all[row].literal[word] |= uint64_t{want} << (8 * (i % 8));
            } else if (want == CLASS_DIGIT) {
                all[row].digit[word] |= mark;
            } else if (want == CLASS_UPPER) {
                all[row].upper[word] |= mark;
            } else {
                all[row].either[word] |= mark;
            }
        }
    return all;
}();

constexpr uint64_t every_byte(uint8_t b) { return 0x0101010101010101ULL * b; }

// 0x80 in each byte of x (all bytes below 0x80) that lies in [lo, hi]; no byte carries
// into the next, as every sum stays below 0x100.
constexpr uint64_t bytes_in_range(uint64_t x, uint8_t lo, uint8_t hi) {
    return (x + every_byte(0x80 - lo)) & ~(x + every_byte(0x7F - hi)) & every_byte(0x80);
}

// length is the shape's length, and iban has that many characters.
bool matches(std::size_t row, const char *iban, std::size_t length) {
    std::array<uint64_t, shape_words> words{};
    memcpy(words.data(), iban, length);
    const word_masks &m = masks[row];
    uint64_t wrong = 0;
    for (std::size_t w = 0; w < shape_words; ++w) {
        const uint64_t x = words[w];
        const uint64_t digit = bytes_in_range(x, '0', '9');
        const uint64_t upper = bytes_in_range(x, 'A', 'Z');
        wrong |= (x & every_byte(0x80)) | (m.digit[w] & ~digit) | (m.upper[w] & ~upper) |
                 (m.either[w] & ~(digit | upper)) | ((x & m.literal_at[w]) ^ m.literal[w]);
    }
    return wrong == 0;
}

// ---- Country codes ---------------------------------------------------------------------

constexpr int letter_index(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    return -1;
}

// Row + 1 for each pair of letters, 0 for none; the first row of a code wins.
constexpr auto country_rows = [] {
    std::array<uint8_t, 26 * 26> t{};
    for (std::size_t row = 0; row < format_count; ++row) {
        const int slot = letter_index(iban_formats[row].country[0]) * 26 + letter_index(iban_formats[row].country[1]);
        if (t[slot] == 0) t[slot] = static_cast<uint8_t>(row + 1);
    }
    return t;
}();

// Comparison without regard to case, as the country code may arrive in either.
int format_row(const char *iban) {
    const int first = letter_index(static_cast<unsigned char>(iban[0]));
    if (first < 0) return -1;
    const int second = letter_index(static_cast<unsigned char>(iban[1]));
    if (second < 0) return -1;
    return country_rows[first * 26 + second] - 1;
}

constexpr int german_row = [] {
    for (std::size_t row = 0; row < format_count; ++row)
        if (std::string_view(iban_formats[row].country) == "DE") return static_cast<int>(row);
    throw "no German row";
}();

// ---- Check digits ----------------------------------------------------------------------

constexpr uint8_t not_alphanumeric = 0xFF;

constexpr auto char_value = [] {
    std::array<uint8_t, 256> t{};
    t.fill(not_alphanumeric);
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<uint8_t>(c - '0');
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<uint8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<uint8_t>(c - 'a' + 10);
    return t;
}();

} // namespace

namespace {

// 0x80 in each byte of x that is an ASCII digit.
constexpr uint64_t digit_bytes(uint64_t x) {
    const uint64_t high = x & every_byte(0x80);
    return bytes_in_range(x & ~every_byte(0x80), '0', '9') & ~high;
}

// The value of eight ASCII digits, the first in the lowest byte.
constexpr uint64_t eight_digits(uint64_t x) {
    x -= every_byte('0');
    x = (x * 10 + (x >> 8)) & 0x00FF00FF00FF00FFULL;
    x = (x * 100 + (x >> 16)) & 0x0000FFFF0000FFFFULL;
    return (x * 10000 + (x >> 32)) & 0xFFFFFFFFULL;
}

} // namespace

// Runs of eight digits are read as one number, and a word that is no such run is read
// one character at a time up to its first non-digit, as is a tail shorter than a word;
// the remainder is taken only when the running value could overflow, which gives the
// same result as reducing after every character.
int iban_mod97(const char *iban, std::size_t length) {
    uint64_t v = 0;
    auto feed = [&v](char ch) {
        const uint8_t n = char_value[static_cast<uint8_t>(ch)];
        if (n == not_alphanumeric) return false;
        v = n < 10 ? v * 10 + n : v * 100 + n;
        if (v >= 10'000'000'000'000'000ULL) v %= 97;
        return true;
    };
    std::size_t i = 4;
    while (i < length) {
        std::size_t stop = length;
        if (length - i >= 8) {
            uint64_t x;
            memcpy(&x, iban + i, 8);
            const uint64_t others = ~digit_bytes(x) & every_byte(0x80);
            if (others == 0) {
                v = (v % 97) * 100'000'000 + eight_digits(x);
                i += 8;
                continue;
            }
            stop = i + static_cast<std::size_t>(std::countr_zero(others)) / 8 + 1;
        }
        for (; i < stop; ++i)
            if (!feed(iban[i])) return -1;
    }
    // The moved four are a country code and check digits in every IBAN worth the work:
    // six decimal digits at once.
    const uint8_t c0 = char_value[static_cast<uint8_t>(iban[0])], c1 = char_value[static_cast<uint8_t>(iban[1])];
    const uint8_t d0 = char_value[static_cast<uint8_t>(iban[2])], d1 = char_value[static_cast<uint8_t>(iban[3])];
    if (c0 >= 10 && c0 != not_alphanumeric && c1 >= 10 && c1 != not_alphanumeric && d0 < 10 && d1 < 10)
        return static_cast<int>(((v % 97) * 1'000'000 + c0 * 10'000u + c1 * 100u + d0 * 10u + d1) % 97);
    for (std::size_t k = 0; k < 4; ++k)
        if (!feed(iban[k])) return -1;
    return static_cast<int>(v % 97);
}

namespace {

// ISO 13616 issues check digits 02 to 98 only; 00, 01 and 99 are aliases of 97, 98 and
// 02 that MOD 97-10 alone would let through.
bool check_digits_bytes_in_range(const char *iban) {
    const int digits = (iban[2] - '0') * 10 + (iban[3] - '0');
    return digits >= 2 && digits <= 98;
}

// ---- Compiled patterns -----------------------------------------------------------------
//
// The check matches by the position table above. The compiled forms are the C library's
// reading of the same patterns (iban_regex_match, by which the tests hold the table to
// it). The first check still compiles them, so that a process without the C library's
// matcher is told so by every check and tarvo_cleanup has them to release; after that
// a check pays one atomic load for them.

LazyInit regex_initialized;
std::array<regex_t, format_count> compiled_patterns; // row by row with iban_formats

void release_iban_patterns() {
    regex_initialized.reset([] {
        for (auto &preg : compiled_patterns) libc_regfree(&preg);
    });
}

bool compile_iban_patterns() {
    if (!regex_functions_bound()) return false;
    for (std::size_t row = 0; row < format_count; ++row) {
        if (libc_regcomp(&compiled_patterns[row], iban_formats[row].pattern, REG_EXTENDED) != 0) {
            // The next check compiles all rows again; keep nothing half built.
            while (row > 0) libc_regfree(&compiled_patterns[--row]);
            return false;
        }
    }
    on_cleanup(release_iban_patterns);
    return true;
}

int fail(const char **message, const char *text) {
    if (message != nullptr) *message = text;
    return 0;
}

// bank, when given, receives the bank's record; without it only the method is looked up,
// which saves copying the record out.
int check_german(const char *iban, const char **message, bank_record *bank) {
    char bankcode[9];
    char account[11];
    memcpy(bankcode, iban + 4, 8);
    bankcode[8] = '\0';
    memcpy(account, iban + 12, 10);
    account[10] = '\0';
    const int method = bank == nullptr                           ? german_method(bankcode)
                       : lookup_bank("DE", bankcode, bank) == 1 ? bank->method
                                                                : -1;
    if (method < 0) return fail(message, "Invalid bank ID (BLZ) in IBAN");
    // The shape test has seen to it that both are digits.
    if (check_normalised(account, bankcode, method) == -1)
        return fail(message, "Invalid account number in IBAN");
    return 1;
}

} // namespace

int iban_check(const char *iban, const char **message, bank_record *bank) {
    if (iban == nullptr) return fail(message, "Invalid IBAN (NULL)");
    if (!regex_initialized.ensure(compile_iban_patterns))
        return fail(message, "Error while initializing regular expressions");
    const int row = format_row(iban);
    if (row < 0) return fail(message, "Invalid or unknown IBAN country code");
    const std::size_t length = strnlen(iban, longest_iban + 1);
    if (length != iban_formats[row].length) return fail(message, "Wrong IBAN length");
    if (!matches(static_cast<std::size_t>(row), iban, length)) return fail(message, "Invalid IBAN format");
    const int remainder = iban_mod97(iban, length);
    if (remainder < 0) return fail(message, "Invalid character in IBAN");
    if (remainder != 1 || !check_digits_bytes_in_range(iban)) return fail(message, "Invalid IBAN checksum");
    if (row != german_row) return 1;
    return check_german(iban, message, bank);
}

// The country's compiled pattern applied to iban: 1 match, 0 no match, -1 when the
// patterns are not compiled or no row fits. Lets tests hold the position table to the
// C library's own reading of the same pattern.
int iban_regex_match(const char *iban) {
    if (iban == nullptr || !regex_initialized.ready()) return -1;
    const int row = format_row(iban);
    if (row < 0) return -1;
    return libc_regexec(&compiled_patterns[row], iban, 0, nullptr, 0) == 0 ? 1 : 0;
}

} // namespace tarvo

extern "C" int tarvo_iban_check(const char *iban) {
    return tarvo::iban_check(iban, nullptr) == 1 ? 1 : -1;
}
