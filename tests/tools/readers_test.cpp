// The readers of the publishers' files on small files written here: what they keep, what
// they drop, and that a bad line stops them with file and line.
#include <gtest/gtest.h>

#include "directory.h"
#include "temp_dir.h"

namespace {

using namespace tarvogen;

// A Bundesbank record of 168 characters (ISO-8859-1 text given as bytes).
std::string blz_line(const std::string &code, char feature, const std::string &name, const std::string &zip,
                     const std::string &city, const std::string &bic, const std::string &method,
                     char deletion = '0', const std::string &successor = "00000000", char change = 'U') {
    auto fit = [](std::string s, std::size_t w) {
        s.resize(w, ' ');
        return s;
    };
    std::string line = code + feature + fit(name, 58) + zip + fit(city, 35) + fit("Kurz", 27) + "12345" +
                       fit(bic, 11) + method + "000001" + change + deletion + successor;
    EXPECT_EQ(line.size(), 168u);
    return line + "\r\n";
}

class ReadersTest : public TempDir {};

TEST_F(ReadersTest, SclMergesEightAndElevenCharacterListings) {
    auto path = write("scl.csv", "Gueltig ab / valid from 01.01.2017;;;;;;\r\n"
                                 "BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B;Service SCC\r\n"
                                 "ZZZZDEFF   ;LAST BANK ;1;0;0;0;0\r\n"
                                 "ABCDESMM   ;BANCO A S.A.  ;1;1;0;1;0\r\n"
                                 "ABCDESMMXXX;BANCO A   ;1;0;1;0;1\r\n"
                                 "ABCDESMM001;BANCO A BRANCH;0;0;0;0;1\r\n"
                                 "M\xdc" "NCHEN1   ;M\xdc" "NCHENER BANK;0;0;0;0;0\r\n");
    EXPECT_NE(error_of([&] { read_scl_directory(path); }).find(":7: not a BIC"), std::string::npos);
    write("scl.csv", "BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B;Service SCC\r\n"
                     "ZZZZDEFF   ;LAST BANK ;1;0;0;0;0\r\n"
                     "ABCDESMM   ;BANCO A S.A.  ;1;1;0;1;0\r\n"
                     "ABCDESMMXXX;BANCO A   ;1;0;1;0;1\r\n"
                     "ABCDESMM001;BANCO A BRANCH;0;0;0;0;1\r\n"
                     "MUENDEMM   ;M\xdc" "NCHENER BANK;0;0;0;0;0\r\n");
    auto entries = read_scl_directory(path);
    ASSERT_EQ(entries.size(), 4u);
    // Sorted by BIC; the merged key keeps the 8-character listing's name.
    EXPECT_EQ(entries[0].bic, "ABCDESMM001");
    EXPECT_EQ(entries[0].flags, 0);
    EXPECT_EQ(entries[1].bic, "ABCDESMMXXX");
    EXPECT_EQ(entries[1].flags, 1 | 2 | 4 | 8);
    EXPECT_EQ(entries[1].name, "BANCO A S.A.");
    EXPECT_EQ(entries[2].name, "M\xc3\x9cNCHENER BANK");
    EXPECT_EQ(entries[3].bic, "ZZZZDEFFXXX");
}

TEST_F(ReadersTest, SclRefusesOtherDuplicatesAndBadColumns) {
    const std::string header = "BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B;Service SCC\r\n";
    auto dup = write("dup.csv", header + "ABCDESMMXXX;A;1;0;0;0;0\r\nABCDESMMXXX;A;1;0;0;0;0\r\n");
    EXPECT_EQ(error_of([&] { read_scl_directory(dup); }), dup.string() + ":3: BIC ABCDESMMXXX is listed twice");
    // A form repeated after the 8- and 11-character listings were merged is still a duplicate.
    auto triple = write("triple.csv", header + "ABCDESMM   ;A;1;0;0;0;0\r\nABCDESMMXXX;A;0;1;0;0;0\r\n"
                                               "ABCDESMMXXX;A;0;0;0;1;0\r\n");
    EXPECT_EQ(error_of([&] { read_scl_directory(triple); }), triple.string() + ":4: BIC ABCDESMMXXX is listed twice");
    auto triple8 = write("triple8.csv", header + "ABCDESMMXXX;A;1;0;0;0;0\r\nABCDESMM;A;0;1;0;0;0\r\n"
                                                 "ABCDESMM;A;0;0;0;1;0\r\n");
    EXPECT_EQ(error_of([&] { read_scl_directory(triple8); }), triple8.string() + ":4: BIC ABCDESMMXXX is listed twice");
    auto flag = write("flag.csv", header + "ABCDESMMXXX;A;1;2;0;0;0\r\n");
    EXPECT_NE(error_of([&] { read_scl_directory(flag); }).find(":2: scheme column 4"), std::string::npos);
    auto fields = write("fields.csv", header + "ABCDESMMXXX;A;1;0;0;0\r\n");
    EXPECT_NE(error_of([&] { read_scl_directory(fields); }).find(":2: expected 7 fields, found 6"), std::string::npos);
    auto noname = write("noname.csv", header + "ABCDESMMXXX;   ;1;0;0;0;0\r\n");
    EXPECT_NE(error_of([&] { read_scl_directory(noname); }).find(":2: BIC ABCDESMMXXX has no name"),
              std::string::npos);
    auto noheader = write("noheader.csv", "ABCDESMMXXX;A;1;0;0;0;0\r\n");
    EXPECT_NE(error_of([&] { read_scl_directory(noheader); }).find("no header line"), std::string::npos);
}

const std::string oenb_preamble = "Es wird darauf hingewiesen ...\r\n\r\nSEPA-Verzeichnis-Abfrage vom 06.10.2025\r\n"
                                  "Kennzeichen;Identnummer;Bankleitzahl;Institutsart;Sektor;Firmenbuchnummer;"
                                  "Bankenname;Stra\xc3\x9f" "e;PLZ;Ort;a;b;c;d;e;f;g;h;SWIFT-Code;i;j;k\r\n";

std::string oenb_row(const std::string &code, const std::string &name, const std::string &bic) {
    return "Hauptanstalt;1;" + code + ";KI;S;1;" + name + ";Str 1;1010;Wien;;;;;Wien;;;;" + bic + ";;;\r\n";
}

TEST_F(ReadersTest, OenbPadsShortCodesAndDropsTheHeading) {
    auto path = write("at.csv", oenb_preamble + oenb_row("20111", "Erste Bank", "GIBAATWWXXX") +
                                    oenb_row("100", "Nationalbank", "NABAATWW") +
                                    oenb_row("19325", "Ohne BIC", ""));
    auto entries = read_oenb_list(path);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].code, "00100");
    EXPECT_EQ(entries[0].bic, "NABAATWWXXX");
    EXPECT_EQ(entries[1].code, "19325");
    EXPECT_EQ(entries[1].bic, "");
    EXPECT_EQ(entries[2].code, "20111");
    EXPECT_EQ(entries[2].name, "Erste Bank");
    EXPECT_EQ(entries[2].zip, "1010");
    EXPECT_EQ(entries[2].city, "Wien");
    EXPECT_EQ(entries[2].country, "AT");
}

TEST_F(ReadersTest, OenbAcceptsLatin1AndRefusesBadRows) {
    auto latin1 = write("l.csv", "Kennzeichen;Identnummer;Bankleitzahl;x\r\n" +
                                     oenb_row("20111", "\xd6sterreichische Bank", "GIBAATWWXXX"));
    // The header above has 4 fields only; the readers check the rows, not the header width.
    auto entries = read_oenb_list(latin1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "\xc3\x96sterreichische Bank");
    auto dup = write("d.csv", oenb_preamble + oenb_row("100", "A", "") + oenb_row("00100", "B", ""));
    EXPECT_EQ(error_of([&] { read_oenb_list(dup); }), dup.string() + ":6: bank code 00100 is listed twice");
    auto code = write("c.csv", oenb_preamble + oenb_row("123456", "A", ""));
    EXPECT_NE(error_of([&] { read_oenb_list(code); }).find(":5: bank code \"123456\""), std::string::npos);
    auto bic = write("b.csv", oenb_preamble + oenb_row("12345", "A", "GIBA-TWWXXX"));
    EXPECT_NE(error_of([&] { read_oenb_list(bic); }).find(":5: not a BIC"), std::string::npos);
}

TEST_F(ReadersTest, SixKeepsHeadOfficesOnly) {
    auto path = write("ch.csv",
                      "Gruppe;IID;Filial-ID;Name Bank/Institut;PLZ;Ort;Landcode;BIC\n"
                      "01;100;0000;Schweizerische Nationalbank;8022;Z\xc3\xbcrich;;SNBZCHZZXXX\n"
                      "01;100;0001;Filiale Bern;3003;Bern;;\n"
                      "08;30172;0000;Liechtensteinische Landesbank;9490;Vaduz;LI;LILALI2XXXX\n"
                      "08;193;0000;Swiss Euro Clearing Bank;60318;Frankfurt am Main;DE;SECGDEFF\n");
    auto entries = read_six_bank_master(path);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].code, "00100");
    EXPECT_EQ(entries[0].city, "Z\xc3\xbcrich");
    EXPECT_EQ(entries[0].country, "");
    EXPECT_EQ(entries[1].code, "00193");
    EXPECT_EQ(entries[1].bic, "SECGDEFFXXX");
    EXPECT_EQ(entries[1].country, "DE");
    EXPECT_EQ(entries[2].code, "30172");
    EXPECT_EQ(entries[2].country, "LI");
}

TEST_F(ReadersTest, SixRefusesMissingColumnsAndBadRows) {
    auto columns = write("a.csv", "Gruppe;IID;Filial-ID;PLZ;Ort;Landcode;BIC\n");
    EXPECT_EQ(error_of([&] { read_six_bank_master(columns); }),
              columns.string() + ":1: header has no column \"Name Bank/Institut\"");
    const std::string header = "IID;Filial-ID;Name Bank/Institut;PLZ;Ort;Landcode;BIC\n";
    auto width = write("b.csv", header + "100;0000;SNB;8022;Bern;\n");
    EXPECT_NE(error_of([&] { read_six_bank_master(width); }).find(":2: expected 7 fields, found 6"), std::string::npos);
    auto country = write("c.csv", header + "100;0000;SNB;8022;Bern;Liechtenstein;\n");
    EXPECT_NE(error_of([&] { read_six_bank_master(country); }).find(":2: country code"), std::string::npos);
    auto dup = write("d.csv", header + "100;0000;SNB;8022;Bern;;\n00100;0000;SNB;8022;Bern;;\n");
    EXPECT_NE(error_of([&] { read_six_bank_master(dup); }).find(":3: head office 00100 is listed twice"),
              std::string::npos);
}

TEST_F(ReadersTest, BundesbankMainEntriesWithTheirIbanRule) {
    auto rules = write("rules.csv", "bank_code,iban_rule\n37040044,000503\n10000000,004201\n");
    auto rule_map = read_iban_rule_map(rules);
    ASSERT_EQ(rule_map.size(), 2u);
    EXPECT_EQ(rule_map.at("37040044"), 503);
    auto path = write("blz.txt", blz_line("37040044", '1', "Commerzbank", "50447", "K\xf6ln", "COBADEFFXXX", "13") +
                                     blz_line("37040044", '2', "Commerzbank", "50103", "Bergheim", "", "13") +
                                     blz_line("13061088", '1', "Alte Bank", "18055", "Rostock", "", "A3", '1',
                                              "13061078", 'D') +
                                     blz_line("20000000", '1', "Neue Bank", "20095", "Hamburg", "NEUEDEHH", "09"));
    auto entries = read_bundesbank_edition(path, rule_map);
    ASSERT_EQ(entries.size(), 3u);
    const auto &cb = entries.at("37040044");
    EXPECT_EQ(cb.name, "Commerzbank");
    EXPECT_EQ(cb.zip, "50447");
    EXPECT_EQ(cb.city, "K\xc3\xb6ln");
    EXPECT_EQ(cb.bic, "COBADEFFXXX");
    EXPECT_EQ(cb.method, 0x13);
    EXPECT_EQ(cb.iban_rule, 503);
    EXPECT_FALSE(cb.deleted);
    EXPECT_EQ(cb.successor, "");
    const auto &old = entries.at("13061088");
    EXPECT_TRUE(old.deleted);
    EXPECT_EQ(old.successor, "13061078");
    EXPECT_EQ(old.method, 0xA3);
    EXPECT_EQ(old.iban_rule, 0); // not in the rule table
    EXPECT_EQ(entries.at("20000000").bic, "NEUEDEHHXXX");
}

TEST_F(ReadersTest, BundesbankRefusesBadRecords) {
    const std::map<std::string, uint16_t> none;
    auto good = blz_line("37040044", '1', "Commerzbank", "50447", "Koeln", "COBADEFFXXX", "13");
    auto shortened = write("s.txt", good + good.substr(1));
    EXPECT_EQ(error_of([&] { read_bundesbank_edition(shortened, none); }),
              shortened.string() + ":2: record has 167 characters, expected 168");
    auto twice = write("t.txt", good + good);
    EXPECT_EQ(error_of([&] { read_bundesbank_edition(twice, none); }),
              twice.string() + ":2: bank code 37040044 has a second main entry");
    auto method = write("m.txt", blz_line("37040044", '1', "Commerzbank", "50447", "Koeln", "", "1X"));
    EXPECT_NE(error_of([&] { read_bundesbank_edition(method, none); }).find(":1: check method \"1X\""),
              std::string::npos);
    auto feature = write("f.txt", blz_line("37040044", '3', "Commerzbank", "50447", "Koeln", "", "13"));
    EXPECT_NE(error_of([&] { read_bundesbank_edition(feature, none); }).find(":1: feature flag"), std::string::npos);
    auto successor = write("x.txt", blz_line("37040044", '1', "C", "50447", "Koeln", "", "13", '1', "1306107X"));
    EXPECT_NE(error_of([&] { read_bundesbank_edition(successor, none); }).find(":1: successor"), std::string::npos);
    auto empty = write("e.txt", blz_line("37040044", '2', "C", "50447", "Koeln", "", "13"));
    EXPECT_NE(error_of([&] { read_bundesbank_edition(empty, none); }).find("no main entry"), std::string::npos);
    auto rules = write("r.csv", "bank_code,iban_rule\n37040044,999999\n");
    EXPECT_EQ(error_of([&] { read_iban_rule_map(rules); }),
              rules.string() + ":2: IBAN rule 999999 does not fit the 16-bit rule field");
    auto rules_header = write("h.csv", "blz,rule\n");
    EXPECT_NE(error_of([&] { read_iban_rule_map(rules_header); }).find(":1: expected the header"), std::string::npos);
}

TEST_F(ReadersTest, GermanDirectoryUsesTheTwoNewestEditionsByName) {
    write("de/iban_rules/blz_iban_rule_2024_12_09.csv", "bank_code,iban_rule\n10000000,004201\n");
    // The oldest edition must be ignored: it would fail to read.
    write("de/blz_2025_03_03.txt", "broken\r\n");
    write("de/blz_2025_06_09.txt", blz_line("10000000", '1', "Bundesbank", "10591", "Berlin", "MARKDEF1100", "09") +
                                       blz_line("20000000", '1', "Gone", "20095", "Hamburg", "", "09") +
                                       blz_line("30000000", '1', "Same", "30159", "Hannover", "", "09"));
    write("de/blz_2025_09_08.txt", blz_line("10000000", '1', "Bundesbank", "10591", "Berlin", "MARKDEF1100", "38") +
                                       blz_line("30000000", '1', "Same", "30159", "Hannover", "", "09") +
                                       blz_line("40000000", '1', "New", "40210", "Duesseldorf", "", "09"));
    auto de = read_german_directory(bundesbank_editions(dir() / "de"),
                                    iban_rule_table(dir() / "de" / "iban_rules").path);
    EXPECT_EQ(de.older_name, "blz_2025_06_09.txt");
    EXPECT_EQ(de.newer_name, "blz_2025_09_08.txt");
    EXPECT_EQ(de.switch_instant, 1757282400); // 2025-09-08 00:00 CEST
    ASSERT_EQ(de.entries.size(), 4u);
    EXPECT_EQ(de.entries[0].older->method, 0x09);
    EXPECT_EQ(de.entries[0].newer->method, 0x38);
    EXPECT_EQ(de.entries[0].newer->iban_rule, 4201);
    EXPECT_TRUE(de.entries[1].older && !de.entries[1].newer);
    EXPECT_TRUE(de.entries[2].older == de.entries[2].newer);
    EXPECT_TRUE(!de.entries[3].older && de.entries[3].newer);
}

TEST_F(ReadersTest, MissingGermanFilesSayWhatToDownload) {
    EXPECT_NE(error_of([&] { bundesbank_editions(dir() / "de"); }).find("Bankleitzahlendatei"), std::string::npos);
    EXPECT_NE(error_of([&] { iban_rule_table(dir() / "de" / "iban_rules"); }).find("blz_iban_rule_YYYY_MM_DD.csv: missing"),
              std::string::npos);
}

TEST(GermanMidnight, SummerAndWinterTime) {
    EXPECT_EQ(german_midnight({2025, 9, 8}), 1757282400);     // CEST: 22:00 UTC the day before
    EXPECT_EQ(german_midnight({2026, 6, 8}), 1780869600);     // the instant after 2026-06-07 21:59:59 UTC
    EXPECT_EQ(german_midnight({2025, 12, 8}), 1765148400);    // CET: 23:00 UTC the day before
    EXPECT_EQ(german_midnight({2025, 3, 30}), 1743289200);    // change day in March: midnight is still CET
    EXPECT_EQ(german_midnight({2025, 3, 31}), 1743372000);    // CEST
    EXPECT_EQ(german_midnight({2025, 10, 26}), 1761429600);   // change day in October: midnight is CEST
    EXPECT_EQ(german_midnight({2025, 10, 27}), 1761519600);   // CET
    EXPECT_EQ(german_midnight({2024, 2, 29}), 1709161200);    // leap day, CET
}

} // namespace
