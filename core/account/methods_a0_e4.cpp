// The lettered check methods A1..E4. Most of them chain numbered methods as variants;
// the rest are one weighted sum with a rule of their own.
#include <string.h>

#include "account/account.h"

using namespace tarvo;

namespace {

constexpr int match(const char *a, int pos, int expected) {
    return verdict(expected >= 0 && digit(a, pos) == expected);
}

// ---- Number ranges ------------------------------------------------------------------

// A range of account values and what decides for it: a method, or a fixed result when
// `rule` is null.
struct Range {
    uint64_t lo, hi;
    account_rule_fn rule;
    int result;
};

template <size_t N>
int by_range(const char *a, const Range (&table)[N], int otherwise) {
    const uint64_t v = value(a);
    for (const Range &r : table)
        if (in_range(v, r.lo, r.hi)) return r.rule ? r.rule(a) : r.result;
    return otherwise;
}

// ---- Sixteen-digit numbers with a bank prefix ----------------------------------------

// d1 selects a seven-digit prefix that replaces it; null marks a d1 that no account of
// the method may carry.
using PrefixTable = const char *const[10];

constexpr PrefixTable prefixes_C6 = {"4451970", "4451981", "4451992", "4451993", "4344992",
                                     "4344990", "4344991", "5499570", "4451994", "5499579"};
constexpr PrefixTable prefixes_D1 = {"4363380", "4363381", "4363382", "4363383", "4363384",
                                     "4363385", "4363386", "4363387", nullptr,   "4363389"};
constexpr PrefixTable prefixes_E2 = {"4383200", "4383201", "4383202", "4383203", "4383204",
                                     "4383205", nullptr,   nullptr,   nullptr,   nullptr};

// prefix + d2..d10, folded weights alternating 2, 1 from d9 leftwards through d2 and on
// through the prefix (its seventh digit x 2 ... its first digit x 2); M10 on d10.
int prefixed_check(const char *a, const PrefixTable &table) {
    // d1 indexes the table, so even a direct call with a non-digit must stop here.
    if (!all_digits(a, 1) || !table[digit(a, 1)]) return -1;
    int s = weighted_sum(a, from_d9({2, 1, 2, 1, 2, 1, 2, 1}), Sum::Folded);
    const char *prefix = table[digit(a, 1)];
    for (int i = 0; i < 7; ++i) s += term((prefix[i] - '0') * (i % 2 == 0 ? 2 : 1), Sum::Folded);
    return match(a, 10, expected_digit(Rule::M10, s));
}

// ---- Sums shared by several methods ---------------------------------------------------

constexpr int folded_00(const char *a) { return weighted_sum(a, weights_00, Sum::Folded); }

constexpr Method plain_2_to_7{from_d9({2, 3, 4, 5, 6, 7}), Sum::Plain, Rule::M11};
constexpr Method folded_212121{from_d9({2, 1, 2, 1, 2, 1}), Sum::Folded, Rule::M10};

// The rule of method 17, reused by C1: S - 1, then P = (10 - S mod 11) mod 10 (written
// with s + 10 so that a zero sum still yields a non-negative remainder).
constexpr int expected_17(int s) { return (10 - (s + 10) % 11) % 10; }

// ---- B9 ---------------------------------------------------------------------------

// Eight-digit accounts: each term (digit + 1) x weight is reduced mod 11 on its own.
int b9_remainder_8(const char *a) {
    constexpr Weights w = from_d9({1, 3, 2, 1, 3, 2, 1});
    int r = 0;
    for (int pos = 3; pos <= 9; ++pos) r += (digit(a, pos) + 1) * w.w[pos - 1] % 11;
    return r;
}

// ---- C7 ---------------------------------------------------------------------------

// The first step for accounts with d1 = 0; the shifted reading puts d3..d10 at the front.
int c7_first(const char *a) {
    if (check(a, {leftward(7, {2, 1, 2, 1, 2, 1}), Sum::Folded, Rule::M10, 8}) > 0) return 1;
    if (digit(a, 2) != 0 || digit(a, 3) != 0) return -1;
    if (check(a, folded_212121) > 0) return 1;
    char shifted[11];
    memcpy(shifted, a + 2, 8);
    memcpy(shifted + 8, "00", 3);
    return account_rule_63(shifted);
}

} // namespace

int account_rule_A1(const char *a) {
    // Only ten- and eight-digit account numbers are issued.
    const bool ten = digit(a, 1) != 0;
    const bool eight = digit(a, 1) == 0 && digit(a, 2) == 0 && digit(a, 3) != 0;
    if (!ten && !eight) return -1;
    return check(a, {from_d9({2, 1, 2, 1, 2, 1, 2}), Sum::Folded, Rule::M10});
}

int account_rule_A2(const char *a) { return variants(a, account_rule_00, account_rule_04); }
int account_rule_A3(const char *a) { return variants(a, account_rule_00, account_rule_10); }

int account_rule_A4(const char *a) {
    if (digit(a, 3) == 9 && digit(a, 4) == 9)
        return variants(a, Method{from_d9({2, 3, 4, 5, 6}), Sum::Plain, Rule::M11},
                        account_rule_93);
    return variants(a, plain_2_to_7, Method{plain_2_to_7.weights, Sum::Plain, Rule::M7},
                    account_rule_93);
}

int account_rule_A5(const char *a) {
    if (account_rule_00(a) > 0) return 1;
    return digit(a, 1) == 9 ? -1 : account_rule_10(a);
}

int account_rule_A6(const char *a) {
    return digit(a, 2) == 8 ? account_rule_00(a) : account_rule_01(a);
}

int account_rule_A7(const char *a) { return variants(a, account_rule_00, account_rule_03); }

int account_rule_A8(const char *a) {
    if (digit(a, 3) == 9) return account_algo_51ex(a);
    return variants(a, plain_2_to_7, folded_212121);
}

int account_rule_A9(const char *a) { return variants(a, account_rule_01, account_rule_06); }
int account_rule_B1(const char *a) {
    return variants(a, account_rule_05, account_rule_01, account_rule_00);
}

int account_rule_B2(const char *a) {
    return digit(a, 1) >= 8 ? account_rule_00(a) : account_rule_02(a);
}

int account_rule_B3(const char *a) {
    return digit(a, 1) == 9 ? account_rule_06(a) : account_rule_32(a);
}

int account_rule_B5(const char *a) {
    if (account_rule_05(a) > 0) return 1;
    return digit(a, 1) >= 8 ? -1 : account_rule_00(a);
}

int account_rule_B7(const char *a) {
    static constexpr Range ranges[] = {
        {1000000, 5999999, account_rule_01, 0},
        {700000000, 899999999, account_rule_01, 0},
    };
    return by_range(a, ranges, 0);
}

int account_rule_B8(const char *a) {
    if (variants(a, account_rule_20, account_rule_29) > 0) return 1;
    // Ranges whose accounts carry no check digit of either kind.
    static constexpr Range unchecked[] = {
        {5100000000, 5999999999, nullptr, 0},
        {9010000000, 9109999999, nullptr, 0},
    };
    return by_range(a, unchecked, -1);
}

int account_rule_B9(const char *a) {
    if (digit(a, 1) != 0 || digit(a, 2) != 0) return -1;
    int r;
    if (digit(a, 3) != 0) {
        r = b9_remainder_8(a);
    } else {
        if (digit(a, 4) == 0) return -1;
        r = weighted_sum(a, from_d9({1, 2, 3, 4, 5, 6}), Sum::Plain) % 11;
    }
    const int d10 = digit(a, 10);
    return verdict(d10 == r % 10 || d10 == (r + 5) % 10);
}

int account_rule_C1(const char *a) {
    if (digit(a, 1) != 5) return account_rule_17(a);
    const int s = weighted_sum(a, rightward(1, {1, 2, 1, 2, 1, 2, 1, 2, 1}), Sum::Folded);
    return match(a, 10, expected_17(s));
}

int account_rule_C2(const char *a) {
    return variants(a, account_rule_22, account_rule_00, account_rule_04);
}

int account_rule_C3(const char *a) {
    return digit(a, 1) == 9 ? account_rule_58(a) : account_rule_00(a);
}

int account_rule_C4(const char *a) {
    return digit(a, 1) == 9 ? account_rule_58(a) : account_rule_15(a);
}

int account_rule_C5(const char *a) {
    // The number's length and leading digits tell which method issued it.
    static constexpr Range ranges[] = {
        {100000, 899999, account_rule_75, 0},
        {30000000, 59999999, nullptr, 0},
        {100000000, 899999999, account_rule_75, 0},
        {1000000000, 1999999999, account_rule_29, 0},
        {3000000000, 3999999999, account_rule_00, 0},
        {4000000000, 6999999999, account_rule_29, 0},
        {7000000000, 7099999999, nullptr, 0},
        {8500000000, 8599999999, nullptr, 0},
        {9000000000, 9999999999, account_rule_29, 0},
    };
    return by_range(a, ranges, -1);
}

int account_rule_C6(const char *a) { return prefixed_check(a, prefixes_C6); }

int account_rule_C7(const char *a) {
    if (digit(a, 1) == 0 && c7_first(a) > 0) return 1;
    return account_rule_06(a);
}

// The second variant (method 04's weights, remainder 1 passing on) is method 04 itself.
int account_rule_C8(const char *a) {
    return variants(a, account_rule_00, account_rule_04, account_rule_07);
}

int account_rule_C9(const char *a) { return variants(a, account_rule_00, account_rule_07); }

int account_rule_D0(const char *a) {
    return digit(a, 1) == 5 && digit(a, 2) == 7 ? 0 : account_rule_20(a);
}

// The table leaves d1 = 8 without a prefix.
int account_rule_D1(const char *a) { return prefixed_check(a, prefixes_D1); }

int account_rule_D2(const char *a) {
    return variants(a, account_rule_95, account_rule_00, account_rule_68);
}

int account_rule_D3(const char *a) { return variants(a, account_rule_00, account_rule_27); }

int account_rule_D4(const char *a) {
    if (digit(a, 1) == 0) return -1;
    return match(a, 10, expected_digit(Rule::M10, folded_00(a) + 29));
}

int account_rule_D5(const char *a) {
    if (digit(a, 3) == 9 && digit(a, 4) == 9)
        return check(a, {from_d9({2, 3, 4, 5, 6, 7, 8}), Sum::Plain, Rule::M11});
    return variants(a, plain_2_to_7, Method{plain_2_to_7.weights, Sum::Plain, Rule::M7},
                    Method{plain_2_to_7.weights, Sum::Plain, Rule::M10});
}

int account_rule_D6(const char *a) {
    return variants(a, account_rule_07, account_rule_03, account_rule_00);
}

// The units digit of the sum itself is the check digit, not its complement.
int account_rule_D7(const char *a) { return match(a, 10, folded_00(a) % 10); }

int account_rule_D8(const char *a) {
    if (digit(a, 1) != 0) return account_rule_00(a);
    // Eight-digit numbers are accepted unchecked; every other length is not issued.
    return digit(a, 2) == 0 && digit(a, 3) != 0 ? 0 : -1;
}

int account_rule_D9(const char *a) {
    return variants(a, account_rule_00, account_rule_10, account_rule_18);
}

int account_rule_E0(const char *a) {
    return match(a, 10, expected_digit(Rule::M10, folded_00(a) + 7));
}

int account_rule_E1(const char *a) {
    // Weighs the characters' codes, so each of the nine positions adds '0' x weight.
    constexpr Weights w = from_d9({1, 2, 3, 4, 5, 6, 11, 10, 9});
    int s = weighted_sum(a, w, Sum::Plain);
    for (int pos = 1; pos <= 9; ++pos) s += '0' * w.w[pos - 1];
    return match(a, 10, expected_digit(Rule::M11R, s));
}

// Accounts beginning with 6..9 have no prefix.
int account_rule_E2(const char *a) { return prefixed_check(a, prefixes_E2); }

int account_rule_E3(const char *a) { return variants(a, account_rule_00, account_rule_21); }

// The first variant (method 02's weights, remainder 1 passing on) is method 02 itself.
int account_rule_E4(const char *a) { return variants(a, account_rule_02, account_rule_00); }
