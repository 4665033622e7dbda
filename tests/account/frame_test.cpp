// The frame around the methods: input checks, normalisation, dispatch and the codes
// that need the bank code.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "account/account.h"
#include "tarvo.h"

namespace {

constexpr const char *bankid = "37040044";

// Every byte from 0 to 255, as the entry points read method codes.
template <typename F> void for_each_code(F f) {
    for (int code = 0; code < 256; ++code) f(code);
}

TEST(AccountFrame, ShortAccountsArePaddedWithZeros) {
    for_each_code([](int code) {
        EXPECT_EQ(tarvo_account_check("123", code), tarvo_account_check("0000000123", code)) << code;
        EXPECT_EQ(tarvo_account_check("9290701", code), tarvo_account_check("0009290701", code)) << code;
        EXPECT_EQ(tarvo_account_check2("123", bankid, code), tarvo_account_check2("0000000123", bankid, code))
            << code;
    });
}

TEST(AccountFrame, UnusableAccountsAreInvalidForEveryCode) {
    for_each_code([](int code) {
        for (const char *account : {"", "12345678901", "00000000034"}) {
            EXPECT_EQ(tarvo_account_check(account, code), -1) << code << " " << account;
            EXPECT_EQ(tarvo_account_check2(account, bankid, code), -1) << code << " " << account;
        }
        EXPECT_EQ(tarvo_account_check(nullptr, code), -1);
        EXPECT_EQ(tarvo_account_check2(nullptr, bankid, code), -1);
    });
}

TEST(AccountFrame, NonDigitsAreRefusedBeforeAnyMethodRuns) {
    const std::string bad[] = {"12a4",  " 123",  "123 ", "-123", "+123", "12.5",
                               "1\xff", "\xc3\xa4", "0x1F", ":",    "/",    "1234567 89"};
    for_each_code([&](int code) {
        for (const std::string &account : bad) {
            EXPECT_EQ(tarvo_account_check(account.c_str(), code), -1) << code << " '" << account << "'";
            EXPECT_EQ(tarvo_account_check2(account.c_str(), bankid, code), -1) << code << " '" << account << "'";
        }
    });
}

// A code is one byte: a larger or negative number is refused, even when its low byte
// names a method that would accept the account.
TEST(AccountFrame, CodesOutsideOneByteAreRefused) {
    for (const char *account : {"0000000034", "9290701", "1234567890"})
        for (int code : {0x00, 0x06, 0x09, 0x87, 0xA1, 0xE4}) {
            for (int outside : {code | 0x100, code - 0x1000, code | 0x7f00, -1 - code, INT32_MIN + code}) {
                EXPECT_EQ(tarvo_account_check(account, outside), -1) << account << " " << outside;
                EXPECT_EQ(tarvo_account_check2(account, bankid, outside), -1) << account << " " << outside;
            }
        }
    EXPECT_EQ(tarvo_account_check("0000000034", 0x00), 1) << "the same account passes method 00 itself";
    EXPECT_EQ(tarvo_account_check("0000000034", 0xFF), 0) << "the highest byte is a code without a method";
}

TEST(AccountFrame, DispatchTableHoldsExactlyTheCatalogue) {
    const std::set<int> empty_codes = {0x12, 0x35, 0x36, 0x37, 0x39, 0x52, 0x53, 0x54, 0x62,
                                       0x69, 0x70, 0x72, 0x77, 0x79, 0x80, 0x82, 0x83, 0x86,
                                       0x89, 0x97, 0xA0, 0xB0, 0xB4, 0xB6, 0xC0};
    int filled = 0;
    for_each_code([&](int code) {
        const bool spells_code = code <= 0xE4 && (code & 0x0F) <= 9;
        const bool expect_entry = spells_code && !empty_codes.count(code);
        EXPECT_EQ(rules[code] != nullptr, expect_entry) << std::hex << code;
        filled += rules[code] != nullptr;
        if (!rules[code]) {
            for (const char *account : {"0000000034", "1234567890", "9999999999"})
                EXPECT_EQ(tarvo_account_check(account, code), 0) << std::hex << code;
        }
    });
    EXPECT_EQ(filled, 120);
}

TEST(AccountFrame, Method09HasNoCheckDigit) {
    for (const char *account : {"1", "0000000000", "1234567890", "9999999999", "0000000035"})
        EXPECT_EQ(tarvo_account_check(account, 0x09), 0) << account;
}

TEST(AccountFrame, BankCodeMethodsRunOnlyWithABankCode) {
    // 9 in d1 makes methods 52 and 53 use the weights of method 20, for which the check
    // digit of 9000000006 fits (S = 27, remainder 5) and that of 9000000001 does not.
    for (int code : {0x52, 0x53, 0xB6, 0xC0}) {
        EXPECT_EQ(tarvo_account_check("9000000006", code), 0) << std::hex << code;
        EXPECT_EQ(tarvo_account_check2("9000000006", bankid, code), 1) << std::hex << code;
        EXPECT_EQ(tarvo_account_check2("9000000001", bankid, code), -1) << std::hex << code;
    }
}

TEST(AccountFrame, BankCodeMustBeEightDigits) {
    for (const char *bank : {"3704004", "370400440", "", "3704004a", " 3704004", "3704-044"}) {
        EXPECT_EQ(tarvo_account_check2("0000000034", bank, 0x00), -1) << bank;
        EXPECT_EQ(tarvo_account_check2("9000000006", bank, 0x52), -1) << bank;
    }
    EXPECT_EQ(tarvo_account_check2("0000000034", nullptr, 0x00), -1);
    EXPECT_EQ(tarvo_account_check2("0000000034", bankid, 0x00), 1);
}

TEST(AccountFrame, OtherCodesFollowTheSingleEntryPoint) {
    for (const char *account : {"0000000034", "0000000035", "9290701", "1234567890", "0012345678"})
        for_each_code([&](int code) {
            if (code == 0x52 || code == 0x53 || code == 0xB6 || code == 0xC0) return;
            EXPECT_EQ(tarvo_account_check2(account, bankid, code), tarvo_account_check(account, code));
        });
}

TEST(AccountFrame, B6ChoosesMethod20OrMethod53) {
    // d5 > 0 after "0269": method 20 decides, whatever the bank code.
    for (const char *account : {"0269312345", "0269312346", "0269876545"}) {
        const int by_20 = tarvo_account_check(account, 0x20);
        EXPECT_EQ(tarvo_account_check2(account, bankid, 0xB6), by_20) << account;
        EXPECT_EQ(tarvo_account_check2(account, "80053762", 0xB6), by_20) << account;
    }
    // d1 > 0 as well.
    EXPECT_EQ(tarvo_account_check2("9110000000", bankid, 0xB6), tarvo_account_check("9110000000", 0x20));
    // "0269" and d5 = 0: method 53 with the bank code.
    for (const char *bank : {bankid, "80053762", "12345678"})
        EXPECT_EQ(tarvo_account_check2("0269012345", bank, 0xB6), tarvo_account_check2("0269012345", bank, 0x53));
}

// The method 20 check digit that completes nine digits.
std::string with_method_20_digit(const std::string &nine) {
    for (char c = '0'; c <= '9'; ++c)
        if (tarvo_account_check((nine + c).c_str(), 0x20) == 1) return nine + c;
    return {};
}

TEST(AccountFrame, C0TriesMethod52FirstThenMethod20) {
    int fell_through = 0, kept_52 = 0;
    for (const char *nine : {"001234567", "009876543", "005555555", "002000001", "007070707"}) {
        const std::string account = with_method_20_digit(nine);
        if (account.empty()) continue;
        const int by_52 = tarvo_account_check2(account.c_str(), bankid, 0x52);
        // Whatever method 52 says, a method 20 check digit keeps the account valid.
        EXPECT_EQ(tarvo_account_check2(account.c_str(), bankid, 0xC0), 1) << account;
        fell_through += by_52 == -1;
        // A wrong method 20 digit survives only when method 52 accepts the account.
        for (char c = '0'; c <= '9'; ++c) {
            std::string other = account.substr(0, 9) + c;
            if (other == account) continue;
            const int r52 = tarvo_account_check2(other.c_str(), bankid, 0x52);
            EXPECT_EQ(tarvo_account_check2(other.c_str(), bankid, 0xC0), r52 >= 0 ? r52 : -1) << other;
            kept_52 += r52 == 1;
        }
    }
    EXPECT_GT(fell_through, 0);
    EXPECT_GT(kept_52, 0);
    // Without two leading zeros method 52 is not consulted.
    EXPECT_EQ(tarvo_account_check2("0123456789", bankid, 0xC0), tarvo_account_check("0123456789", 0x20));
}

} // namespace
