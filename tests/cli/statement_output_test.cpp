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

// A UTF-8 terminal gets UTF-8; under the C locale the file's bytes stay as they are.
TEST(Mt940, StatementTextsInTheTerminalsCharset) {
    const struct {
        const char *locale;
        const char *txtext, *purpose;
    } rows[] = {
        {utf8_locale, "\xc3\x9c" "BERWEISUNG", "Gehalt Oktober\nFirmaM\xc3\xbcstermannGmbH"},
        {ascii_locales[0], "\xdc" "BERWEISUNG", "Gehalt Oktober\nFirmaM\xfcstermannGmbH"},
    };
    for (const auto &row : rows) {
        const Output r = run(row.locale, {"mt940", sample("cmxl-mt940-iso8859-1.txt")});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find(std::string("         TX-Text: ") + row.txtext + "\n"), std::string::npos) << row.locale;
        EXPECT_NE(r.out.find(std::string("         Purpose: ") + row.purpose + "\n"), std::string::npos) << row.locale;
    }
}

// Files that are no statement, and statements cut off, fail with exit code 1.
TEST(Mt940, WhatIsNoStatementFails) {
    const struct {
        std::vector<std::string> words;
        const char *in;   // standard input, or empty
        int status;
        const char *says; // on standard output
    } rows[] = {
        {{"mt940", "/etc/passwd"}, "", 1, "MT940: No MT940 statement found\n"},
        {{"mt940", "-"}, "/etc/passwd", 1, "MT940: No MT940 statement found\n"},
        {{"mt940", "-"}, "/dev/null", 1, "MT940: Input is empty\n"},
        {{"camt053", "-"}, "/etc/passwd", 1,
         "camt: Not a camt document: XML error: not well-formed (invalid token) (line 1, column 16)\n"},
    };
    for (const auto &row : rows) {
        const Output r = row.words.size() == 2 ? run(utf8_locale, {row.words[0], row.words[1]}, "", row.in)
                                               : run(utf8_locale, {row.words[0]}, "", row.in);
        EXPECT_EQ(r.status, row.status) << row.words[1];
        EXPECT_EQ(r.out, row.says) << row.words[1];
    }
}

TEST(Mt940, StandardInputReadsAsTheFile) {
    const Output file = run(utf8_locale, {"mt940", sample("jejik-sparkasse.txt")});
    const Output in = run(utf8_locale, {"mt940", "-"}, "", sample("jejik-sparkasse.txt"));
    EXPECT_EQ(in.status, 0);
    EXPECT_EQ(in.out, file.out);
}

TEST(Mt940, FileThatCannotBeLoaded) {
    const Output r = run(utf8_locale, {"mt940", "/nonexistent/statement.sta"});
    EXPECT_EQ(r.out, "MT940: Can't open input file: No such file or directory\n");
    EXPECT_NE(r.status, 0);
}

std::string camt_sample(const char *name) { return std::string(TARVO_SHARED_DIR "/samples/camt/") + name; }

TEST(Camt053, ListsStatementsOfEveryKind) {
    const std::string expected = "loaded camt...\n"
                                 "    Ref: 254EURNL26VAYB8060476890\n"
                                 "Account: NL26VAYB8060476890\n"
                                 "   open: 27.00 EUR\n"
                                 "         GVC:     000\n"
                                 "         Bank:    \n"
                                 "         Account: NL56AGDH9619008421\n"
                                 "         Name:    Company Name 2\n"
                                 "         Amount:  -7.00\n"
                                 "         EREF:    000000002\n"
                                 "         SVWZ:    Transaction Description 2\n"
                                 "\n"
                                 "  close: 20.00 EUR\n"
                                 "\n";
    const Output r = run(utf8_locale, {"camt053", camt_sample("camt053.v2.multi.statement.xml")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const size_t second = r.out.find("    Ref: 254");
    ASSERT_NE(second, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(0, 15) + r.out.substr(second), expected);
    for (const char *other : {"camt052.v2.xml", "camt054.v8-with-UETR.xml"}) {
        const Output o = run(utf8_locale, {"camt053", camt_sample(other)});
        EXPECT_EQ(o.status, 0) << other;
        EXPECT_EQ(o.out.rfind("loaded camt...\n    Ref: AAAASESS-FP-ACCR001\n", 0), 0u) << o.out;
    }
}

TEST(Camt053, FilesNotReadCompletelyFail) {
    const struct {
        std::string file;
        std::string out;
    } cases[] = {
        {camt_sample("camt053.v2.wrong.xml"), "camt: Missing <Stmt> in <BkToCstmrStmt> (line 8)\n"},
        {sample("jejik-sparkasse.txt"), "camt: Not a camt document: XML error: syntax error (line 1, column 0)\n"},
        {"anyfile", "camt: Can't open input file: No such file or directory\n"},
    };
    for (const auto &c : cases) {
        const Output r = run(ascii_locales[0], {"camt053", c.file});
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.status, 0);
    }
}

} // namespace
