// Statement files as banks write them: what a reader of each sample sees.
#include <gtest/gtest.h>
#include <math.h>

#include <string>
#include <vector>

#include "statement_files.h"

using namespace stmt_test;

namespace {

std::string sample(const char *name) { return std::string(TARVO_SHARED_DIR "/samples/mt940/") + name; }

struct Expected {
    const char *file;
    const char *account;           // of the first statement
    std::vector<size_t> tx_counts; // per statement
    double first_open;
    double last_close;
    const char *currency; // of the first statement
    // Statements whose transactions add up to the balance difference; some files were
    // cut down from longer exports and leave transactions out.
    std::vector<bool> complete;
};

const Expected expected[] = {
    {"betterplace-sepa_snippet.txt", "50880050/0194787400888", {4, 7}, 766656.49, -4472049.09, "EUR", {true, false}},
    {"cmxl-mt940-deutsche_bank.txt", "45050050/76198810", {11, 2, 3}, 84349.74, 50040.00, "DEM", {true, true, true}},
    {"cmxl-mt940-iso8859-1.txt", "10020030/1234567", {2}, 2187.95, 4387.95, "EUR", {true}},
    {"hbci4java-test-mt940-001.sta", "12345678/1234567890", {2}, 100.00, 103.00, "EUR", {true}},
    {"jejik-abnamro.txt", "517852257", {8, 2}, 3236.28, 1849.75, "EUR", {false, false}},
    {"jejik-deutschebank.txt", "20070000/0123456601", {1}, 0.00, 0.00, "EUR", {false}},
    {"jejik-postfinance.txt", "123456789", {2, 2}, 0.00, 159.60, "CHF", {true, false}},
    {"jejik-sparkasse.txt", "87052000/123456789", {1, 1}, 194.57, 154.57, "EUR", {true, true}},
    {"jejik-sparkasse2.txt", "DE11222220220222220200", {1}, 931052.29, 931304.50, "EUR", {false}},
    {"jejik-volksbankenraiffeisenbanken.txt", "66642399/93387", {2, 1, 2, 3, 1, 1, 1, 1}, 3085.00, 3830.00, "EUR",
     {true, true, true, true, true, true, true, true}},
    {"mt940-js-ing-1.mta", "0111111111", {3}, 44.89, -9945.09, "EUR", {true}},
    {"php-mt940-Spk-sample.txt", "20090500/0006853030", {4, 4, 1, 1}, 1818.90, 2734.22, "EUR", {true, true, true, true}},
};

void PrintTo(const Expected &e, std::ostream *os) { *os << e.file; }

class Samples : public testing::TestWithParam<Expected> {};

TEST_P(Samples, WhatAReaderSees) {
    const Expected &e = GetParam();
    Parsed parsed(Path{sample(e.file).c_str()});
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    EXPECT_EQ(parsed.error(), "");
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), e.tx_counts.size());
    EXPECT_EQ(text(list.front()->account), e.account);
    EXPECT_STREQ(list.front()->openCurrency, e.currency);
    EXPECT_NEAR(list.front()->openSaldo, e.first_open, 0.001);
    EXPECT_NEAR(list.back()->closeSaldo, e.last_close, 0.001);
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE("statement " + std::to_string(i + 1));
        const auto tx = parsed.transactions(i);
        EXPECT_EQ(tx.size(), e.tx_counts[i]);
        EXPECT_EQ(strlen(list[i]->openCurrency), 3u);
        EXPECT_STREQ(list[i]->closeCurrency, list[i]->openCurrency);
        // A sample writes 31 November: the date is absent, the balance read.
        EXPECT_NE(list[i]->closeSaldoText, nullptr);
        double sum = 0;
        for (const tarvo_stmt_tx_t *t : tx) {
            EXPECT_NE(t->amount, 0.0);
            EXPECT_NE(t->valuta.tm_mday, 0);
            sum += t->amount;
        }
        const double difference = list[i]->closeSaldo - list[i]->openSaldo;
        if (e.complete[i])
            EXPECT_NEAR(sum, difference, 0.005);
        else
            EXPECT_GT(fabs(sum - difference), 0.005);
    }
}

INSTANTIATE_TEST_SUITE_P(Mt940, Samples, testing::ValuesIn(expected), [](const testing::TestParamInfo<Expected> &info) {
    std::string name;
    for (const char *c = info.param.file; *c != '\0' && *c != '.'; ++c) name += isalnum(*c) ? *c : '_';
    return name;
});

TEST(SampleDetails, BetterplaceKeywordsAndNames) {
    Parsed parsed(Path{sample("betterplace-sepa_snippet.txt").c_str()});
    const auto first = parsed.transactions(0);
    ASSERT_EQ(first.size(), 4u);
    const tarvo_stmt_tx_t &t = *first[0];
    EXPECT_EQ(date(t.valuta), "2007-09-07");
    EXPECT_EQ(date(t.booked), "2007-09-04");
    EXPECT_EQ(t.gvc, 166u);
    EXPECT_EQ(text(t.txtext), "GUTSCHRIFT");
    EXPECT_EQ(text(t.primanota), "0399");
    EXPECT_EQ(text(t.eref), "EndToEndId TFNR 22 004 00001");
    EXPECT_EQ(text(t.svwz), "Verw CTSc-01 BC-PPP TFNr 22 004");
    EXPECT_STREQ(t.bank, "DRESDEFF508");
    EXPECT_STREQ(t.account, "DE14508800500194785000");
    EXPECT_STREQ(t.name, "KARL         KAUFMANN");
    EXPECT_STREQ(t.code, "TRF");
    EXPECT_EQ(text(t.ref), "NONREF");
    EXPECT_EQ(text(t.bankref), "0724710333343453");
    EXPECT_EQ(text(first[3]->kref), "TFNr 01022 MSGID CTSc-01 EBB MTLG:SEPA-Ueberweisungsauftrag Datei mit 0000001 Zahlungen");

    const tarvo_stmt_t &s = *parsed.statements().at(0);
    EXPECT_EQ(text(s.ref), "T089414086000001");
    EXPECT_EQ(s.number, 4u);
    EXPECT_EQ(s.page, 1u);
    const auto second = parsed.transactions(1);
    ASSERT_EQ(second.size(), 7u);
    EXPECT_EQ(second[0]->extcode, 914u);
    EXPECT_EQ(second[0]->gvc, 159u);
}

TEST(SampleDetails, SparkasseAddressKeywordJoinsAcrossSubfields) {
    Parsed parsed(Path{sample("jejik-sparkasse.txt").c_str()});
    const auto tx = parsed.transactions(0);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_DOUBLE_EQ(tx[0]->amount, -20.0);
    EXPECT_EQ(text(tx[0]->svwz), "2019-02-15T20.10 Debitk.4 2019-12");
    EXPECT_EQ(text(tx[0]->abwa), "Aral Tankstelle Chemnitz Leipziger Stra\xc3\x9f" "e 257//Chemnitz/DE");
    EXPECT_STREQ(tx[0]->name, "ARAL AG");
    EXPECT_EQ(tx[0]->extcode, 11u);
}

TEST(SampleDetails, VolksbankPurposeCodeAndTransfer) {
    Parsed parsed(Path{sample("jejik-volksbankenraiffeisenbanken.txt").c_str()});
    const auto tx = parsed.transactions(5);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(text(tx[0]->purp), "RINP Dauerauftrag/Rate");
    EXPECT_EQ(text(tx[0]->svwz), "Spende IBAN: DE31500105174278239442 BIC: NORSDE51");
    EXPECT_STREQ(tx[0]->code, "STO");
    EXPECT_STREQ(tx[0]->name, "Edeltraud Meyer");
    EXPECT_EQ(parsed.statements().at(5)->number, 0u);
}

TEST(SampleDetails, LineFeedFileWithUmlautsAndBrokenSubfields) {
    Parsed parsed(Path{sample("cmxl-mt940-iso8859-1.txt").c_str()});
    const auto tx = parsed.transactions(0);
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(text(tx[1]->txtext), "\xdc" "BERWEISUNG");
    EXPECT_EQ(text(tx[1]->purpose), "Gehalt Oktober\nFirmaM\xfcstermannGmbH");
    EXPECT_STREQ(tx[1]->account, "0847564700");
    EXPECT_STREQ(tx[1]->name, "M\xdcLLER");
    EXPECT_EQ(tx[1]->extcode, 339u);
}

TEST(SampleDetails, SavingsBankStatementsWithoutDash) {
    Parsed parsed(Path{sample("php-mt940-Spk-sample.txt").c_str()});
    const auto list = parsed.statements();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1]->number, 9198u);
    EXPECT_EQ(list[1]->page, 2u);
    const auto tx = parsed.transactions(0);
    ASSERT_EQ(tx.size(), 4u);
    EXPECT_EQ(date(tx[0]->booked), "2010-02-04");
    EXPECT_EQ(text(tx[0]->purpose), "SOME DESCRIPTION\nMORE DESC");
    EXPECT_STREQ(tx[0]->name, "M\xc5\xa1LLER, GRETEL SOMECITY");
    EXPECT_EQ(text(tx[0]->ref), "00001238972230329");
}

// This bank starts keywords inside subfields and splits "MREF+" across a line end; each
// keyword keeps its own value instead of the first one swallowing the rest.
TEST(SampleDetails, KeywordsInsideSubfieldsInDeutscheBankFile) {
    Parsed parsed(Path{sample("jejik-deutschebank.txt").c_str()});
    const auto tx = parsed.transactions(0);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(text(tx[0]->eref), "A1.200080779.400143254.4961336");
    EXPECT_EQ(text(tx[0]->kref), "SEPA-DA20200601221740-34972000-P1");
    EXPECT_EQ(text(tx[0]->mref), "20852HW2723821");
    EXPECT_EQ(text(tx[0]->cred), "DE41EON00000129793");
    EXPECT_EQ(text(tx[0]->oamt), "11.85");
    EXPECT_EQ(text(tx[0]->svwz).rfind("SONSTIGE GRUENDE ENDABRECHNUNG NR. 500106875", 0), 0u) << text(tx[0]->svwz);
}

TEST(SampleDetails, ReversalInSparkasseFile) {
    Parsed parsed(Path{sample("jejik-sparkasse2.txt").c_str()});
    const auto tx = parsed.transactions(0);
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(tx[0]->reversal, 1);
    EXPECT_DOUBLE_EQ(tx[0]->amount, 1027.25); // "RD": a debit taken back
    EXPECT_EQ(date(tx[0]->booked), "2020-02-19");
}

} // namespace
