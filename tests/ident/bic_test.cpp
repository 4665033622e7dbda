// BIC lookups and the tarvo_bank_t block. Tests named *_SharedEdition check entries of
// the SCL directory in ../shared/data and change with a new edition.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "directory_data.h"
#include "ident/ident.h"

namespace {

struct FreeBank {
    void operator()(tarvo_bank_t *b) const { free(b); }
};
using BankPtr = std::unique_ptr<tarvo_bank_t, FreeBank>;

BankPtr get_bank(const char *bic, int expected = 1) {
    tarvo_bank_t *bank = nullptr;
    EXPECT_EQ(tarvo_bic_getBank(bic, &bank), expected) << bic;
    return BankPtr(bank);
}

TEST(BicGetBank, EightAndElevenCharactersAnyCase_SharedEdition) {
    for (const char *bic : {"aacsde33", "AACSDE33XXX", "AacsDE33xxx"}) {
        auto b = get_bank(bic);
        ASSERT_TRUE(b) << bic;
        EXPECT_STREQ(b->bic, "AACSDE33XXX");
        EXPECT_STREQ(b->country, "DE");
        EXPECT_STREQ(b->name, "SPARKASSE AACHEN");
        EXPECT_EQ(b->flags, TARVO_SCL_SCT | TARVO_SCL_SDD | TARVO_SCL_B2B);
        EXPECT_EQ(b->zip, nullptr);
        EXPECT_EQ(b->city, nullptr);
    }
}

TEST(BicGetBank, MalformedBicsAreNotFound) {
    tarvo_bank_t *bank = reinterpret_cast<tarvo_bank_t *>(0x1); // must stay untouched
    for (const char *bic : {"AACSDE3", "AACSDE33XX", "AACS-E33", "AACSDE33XXXX", "", "AACS E33", "AACSDE33\xc4XX"})
        EXPECT_EQ(tarvo_bic_getBank(bic, &bank), -2) << bic;
    EXPECT_EQ(tarvo_bic_getBank(nullptr, &bank), -2);
    EXPECT_EQ(bank, reinterpret_cast<tarvo_bank_t *>(0x1));
}

TEST(BicGetBank, BranchesAreFoundOnlyWhenListed_SharedEdition) {
    // A branch code of a known bank that is not itself a record: no fallback to the head office.
    EXPECT_EQ(tarvo_bic_getBank("AACSDE33ABC", nullptr), -2);
    // This edition lists ABN AMRO Belgium only under its head-office BIC.
    EXPECT_EQ(tarvo_bic_getBank("ABNABE2AIDJ", nullptr), -2);
    auto b = get_bank("ABNABE2A");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->flags, TARVO_SCL_SCT | TARVO_SCL_SDD | TARVO_SCL_B2B);
    // A listed eleven-character branch.
    auto branch = get_bank("BIWBDE33303");
    ASSERT_TRUE(branch);
    EXPECT_STREQ(branch->bic, "BIWBDE33303");
    EXPECT_STREQ(branch->name, "BIW BANK FUER INVESTMENTS UND WERTPAPIERE AG");
}

TEST(BicGetBank, EightAndElevenCharacterListingsAreMerged_SharedEdition) {
    // "ALCLESMM" (SCT, SDD, B2B) and "ALCLESMMXXX" (SCT) are one key; the bank is
    // reachable by either listing.
    auto b8 = get_bank("ALCLESMM"), b11 = get_bank("ALCLESMMXXX");
    ASSERT_TRUE(b8 && b11);
    EXPECT_EQ(b8->flags, TARVO_SCL_SCT | TARVO_SCL_SDD | TARVO_SCL_B2B);
    EXPECT_EQ(b11->flags, b8->flags);
    EXPECT_STREQ(b11->name, "BANCO ALCALA S.A.");
    // An 8-character listing without any scheme does not hide its reachable twin.
    auto biw = get_bank("BIWBDE33");
    ASSERT_TRUE(biw);
    EXPECT_EQ(biw->flags, TARVO_SCL_SCT | TARVO_SCL_SDD | TARVO_SCL_B2B);
}

TEST(BicGetBank, ZeroFlagsStillFindTheBank_SharedEdition) {
    auto b = get_bank("GENODE51GAA");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->flags, 0);
    EXPECT_STREQ(b->name, "RUESSELSHEIMER VOLKSBANK EG");
}

TEST(BicGetBank, ExistenceTestAllocatesNothing) {
    EXPECT_EQ(tarvo_bic_getBank("AACSDE33", nullptr), 1);
    EXPECT_EQ(tarvo_bic_getBank("AACSDE34", nullptr), -2);
}

TEST(BicGetBank, EveryBicRecordIsFoundWithItsFlagsAndName) {
    for (int i = 0; i < tarvo::db_at_first; ++i) {
        const std::string bic(tarvo::DB[i], 11);
        tarvo_bank_t *raw = nullptr;
        ASSERT_EQ(tarvo_bic_getBank(bic.c_str(), &raw), 1) << bic;
        BankPtr b(raw);
        EXPECT_EQ(b->bic, bic);
        EXPECT_EQ(b->country, bic.substr(4, 2));
        EXPECT_EQ(b->flags & ~0xF, 0) << bic;
        EXPECT_GT(strlen(b->name), 0u) << bic;
        // The record's name is what follows the key and the flags byte.
        EXPECT_STREQ(b->name, tarvo::DB[i] + 12);
    }
}

// A single-byte Turkish locale upper-cases 'i' to the dotted capital 0xDD and counts
// bytes such as 0xC7 as letters; a BIC is read by ASCII rules whatever the locale.
TEST(BicGetBank, AsciiRulesUnderATurkishLocale) {
    char dir[] = "/tmp/tarvo-locale-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string made = std::string(dir) + "/tr_TR.ISO-8859-9";
    ASSERT_EQ(system(("localedef -i tr_TR -f ISO-8859-9 " + made + " 2>/dev/null").c_str()), 0) << "package locales";
    setenv("LOCPATH", dir, 1);
    ASSERT_NE(setlocale(LC_CTYPE, "tr_TR.ISO-8859-9"), nullptr);
    EXPECT_NE(toupper('i'), 'I') << "the locale is in force";
    int with_i = 0;
    for (int i = 0; i < tarvo::db_at_first; ++i) {
        std::string bic(tarvo::DB[i], 11);
        if (bic.find('I') == std::string::npos) continue;
        ++with_i;
        for (char &c : bic) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        EXPECT_EQ(tarvo_bic_getBank(bic.c_str(), nullptr), 1) << bic;
    }
    EXPECT_EQ(tarvo_bic_getBank("AACSDE33\xC7XX", nullptr), -2);
    setlocale(LC_CTYPE, "C");
    unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
    EXPECT_GT(with_i, 100);
}

TEST(BicGetBank, BankCodeKeysAreNotBics) {
    // "_DE37040044" has the length of a BIC but can never be one.
    EXPECT_EQ(tarvo_bic_getBank("_DE37040044", nullptr), -2);
}

TEST(BicGetBank, RandomInputNeverCrashes) {
    std::mt19937 rnd(4242);
    for (int k = 0; k < 20000; ++k) {
        char bic[13];
        const int length = static_cast<int>(rnd() % 13);
        for (int p = 0; p < length; ++p)
            bic[p] = static_cast<char>(1 + rnd() % 255);
        bic[length] = '\0';
        tarvo_bank_t *b = nullptr;
        const int r = tarvo_bic_getBank(bic, &b);
        ASSERT_TRUE(r == 1 || r == -2);
        free(b);
    }
}

TEST(MakeBank, OneBlockWithTheTextsBehindTheRecord) {
    BankPtr b(tarvo::make_bank("Name", nullptr, "City", "DE", "ABCDEFGHXXX", 9));
    ASSERT_TRUE(b);
    const char *begin = reinterpret_cast<const char *>(b.get() + 1);
    EXPECT_EQ(b->name, begin);
    EXPECT_STREQ(b->name, "Name");
    EXPECT_EQ(b->zip, nullptr);
    EXPECT_EQ(b->city, begin + 5);
    EXPECT_STREQ(b->city, "City");
    EXPECT_EQ(b->country, begin + 10);
    EXPECT_STREQ(b->country, "DE");
    EXPECT_EQ(b->bic, begin + 13);
    EXPECT_STREQ(b->bic, "ABCDEFGHXXX");
    EXPECT_EQ(b->flags, 9);
}

TEST(MakeBank, FromADirectoryRecord_SharedEdition) {
    tarvo::bank_record r;
    ASSERT_EQ(tarvo::lookup_bank("DE", "37040044", &r), 1);
    BankPtr b(tarvo::make_bank(r));
    ASSERT_TRUE(b);
    // Copies, not pointers into the record.
    memset(&r, 0, sizeof r);
    EXPECT_STREQ(b->name, "Commerzbank");
    EXPECT_STREQ(b->zip, "50447");
    EXPECT_STREQ(b->city, "K\xc3\xb6ln");
    EXPECT_STREQ(b->country, "DE");
    EXPECT_STREQ(b->bic, "COBADEFFXXX");
    EXPECT_EQ(b->flags, 0);
}

} // namespace
