// tarvotool's statement listing.
#include <gtest/gtest.h>

#include <string>

#include "run_tool.h"

using namespace cli_test;

namespace {

std::string sample(const char *name) { return std::string(TARVO_SHARED_DIR "/samples/mt940/") + name; }

TEST(Mt940, ListsStatementsAndTransactions) {
    const std::string expected = "loaded MT940...\n"
                                 "    Ref: STARTUMS\n"
                                 "Account: 12345678/1234567890\n"
                                 " Number: 1\n"
                                 "   open: 100.00 EUR\n"
                                 "         GVC:     152\n"
                                 "         Bank:    \n"
                                 "         Account: \n"
                                 "         Name:    Max Mustermann\n"
                                 "         Amount:  2.00\n"
                                 "         TX-Text: GUTSCHRIFT UEBERWEISUNG\n"
                                 "         Purpose: Test 1\n"
                                 "\n"
                                 "         GVC:     152\n"
                                 "         Bank:    \n"
                                 "         Account: \n"
                                 "         Name:    Max Mustermann\n"
                                 "         Amount:  1.00\n"
                                 "         TX-Text: GUTSCHRIFT UEBERWEISUNG\n"
                                 "         Purpose: Test 2\n"
                                 "\n"
                                 "  close: 103.00 EUR\n"
                                 "\n";
    for (const char *locale : {utf8_locale, ascii_locales[0], ascii_locales[1]}) {
        const Output r = run(locale, {"mt940", sample("hbci4java-test-mt940-001.sta")});
        EXPECT_EQ(r.status, 0) << locale;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, expected) << locale;
    }
}

TEST(Mt940, KeywordsPageAndDebits) {
    const Output r = run(utf8_locale, {"mt940", sample("jejik-sparkasse.txt")});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("   Page: 1\n   open: 194.57 EUR\n         GVC:     106\n         Bank:    DRESDEFF430\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("         Amount:  -20.00\n         TX-Text: KARTENZAHLUNG\n"
                         "         SVWZ:    2019-02-15T20.10 Debitk.4 2019-12\n"
                         "         ABWA:    Aral Tankstelle Chemnitz Leipziger Stra\xc3\x9f"
                         "e 257//Chemnitz/DE\n\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find(" Number:"), std::string::npos);
}

TEST(Mt940, StatementTextsArePrintedUnconverted) {
    for (const char *locale : {utf8_locale, ascii_locales[0]}) {
        const Output r = run(locale, {"mt940", sample("cmxl-mt940-iso8859-1.txt")});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find("         TX-Text: \xdc" "BERWEISUNG\n"), std::string::npos) << locale;
        EXPECT_NE(r.out.find("         Purpose: Gehalt Oktober\nFirmaM\xfcstermannGmbH\n"), std::string::npos);
    }
}

TEST(Mt940, FileThatCannotBeLoaded) {
    const Output r = run(utf8_locale, {"mt940", "/nonexistent/statement.sta"});
    EXPECT_EQ(r.out, "MT940: Can't open input file: No such file or directory\n");
    EXPECT_NE(r.status, 0);
}

TEST(Camt053, IsRefused) {
    for (const std::string &file : {std::string("anyfile"), sample("jejik-sparkasse.txt")}) {
        const Output r = run(ascii_locales[0], {"camt053", file});
        EXPECT_EQ(r.out, "MT940: Format not (yet) supported\n");
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.status, 0);
    }
}

} // namespace
