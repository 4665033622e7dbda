// Transaction fields: the :61: turnover line and the :86: subfields with the SEPA keywords.
#include <gtest/gtest.h>

#include <string>

#include "statement_files.h"

using namespace stmt_test;

namespace {

// One statement with one transaction made of the given :61: value and :86: value.
class OneTransaction {
public:
    explicit OneTransaction(const std::string &turnover, const std::string &info = "")
        : parsed_(crlf(":20:X\n:61:" + turnover + "\n" + (info.empty() ? "" : ":86:" + info + "\n") +
                       ":62F:C240101EUR0,00\n-\n")) {}
    const tarvo_stmt_tx_t &tx() const {
        const auto list = parsed_.transactions();
        if (list.size() != 1) ADD_FAILURE() << "transactions: " << list.size();
        return *list.at(0);
    }
    size_t count() const { return parsed_.transactions().size(); }

private:
    Parsed parsed_;
};

TEST(Turnover, EntryDateInTheNextYear) {
    OneTransaction t("2312290102D12,50NTRFNONREF//B1");
    EXPECT_EQ(date(t.tx().valuta), "2023-12-29");
    EXPECT_EQ(date(t.tx().booked), "2024-01-02");
    EXPECT_DOUBLE_EQ(t.tx().amount, -12.50);
    EXPECT_STREQ(t.tx().code, "TRF");
    EXPECT_EQ(text(t.tx().ref), "NONREF");
    EXPECT_EQ(text(t.tx().bankref), "B1");
    EXPECT_EQ(t.tx().reversal, 0);
}

TEST(Turnover, EntryDateInThePreviousYear) {
    OneTransaction t("2401021229C1,00NTRFX");
    EXPECT_EQ(date(t.tx().valuta), "2024-01-02");
    EXPECT_EQ(date(t.tx().booked), "2023-12-29");
}

TEST(Turnover, EntryDateAcrossTheCenturyWindow) {
    OneTransaction late("7912310102C1,00NTRFX");
    EXPECT_EQ(date(late.tx().booked), "2080-01-02");
    OneTransaction early("8001021231C1,00NTRFX");
    EXPECT_EQ(date(early.tx().booked), "1979-12-31");
}

TEST(Turnover, TwoDigitYears) {
    EXPECT_EQ(date(OneTransaction("000101C1,00NTRFX").tx().valuta), "2000-01-01");
    EXPECT_EQ(date(OneTransaction("790101C1,00NTRFX").tx().valuta), "2079-01-01");
    EXPECT_EQ(date(OneTransaction("800101C1,00NTRFX").tx().valuta), "1980-01-01");
    EXPECT_EQ(date(OneTransaction("991231C1,00NTRFX").tx().valuta), "1999-12-31");
}

TEST(Turnover, WithoutEntryDateBookedIsZero) {
    OneTransaction t("240315C7,NMSCREF");
    EXPECT_EQ(t.tx().booked.tm_year, 0);
    EXPECT_EQ(t.tx().booked.tm_mon, 0);
    EXPECT_EQ(t.tx().booked.tm_mday, 0);
    EXPECT_DOUBLE_EQ(t.tx().amount, 7.0);
    EXPECT_STREQ(t.tx().code, "MSC");
    EXPECT_EQ(text(t.tx().ref), "REF");
    EXPECT_EQ(t.tx().bankref, nullptr);
}

// "RC" takes back a credit, so it is booked as a debit; "RD" takes back a debit.
TEST(Turnover, ReversalMarks) {
    const struct {
        const char *line;
        int reversal;
        double amount;
    } cases[] = {
        {"2401010101RC3,00NTRFX", 1, -3.0},
        {"2401010101RD3,00NTRFX", 1, 3.0},
        {"2401010101C3,00NTRFX", 0, 3.0},
        {"2401010101D3,00NTRFX", 0, -3.0},
        {"240101RC3,00NTRFX", 1, -3.0},
        {"240101RD3,00NTRFX", 1, 3.0},
    };
    for (const auto &c : cases) {
        OneTransaction t(c.line);
        EXPECT_EQ(t.tx().reversal, c.reversal) << c.line;
        EXPECT_DOUBLE_EQ(t.tx().amount, c.amount) << c.line;
    }
}

TEST(Turnover, FundsCodeIsSkipped) {
    OneTransaction cr("0709070904CR50990,05NTRFNONREF//0724710333343453");
    EXPECT_DOUBLE_EQ(cr.tx().amount, 50990.05);
    EXPECT_EQ(text(cr.tx().bankref), "0724710333343453");
    OneTransaction rdr("2002010219RDR1027,25N068NONREF");
    EXPECT_EQ(rdr.tx().reversal, 1);
    EXPECT_DOUBLE_EQ(rdr.tx().amount, 1027.25);
    EXPECT_STREQ(rdr.tx().code, "068");
}

// The customer reference ends at the first "//"; single slashes belong to it.
TEST(Turnover, ReferenceAndBankReference) {
    const struct {
        const char *line;
        const char *ref;
        const char *bankref;
    } cases[] = {
        {"240101C1,00NTRFA/B//C/D", "A/B", "C/D"},
        {"240101C1,00NTRFA///B", "A", "/B"},
        {"240101C1,00NTRFA/B/", "A/B/", "(null)"},
        {"240101C1,00NTRF//", "", ""},
    };
    for (const auto &c : cases) {
        OneTransaction t(c.line);
        EXPECT_EQ(text(t.tx().ref), c.ref) << c.line;
        EXPECT_EQ(text(t.tx().bankref), c.bankref) << c.line;
    }
}

TEST(Turnover, TypeIdentificationOtherThanN) {
    OneTransaction f("1312091209C79,7FMSC01916//NONREF");
    EXPECT_DOUBLE_EQ(f.tx().amount, 79.7);
    EXPECT_STREQ(f.tx().code, "MSC");
    EXPECT_EQ(text(f.tx().ref), "01916");
    EXPECT_EQ(text(f.tx().bankref), "NONREF");
}

TEST(Turnover, BlankBeforeTheType) {
    OneTransaction t("2006080608D12,35 NRTIKREF+//2016021783252833");
    EXPECT_DOUBLE_EQ(t.tx().amount, -12.35);
    EXPECT_STREQ(t.tx().code, "RTI");
    EXPECT_EQ(text(t.tx().ref), "KREF+");
}

TEST(Turnover, ShortCodeAtLineEnd) {
    OneTransaction t("240101C1,00NTR");
    EXPECT_STREQ(t.tx().code, "TR");
    EXPECT_EQ(text(t.tx().ref), "");
}

TEST(Turnover, DatesAtTheLineEnd) {
    Parsed valueOnly(crlf(":20:X\n:61:240131\n-\n"));
    ASSERT_EQ(valueOnly.transactions().size(), 1u);
    EXPECT_EQ(date(valueOnly.transactions()[0]->valuta), "2024-01-31");
    Parsed withEntry(crlf(":20:X\n:61:2401310201\n-\n"));
    ASSERT_EQ(withEntry.transactions().size(), 1u);
    EXPECT_EQ(date(withEntry.transactions()[0]->booked), "2024-02-01");
    OneTransaction shortest("2401310201C1N");
    EXPECT_DOUBLE_EQ(shortest.tx().amount, 1.0);
    EXPECT_STREQ(shortest.tx().code, "");
}

TEST(Turnover, BrokenLineEndsTheStatementButStaysListed) {
    Parsed noType(crlf(":20:X\n:61:240101C1,00XTRF\n:61:240101C2,00NTRFX\n-\n:20:Y\n-\n"));
    ASSERT_EQ(noType.statements().size(), 2u);
    const auto tx = noType.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(date(tx[0]->valuta), "2024-01-01");
    EXPECT_EQ(tx[0]->amount, 0.0);

    Parsed badDate(crlf(":20:X\n:61:24x101C1,00NTRFX\n:61:240101C2,00NTRFX\n-\n"));
    ASSERT_EQ(badDate.transactions().size(), 1u);
    EXPECT_EQ(badDate.transactions()[0]->valuta.tm_mday, 0);
}

TEST(Subfields, KeywordsAndName) {
    OneTransaction t("240101C1,00NTRFX", "166?00SEPA CREDIT?20EREF+ABC?21SVWZ+Invoice?2212345?32SHOP LTD");
    EXPECT_EQ(t.tx().gvc, 166u);
    EXPECT_EQ(text(t.tx().txtext), "SEPA CREDIT");
    EXPECT_EQ(text(t.tx().eref), "ABC");
    EXPECT_EQ(text(t.tx().svwz), "Invoice 12345");
    EXPECT_STREQ(t.tx().name, "SHOP LTD");
    EXPECT_EQ(t.tx().purpose, nullptr);
}

TEST(Subfields, PurposeLinesJoinedByLineFeed) {
    OneTransaction t("240101C1,00NTRFX", "051?20Miete November?21Wohnung 3?60Garage");
    EXPECT_EQ(text(t.tx().purpose), "Miete November\nWohnung 3\nGarage");
}

TEST(Subfields, AllElevenKeywords) {
    OneTransaction t("240101C1,00NTRFX", "171?20EREF+e?21KREF+k?22MREF+m?23CRED+c?24DEBT+d?25PURP+p"
                                         "?26COAM+1,50?27OAMT+2,25?28SVWZ+s?29ABWA+a?60ABWE+b");
    const tarvo_stmt_tx_t &tx = t.tx();
    EXPECT_EQ(text(tx.eref), "e");
    EXPECT_EQ(text(tx.kref), "k");
    EXPECT_EQ(text(tx.mref), "m");
    EXPECT_EQ(text(tx.cred), "c");
    EXPECT_EQ(text(tx.debt), "d");
    EXPECT_EQ(text(tx.purp), "p");
    EXPECT_EQ(text(tx.coam), "1.50");
    EXPECT_EQ(text(tx.oamt), "2.25");
    EXPECT_EQ(text(tx.svwz), "s");
    EXPECT_EQ(text(tx.abwa), "a");
    EXPECT_EQ(text(tx.abwe), "b");
}

TEST(Subfields, FullSubfieldsJoinWithoutBlank) {
    // 22 characters of value after the keyword: the subfield was full, the word goes on.
    OneTransaction keyword("240101C1,00NTRFX", "106?20SVWZ+2019-02-15T20.10 Debit?21k.4 2019-12");
    EXPECT_EQ(text(keyword.tx().svwz), "2019-02-15T20.10 Debitk.4 2019-12");
    // A joined subfield of 27 characters: the next one continues it directly.
    OneTransaction joined("240101C1,00NTRFX", "177?20SVWZ+Apple Pay?21DATUM 19.02.2019, 13.24 UHR?221.TAN 002153");
    EXPECT_EQ(text(joined.tx().svwz), "Apple Pay DATUM 19.02.2019, 13.24 UHR1.TAN 002153");
}

TEST(Subfields, ExternalCodeBankAndAccount) {
    OneTransaction t("240101C1,00NTRFX", "152?00GUTSCHRIFT?109245?30DRESDEFF508XYZ?31DE14508800500194785000123456789012345"
                                         "?32Max Mustermann?34914");
    EXPECT_EQ(text(t.tx().primanota), "9245");
    EXPECT_STREQ(t.tx().bank, "DRESDEFF508X");
    EXPECT_EQ(std::string(t.tx().account), std::string("DE14508800500194785000123456789012345").substr(0, 34));
    EXPECT_EQ(t.tx().extcode, 914u);
}

TEST(Subfields, SecondNamePart) {
    OneTransaction shortName("240101C1,00NTRFX", "166?32KARL?33        KAUFMANN");
    EXPECT_STREQ(shortName.tx().name, "KARL         KAUFMANN");
    OneTransaction fullName("240101C1,00NTRFX", "899?32GEBUEHREN MANUELL GG UST-FR?33EI");
    EXPECT_STREQ(fullName.tx().name, "GEBUEHREN MANUELL GG UST-FREI");
    const std::string part(27, 'N');
    OneTransaction capped("240101C1,00NTRFX", "166?32" + part + "?33" + part + "?34001");
    EXPECT_EQ(std::string(capped.tx().name), part + part.substr(0, 55 - 27));
}

TEST(Subfields, LowerNumbersStayInTheText) {
    OneTransaction t("240101C1,00NTRFX", "166?20ABC?10X?21DEF");
    EXPECT_EQ(text(t.tx().purpose), "ABC?10X\nDEF");
    EXPECT_EQ(t.tx().primanota, nullptr);
}

TEST(Subfields, LastMarkerOfTheFollowingNumberWins) {
    OneTransaction t("240101C1,00NTRFX", "166?20ABC?21DEF?21GHI");
    EXPECT_EQ(text(t.tx().purpose), "ABC?21DEF\nGHI");
}

TEST(Subfields, SkippedNumbersAndQuestionMarksInText) {
    OneTransaction t("240101C1,00NTRFX", "166?00Text? with ?2 marks?20SVWZ+Was?32Name");
    EXPECT_EQ(text(t.tx().txtext), "Text? with ?2 marks");
    EXPECT_EQ(text(t.tx().svwz), "Was");
    EXPECT_STREQ(t.tx().name, "Name");
}

TEST(Subfields, MarkerSplitAcrossLines) {
    Parsed parsed(crlf(":20:X\n:61:240101C1,00NTRFX\n:86:166?20SVWZ+a?\n21b\n-\n"));
    ASSERT_EQ(parsed.transactions().size(), 1u);
    EXPECT_EQ(text(parsed.transactions()[0]->svwz), "a b");
}

TEST(Subfields, GvcWithLeadingBlank) {
    OneTransaction t("240101C1,00NTRFX", " 020?00Wyplata");
    EXPECT_EQ(t.tx().gvc, 20u);
    EXPECT_EQ(text(t.tx().txtext), "Wyplata");
}

TEST(Subfields, EmptyKeywordValue) {
    OneTransaction t("240101C1,00NTRFX", "166?20EREF+?21SVWZ+");
    EXPECT_EQ(text(t.tx().eref), "");
    EXPECT_EQ(text(t.tx().svwz), "");
}

// Some banks start a keyword inside a subfield or split its tag across two subfields.
TEST(Subfields, KeywordsWhereverTheyStartInTheRemittanceText) {
    const struct {
        const char *info;
        const char *eref, *mref, *cred, *svwz, *purpose;
    } cases[] = {
        {"105?20EREF+E1?21MREF+M1 CRED+DE98ZZZ09999999999?22SVWZ+Beitrag", "E1", "M1", "DE98ZZZ09999999999",
         "Beitrag", nullptr},
        {"105?20EREF+E1 MREF+M1?21CRED+C1?22S?23VWZ+Beitrag Mai", "E1", "M1", "C1", "Beitrag Mai", nullptr},
        {"105?20EREF+E1?21S?22VWZ+Miete", "E1", nullptr, nullptr, "Miete", nullptr},
        {"105?20SVWZ+Miete Mai EREF?21+E1", "E1", nullptr, nullptr, "Miete Mai", nullptr},
        {"105?20SVWZ+Miete Mai ERE?21F+E1", "E1", nullptr, nullptr, "Miete Mai", nullptr},
        {"105?20SVWZ+Miete Mai ER?21EF+E1", "E1", nullptr, nullptr, "Miete Mai", nullptr},
        {"105?20SVWZ+Miete Mai E?21REF+E1", "E1", nullptr, nullptr, "Miete Mai", nullptr},
        {"105?20SVWZ+Rechnung 4711 vom 0?2101.2024 EREF+X?22MREF+M", "X", "M", nullptr,
         "Rechnung 4711 vom 0 01.2024", nullptr},
        {"105?20Miete Mai EREF+E1", "E1", nullptr, nullptr, nullptr, "Miete Mai"},
        // Inside a word a tag is text.
        {"105?20EREF+E1EREF+E2", "E1EREF+E2", nullptr, nullptr, nullptr, nullptr},
        // No keyword: a '+' in a value, a tag that is none, a letter that does not go on.
        {"105?20SVWZ+1+1=2 ABCD+x?21S?22Sale", nullptr, nullptr, nullptr, "1+1=2 ABCD+x S Sale", nullptr},
        {"105?20SVWZ+Miete S?30VWZ+X", nullptr, nullptr, nullptr, "Miete S", nullptr},
    };
    const auto same = [](const char *got, const char *want) { return want ? text(got) == want : got == nullptr; };
    for (const auto &c : cases) {
        OneTransaction t("240101C1,00NTRFX", c.info);
        const tarvo_stmt_tx_t &tx = t.tx();
        EXPECT_TRUE(same(tx.eref, c.eref)) << c.info << ": " << text(tx.eref);
        EXPECT_TRUE(same(tx.mref, c.mref)) << c.info << ": " << text(tx.mref);
        EXPECT_TRUE(same(tx.cred, c.cred)) << c.info << ": " << text(tx.cred);
        EXPECT_TRUE(same(tx.svwz, c.svwz)) << c.info << ": " << text(tx.svwz);
        EXPECT_TRUE(same(tx.purpose, c.purpose)) << c.info << ": " << text(tx.purpose);
    }
}

// Marker-like text in any amount: however many there are, the subfield ends at the next
// greater number, and the field's later subfields are read as usual.
TEST(Subfields, ManyLowerMarkersInsideASubfield) {
    for (int count : {1, 47, 48, 49, 60, 300}) {
        std::string markers;
        for (int i = 0; i < count; ++i) markers += "?10";
        OneTransaction t("240101C1,00NTRFX", "166?20SVWZ+x" + markers + "?21y?32Name");
        EXPECT_EQ(text(t.tx().svwz), "x" + markers + " y") << count;
        EXPECT_STREQ(t.tx().name, "Name") << count;
    }
}

TEST(Subfields, SplitAmountKeywordReadsItsDecimalComma) {
    OneTransaction t("240101C1,00NTRFX", "105?20SVWZ+Gebuehr CO?21AM+1,50 OAMT+12,00");
    EXPECT_EQ(text(t.tx().coam), "1.50");
    EXPECT_EQ(text(t.tx().oamt), "12.00");
    EXPECT_EQ(text(t.tx().svwz), "Gebuehr");
}

} // namespace
