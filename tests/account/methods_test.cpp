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

// Branches no published example reaches: each row pins one condition, position, weight
// or range bound (worked out by hand from the method's definition), so that moving it
// changes the verdict.
TEST(Methods, BranchesBeyondThePublishedExamples) {
    struct Case {
        int code;
        const char *account;
        int expected;
    };
    const Case cases[] = {
        {0x13, "0185125430", -1},  // the second reading needs d1 and d2 both 0
        {0x14, "0185125430", -1},  // remainder 1 has no check digit
        {0x16, "0000009920", 1},   // remainder 1: d10 = 0 is accepted although d9 = 2
        {0x23, "0000711600", 1},   // remainder 1: d6 = d7
        {0x23, "0007790300", -1},  // remainder 1 and d6 != d7, although d7 = 0
        {0x24, "6506801402", 1},   // d1 = 6 is skipped
        {0x24, "6506801403", -1},
        {0x24, "3609906204", 1},   // d1 = 3 is skipped
        {0x24, "3609906208", -1},
        {0x24, "9132330905", 1},   // d1 = 9 skips d1..d3
        {0x24, "9132330906", -1},
        {0x25, "0910000000", 1},   // remainder 1 with working digit 9
        {0x26, "0990991510", 1},   // one leading zero: check digit d8
        {0x26, "0185125435", -1},
        {0x30, "0185125438", 1},   // d2..d5 weigh nothing
        {0x30, "0185125437", -1},
        {0x41, "0899999996", 1},   // d4 = 9: d1..d3 are left out
        {0x41, "0899999999", -1},
        {0x42, "0185125433", 1},   // d2 weighs 9
        {0x42, "0185125434", -1},
        {0x44, "0185125436", 1},   // d5 weighs 10
        {0x44, "0185125437", -1},
        {0x45, "4801058030", 0},   // accounts beginning with 48 are exempt
        {0x45, "4766350096", 1},
        {0x50, "0025999995", -1},  // the second reading needs three leading zeros
        {0x57, "8299990315", 1},   // 82: check digit d10
        {0x56, "9000000137", 1},   // first digit 9: check digit 10 becomes 7
        {0x56, "9000000130", -1},
        {0x56, "9000000048", 1},   // and 11 becomes 8
        {0x56, "9000000040", -1},
        {0x56, "1000000047", -1},  // elsewhere 10 and 11 stay invalid
        {0x56, "1000000098", -1},
        {0x56, "0900000097", -1},  // nine digits beginning with 9 included
        {0x57, "8299990317", -1},
        {0x57, "9520009492", 1},   // 95: check digit d10
        {0x57, "9520009496", -1},
        {0x57, "3106590270", 1},   // 31 is still a dated account
        {0x57, "0100000000", -1},  // month 00
        {0x59, "0185125432", 1},   // one leading zero is checked
        {0x59, "0185125430", -1},
        {0x63, "0025999990", -1},  // the second reading needs d3 = 0 as well
        {0x63, "7020089900", -1},  // ten digits are not issued
        {0x66, "0009000001", 1},   // remainder 0 gives check digit 1
        {0x66, "0009000000", -1},
        {0x67, "0754208720", 1},   // check digit d8
        {0x67, "2300799700", -1},
        {0x68, "0499999990", 0},   // nine digits beginning with 4 are exempt
        {0x68, "0396000002", 1},
        {0x68, "0000047092", -1},  // d1..d5 all 0
        {0x68, "0185125434", 1},   // second reading: d2 weighs 1
        {0x68, "0185125433", -1},
        {0x68, "8599999996", 1},   // ten digits need d4 = 9
        {0x68, "7058794596", -1},
        {0x74, "0000100003", 1},   // six digits: the complement to the next half decade
        {0x75, "0025999990", 1},   // d2 = 0, d3 != 0: check digit d7
        {0x75, "0099040246", -1},
        {0x75, "0859017950", 1},   // d2 = 8: check digit d7
        {0x75, "0910000000", -1},  // d2 = 9: check digit d8
        {0x75, "4007133595", -1},  // ten digits: d6..d2 weigh 12, so d7 would be 8
        {0x75, "1234567890", 1},   // ten digits: d6..d2 weigh 23, check digit d7
        {0x75, "9234567890", 1},   // a first digit 9 changes nothing
        {0x75, "1900001000", 1},   // nor does d2 = 9 on ten digits: still d7
        {0x75, "1900000010", -1},
        {0x75, "1000000007", 1},   // nor do zeros in d2, d3: d7, not d10
        {0x76, "5095753701", -1},  // d1 = 5 is not issued, although d8 fits
        {0x76, "0050300500", -1},  // shifted reading refused for d3 = 5
        {0x76, "0000008230", -1},  // shifted reading refused for d4..d6 all 0
        {0x85, "0099200040", -1},  // d3 = d4 = 9: remainder 1 has no check digit
        {0x87, "0000899994", 1},   // d4 = 0: the table digit shifted by five
        {0x87, "0009000004", -1},
        {0x87, "0185125438", 1},   // the walk ends on the second table
        {0x87, "0185125433", -1},
        {0x90, "1990920040", 1},   // d3 = 9: remainder 1 gives check digit 0
        {0x93, "0007008240", 1},   // three leading zeros: five digits and check digit d6
        {0x93, "0009000000", -1},
        {0x94, "8500000001", 1},   // d1 weighs 1
        {0x94, "8500000002", -1},
        {0x94, "0185125438", 1},   // 5 x 2 in d4 folds to 1
        {0x94, "0185125439", -1},
        {0x95, "0009000000", 1},   // lower bound of an unchecked range
        {0x95, "0910000000", 1},
        {0x99, "0499999999", 0},   // upper bound of the exempt range
    };
    for (const Case &c : cases)
        EXPECT_EQ(tarvo_account_check(c.account, c.code), c.expected)
            << std::hex << c.code << " " << c.account;
}

TEST(Methods, Method53And52ReadTheBankCode) {
    // d1 = 9: the weights of method 20, whatever the bank code.
    EXPECT_EQ(tarvo_account_check2("9996060001", "37040044", 0x53), 1);
    EXPECT_EQ(tarvo_account_check2("9923000608", "37040044", 0x53), -1);
    // Method C0 consults method 52 only when d3 is not 0.
    EXPECT_EQ(tarvo_account_check2("0000899999", "37040044", 0xC0), -1);
    EXPECT_EQ(tarvo_account_check2("0000899999", "37040044", 0x52), 1);
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
