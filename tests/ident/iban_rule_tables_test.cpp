// The rule tables generated from the published data: row counts, the short lists as
// quoted for them, telling rows of the longer ones, and the range mapping over them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "ident/iban_rules.h"

using namespace tarvo;

namespace {

template <typename Row> size_t rows(const Row *table, bool (*end)(const Row &)) {
    size_t n = 0;
    while (!end(table[n])) ++n;
    return n;
}
bool end_subst(const account_subst &r) { return r.old_account[0] == '\0'; }
bool end_move(const bank_account_move &r) { return r.bankid[0] == '\0'; }
template <size_t N> size_t list_rows(const char (*list)[N]) {
    size_t n = 0;
    while (list[n][0] != '\0') ++n;
    return n;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;
Pairs pairs(const account_subst *table) {
    Pairs out;
    for (; !end_subst(*table); ++table) out.emplace_back(table->old_account, table->new_account);
    return out;
}

} // namespace

TEST(IbanRuleTables, RowCountsOfThePublishedEdition) {
    const std::pair<const account_subst *, size_t> lists[] = {
        {iban_subst_0004, 10}, {iban_subst_0006, 4}, {iban_subst_0007, 33}, {iban_subst_0015, 12},
        {iban_subst_0016, 1},  {iban_subst_0017, 10}, {iban_subst_0018, 5}, {iban_subst_0022, 1},
        {iban_subst_0023, 1},  {iban_subst_0024, 4},  {iban_subst_0033, 5}, {iban_subst_0034, 2},
        {iban_subst_0035, 1},  {iban_subst_0044, 1},  {iban_subst_0049, 4}, {iban_subst_0051, 4},
        {iban_subst_0054, 55}};
    for (const auto &[table, count] : lists) EXPECT_EQ(rows(table, end_subst), count);
    EXPECT_EQ(rows<bank_account_subst>(subst_3, [](const bank_account_subst &r) { return r.bankid[0] == '\0'; }), 96u);
    EXPECT_EQ(list_rows(noiban_4), 110u);
    EXPECT_EQ(iban_map_0031_rows, 459u);
    EXPECT_EQ(iban_map_0031[iban_map_0031_rows].prefix, 0u);
    EXPECT_EQ(list_rows(iban_exempt_0030), 113u);
    EXPECT_EQ(rows(iban_moves_0052, end_move), 10u);
    EXPECT_EQ(rows(iban_moves_0053, end_move), 46u);
    EXPECT_EQ(rows<fixed_iban>(iban_fixed_0054, [](const fixed_iban &r) { return r.account[0] == '\0'; }), 96u);
    EXPECT_EQ(rows<fixed_iban_move>(iban_fixed_0056, [](const fixed_iban_move &r) { return r.account[0] == '\0'; }), 35u);
}

TEST(IbanRuleTables, ShortListsAsQuoted) {
    const std::pair<const account_subst *, Pairs> quoted[] = {
        {iban_subst_0004, {{"0000000135", "0990021440"}, {"0000001111", "6600012020"}, {"0000001900", "0920019005"},
                           {"0000007878", "0780008006"}, {"0000008888", "0250030942"}, {"0000009595", "1653524703"},
                           {"0000097097", "0013044150"}, {"0000112233", "0630025819"}, {"0000336666", "6604058903"},
                           {"0000484848", "0920018963"}}},
        {iban_subst_0006, {{"0001111111", "0020228888"}, {"0007777777", "0903286003"}, {"0034343434", "1000506517"},
                           {"0000070000", "0018180018"}}},
        {iban_subst_0015, {{"0000000094", "3008888018"}, {"0000000556", "0000101010"}, {"0000000888", "0031870011"},
                           {"0000004040", "4003600101"}, {"0000005826", "1015826017"}, {"0000025000", "0025000110"},
                           {"0000393393", "0033013019"}, {"0000444555", "0032230016"}, {"0000603060", "6002919018"},
                           {"0002120041", "0002130041"}, {"0080868086", "4007375013"}, {"0400569017", "4000569017"}}},
        {iban_subst_0016, {{"0000300000", "0018128012"}}},
        // Sixth row: the published value is 2016060014 (an earlier quotation had 2106060014).
        {iban_subst_0017, {{"0000000100", "2009090013"}, {"0000000111", "2111111017"}, {"0000000240", "2100240010"},
                           {"0000004004", "2204004016"}, {"0000004444", "2044444014"}, {"0000006060", "2016060014"},
                           {"0000102030", "1102030016"}, {"0000333333", "2033333016"}, {"0000909090", "2009090013"},
                           {"0050005000", "5000500013"}}},
        {iban_subst_0018, {{"0000000556", "0120440110"}, {"5435435430", "0543543543"}, {"0000002157", "0121787016"},
                           {"0000009800", "0120800019"}, {"0000202050", "1221864014"}}},
        {iban_subst_0022, {{"0001111111", "2222200000"}}},
        {iban_subst_0023, {{"0000000700", "1000700800"}}},
        {iban_subst_0024, {{"0000000094", "0000001694"}, {"0000000248", "0000017248"}, {"0000000345", "0000017345"},
                           {"0000000400", "0000014400"}}},
        {iban_subst_0033, {{"0000022222", "5803435253"}, {"0001111111", "0039908140"}, {"0000000094", "0002711931"},
                           {"0007777777", "5800522694"}, {"0000055555", "5801800000"}}},
        {iban_subst_0034, {{"0500500500", "4340111112"}, {"0000000502", "4340118001"}}},
        {iban_subst_0035, {{"0000009696", "1490196966"}}},
        {iban_subst_0044, {{"0000000202", "0002282022"}}},
        {iban_subst_0049, {{"0000000036", "0002310113"}, {"0000000936", "0002310113"}, {"0000000999", "0001310113"},
                           {"0000006060", "0000160602"}}},
        {iban_subst_0051, {{"0000000333", "7832500881"}, {"0000000502", "0001108884"}, {"0500500500", "0005005000"},
                           {"0502502502", "0001108884"}}},
    };
    for (const auto &[table, expected] : quoted) EXPECT_EQ(pairs(table), expected);

    const char *moves_0052[][4] = {
        {"67220020", "5308810004", "60050101", "0002662604"}, {"67220020", "5308810000", "60050101", "0002659600"},
        {"67020020", "5203145700", "60050101", "7496510994"}, {"69421020", "6208908100", "60050101", "7481501341"},
        {"66620020", "4840404000", "60050101", "7498502663"}, {"64120030", "1201200100", "60050101", "7477501214"},
        {"64020030", "1408050100", "60050101", "7469534505"}, {"63020130", "1112156300", "60050101", "0004475655"},
        {"62030050", "7002703200", "60050101", "7406501175"}, {"69220020", "6402145400", "60050101", "7485500252"}};
    for (size_t i = 0; i < std::size(moves_0052); ++i) {
        const bank_account_move &r = iban_moves_0052[i];
        EXPECT_STREQ(r.bankid, moves_0052[i][0]);
        EXPECT_STREQ(r.account, moves_0052[i][1]);
        EXPECT_STREQ(r.new_bankid, moves_0052[i][2]);
        EXPECT_STREQ(r.new_account, moves_0052[i][3]);
    }
}

TEST(IbanRuleTables, TellingRowsOfTheLongerTables) {
    EXPECT_EQ(pairs(iban_subst_0007).front(), (std::pair<std::string, std::string>{"0000000111", "0000001115"}));
    EXPECT_STREQ(subst_3[0].bankid, "30040000");
    EXPECT_STREQ(subst_3[0].old_account, "0000000036");
    EXPECT_STREQ(subst_3[0].new_account, "0261103600");
    EXPECT_STREQ(noiban_4[0], "10080900");
    EXPECT_STREQ(noiban_4[1], "12080000");
    EXPECT_STREQ(noiban_4[2], "13080000");
    const iban_map_row &first = iban_map_0031[0];
    EXPECT_EQ(first.prefix, 100u);
    EXPECT_STREQ(first.bankid, "76020214");
    EXPECT_EQ(first.lowest, 1000000000u);
    EXPECT_EQ(first.highest, 1009999999u);
    EXPECT_STREQ(first.target, "76020070");
    EXPECT_EQ(iban_map_0031[iban_map_0031_rows - 1].prefix, 798u);
    for (size_t i = 0; i < iban_map_0031_rows; ++i) {
        const iban_map_row &r = iban_map_0031[i];
        EXPECT_EQ(r.lowest, r.prefix * 10000000u);
        EXPECT_EQ(r.highest, r.lowest + 9999999u);
        if (i > 0) {
            EXPECT_GE(r.prefix, iban_map_0031[i - 1].prefix);
        }
    }
    const size_t exempt = list_rows(iban_exempt_0030);
    EXPECT_STREQ(iban_exempt_0030[0], "0001718190");
    EXPECT_STREQ(iban_exempt_0030[exempt - 2], "9999999998");
    EXPECT_STREQ(iban_exempt_0030[exempt - 1], "9999999999");
    EXPECT_STREQ(iban_fixed_0054[0].account, "0000624044");
    EXPECT_STREQ(iban_fixed_0054[0].iban, "DE96210602370000624044");
    EXPECT_STREQ(iban_fixed_0056[0].account, "0000000036");
    EXPECT_STREQ(iban_fixed_0056[0].new_account, "1010240003");
    EXPECT_STREQ(iban_fixed_0056[0].iban, "DE29380101111010240003");
}

TEST(IbanRuleTables, RangeMappingTakesFirstEnclosingRow) {
    EXPECT_STREQ(mapped_bankid("1000000000"), "76020070");
    EXPECT_EQ(mapped_bankid("0999999999"), nullptr);
    EXPECT_EQ(mapped_bankid("9999999999"), nullptr);
    for (size_t i = 0; i < iban_map_0031_rows; ++i) {
        char account[11];
        snprintf(account, sizeof account, "%010llu", static_cast<unsigned long long>(iban_map_0031[i].highest));
        const char *target = mapped_bankid(account);
        ASSERT_NE(target, nullptr);
        // A prefix listed twice answers with its first row.
        size_t first = i;
        while (first > 0 && iban_map_0031[first - 1].prefix == iban_map_0031[i].prefix) --first;
        EXPECT_STREQ(target, iban_map_0031[first].target) << account;
    }
}
