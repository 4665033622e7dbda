// Internal interface of the German account check-digit methods.
//
// Every method sees the account as a *normalised account*: ten ASCII decimal digits and a
// NUL, the caller's number right-aligned and padded with '0' (123 -> "0000000123"). The
// frame (check.cpp) guarantees that only digits reach a method, so methods may index
// tables with a digit without further tests.
//
// Positions are counted 1..10 from the left (d1..d10); the check digit is d10 unless a
// method says otherwise. Results: 1 valid, 2 valid in the second reading of method 76,
// 0 not checkable, -1 invalid.
//
// Writing a method: most methods are one weighted sum plus one check-digit rule. State
// them as data and let check() do the arithmetic:
//
//     int account_rule_01(const char *a) {
//         return check(a, plain(from_d9({3, 7, 1, 3, 7, 1, 3, 7, 1}), Rule::M10));
//     }
//
// Methods that try alternatives chain them with variants(): the first variant that
// accepts the account wins, the last one's result is final. A variant is either a Method
// (data) or a method function:
//
//     int account_rule_A2(const char *a) { return variants(a, account_rule_00, account_rule_04); }
//
// Everything here lives in namespace tarvo except the method functions and building
// blocks, which keep their catalogue names.
#ifndef TARVO_ACCOUNT_H
#define TARVO_ACCOUNT_H

#include <stdint.h>

#include <array>
#include <initializer_list>

#include "tarvo.h"

// ---- The method catalogue ---------------------------------------------------------

// Every code with an entry in the dispatch table. X(code) is expanded once per code;
// the codes 52, 53, B6 and C0 need the bank code and are dispatched by
// tarvo_account_check2 instead.
#define TARVO_NUMBERED_METHODS(X)                                                            \
    X(00) X(01) X(02) X(03) X(04) X(05) X(06) X(07) X(08) X(09)                              \
    X(10) X(11) X(13) X(14) X(15) X(16) X(17) X(18) X(19)                                    \
    X(20) X(21) X(22) X(23) X(24) X(25) X(26) X(27) X(28) X(29)                              \
    X(30) X(31) X(32) X(33) X(34) X(38)                                                      \
    X(40) X(41) X(42) X(43) X(44) X(45) X(46) X(47) X(48) X(49)                              \
    X(50) X(51) X(55) X(56) X(57) X(58) X(59)                                                \
    X(60) X(61) X(63) X(64) X(65) X(66) X(67) X(68)                                          \
    X(71) X(73) X(74) X(75) X(76) X(78)                                                      \
    X(81) X(84) X(85) X(87) X(88)                                                            \
    X(90) X(91) X(92) X(93) X(94) X(95) X(96) X(98) X(99)

#define TARVO_LETTERED_METHODS(X)                                                            \
    X(A1) X(A2) X(A3) X(A4) X(A5) X(A6) X(A7) X(A8) X(A9)                                    \
    X(B1) X(B2) X(B3) X(B5) X(B7) X(B8) X(B9)                                                \
    X(C1) X(C2) X(C3) X(C4) X(C5) X(C6) X(C7) X(C8) X(C9)                                    \
    X(D0) X(D1) X(D2) X(D3) X(D4) X(D5) X(D6) X(D7) X(D8) X(D9)                              \
    X(E0) X(E1) X(E2) X(E3) X(E4)

// A method function: normalised account in, result out.
using account_rule_fn = int (*)(const char *acct);

#define TARVO_DECLARE_ACCOUNT_RULE(code) int account_rule_##code(const char *acct);
TARVO_NUMBERED_METHODS(TARVO_DECLARE_ACCOUNT_RULE)
TARVO_LETTERED_METHODS(TARVO_DECLARE_ACCOUNT_RULE)
#undef TARVO_DECLARE_ACCOUNT_RULE

// The methods that also read the bank code (8 digits, NUL-terminated).
int account_bank_rule_52(const char *acct, const char *bankid);
int account_bank_rule_53(const char *acct, const char *bankid);

// Indexed by the method-code byte (0xA1 is method A1); empty entries are null.
extern const std::array<account_rule_fn, 256> rules;

// ---- Building blocks shared by many methods (all return 1 or -1) -------------------

// Folded weighted sum (products of 10 or more count their digit sum); P = 0 for a zero
// remainder, else modulus - remainder. check_index is 0-based (9 names d10); weights are
// given for positions 10 down to 1, the check position's weight being 0.
int account_algo_00(const char *acct, int modulus, int check_index, int w10, int w9, int w8,
                    int w7, int w6, int w5, int w4, int w3, int w2, int w1);
// Plain weighted sum; P = 0 for a zero remainder, else (modulus - remainder) mod 10.
int account_algo_06(const char *acct, int modulus, int check_index, int w10, int w9, int w8,
                    int w7, int w6, int w5, int w4, int w3, int w2, int w1);
// Weights 2..7 on d9..d4 and w3, w2, w1 on d3..d1; rule M11X; check digit d10.
int account_algo_02(const char *acct, int w3, int w2, int w1);
// The check for accounts with 9 in position 3 (methods 51, 73, 81, 84, 87, A8).
int account_algo_51ex(const char *acct);

namespace tarvo {

// ---- Digits and numbers -----------------------------------------------------------

// Digit value at position 1..10.
constexpr int digit(const char *a, int pos) { return a[pos - 1] - '0'; }

// The normalised account read as an unsigned decimal number.
constexpr uint64_t value(const char *a) {
    uint64_t v = 0;
    for (int i = 0; i < 10; ++i) v = v * 10 + static_cast<uint64_t>(a[i] - '0');
    return v;
}

// True when the first n characters are decimal digits. Methods that index tables with a
// digit test it as well, so that a direct call with bad input cannot read out of bounds.
constexpr bool all_digits(const char *s, int n = 10) {
    for (int i = 0; i < n; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// The normalised account of 1 to 10 decimal digits; false for anything else, which no
// method may see (they index tables with digits).
bool normalise_account(const char *account, char (&out)[11]);

// A normalised account checked with a bank's method; bankid (8 digits, NUL-terminated) is
// read by the methods that need it. Results as tarvo_account_check2. For callers that
// hold both already checked, as the IBAN check does.
int check_normalised(const char (&acct)[11], const char *bankid, int method);

constexpr bool in_range(uint64_t v, uint64_t lo, uint64_t hi) { return v >= lo && v <= hi; }

// True when positions 1..n equal the n characters of prefix.
constexpr bool starts_with(const char *a, const char *prefix) {
    for (; *prefix; ++a, ++prefix)
        if (*a != *prefix) return false;
    return true;
}

constexpr int verdict(bool ok) { return ok ? 1 : -1; }

// ---- Weights ------------------------------------------------------------------------

// One weight per position: w[0] belongs to d1, w[9] to d10; unused positions weigh 0.
struct Weights {
    int8_t w[10] = {};
};

// Weights quoted leftwards from a position: the first belongs to position `from`, the
// next to from - 1, and so on (the catalogue's usual order starts at d9).
constexpr Weights leftward(int from, std::initializer_list<int> ws) {
    Weights r;
    int pos = from;
    for (int w : ws) r.w[--pos] = static_cast<int8_t>(w);
    return r;
}
constexpr Weights from_d9(std::initializer_list<int> ws) { return leftward(9, ws); }

// Weights quoted rightwards from a position (d1..d9 "left to right").
constexpr Weights rightward(int from, std::initializer_list<int> ws) {
    Weights r;
    int pos = from - 1;
    for (int w : ws) r.w[pos++] = static_cast<int8_t>(w);
    return r;
}

// Adds weights of another set (for sums that combine two quoted ranges).
constexpr Weights operator+(Weights x, const Weights &y) {
    for (int i = 0; i < 10; ++i) x.w[i] = static_cast<int8_t>(x.w[i] + y.w[i]);
    return x;
}

// Plain: digit x weight. Folded: products of 10 or more count their digit sum.
// Units: only the units digit of each product.
enum class Sum : uint8_t { Plain, Folded, Units };

constexpr int term(int product, Sum kind) {
    switch (kind) {
    case Sum::Folded: return product > 9 ? product / 10 + product % 10 : product;
    case Sum::Units: return product % 10;
    case Sum::Plain: break;
    }
    return product;
}

constexpr int weighted_sum(const char *a, const Weights &w, Sum kind) {
    int s = 0;
    for (int i = 0; i < 10; ++i)
        if (w.w[i]) s += term((a[i] - '0') * w.w[i], kind);
    return s;
}

// ---- Check-digit rules ------------------------------------------------------------

// M10   r = S mod 10; P = 0 if r = 0, else 10 - r
// M11   r = S mod 11; P = 0 if r is 0 or 1, else 11 - r
// M11X  r = S mod 11; P = 0 if r = 0; r = 1 has no valid digit; else 11 - r
// M11R  P = S mod 11; 10 has no valid digit
// M7    r = S mod 7;  P = 0 if r = 0, else 7 - r
// M9    r = S mod 9;  P = 0 if r = 0, else 9 - r
enum class Rule : uint8_t { M10, M11, M11X, M11R, M7, M9 };

// Expected check digit for the sum, or -1 when no digit can be valid.
constexpr int expected_digit(Rule rule, int s) {
    switch (rule) {
    case Rule::M10: return (10 - s % 10) % 10;
    case Rule::M11: { int r = s % 11; return r <= 1 ? 0 : 11 - r; }
    case Rule::M11X: { int r = s % 11; return r == 0 ? 0 : r == 1 ? -1 : 11 - r; }
    case Rule::M11R: { int r = s % 11; return r == 10 ? -1 : r; }
    case Rule::M7: return (7 - s % 7) % 7;
    case Rule::M9: return (9 - s % 9) % 9;
    }
    return -1;
}

// A method in one line: weights, kind of sum, rule, check position (1..10).
struct Method {
    Weights weights;
    Sum sum = Sum::Plain;
    Rule rule = Rule::M10;
    int check_pos = 10;
};

constexpr Method plain(const Weights &w, Rule rule, int check_pos = 10) {
    return {w, Sum::Plain, rule, check_pos};
}
constexpr Method folded(const Weights &w, Rule rule = Rule::M10, int check_pos = 10) {
    return {w, Sum::Folded, rule, check_pos};
}

// 1 when the digit at the check position equals the expected digit, else -1.
constexpr int check(const char *a, const Method &m) {
    int p = expected_digit(m.rule, weighted_sum(a, m.weights, m.sum));
    return verdict(p >= 0 && digit(a, m.check_pos) == p);
}

// ---- Variants ---------------------------------------------------------------------

constexpr int run_variant(const char *a, const Method &m) { return check(a, m); }
inline int run_variant(const char *a, account_rule_fn f) { return f(a); }

// Tries each variant in order: the first positive result is returned, otherwise the
// last variant's result.
template <typename First, typename... Rest>
int variants(const char *a, const First &first, const Rest &...rest) {
    if constexpr (sizeof...(rest) == 0) {
        return run_variant(a, first);
    } else {
        int r = run_variant(a, first);
        return r > 0 ? r : variants(a, rest...);
    }
}

// ---- Method descriptions shared between the two halves of the catalogue ----------

// The weights of methods 00, 02, 04/06, 07/10 (d9 leftwards).
inline constexpr Weights weights_00 = from_d9({2, 1, 2, 1, 2, 1, 2, 1, 2});
inline constexpr Weights weights_02 = from_d9({2, 3, 4, 5, 6, 7, 8, 9, 2});
inline constexpr Weights weights_06 = from_d9({2, 3, 4, 5, 6, 7, 2, 3, 4});
inline constexpr Weights weights_10 = from_d9({2, 3, 4, 5, 6, 7, 8, 9, 10});
inline constexpr Weights weights_20 = from_d9({2, 3, 4, 5, 6, 7, 8, 9, 3});

// The substitution table of methods 27, 29, B8, C5 and D3: row by position, column by
// digit. transform_row[pos - 1] is the row of position pos (d10 unused).
inline constexpr uint8_t transform_table[4][10] = {
    {0, 1, 5, 9, 3, 7, 4, 8, 2, 6},
    {0, 1, 7, 6, 9, 8, 3, 2, 5, 4},
    {0, 1, 8, 4, 6, 2, 9, 5, 7, 3},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
};
inline constexpr uint8_t transform_row[9] = {0, 3, 2, 1, 0, 3, 2, 1, 0};

} // namespace tarvo

#endif
