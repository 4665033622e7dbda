// Methods 00-99: the catalogue's own corner cases and the building blocks.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "account/account.h"
#include "tarvo.h"

namespace {

// The account with its last digit replaced by c.
std::string with_last(std::string account, char c) {
    account.back() = c;
    return account;
}

// Deterministic sample of normalised accounts, digits only.
std::vector<std::string> sample_accounts(size_t n) {
    std::mt19937 gen(20261208);
    std::uniform_int_distribution<int> d(0, 9), lead(0, 6);
    std::vector<std::string> out;
    for (size_t i = 0; i < n; ++i) {
        std::string a(10, '0');
        const int zeros = lead(gen); // short numbers too
        for (int p = zeros; p < 10; ++p) a[p] = static_cast<char>('0' + d(gen));
        out.push_back(a);
    }
    return out;
}

TEST(Methods, Method00FoldsAndCompletesToTen) {
    EXPECT_EQ(tarvo_account_check("0000000034", 0x00), 1);
    EXPECT_EQ(tarvo_account_check("0000000035", 0x00), -1);
    // d9 = 7: 14 folds to 5, P = 5.
    EXPECT_EQ(tarvo_account_check("0000000075", 0x00), 1);
    EXPECT_EQ(tarvo_account_check("0000000074", 0x00), -1);
}

TEST(Methods, RemainderOneDependsOnTheRule) {
    // d9 = 6 with weight 2 gives S = 12, remainder 1 under all three weightings.
    for (char c = '0'; c <= '9'; ++c) {
        const std::string a = with_last("000000006?", c);
        EXPECT_EQ(tarvo_account_check(a.c_str(), 0x02), -1) << a;
        EXPECT_EQ(tarvo_account_check(a.c_str(), 0x04), -1) << a;
        EXPECT_EQ(tarvo_account_check(a.c_str(), 0x06), c == '0' ? 1 : -1) << a;
    }
}

TEST(Methods, Method25AcceptsCheckDigitZeroOnlyForWorkingDigits8And9) {
    // Both sums leave remainder 1, so the check digit would be 10.
    EXPECT_EQ(tarvo_account_check("0800000030", 0x25), 1);  // d2 = 8
    EXPECT_EQ(tarvo_account_check("0800000031", 0x25), -1);
    EXPECT_EQ(tarvo_account_check("0100000070", 0x25), -1); // d2 = 1
}

TEST(Methods, Method57TreatsRangesByTheirFirstDigits) {
    EXPECT_EQ(tarvo_account_check("0185125434", 0x57), 1);
    for (const char *a : {"4000000000", "4012345678", "5099999999", "9100000001", "9912345678"})
        EXPECT_EQ(tarvo_account_check(a, 0x57), 0) << a;
    EXPECT_EQ(tarvo_account_check("0012345678", 0x57), -1);
    // Dated accounts: month 01-12 in d3 d4 and a serial below 500 in d7..d9.
    EXPECT_EQ(tarvo_account_check("0512994990", 0x57), 1);
    EXPECT_EQ(tarvo_account_check("0513994990", 0x57), -1);
    EXPECT_EQ(tarvo_account_check("0512995000", 0x57), -1);
    // Exempt prefixes of the d10 group.
    EXPECT_EQ(tarvo_account_check("7777770000", 0x57), 0);
    EXPECT_EQ(tarvo_account_check("8888889999", 0x57), 0);
}

TEST(Methods, RangesDecideBeforeTheCheck) {
    EXPECT_EQ(tarvo_account_check("0000001234", 0x95), 1);
    EXPECT_EQ(tarvo_account_check("0400000000", 0x99), 0);
    EXPECT_EQ(tarvo_account_check("59999", 0x08), 0);
    // Outside their ranges both fall back to method 06.
    for (const std::string &a : sample_accounts(200)) {
        const uint64_t v = std::stoull(a);
        if (v >= 396000000 && v <= 499999999) continue;
        EXPECT_EQ(tarvo_account_check(a.c_str(), 0x99), tarvo_account_check(a.c_str(), 0x06)) << a;
    }
}

TEST(Methods, Method76AnswersTwoForTheShiftedReading) {
    // d4..d9 = 123456 weigh 77, remainder 0; the first reading wants d8 = 0, not 5.
    EXPECT_EQ(tarvo_account_check("0041234560", 0x76), 2);
    EXPECT_EQ(tarvo_account_check("0041234561", 0x76), -1);
    for (const char *a : {"1041234560", "2041234560", "3041234560", "5041234560", "0000012345"})
        EXPECT_EQ(tarvo_account_check(a, 0x76), -1) << a;
    // A short base number is read as it stands first; only when that fails is it taken
    // for one without its sub-account digits (the bank's published conversions).
    EXPECT_EQ(tarvo_account_check("404202", 0x76), 1);
    EXPECT_EQ(tarvo_account_check("404302", 0x76), -1);
    EXPECT_EQ(tarvo_account_check("84050", 0x76), 2);
    // A remainder of 10 has no check digit in either reading: 343428000 (first reading)
    // and 526400 (second) are refused, not taken as ending in 0.
    EXPECT_EQ(tarvo_account_check("343428000", 0x76), -1);
    EXPECT_EQ(tarvo_account_check("526400", 0x76), -1);
    // A base number of zeros is no account.
    EXPECT_EQ(tarvo_account_check("23", 0x76), -1);
}

TEST(Methods, Method52RebuildsTheNumberWithTheBankCode) {
    // 1172 | 4 | 0 | 1500 weighs 123 + 10 P; remainder 10 needs P = 3 = d4.
    EXPECT_EQ(tarvo_account_check2("43001500", "13051172", 0x52), 1);
    for (char c : std::string("012456789")) {
        std::string a = "0043001500";
        a[3] = c;
        EXPECT_EQ(tarvo_account_check2(a.c_str(), "13051172", 0x52), -1) << a;
    }
    // Another bank code changes the expected digit.
    EXPECT_EQ(tarvo_account_check2("43001500", "13051173", 0x52), -1);
}

TEST(Methods, Method52WithoutACheckDigitIsInvalid) {
    for (const char *a : {"0", "0000000000", "5", "0000000009"})
        EXPECT_EQ(tarvo_account_check2(a, "13051172", 0x52), -1) << a;
    // Eight digits after the check digit: more than the rebuilt number can hold.
    for (char c = '0'; c <= '9'; ++c) {
        std::string a = "1?34567890";
        a[1] = c;
        EXPECT_EQ(tarvo_account_check2(a.c_str(), "13051172", 0x52), -1) << a;
    }
}

TEST(Methods, BuildingBlocksAgreeWithTheMethodsTheyDescribe) {
    for (const std::string &s : sample_accounts(500)) {
        const char *a = s.c_str();
        EXPECT_EQ(account_algo_00(a, 10, 9, 0, 2, 1, 2, 1, 2, 1, 2, 1, 2), account_rule_00(a)) << a;
        EXPECT_EQ(account_algo_06(a, 11, 9, 0, 2, 3, 4, 5, 6, 7, 2, 3, 4), account_rule_06(a)) << a;
        EXPECT_EQ(account_algo_06(a, 10, 9, 0, 2, 1, 2, 1, 2, 1, 2, 1, 2), account_rule_03(a)) << a;
        EXPECT_EQ(account_algo_02(a, 2, 3, 4), account_rule_04(a)) << a;
        EXPECT_EQ(account_algo_02(a, 8, 9, 2), account_rule_02(a)) << a;
        if (s[2] == '9') {
            for (int code : {0x51, 0x73, 0x81, 0x84, 0x87})
                EXPECT_EQ(tarvo_account_check(a, code), account_algo_51ex(a)) << a << " " << std::hex << code;
        }
    }
}

TEST(Methods, TableMethodsRefuseNonDigitsCalledDirectly) {
    for (const char *bad : {"X123456789", "1234:67890", "123456789/", "\xff" "123456789"}) {
        EXPECT_EQ(account_rule_27(bad), -1) << bad;
        EXPECT_EQ(account_rule_29(bad), -1) << bad;
        EXPECT_EQ(account_rule_57(bad), -1) << bad;
        EXPECT_EQ(account_rule_87(bad), -1) << bad;
    }
}

TEST(Methods, ResultsStayInTheConvention) {
    for (const std::string &a : sample_accounts(3000))
        for (int code = 0; code < 256; ++code) {
            const int r = tarvo_account_check(a.c_str(), code);
            EXPECT_TRUE(r == -1 || r == 0 || r == 1 || (r == 2 && code == 0x76)) << a << " " << code;
        }
}

} // namespace
