// Check methods 00 to 99 that are a weighted sum and a rule, or a short chain of them.
// The methods with tables or rebuilt numbers are in methods_00_99_special.cpp.
#include "account/account.h"

using namespace tarvo;

namespace {

// Remainder in 0..divisor-1, also for the sum of method 17, which may be -1.
constexpr int mod(int s, int divisor) { return ((s % divisor) + divisor) % divisor; }

constexpr Weights w_2to7 = from_d9({2, 3, 4, 5, 6, 7});
constexpr Weights w_2to6 = from_d9({2, 3, 4, 5, 6});
constexpr Weights w_212121 = from_d9({2, 1, 2, 1, 2, 1});
constexpr Weights w_21212 = from_d9({2, 1, 2, 1, 2});
constexpr Weights w_2121212_d7 = leftward(7, {2, 1, 2, 1, 2, 1, 2});

// Methods 61 and 65: a marker digit in d9 pulls d9 and d10 into the sum.
int check_61_65(const char *a, int marker) {
    Weights w = w_2121212_d7;
    if (digit(a, 9) == marker) w = w + leftward(10, {2, 1});
    return check(a, folded(w, Rule::M10, 8));
}

} // namespace

// ---- One sum, one rule ------------------------------------------------------------

int account_rule_00(const char *a) { return check(a, folded(weights_00)); }
int account_rule_01(const char *a) { return check(a, plain(from_d9({3, 7, 1, 3, 7, 1, 3, 7, 1}), Rule::M10)); }
int account_rule_02(const char *a) { return check(a, plain(weights_02, Rule::M11X)); }
int account_rule_03(const char *a) { return check(a, plain(weights_00, Rule::M10)); }
int account_rule_04(const char *a) { return check(a, plain(weights_06, Rule::M11X)); }
int account_rule_05(const char *a) { return check(a, plain(from_d9({7, 3, 1, 7, 3, 1, 7, 3, 1}), Rule::M10)); }
int account_rule_06(const char *a) { return check(a, plain(weights_06, Rule::M11)); }
int account_rule_07(const char *a) { return check(a, plain(weights_10, Rule::M11X)); }
int account_rule_10(const char *a) { return check(a, plain(weights_10, Rule::M11)); }
int account_rule_14(const char *a) { return check(a, plain(w_2to7, Rule::M11X)); }
int account_rule_15(const char *a) { return check(a, plain(from_d9({2, 3, 4, 5}), Rule::M11)); }
int account_rule_18(const char *a) { return check(a, plain(from_d9({3, 9, 7, 1, 3, 9, 7, 1, 3}), Rule::M10)); }
int account_rule_19(const char *a) { return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 8, 9, 1}), Rule::M11)); }
int account_rule_20(const char *a) { return check(a, plain(weights_20, Rule::M11)); }
int account_rule_22(const char *a) {
    return check(a, {from_d9({3, 1, 3, 1, 3, 1, 3, 1, 3}), Sum::Units, Rule::M10});
}
int account_rule_28(const char *a) { return check(a, plain(leftward(7, {2, 3, 4, 5, 6, 7, 8}), Rule::M11, 8)); }
int account_rule_30(const char *a) { return check(a, plain(from_d9({2, 1, 2, 1, 0, 0, 0, 0, 2}), Rule::M10)); }
int account_rule_31(const char *a) { return check(a, plain(rightward(1, {1, 2, 3, 4, 5, 6, 7, 8, 9}), Rule::M11R)); }
int account_rule_32(const char *a) { return check(a, plain(w_2to7, Rule::M11)); }
int account_rule_33(const char *a) { return check(a, plain(w_2to6, Rule::M11)); }
int account_rule_34(const char *a) { return check(a, plain(leftward(7, {2, 4, 8, 5, 10, 9, 7}), Rule::M11, 8)); }
int account_rule_38(const char *a) { return check(a, plain(from_d9({2, 4, 8, 5, 10, 9}), Rule::M11)); }
int account_rule_40(const char *a) { return check(a, plain(from_d9({2, 4, 8, 5, 10, 9, 7, 3, 6}), Rule::M11)); }
int account_rule_42(const char *a) { return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 8, 9}), Rule::M11)); }
int account_rule_43(const char *a) { return check(a, plain(rightward(1, {9, 8, 7, 6, 5, 4, 3, 2, 1}), Rule::M10)); }
int account_rule_44(const char *a) { return check(a, plain(from_d9({2, 4, 8, 5, 10}), Rule::M11)); }
int account_rule_46(const char *a) { return check(a, plain(leftward(7, {2, 3, 4, 5, 6}), Rule::M11, 8)); }
int account_rule_47(const char *a) { return check(a, plain(leftward(8, {2, 3, 4, 5, 6}), Rule::M11, 9)); }
int account_rule_48(const char *a) { return check(a, plain(leftward(8, {2, 3, 4, 5, 6, 7}), Rule::M11, 9)); }
int account_rule_55(const char *a) { return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 8, 7, 8}), Rule::M11)); }
int account_rule_58(const char *a) { return check(a, plain(w_2to6, Rule::M11X)); }
int account_rule_60(const char *a) { return check(a, folded(from_d9({2, 1, 2, 1, 2, 1, 2}))); }
int account_rule_64(const char *a) { return check(a, plain(leftward(6, {2, 4, 8, 5, 10, 9}), Rule::M11, 7)); }
int account_rule_67(const char *a) { return check(a, folded(w_2121212_d7, Rule::M10, 8)); }
int account_rule_92(const char *a) { return check(a, plain(from_d9({3, 7, 1, 3, 7, 1}), Rule::M10)); }
int account_rule_94(const char *a) { return check(a, folded(from_d9({1, 2, 1, 2, 1, 2, 1, 2, 1}))); }

// ---- Rules of their own -----------------------------------------------------------

int account_rule_11(const char *a) {
    int r = weighted_sum(a, weights_10, Sum::Plain) % 11;
    int p = r == 0 ? 0 : r == 1 ? 9 : 11 - r;
    return verdict(digit(a, 10) == p);
}

int account_rule_16(const char *a) {
    int r = weighted_sum(a, weights_06, Sum::Plain) % 11;
    if (r == 1) return verdict(digit(a, 9) == digit(a, 10) || digit(a, 10) == 0);
    return verdict(digit(a, 10) == (r == 0 ? 0 : 11 - r));
}

int account_rule_17(const char *a) {
    int s = weighted_sum(a, rightward(2, {1, 2, 1, 2, 1, 2}), Sum::Folded) - 1;
    return verdict(digit(a, 8) == (10 - mod(s, 11)) % 10);
}

int account_rule_21(const char *a) {
    int q = weighted_sum(a, weights_00, Sum::Folded);
    while (q > 9) q = q / 10 + q % 10;
    return verdict(digit(a, 10) == 10 - q);
}

int account_rule_23(const char *a) {
    int r = weighted_sum(a, rightward(1, {7, 6, 5, 4, 3, 2}), Sum::Plain) % 11;
    if (r == 1) return verdict(digit(a, 6) == digit(a, 7));
    return verdict(digit(a, 7) == (r == 0 ? 0 : 11 - r));
}

int account_rule_25(const char *a) {
    int p = (11 - weighted_sum(a, rightward(2, {9, 8, 7, 6, 5, 4, 3, 2}), Sum::Plain) % 11) % 11;
    // Remainder 1 leaves check digit 0, admissible only for the working digits 8 and 9.
    if (p == 10) return verdict(digit(a, 10) == 0 && (digit(a, 2) == 8 || digit(a, 2) == 9));
    return verdict(digit(a, 10) == p);
}

// P = 11 - r; the two values without a digit, 10 and 11, become 7 and 8 for ten-digit
// accounts beginning with 9 and make every other account invalid.
int account_rule_56(const char *a) {
    int p = 11 - weighted_sum(a, weights_06, Sum::Plain) % 11;
    if (p >= 10 && digit(a, 1) != 9) return -1;
    return verdict(digit(a, 10) == (p >= 10 ? p - 3 : p));
}

int account_rule_66(const char *a) {
    if (digit(a, 1) != 0) return -1;
    if (digit(a, 2) == 9) return 0;
    int r = weighted_sum(a, w_2to6 + leftward(2, {7}), Sum::Plain) % 11;
    int p = r == 0 ? 1 : r == 1 ? 0 : 11 - r;
    return verdict(digit(a, 10) == p);
}

int account_rule_71(const char *a) {
    int r = weighted_sum(a, leftward(7, {1, 2, 3, 4, 5, 6}), Sum::Plain) % 11;
    return verdict(digit(a, 10) == (r <= 1 ? r : 11 - r));
}

int account_rule_88(const char *a) {
    Weights w = w_2to7;
    if (digit(a, 3) == 9) w = w + leftward(3, {8});
    return check(a, plain(w, Rule::M11));
}

// ---- Conditions and variants ------------------------------------------------------

int account_rule_08(const char *a) { return value(a) < 60000 ? 0 : account_rule_00(a); }
int account_rule_09(const char *) { return 0; }

int account_rule_13(const char *a) {
    if (check(a, folded(leftward(7, {2, 1, 2, 1, 2, 1}), Rule::M10, 8)) > 0) return 1;
    if (digit(a, 1) != 0 || digit(a, 2) != 0) return -1;
    return check(a, folded(w_212121));
}

// Accounts with two leading zeros carry their check digit in d10, all others in d8.
int account_rule_26(const char *a) {
    if (starts_with(a, "00")) return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 2}), Rule::M11));
    return check(a, plain(leftward(7, {2, 3, 4, 5, 6, 7, 2}), Rule::M11, 8));
}

int account_rule_41(const char *a) {
    return digit(a, 4) == 9 ? check(a, folded(w_212121)) : account_rule_00(a);
}

int account_rule_45(const char *a) {
    if (digit(a, 1) == 0 || digit(a, 5) == 1 || starts_with(a, "48")) return 0;
    return account_rule_00(a);
}

int account_rule_49(const char *a) { return variants(a, account_rule_00, account_rule_01); }

int account_rule_50(const char *a) {
    if (check(a, plain(leftward(6, {2, 3, 4, 5, 6, 7}), Rule::M11, 7)) > 0) return 1;
    if (!starts_with(a, "000")) return -1;
    return check(a, plain(w_2to7, Rule::M11));
}

int account_rule_51(const char *a) {
    if (digit(a, 3) == 9) return account_algo_51ex(a);
    return variants(a, plain(w_2to7, Rule::M11), plain(w_2to6, Rule::M11), folded(w_212121),
                    plain(w_2to6, Rule::M7));
}

int account_rule_59(const char *a) { return starts_with(a, "00") ? 0 : account_rule_00(a); }
int account_rule_61(const char *a) { return check_61_65(a, 8); }
int account_rule_65(const char *a) { return check_61_65(a, 9); }

int account_rule_63(const char *a) {
    if (digit(a, 1) != 0) return -1;
    if (check(a, folded(leftward(7, {2, 1, 2, 1, 2, 1}), Rule::M10, 8)) > 0) return 1;
    if (digit(a, 2) != 0 || digit(a, 3) != 0) return -1;
    return check(a, folded(w_212121));
}

int account_rule_68(const char *a) {
    if (digit(a, 1) != 0) return digit(a, 4) == 9 ? check(a, folded(w_212121)) : -1;
    if (digit(a, 2) == 4) return 0;
    if (starts_with(a, "00000")) return -1;
    return variants(a, folded(from_d9({2, 1, 2, 1, 2, 1, 2, 1})),
                    folded(w_21212 + leftward(2, {1})));
}

int account_rule_73(const char *a) {
    if (digit(a, 3) == 9) return account_algo_51ex(a);
    return variants(a, folded(w_212121), folded(w_21212), folded(w_21212, Rule::M7));
}

int account_rule_74(const char *a) {
    if (account_rule_00(a) > 0) return 1;
    if (starts_with(a, "0000") && digit(a, 5) != 0) {
        int s = weighted_sum(a, w_21212, Sum::Folded);
        if (digit(a, 10) == (15 - s % 10) % 10) return 1;
    }
    return account_rule_04(a);
}

// Ten-digit accounts are read like the eight- and nine-digit ones: d6..d2, check d7.
int account_rule_75(const char *a) {
    if (starts_with(a, "000")) return check(a, folded(w_21212));
    if (starts_with(a, "09")) return check(a, folded(leftward(7, {2, 1, 2, 1, 2}), Rule::M10, 8));
    return check(a, folded(leftward(6, {2, 1, 2, 1, 2}), Rule::M10, 7));
}

int account_rule_78(const char *a) {
    return starts_with(a, "00") && digit(a, 3) != 0 ? 0 : account_rule_00(a);
}

int account_rule_81(const char *a) {
    return digit(a, 3) == 9 ? account_algo_51ex(a) : account_rule_32(a);
}

int account_rule_84(const char *a) {
    if (digit(a, 3) == 9) return account_algo_51ex(a);
    return variants(a, plain(w_2to6, Rule::M11), plain(w_2to6, Rule::M7), plain(w_21212, Rule::M10));
}

int account_rule_85(const char *a) {
    if (digit(a, 3) == 9 && digit(a, 4) == 9)
        return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 8}), Rule::M11X));
    if (variants(a, plain(w_2to7, Rule::M11), plain(w_2to6, Rule::M11)) > 0) return 1;
    return digit(a, 10) >= 7 ? -1 : check(a, plain(w_2to6, Rule::M7));
}

int account_rule_90(const char *a) {
    if (digit(a, 3) == 9) return check(a, plain(from_d9({2, 3, 4, 5, 6, 7, 8}), Rule::M11));
    return variants(a, plain(w_2to7, Rule::M11), plain(w_2to6, Rule::M11), plain(w_2to6, Rule::M7),
                    plain(w_2to6, Rule::M9), plain(w_21212, Rule::M10),
                    plain(w_212121, Rule::M7));
}

int account_rule_91(const char *a) {
    return variants(a, plain(leftward(6, {2, 3, 4, 5, 6, 7}), Rule::M11, 7),
                    plain(leftward(6, {7, 6, 5, 4, 3, 2}), Rule::M11, 7),
                    plain(leftward(10, {2, 3, 4, 0, 5, 6, 7, 8, 9, 10}), Rule::M11, 7),
                    plain(leftward(6, {2, 4, 8, 5, 10, 9}), Rule::M11, 7));
}

int account_rule_93(const char *a) {
    const int pos = starts_with(a, "0000") ? 10 : 6;
    const Weights w = leftward(pos - 1, {2, 3, 4, 5, 6});
    return variants(a, plain(w, Rule::M11, pos), plain(w, Rule::M7, pos));
}

int account_rule_95(const char *a) {
    uint64_t v = value(a);
    if (in_range(v, 1, 1999999) || in_range(v, 9000000, 25999999) ||
        in_range(v, 396000000, 499999999) || in_range(v, 700000000, 799999999) ||
        in_range(v, 910000000, 989999999))
        return 1;
    return account_rule_06(a);
}

int account_rule_96(const char *a) {
    if (variants(a, account_rule_19, account_rule_00) > 0) return 1;
    return in_range(value(a), 1300000, 99399999) ? 0 : -1;
}

int account_rule_98(const char *a) {
    return variants(a, plain(from_d9({3, 1, 7, 3, 1, 7, 3}), Rule::M10), account_rule_32);
}

int account_rule_99(const char *a) {
    return in_range(value(a), 396000000, 499999999) ? 0 : account_rule_06(a);
}
