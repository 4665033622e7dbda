// The lettered check methods: exemptions, variant chains and the prefix tables, checked
// through the public entry point and, where a method must survive bad input on its own,
// directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "account/account.h"
#include "tarvo.h"

namespace {

int check(const std::string &account, int method) {
    return tarvo_account_check(account.c_str(), method);
}

// The ten accounts that share the first nine digits and differ in d10.
std::string with_check(const std::string &first9, int d10) {
    return first9 + static_cast<char>('0' + d10);
}

// How many of the ten possible check digits a method accepts (result 1).
int accepted_digits(const std::string &first9, int method) {
    int n = 0;
    for (int d = 0; d < 10; ++d) n += check(with_check(first9, d), method) == 1;
    return n;
}

// The check digit a method accepts for these nine digits, or -1 when none or several do.
int the_check_digit(const std::string &first9, int method) {
    int found = -1;
    for (int d = 0; d < 10; ++d) {
        if (check(with_check(first9, d), method) != 1) continue;
        if (found >= 0) return -1;
        found = d;
    }
    return found;
}

// Luhn check over a whole digit string: the standard reading of an alternating 2, 1
// folded sum from the right, written independently of the library's weight tables.
bool luhn_valid(const std::string &digits) {
    int sum = 0;
    bool twice = false;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, twice = !twice) {
        int v = (*it - '0') * (twice ? 2 : 1);
        sum += v > 9 ? v - 9 : v;
    }
    return sum % 10 == 0;
}

// A deterministic spread of nine-digit bodies for property checks.
std::string body(unsigned seed) {
    std::string s(9, '0');
    unsigned x = seed * 2654435761u + 12345u;
    for (char &c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>('0' + (x >> 16) % 10);
    }
    return s;
}

TEST(LetteredMethods, EveryCodeDispatchesAndUnassignedLetterCodesGiveZero) {
#define TARVO_EXPECT_FILLED(code) EXPECT_EQ(rules[0x##code], account_rule_##code) << #code;
    TARVO_LETTERED_METHODS(TARVO_EXPECT_FILLED)
#undef TARVO_EXPECT_FILLED
    for (int code : {0xA0, 0xB0, 0xB4, 0xE5, 0xEA, 0xF1})
        for (unsigned i = 0; i < 20; ++i) EXPECT_EQ(check(body(i) + "1", code), 0) << code;
}

TEST(LetteredMethods, ResultsStayWithinTheConvention) {
#define TARVO_EXPECT_RANGE(code)                                                             \
    for (unsigned i = 0; i < 300; ++i) {                                                    \
        int r = check(body(i) + std::to_string(i % 10), 0x##code);                          \
        EXPECT_TRUE(r == 1 || r == 0 || r == -1) << #code << " gave " << r;                 \
    }
    TARVO_LETTERED_METHODS(TARVO_EXPECT_RANGE)
#undef TARVO_EXPECT_RANGE
}

// Methods without exemptions or variants accept exactly one check digit (or none).
TEST(LetteredMethods, SingleRuleMethodsAcceptAtMostOneCheckDigit) {
    for (int code : {0xC6, 0xD1, 0xD4, 0xD7, 0xE0, 0xE1, 0xE2}) {
        for (unsigned i = 0; i < 200; ++i) {
            int n = accepted_digits(body(i), code);
            EXPECT_LE(n, 1) << std::hex << code << " " << body(i);
        }
    }
}

TEST(LetteredMethods, ShortAccountsArePadded) {
    for (int code : {0xA2, 0xB1, 0xC9, 0xD9, 0xE3}) {
        for (unsigned i = 0; i < 50; ++i) {
            std::string full = "000" + body(i).substr(3) + "7";
            EXPECT_EQ(check(full.substr(3), code), check(full, code)) << full;
        }
    }
}

// ---- Exemptions and admissible lengths ----------------------------------------------

TEST(LetteredMethods, A1AcceptsOnlyTenAndEightDigitNumbers) {
    for (int d = 0; d < 10; ++d) {
        EXPECT_EQ(check("01234567" + std::to_string(d) + "0", 0xA1), -1);  // nine digits
        EXPECT_EQ(check(std::string("0001234") + char('0' + d) + "00", 0xA1), -1);  // seven
        EXPECT_EQ(check(std::to_string(d), 0xA1), -1);
    }
    EXPECT_EQ(accepted_digits("123456789", 0xA1), 1);
    EXPECT_EQ(accepted_digits("001234567", 0xA1), 1);
    // d1 and d2 carry no weight: only the check of d3..d9 decides.
    EXPECT_EQ(the_check_digit("123456789", 0xA1), the_check_digit("993456789", 0xA1));
}

TEST(LetteredMethods, B7ChecksOnlyItsRangesWithMethod01) {
    EXPECT_EQ(check("0000999999", 0xB7), 0);
    EXPECT_EQ(check("0006000000", 0xB7), 0);
    EXPECT_EQ(check("0900000000", 0xB7), 0);
    for (const std::string first9 : {"000100000", "000599999", "070000000", "089999999"}) {
        int d = the_check_digit(first9, 0x01);
        ASSERT_GE(d, 0);
        EXPECT_EQ(check(with_check(first9, d), 0xB7), 1) << first9;
        EXPECT_EQ(check(with_check(first9, (d + 1) % 10), 0xB7), -1) << first9;
    }
}

TEST(LetteredMethods, C5RangesChooseTheMethodOrExempt) {
    for (int d = 0; d < 10; ++d) {
        // Ten digits beginning with 2, or with 8 outside 85xxxxxxxx: not issued.
        EXPECT_EQ(check("212345678" + std::to_string(d), 0xC5), -1);
        EXPECT_EQ(check("812345678" + std::to_string(d), 0xC5), -1);
        EXPECT_EQ(check("859999999" + std::to_string(d), 0xC5), 0);
        EXPECT_EQ(check("850000000" + std::to_string(d), 0xC5), 0);
        EXPECT_EQ(check("700000000" + std::to_string(d), 0xC5), 0);
        EXPECT_EQ(check("004500000" + std::to_string(d), 0xC5), 0);  // eight digits 3..5
        EXPECT_EQ(check("000000999" + std::to_string(d), 0xC5), -1);  // too short
        EXPECT_EQ(check("009000000" + std::to_string(d), 0xC5), -1);  // eight digits, 9
    }
    struct Reading {
        std::string head;  // leading digits, completed from a spread of bodies
        int method;
    };
    const Reading readings[] = {
        {"00001", 0x75}, {"00008", 0x75}, {"01", 0x75}, {"08", 0x75}, {"1", 0x29},
        {"3", 0x00},    {"4", 0x29},    {"6", 0x29},  {"9", 0x29},
    };
    for (const Reading &r : readings) {
        for (unsigned i = 0; i < 40; ++i) {
            std::string a = r.head + (body(i) + "7").substr(r.head.size());
            EXPECT_EQ(check(a, 0xC5), check(a, r.method)) << a;
        }
    }
}

TEST(LetteredMethods, D5ReadsNineNineAccountsWithRemainderOneAsZero) {
    // d3 = d4 = 9: weights 2..8 on d9..d3 leave remainder 1 here, which gives check
    // digit 0, and this reading is final.
    EXPECT_EQ(check("0099979900", 0xD5), 1);
    EXPECT_EQ(accepted_digits("009997990", 0xD5), 1);
}

TEST(LetteredMethods, D8ExemptsEightDigitsAndRejectsOtherShortNumbers) {
    EXPECT_EQ(check("0012345678", 0xD8), 0);
    EXPECT_EQ(check("0123456789", 0xD8), -1);
    EXPECT_EQ(check("0001234567", 0xD8), -1);
    EXPECT_EQ(accepted_digits("123456789", 0xD8), 1);
}

TEST(LetteredMethods, D0ExemptsAccountsBeginningWith57) {
    for (int d = 0; d < 10; ++d) EXPECT_EQ(check("571234567" + std::to_string(d), 0xD0), 0);
    EXPECT_EQ(accepted_digits("561234567", 0xD0), 1);
}

TEST(LetteredMethods, B8ExemptsItsRangesOnlyWhenBothVariantsFail) {
    for (const std::string first9 : {"510000000", "599999999", "901000000", "910999999"}) {
        for (int d = 0; d < 10; ++d) {
            std::string a = with_check(first9, d);
            int expected = check(a, 0x20) == 1 || check(a, 0x29) == 1 ? 1 : 0;
            EXPECT_EQ(check(a, 0xB8), expected) << a;
        }
    }
    for (const std::string first9 : {"509999999", "600000000", "911000000"})
        for (int d = 0; d < 10; ++d) {
            std::string a = with_check(first9, d);
            if (check(a, 0x20) != 1 && check(a, 0x29) != 1) {
                EXPECT_EQ(check(a, 0xB8), -1) << a;
            }
        }
}

// ---- Variant chains -----------------------------------------------------------------

// Accounts that the first variant rejects but the second accepts: the chain must reach
// the second variant unless the method's leading digit rule forbids it.
TEST(LetteredMethods, A5AndB5StopBeforeTheSecondVariantForTheirLeadingDigits) {
    struct Case {
        int code, first, second;
        std::vector<int> barred;  // leading digits that end the chain after the first
    };
    for (const Case &c : {Case{0xA5, 0x00, 0x10, {9}}, Case{0xB5, 0x05, 0x00, {8, 9}}}) {
        int seen[10] = {};
        for (unsigned i = 0; i < 3000; ++i) {
            std::string a = with_check(body(i), static_cast<int>(i % 10));
            if (check(a, c.first) == 1 || check(a, c.second) != 1) continue;
            int d1 = a[0] - '0';
            bool barred = std::find(c.barred.begin(), c.barred.end(), d1) != c.barred.end();
            EXPECT_EQ(check(a, c.code), barred ? -1 : 1) << std::hex << c.code << " " << a;
            ++seen[d1];
        }
        for (int d1 : c.barred) EXPECT_GT(seen[d1], 0) << std::hex << c.code << " " << d1;
        EXPECT_GT(seen[1] + seen[2] + seen[3], 0) << std::hex << c.code;
    }
}

// A chain accepts exactly what one of its methods accepts, in any order of success.
TEST(LetteredMethods, PureChainsAcceptTheUnionOfTheirMethods) {
    struct Chain {
        int code;
        std::vector<int> methods;
    };
    const Chain chains[] = {
        {0xA2, {0x00, 0x04}}, {0xA3, {0x00, 0x10}}, {0xA7, {0x00, 0x03}},
        {0xA9, {0x01, 0x06}}, {0xB1, {0x05, 0x01, 0x00}}, {0xC2, {0x22, 0x00, 0x04}},
        {0xC8, {0x00, 0x04, 0x07}}, {0xC9, {0x00, 0x07}}, {0xD2, {0x95, 0x00, 0x68}},
        {0xD3, {0x00, 0x27}}, {0xD6, {0x07, 0x03, 0x00}}, {0xD9, {0x00, 0x10, 0x18}},
        {0xE3, {0x00, 0x21}}, {0xE4, {0x02, 0x00}},
    };
    for (const Chain &c : chains) {
        for (unsigned i = 0; i < 150; ++i) {
            std::string a = with_check(body(i), static_cast<int>(i % 10));
            bool any = false;
            int last = 0;
            for (int m : c.methods) {
                last = check(a, m);
                any = any || last > 0;
            }
            EXPECT_EQ(check(a, c.code), any ? 1 : last) << std::hex << c.code << " " << a;
        }
    }
}

// Remainder 1 of method 04's or 02's weights gives no digit, so C8 and E4 must fall
// through to their next variant instead of expecting 0 or 10.
TEST(LetteredMethods, RemainderOnePassesToTheNextVariant) {
    int seen = 0;
    for (unsigned i = 0; i < 3000 && seen < 10; ++i) {
        std::string first9 = body(i);
        if (accepted_digits(first9, 0x04) != 0) continue;  // remainder 1 for method 04
        for (int d = 0; d < 10; ++d) {
            std::string a = with_check(first9, d);
            bool later = check(a, 0x00) == 1 || check(a, 0x07) == 1;
            EXPECT_EQ(check(a, 0xC8), later ? 1 : -1) << a;
        }
        ++seen;
    }
    EXPECT_GE(seen, 10);
}

TEST(LetteredMethods, SelectorsByLeadingDigit) {
    for (unsigned i = 0; i < 100; ++i) {
        std::string tail = body(i).substr(1) + std::to_string(i % 10);
        std::string b = body(i);
        EXPECT_EQ(check("9" + tail, 0xB2), check("9" + tail, 0x00));
        EXPECT_EQ(check("8" + tail, 0xB2), check("8" + tail, 0x00));
        EXPECT_EQ(check("7" + tail, 0xB2), check("7" + tail, 0x02));
        EXPECT_EQ(check("9" + tail, 0xB3), check("9" + tail, 0x06));
        EXPECT_EQ(check("4" + tail, 0xB3), check("4" + tail, 0x32));
        EXPECT_EQ(check("9" + tail, 0xC3), check("9" + tail, 0x58));
        EXPECT_EQ(check("3" + tail, 0xC3), check("3" + tail, 0x00));
        EXPECT_EQ(check("9" + tail, 0xC4), check("9" + tail, 0x58));
        EXPECT_EQ(check("3" + tail, 0xC4), check("3" + tail, 0x15));
        EXPECT_EQ(check("4" + tail, 0xC1), check("4" + tail, 0x17));
        std::string a8 = b.substr(0, 1) + "8" + b.substr(2) + "3";
        std::string a7 = b.substr(0, 1) + "7" + b.substr(2) + "3";
        EXPECT_EQ(check(a8, 0xA6), check(a8, 0x00)) << a8;
        EXPECT_EQ(check(a7, 0xA6), check(a7, 0x01)) << a7;
        std::string c7 = "1" + tail;
        EXPECT_EQ(check(c7, 0xC7), check(c7, 0x06)) << c7;
    }
}

TEST(LetteredMethods, C7TriesTheMethod63ReadingsBeforeMethod06) {
    // d7 = 1 folds to 2: d8 = 8 passes the first step; method 06 wants 5.
    EXPECT_EQ(check("0000001800", 0x06), -1);
    EXPECT_EQ(check("0000001800", 0xC7), 1);
    // d8 = 0 fails the first step; with d2 = d3 = 0 the d9..d4 reading wants 9 (06: 3).
    EXPECT_EQ(check("0000012039", 0x06), -1);
    EXPECT_EQ(check("0000012039", 0xC7), 1);
    // The same digits with d2 = 1 have no second reading; method 06 decides.
    EXPECT_EQ(check("0100012039", 0xC7), check("0100012039", 0x06));
    EXPECT_EQ(check("0000012038", 0xC7), check("0000012038", 0x06));
}

// ---- Own arithmetic -----------------------------------------------------------------

TEST(LetteredMethods, D7ExpectsTheUnitsDigitItself) {
    // Folded sum of 0000000034 is 6: method 00 wants 4, D7 wants 6.
    EXPECT_EQ(check("0000000034", 0x00), 1);
    EXPECT_EQ(check("0000000034", 0xD7), -1);
    EXPECT_EQ(check("0000000036", 0xD7), 1);
    // d9 = 7 folds to 14 -> 5.
    EXPECT_EQ(the_check_digit("000000007", 0xD7), 5);
}

TEST(LetteredMethods, D4AndE0AddTheirConstantsToTheFoldedSum) {
    // d9 = 3 and d1 = 1 fold to 6 + 2 = 8; D4 adds 29 (37, P = 3). E0 adds 7 to 6 (13, P = 7).
    EXPECT_EQ(the_check_digit("100000003", 0xD4), 3);
    EXPECT_EQ(the_check_digit("000000003", 0xE0), 7);
    EXPECT_EQ(accepted_digits("000000003", 0xD4), 0);  // d1 = 0 is not issued
}

TEST(LetteredMethods, E1WeighsCharacterCodes) {
    EXPECT_EQ(check("0000000006", 0xE1), 1);
    EXPECT_EQ(check("0000000000", 0xE1), -1);
    EXPECT_EQ(check("6", 0xE1), 1);
    // d9 = 4 adds 4: 2452 mod 11 = 10, which leaves no valid check digit.
    EXPECT_EQ(accepted_digits("000000004", 0xE1), 0);
    // d3 weighs 11, so changing it changes nothing.
    EXPECT_EQ(the_check_digit("005000000", 0xE1), the_check_digit("000000000", 0xE1));
}

TEST(LetteredMethods, B9AcceptsTheRemainderAndItsShiftByFive) {
    EXPECT_EQ(accepted_digits("100000001", 0xB9), 0);
    EXPECT_EQ(accepted_digits("010000001", 0xB9), 0);
    EXPECT_EQ(accepted_digits("000000001", 0xB9), 0);  // d3 and d4 both 0
    for (const std::string first9 : {"001234567", "000123456", "007654321", "000999999"}) {
        int first = -1, n = 0;
        for (int d = 0; d < 10; ++d) {
            if (check(with_check(first9, d), 0xB9) != 1) continue;
            if (first < 0) first = d;
            ++n;
            EXPECT_TRUE(d == first || d == first + 5) << first9 << " " << d;
        }
        EXPECT_EQ(n, 2) << first9;
    }
    // Seven digits: plain 1..6 from d9 over 0001111110 sums to 21, 21 mod 11 = 10.
    EXPECT_EQ(check("0001111110", 0xB9), 1);
    EXPECT_EQ(check("0001111115", 0xB9), 1);
    EXPECT_EQ(check("0001111111", 0xB9), -1);
    // Eight digits: terms (d + 1) x w mod 11 over d9..d3 of 0012345670 are
    // 8, 10, 1, 5, 1, 6, 2: r = 33.
    EXPECT_EQ(check("0012345673", 0xB9), 1);
    EXPECT_EQ(check("0012345678", 0xB9), 1);
    EXPECT_EQ(check("0012345670", 0xB9), -1);
}

// The prefix methods equal a Luhn check of the sixteen-digit number prefix + d2..d10.
TEST(LetteredMethods, PrefixMethodsCheckTheSixteenDigitNumber) {
    struct Table {
        int code;
        const char *prefix[10];
    };
    const Table tables[] = {
        {0xC6, {"4451970", "4451981", "4451992", "4451993", "4344992", "4344990", "4344991",
                "5499570", "4451994", "5499579"}},
        {0xD1, {"4363380", "4363381", "4363382", "4363383", "4363384", "4363385", "4363386",
                "4363387", nullptr, "4363389"}},
        {0xE2, {"4383200", "4383201", "4383202", "4383203", "4383204", "4383205", nullptr,
                nullptr, nullptr, nullptr}},
    };
    for (const Table &t : tables) {
        for (int d1 = 0; d1 < 10; ++d1) {
            for (unsigned i = 0; i < 30; ++i) {
                std::string rest = body(i * 10 + static_cast<unsigned>(d1)).substr(1);
                for (int d = 0; d < 10; ++d) {
                    std::string a = std::to_string(d1) + rest + std::to_string(d);
                    int expected =
                        t.prefix[d1] && luhn_valid(t.prefix[d1] + a.substr(1)) ? 1 : -1;
                    EXPECT_EQ(check(a, t.code), expected) << std::hex << t.code << " " << a;
                }
            }
        }
    }
}

TEST(LetteredMethods, TableMethodsRefuseNonDigitsCalledDirectly) {
    for (const char *bad : {"X123456789", ":123456789", "/123456789", "\xff" "123456789"}) {
        EXPECT_EQ(account_rule_C6(bad), -1);
        EXPECT_EQ(account_rule_D1(bad), -1);
        EXPECT_EQ(account_rule_E2(bad), -1);
    }
    EXPECT_EQ(tarvo_account_check("12345X7890", 0xC6), -1);
    EXPECT_EQ(tarvo_account_check("12345X7890", 0xD3), -1);
    EXPECT_EQ(tarvo_account_check("123456789 ", 0xE2), -1);
}

} // namespace
