// The German IBAN rules one by one, on a conversion state built by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include "ident/iban_rules.h"
#include "tarvo.h"

using namespace tarvo;

namespace {

iban_rule_ctx state(const std::string &account, const std::string &bankid, uint8_t method = 0x00,
                    int8_t check = 1) {
    iban_rule_ctx ctx{};
    memcpy(ctx.account, account.c_str(), 11);
    memcpy(ctx.bankid, bankid.c_str(), 9);
    ctx.method = method;
    ctx.check = check;
    return ctx;
}

struct Outcome {
    int result;
    std::string iban;
    iban_rule_ctx ctx;
    std::string account() const { return ctx.account; }
    std::string bankid() const { return ctx.bankid; }
};

Outcome run(int rule, iban_rule_ctx ctx) {
    char work[iban_work_size] = {};
    const int r = iban_rules[rule](work, &ctx);
    return {r, work, ctx};
}

// Independent oracle of the method-63 core check: folded sum of positions 7..2 with
// weights 2,1,2,1,2,1, check digit at position 8.
int core63_digit(const std::string &a) {
    int s = 0;
    for (int pos = 2; pos <= 7; ++pos) {
        const int p = (a[pos - 1] - '0') * (pos % 2 == 1 ? 2 : 1);
        s += p > 9 ? p - 9 : p;
    }
    return (10 - s % 10) % 10;
}
bool core63(const std::string &a) { return a[7] - '0' == core63_digit(a); }
std::string sub_form(const std::string &a) { return a.substr(2) + "00"; }

// The first account with z leading zeros (then a non-zero digit) for which pred holds,
// walking the possible accounts in a scattered order; "" when none is found.
std::string find_account(int z, const std::function<bool(const std::string &)> &pred) {
    uint64_t low = 1;
    for (int i = 0; i < 9 - z; ++i) low *= 10;
    for (uint64_t n = 0; n < 2000000; ++n) {
        const std::string a = std::string(z, '0') + std::to_string(low + n * 7919 % (9 * low));
        if (pred(a)) return a;
    }
    ADD_FAILURE() << "no account with " << z << " leading zeros fits";
    return std::string(10, '0');
}

std::string composed(const std::string &bankid, const std::string &account) {
    return "DE00" + bankid + account;
}

} // namespace

TEST(IbanRules, TableEntryNIsRuleN) {
    const iban_rule_fn expected[] = {iban_rule_0000, iban_rule_0001, iban_rule_0005, iban_rule_0020,
                                     iban_rule_0041, iban_rule_0057};
    const int numbers[] = {0, 1, 5, 20, 41, 57};
    for (size_t i = 0; i < std::size(numbers); ++i) EXPECT_EQ(iban_rules[numbers[i]], expected[i]);
    for (int n = 0; n < iban_rule_count; ++n) EXPECT_NE(iban_rules[n], nullptr) << n;
}

TEST(IbanRules, ComposeWritesBankCodeAndAccountBehindPlaceholder) {
    const Outcome o = run(0, state("0532013000", "37040044"));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.iban, "DE00370400440532013000");
    EXPECT_EQ(o.iban.size(), 22u);
}

TEST(IbanRules, Rule0001RefusesWithStatus12) {
    const Outcome o = run(1, state("1234567890", "10000000"));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.status, IBAN_STATUS_NOT_ALLOWED);
    EXPECT_EQ(o.iban, "");
}

TEST(IbanRules, Rule0002RefusesAccountTypesAtPosition8) {
    EXPECT_EQ(run(2, state("1234567600", "20000000")).result, -1);
    EXPECT_EQ(run(2, state("1234567860", "20000000")).result, -1);
    EXPECT_EQ(run(2, state("1234567800", "20000000")).result, 1);
    EXPECT_EQ(run(2, state("1234567560", "20000000")).result, 1);
}

TEST(IbanRules, Rule0003RefusesOneAccount) {
    EXPECT_EQ(run(3, state("6161604670", "20000000")).result, -1);
    EXPECT_EQ(run(3, state("6161604671", "20000000")).result, 1);
}

TEST(IbanRules, SubstitutionReplacesFirstMatchAndRechecks) {
    // Method 09 has no check digit: the recheck gives 0 instead of the state's 1.
    const Outcome o = run(4, state("0000000135", "10000000", 0x09));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.account(), "0990021440");
    EXPECT_EQ(o.ctx.check, 0);
    EXPECT_EQ(o.iban, composed("10000000", "0990021440"));
    const Outcome untouched = run(4, state("0000000136", "10000000", 0x09));
    EXPECT_EQ(untouched.account(), "0000000136");
    EXPECT_EQ(untouched.ctx.check, 1);
}

TEST(IbanRules, EverySubstitutionRuleSearchesItsOwnList) {
    const std::pair<int, const account_subst *> rules[] = {
        {4, iban_subst_0004},  {6, iban_subst_0006},  {7, iban_subst_0007},  {15, iban_subst_0015},
        {16, iban_subst_0016}, {17, iban_subst_0017}, {18, iban_subst_0018}, {22, iban_subst_0022},
        {23, iban_subst_0023}, {24, iban_subst_0024}, {44, iban_subst_0044}, {51, iban_subst_0051}};
    for (const auto &[rule, list] : rules) {
        // Every row, in order: an account listed twice is replaced by its first row.
        for (const account_subst *row = list; row->old_account[0] != '\0'; ++row) {
            const account_subst *first = list;
            while (strcmp(first->old_account, row->old_account) != 0) ++first;
            const Outcome o = run(rule, state(row->old_account, "10000000", 0x09));
            EXPECT_EQ(o.result, 1) << rule;
            EXPECT_EQ(o.iban, composed("10000000", first->new_account)) << rule;
        }
        EXPECT_EQ(run(rule, state("9876543210", "10000000", 0x09)).account(), "9876543210") << rule;
    }
}

TEST(IbanRules, SubstitutionWithCheckStoredAsPassedNeverRejects) {
    // Method 00 rejects 0002282022 (digit sum wrong); rule 0044 stores 0, not -1.
    ASSERT_EQ(tarvo_account_check("0002282022", 0x00), -1);
    const Outcome o = run(44, state("0000000202", "10000000", 0x00, -1));
    EXPECT_EQ(o.account(), "0002282022");
    EXPECT_EQ(o.ctx.check, 0);
    // Rule 0004 keeps the plain result.
    ASSERT_EQ(tarvo_account_check("0990021440", 0x00), -1);
    EXPECT_EQ(run(4, state("0000000135", "10000000", 0x00)).ctx.check, -1);
}

TEST(IbanRules, Rule0005RefusesBankAndAskHolderRange) {
    Outcome o = run(5, state("1234567890", "50040033", 0x13));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.status, IBAN_STATUS_NOT_ALLOWED);
    // Last nine digits between 998000000 and 999499999 at a listed bank.
    for (const char *a : {"0998000000", "9999499999", "1998765432"}) {
        o = run(5, state(a, "10080900", 0x09));
        EXPECT_EQ(o.result, -1) << a;
        EXPECT_EQ(o.ctx.status, IBAN_STATUS_ASK_HOLDER) << a;
    }
    EXPECT_EQ(run(5, state("0999500000", "10080900", 0x09)).result, 1);
    EXPECT_EQ(run(5, state("0997999999", "10080900", 0x09)).result, 1);
    EXPECT_EQ(run(5, state("0998000000", "37040044", 0x09)).result, 1); // bank not listed
}

TEST(IbanRules, Rule0005SubstitutesByBankAndAccount) {
    Outcome o = run(5, state("0000000036", "30040000", 0x09));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.account(), "0261103600");
    EXPECT_EQ(o.ctx.check, 0);
    o = run(5, state("0000000036", "37040044", 0x09)); // same account, other bank
    EXPECT_EQ(o.account(), "0000000036");
}

TEST(IbanRules, Rule0005Method13) {
    const auto valid = [](const std::string &a) { return core63(a); };
    const auto invalid = [](const std::string &a) { return !core63(a) && !core63(sub_form(a)); };
    const auto only_sub = [](const std::string &a) { return !core63(a) && core63(sub_form(a)); };
    const auto both = [](const std::string &a) { return core63(a) && core63(sub_form(a)); };
    for (int z : {0, 1}) {
        EXPECT_EQ(run(5, state(find_account(z, valid), "37040044", 0x13)).result, 1) << z;
        // A sub-account form is never tried for ten- and nine-digit accounts.
        const std::string a = find_account(z, only_sub);
        EXPECT_EQ(run(5, state(a, "37040044", 0x13)).result, -1) << z;
    }
    for (int z : {2, 3, 4, 5, 6}) {
        std::string a = find_account(z, only_sub);
        Outcome o = run(5, state(a, "37040044", 0x13, -1));
        EXPECT_EQ(o.result, 1) << z;
        EXPECT_EQ(o.account(), sub_form(a)) << z;
        EXPECT_EQ(o.ctx.check, 1) << z;
        a = find_account(z, invalid);
        EXPECT_EQ(run(5, state(a, "37040044", 0x13)).result, -1) << z;
        // When both readings pass, seven- and six-digit accounts prefer the sub-account.
        a = find_account(z, both);
        o = run(5, state(a, "37040044", 0x13));
        EXPECT_EQ(o.account(), z == 3 || z == 4 ? sub_form(a) : a) << z;
    }
}

TEST(IbanRules, Rule0005Method76TakesSubAccountOfSecondReading) {
    const std::string second = find_account(2, [](const std::string &a) { return tarvo_account_check(a.c_str(), 0x76) == 2; });
    Outcome o = run(5, state(second, "50080000", 0x76, 2));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.account(), sub_form(second));
    EXPECT_EQ(o.ctx.check, 1);
    const std::string first = find_account(0, [](const std::string &a) { return tarvo_account_check(a.c_str(), 0x76) == 1; });
    EXPECT_EQ(run(5, state(first, "50080000", 0x76)).account(), first);
    const std::string bad = find_account(0, [](const std::string &a) { return tarvo_account_check(a.c_str(), 0x76) == -1; });
    EXPECT_EQ(run(5, state(bad, "50080000", 0x76)).result, -1);
    // Other methods pass through unchanged.
    EXPECT_EQ(run(5, state(bad, "50080000", 0x09)).account(), bad);
}

TEST(IbanRules, BankCodeReplacements) {
    const std::pair<int, const char *> moves[] = {
        {8, "50020200"},  {12, "50050000"}, {13, "30050000"}, {14, "30060601"}, {19, "50120383"},
        {25, "60050101"}, {28, "25050180"}, {37, "30010700"}, {38, "28590075"}, {39, "28020050"},
        {40, "68052328"}, {46, "31010833"}, {48, "36010200"}, {50, "28550000"}, {55, "25410200"}};
    for (const auto &[rule, target] : moves) {
        const Outcome o = run(rule, state("1234567890", "10000000"));
        EXPECT_EQ(o.result, 1) << rule;
        EXPECT_EQ(o.iban, composed(target, "1234567890")) << rule;
        EXPECT_EQ(o.account(), "1234567890") << rule;
    }
}

TEST(IbanRules, Rule0009MovesBankAndRewritesPrefix) {
    Outcome o = run(9, state("1116123456", "68351976"));
    EXPECT_EQ(o.iban, composed("68351557", "3047123456"));
    o = run(9, state("0111612345", "68351976"));
    EXPECT_EQ(o.iban, composed("68351557", "0111612345"));
}

TEST(IbanRules, Rules0010And0011VouchForTheirAccounts) {
    Outcome o = run(10, state("0000002000", "50050201", 0x00, -1));
    EXPECT_EQ(o.account(), "0000222000");
    EXPECT_EQ(o.ctx.check, 1);
    EXPECT_EQ(run(10, state("0000800000", "50050201")).account(), "0000180802");
    EXPECT_EQ(run(10, state("0000002000", "50050222")).iban, composed("50050201", "0000002000"));
    EXPECT_EQ(run(10, state("0000002000", "10000000")).iban, composed("10000000", "0000002000"));
    o = run(11, state("0000047800", "10000000", 0x00, -1));
    EXPECT_EQ(o.account(), "0000047803");
    EXPECT_EQ(o.ctx.check, 1);
    EXPECT_EQ(run(11, state("0000001000", "10000000")).account(), "0008010001");
}

TEST(IbanRules, Rule0020Method63ByLeadingZeros) {
    const char *bank = "10070000";
    EXPECT_EQ(run(20, state(find_account(0, core63), bank, 0x63)).result, -1);
    for (int z : {1, 2}) {
        EXPECT_EQ(run(20, state(find_account(z, core63), bank, 0x63, 1)).result, 1);
        EXPECT_EQ(run(20, state(find_account(z, core63), bank, 0x63, -1)).result, -1);
    }
    const auto only_sub = [](const std::string &a) { return core63(sub_form(a)); };
    const auto no_sub = [](const std::string &a) { return !core63(sub_form(a)); };
    for (int z : {3, 4}) {
        const std::string a = find_account(z, only_sub);
        Outcome o = run(20, state(a, bank, 0x63, -1));
        EXPECT_EQ(o.account(), sub_form(a));
        EXPECT_EQ(o.ctx.check, 1);
        const std::string b = find_account(z, no_sub);
        EXPECT_EQ(run(20, state(b, bank, 0x63, 1)).result, z == 3 ? 1 : -1);
        EXPECT_EQ(run(20, state(b, bank, 0x63, -1)).result, -1);
    }
    // Five digits: valid as is is ambiguous and refused; otherwise the sub-account.
    EXPECT_EQ(run(20, state(find_account(5, core63), bank, 0x63)).result, -1);
    const std::string five = find_account(5, [](const std::string &a) { return !core63(a) && core63(sub_form(a)); });
    EXPECT_EQ(run(20, state(five, bank, 0x63)).account(), sub_form(five));
    EXPECT_EQ(run(20, state(find_account(5, [](const std::string &a) { return !core63(a) && !core63(sub_form(a)); }), bank, 0x63)).result, -1);
    EXPECT_EQ(run(20, state("0000001234", bank, 0x63)).result, -1);
    // Other methods compose unchanged.
    EXPECT_EQ(run(20, state("0000000012", bank, 0x00)).result, 1);
}

TEST(IbanRules, Rule0020ReplacesOneAccountOfOneBank) {
    const Outcome o = run(20, state("0000009999", "50070010", 0x63, -1));
    EXPECT_EQ(o.ctx.check, tarvo_account_check("0092777202", 0x63));
    EXPECT_EQ(o.account(), "0092777202");
    EXPECT_EQ(run(20, state("0000009999", "10070000", 0x09)).account(), "0000009999");
}

TEST(IbanRules, Rule0020MethodC7) {
    const char *bank = "10070024";
    Outcome o = run(20, state(find_account(1, core63), bank, 0xC7, -1));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.ctx.check, 1);
    const std::string sub = find_account(3, [](const std::string &a) { return !core63(a) && core63(sub_form(a)); });
    EXPECT_EQ(run(20, state(sub, bank, 0xC7, -1)).account(), sub_form(sub));
    const auto m06 = [](bool ok) {
        return [ok](const std::string &a) { return !core63(a) && (tarvo_account_check(a.c_str(), 0x06) == 1) == ok; };
    };
    const std::string good06 = find_account(0, m06(true)), bad06 = find_account(0, m06(false));
    o = run(20, state(good06, bank, 0xC7, -1));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.ctx.check, 1);
    o = run(20, state(bad06, bank, 0xC7, 1));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.check, -1);
    EXPECT_EQ(o.ctx.status, 0);
    // One bank gives no IBAN for accounts that only method 06 accepts.
    o = run(20, state(good06, "76026000", 0xC7, 1));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.check, -1);
    EXPECT_EQ(o.ctx.status, IBAN_STATUS_NOT_ALLOWED);
    o = run(20, state(bad06, "76026000", 0xC7, 1));
    EXPECT_EQ(o.ctx.status, 0);
}

TEST(IbanRules, Rule0021RefusesSomeLengths) {
    const auto any = [](const std::string &) { return true; };
    for (int z : {0, 1, 3, 4}) EXPECT_EQ(run(21, state(find_account(z, any), "36020700")).iban.substr(4, 8), "36020030");
    for (int z : {2, 5, 7}) EXPECT_EQ(run(21, state(find_account(z, any), "36020700")).result, -1);
}

TEST(IbanRules, Rules0026And0027ExemptAccounts) {
    EXPECT_EQ(run(26, state("0008090100", "35060190", 0x00, -1)).ctx.check, 1);
    EXPECT_EQ(run(26, state("0008090101", "35060190", 0x00, -1)).ctx.check, -1);
    EXPECT_EQ(run(27, state("0000004444", "62062215", 0x00, -1)).ctx.check, 1);
    EXPECT_EQ(run(27, state("0000005555", "62062215", 0x00, -1)).ctx.check, -1);
}

TEST(IbanRules, Rule0029DropsZeroAtPosition4) {
    EXPECT_EQ(run(29, state("1230456789", "51210800")).account(), "0123456789");
    EXPECT_EQ(run(29, state("1234567890", "51210800")).account(), "1234567890");
    EXPECT_EQ(run(29, state("0230456789", "51210800")).account(), "0230456789");
}

TEST(IbanRules, Rule0030ExemptionList) {
    EXPECT_EQ(run(30, state("0001718190", "13091054", 0x00, -1)).ctx.check, 1);
    EXPECT_EQ(run(30, state("9999999999", "13091054", 0x00, -1)).ctx.check, 1);
    EXPECT_EQ(run(30, state("0001718191", "13091054", 0x00, -1)).ctx.check, -1);
}

TEST(IbanRules, Rules0031To0035MapRanges) {
    Outcome o = run(31, state("1000000000", "10020890"));
    EXPECT_EQ(o.bankid(), "76020070");
    EXPECT_EQ(run(31, state("1009999999", "10020890")).bankid(), "76020070");
    EXPECT_EQ(run(31, state("0999999999", "10020890")).result, -1); // z = 1
    EXPECT_EQ(run(31, state("1000000000", "10020890", 0, -1)).result, -1);
    EXPECT_EQ(run(31, state("9990000000", "10020890")).bankid(), "10020890"); // no row

    o = run(32, state("0812345678", "10020890"));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.status, IBAN_STATUS_ASK_HOLDER);
    EXPECT_EQ(run(32, state("1000000000", "10020890", 0, -1)).result, -1);
    EXPECT_EQ(run(32, state("1000000000", "10020890")).bankid(), "76020070");
    EXPECT_EQ(run(32, state("0100000000", "10020890")).bankid(), "10020890");

    EXPECT_EQ(run(33, state("0812345678", "10020890")).result, -1);
    EXPECT_EQ(run(33, state("0812345678", "70020270")).result, 1);
    EXPECT_EQ(run(33, state("0000022222", "70020270", 0x09)).account(), "5803435253");
    EXPECT_EQ(run(34, state("0812345678", "70020270")).result, -1);
    EXPECT_EQ(run(34, state("0500500500", "70020270", 0x09)).account(), "4340111112");
    EXPECT_EQ(run(35, state("0000009696", "70020270", 0x09)).account(), "1490196966");
    EXPECT_EQ(run(35, state("1000000000", "70020270")).bankid(), "76020070");
}

TEST(IbanRules, Rule0036) {
    EXPECT_EQ(run(36, state("0000840132", "20010111", 0, -1)).result, -1);
    Outcome o = run(36, state("0000840132", "20010111"));
    EXPECT_EQ(o.iban, composed("21050000", "0840132000"));
    EXPECT_EQ(run(36, state("0000100000", "20010111")).account(), "0100000000");
    EXPECT_EQ(run(36, state("0030000000", "20010111")).iban, composed("21050000", "0030000000"));
    EXPECT_EQ(run(36, state("3000000000", "20010111")).result, 1);
    for (const char *a : {"0000000000", "0000099999", "0000900000", "0029999999", "0060000000",
                          "0999999999", "2000000000", "7100000000", "8499999999", "8600000000"}) {
        o = run(36, state(a, "20010111"));
        EXPECT_EQ(o.result, -1) << a;
        EXPECT_EQ(o.ctx.status, IBAN_STATUS_ASK_HOLDER) << a;
    }
    EXPECT_EQ(run(36, state("8500000000", "20010111")).result, 1);
}

TEST(IbanRules, Rule0041GivesOneIbanForEveryAccount) {
    for (const char *a : {"1234567890", "0000000001"}) {
        const Outcome o = run(41, state(a, "62220000", 0x09, -1));
        EXPECT_EQ(o.result, 1);
        EXPECT_EQ(o.iban, "DE96500604000000011404");
        EXPECT_EQ(o.bankid(), "50060400");
        EXPECT_EQ(o.account(), "0000011404");
        EXPECT_EQ(o.ctx.check, 1);
    }
}

TEST(IbanRules, Rule0042) {
    EXPECT_EQ(run(42, state("1234456789", "10010010")).result, 1);
    EXPECT_EQ(run(42, state("1234556789", "10010010")).result, -1);
    EXPECT_EQ(run(42, state("0123445678", "10010010")).result, -1);
    EXPECT_EQ(run(42, state("0012305678", "10010010")).result, 1);  // position 6 is 0
    EXPECT_EQ(run(42, state("0012300678", "10010010")).result, -1); // position 7 is 0
    EXPECT_EQ(run(42, state("0050462000", "10010010")).result, 1);
    EXPECT_EQ(run(42, state("0050469999", "10010010")).result, 1);
    EXPECT_EQ(run(42, state("0050464000", "10010010")).result, -1);
    EXPECT_EQ(run(42, state("0001234567", "10010010")).result, -1);
}

TEST(IbanRules, Rule0043MovesOneBankAndChecksWithMethod06) {
    const std::string good = find_account(0, [](const std::string &a) { return tarvo_account_check(a.c_str(), 0x06) == 1; });
    const std::string bad = find_account(0, [](const std::string &a) { return tarvo_account_check(a.c_str(), 0x06) == -1; });
    Outcome o = run(43, state(good, "60651070", 0x00, -1));
    EXPECT_EQ(o.bankid(), "66650085");
    EXPECT_EQ(o.ctx.method, 0x06);
    EXPECT_EQ(o.ctx.check, 1);
    o = run(43, state(bad, "60651070"));
    EXPECT_EQ(o.ctx.check, -1);
    EXPECT_EQ(o.ctx.status, IBAN_STATUS_ASK_HOLDER);
    o = run(43, state(bad, "66650085"));
    EXPECT_EQ(o.ctx.status, 0);
    EXPECT_EQ(o.ctx.check, 1);
}

TEST(IbanRules, Rules0045And0047And0057) {
    EXPECT_EQ(run(45, state("0000000001", "10000000")).iban, composed("10000000", "0000000001"));
    EXPECT_EQ(run(47, state("0012345678", "10000000")).account(), "1234567800");
    EXPECT_EQ(run(47, state("0001234567", "10000000")).account(), "0001234567");
    EXPECT_EQ(run(57, state("1234567890", "50810900")).bankid(), "66010200");
    EXPECT_EQ(run(57, state("1234567890", "50810901")).bankid(), "50810901");
}

TEST(IbanRules, Rule0049SubstitutesThenRotatesBranchPrefix) {
    EXPECT_EQ(run(49, state("0000967891", "57060000")).account(), "9678910000");
    EXPECT_EQ(run(49, state("1234567891", "57060000")).account(), "1234567891");
    const Outcome o = run(49, state("0000000036", "57060000", 0x44, -1));
    EXPECT_EQ(o.account(), "0002310113");
    EXPECT_GE(o.ctx.check, 0);
}

TEST(IbanRules, Rules0052And0053MoveBankAndAccount) {
    Outcome o = run(52, state("5308810004", "67220020"));
    EXPECT_EQ(o.iban, composed("60050101", "0002662604"));
    o = run(52, state("5308810004", "67020020"));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.ctx.status, 0);
    o = run(53, state("0000035000", "55050000"));
    EXPECT_EQ(o.iban, composed("60050101", "7401555913"));
    o = run(53, state("0000035001", "55050000"));
    EXPECT_EQ(o.iban, composed("55050000", "0000035001"));
}

TEST(IbanRules, Rule0054SubstitutesAndHandsOutFixedIbans) {
    Outcome o = run(54, state("0000624044", "21060237", 0x00, -1));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.iban, "DE96210602370000624044");
    EXPECT_EQ(o.ctx.check, 1);
    o = run(54, state("0000000500", "21060237", 0x09));
    EXPECT_EQ(o.account(), "0000500500");
    EXPECT_EQ(o.iban, composed("21060237", "0000500500"));
}

TEST(IbanRules, Rule0056) {
    Outcome o = run(56, state("0000000036", "38010111", 0x00, -1));
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.iban, "DE29380101111010240003");
    EXPECT_EQ(o.account(), "1010240003");
    EXPECT_EQ(o.ctx.check, 1);
    EXPECT_EQ(run(56, state("0123456789", "38010111")).result, -1);
    EXPECT_EQ(run(56, state("1234567890", "38010111")).iban, composed("38010111", "1234567890"));
}
