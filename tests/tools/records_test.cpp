// Record layouts, the limits the lookups rely on, the source writer, and a whole generator
// run on a small data folder written here.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "directory.h"
#include "modules.h"
#include "source_writer.h"
#include "temp_dir.h"

namespace {

using namespace tarvogen;
using namespace std::string_literals;

GermanVersion version(std::string name, uint8_t method = 0x13, uint16_t rule = 503) {
    GermanVersion v;
    v.method = method;
    v.iban_rule = rule;
    v.bic = "COBADEFFXXX";
    v.name = std::move(name);
    v.zip = "50447";
    v.city = "K\xc3\xb6ln";
    return v;
}

TEST(Records, BicRecordIsKeyFlagsAndName) {
    EXPECT_EQ(bic_record({"AACSDE33XXX", 0x0B, "SPARKASSE AACHEN"}), "AACSDE33XXX\x0bSPARKASSE AACHEN"s);
    EXPECT_EQ(bic_record({"GENODE51GAA", 0, "VB"}), "GENODE51GAA\0VB"s);
}

TEST(Records, BankCodeRecordHasTheBicRightBehindTheKey) {
    BankEntry e{"10000", "OEKOATWWXXX", "Oesterreichische Kontrollbank Aktiengesellschaft", "1010", "Wien", "AT"};
    EXPECT_EQ(bank_record_text(e, "AT"),
              "_AT10000OEKOATWWXXX|Oesterreichische Kontrollbank Aktiengesellschaft|1010|Wien|AT");
    BankEntry swiss{"00100", "", "SNB", "8022", "Bern", ""};
    EXPECT_EQ(bank_record_text(swiss, "CH"), "_CH00100|SNB|8022|Bern|");
}

TEST(Records, GermanRecordWithOneVersion) {
    GermanEntry e{"37040044", version("Commerzbank"), version("Commerzbank")};
    EXPECT_EQ(german_record(e), "_DE37040044\x00\x13\x01\xf7|COBADEFFXXX|Commerzbank|50447|K\xc3\xb6ln|DE"s);
}

TEST(Records, GermanRecordWithASecondVersion) {
    GermanEntry e{"37040044", version("Old", 0x13, 503), version("New", 0xA3, 0)};
    e.newer->deleted = true;
    e.newer->successor = "37040000";
    EXPECT_EQ(german_record(e), "_DE37040044\x00\x13\x01\xf7|COBADEFFXXX|Old|50447|K\xc3\xb6ln|DE|"
                                "\x01\xa3\x00\x00" "37040000|COBADEFFXXX|New|50447|K\xc3\xb6ln|DE"s);
}

TEST(Records, CodesOfOneEditionGetAnAbsentVersion) {
    GermanEntry dropped{"51230600", version("Gone"), std::nullopt};
    EXPECT_EQ(german_record(dropped),
              "_DE51230600\x00\x13\x01\xf7|COBADEFFXXX|Gone|50447|K\xc3\xb6ln|DE|\x02\x00\x00\x00|||||"s);
    GermanEntry added{"86021000", std::nullopt, version("New")};
    EXPECT_EQ(german_record(added),
              "_DE86021000\x02\x00\x00\x00||||||\x00\x13\x01\xf7|COBADEFFXXX|New|50447|K\xc3\xb6ln|DE"s);
}

TEST(Records, LimitsStopTheGenerator) {
    // A version's text must fit bank_record::text with its NUL: 28 bytes of other fields
    // and separators leave 163 for the name.
    GermanEntry longest{"37040044", version(std::string(163, 'n')), version(std::string(163, 'n'))};
    EXPECT_NO_THROW(german_record(longest));
    longest.older->name += 'n';
    longest.newer = longest.older;
    EXPECT_NE(error_of([&] { german_record(longest); }).find("does not fit 192 bytes"), std::string::npos);
    BankEntry at{"10000", "OEKOATWWXXX", std::string(200, 'x'), "1010", "Wien", "AT"};
    EXPECT_NE(error_of([&] { bank_record_text(at, "AT"); }).find("record _AT10000"), std::string::npos);
    // Separators and NUL bytes inside a field would cut it at run time.
    EXPECT_NE(error_of([&] { bic_record({"AACSDE33XXX", 1, "A|B"}); }).find("contains '|'"), std::string::npos);
    EXPECT_NE(error_of([&] { bic_record({"AACSDE33XXX", 1, "A\0B"s}); }).find("NUL"), std::string::npos);
    BankEntry pipe{"10000", "", "Bank", "10|10", "Wien", "AT"};
    EXPECT_NE(error_of([&] { bank_record_text(pipe, "AT"); }).find("contains '|'"), std::string::npos);
    // Keys: 6 to 15 characters within '0'..'z'.
    BankEntry long_code{"1234567890123", "", "Bank", "1010", "Wien", "AT"};
    EXPECT_NE(error_of([&] { bank_record_text(long_code, "AT"); }).find("key length 16"), std::string::npos);
    EXPECT_NE(error_of([&] { bic_record({"AACS DE3XXX", 1, "A"}); }).find("outside '0'..'z'"), std::string::npos);
}

TEST(SourceWriter, StringLiteralsKeepEveryByte) {
    EXPECT_EQ(string_literal("AB\"\\c"), "\"AB\\\"\\\\c\"");
    // Octal escapes have three digits, so a digit after them stays a digit.
    EXPECT_EQ(string_literal("\x0b" "1"), "\"\\0131\"");
    EXPECT_EQ(string_literal("\0"s), "\"\\000\"");
    EXPECT_EQ(string_literal("\xc3\xb6"), "\"\\303\\266\"");
    EXPECT_EQ(string_literal("?\n"), "\"?\\012\"");
}

TEST(SourceWriter, ArraysTwelveValuesALine) {
    std::ostringstream out;
    write_array(out, "int32_t", "g", std::vector<int32_t>{-1, 0, 5});
    EXPECT_EQ(out.str(), "const int32_t g[3] = {\n    -1, 0, 5,\n};\n");
}

class GeneratorRun : public TempDir {
protected:
    // The smallest data folder the directory module accepts.
    void write_data() {
        auto blz = [](const std::string &code, const std::string &name, const std::string &method) {
            std::string line = code + "1" + name;
            line.resize(67, ' ');
            line += "10591";
            line += std::string("Berlin").append(29, ' ');
            line += std::string(27, ' ') + "12345" + "MARKDEF1100" + method + "000001U000000000";
            return line + "\r\n";
        };
        write("data/de/blz_2025_06_09.txt", blz("10000000", "Bundesbank", "09") + blz("20000000", "Alt", "09"));
        write("data/de/blz_2025_09_08.txt", blz("10000000", "Bundesbank", "09") + blz("20000000", "Neu", "09"));
        write("data/de/iban_rules/blz_iban_rule_2024_12_09.csv", "bank_code,iban_rule\n10000000,004201\n");
        write("data/de/scl_directory_2016_12.csv",
              "BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B;Service SCC\r\n"
              "MARKDEF1100;BUNDESBANK;1;1;0;1;0\r\nAACSDE33   ;SPARKASSE AACHEN;1;1;0;1;1\r\n");
        write("data/at/sepa-zv-vz_gesamt.csv",
              "Kennzeichen;Identnummer;Bankleitzahl;x\r\n"
              "Hauptanstalt;1;100;KI;S;1;Nationalbank;Str;1090;Wien;;;;;Wien;;;;NABAATWWXXX;;;\r\n");
        write("data/ch/derived/bcbankenstamm_d.csv",
              "IID;Filial-ID;Name Bank/Institut;PLZ;Ort;Landcode;BIC\n100;0000;SNB;8022;Z\xc3\xbcrich;;SNBZCHZZXXX\n");
    }
    std::string read(const std::string &name) {
        std::ifstream in(dir() / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(GeneratorRun, WritesTheSameBytesEveryTime) {
    write_data();
    write_directory(dir() / "data", dir() / "out1");
    write_directory(dir() / "data", dir() / "out2");
    const std::string header = read("out1/directory_data.h"), source = read("out1/directory_data.cpp");
    EXPECT_EQ(header, read("out2/directory_data.h"));
    EXPECT_EQ(source, read("out2/directory_data.cpp"));
    EXPECT_NE(header.find("db_records = 6;"), std::string::npos);
    EXPECT_NE(header.find("db_at_first = 2;"), std::string::npos);
    EXPECT_NE(header.find("db_ch_first = 3;"), std::string::npos);
    EXPECT_NE(header.find("db_de_first = 4;"), std::string::npos);
    EXPECT_NE(header.find("db_second_versions = 1;"), std::string::npos);
    EXPECT_NE(header.find("directory_switch_instant = 1757282400;"), std::string::npos);
    EXPECT_NE(source.find("\"AACSDE33XXX\\013SPARKASSE AACHEN\",\n    \"MARKDEF1100\\013BUNDESBANK\""),
              std::string::npos);
    EXPECT_NE(source.find("\"_AT00100NABAATWWXXX|Nationalbank|1090|Wien|AT\""), std::string::npos);
    EXPECT_NE(source.find("\"_DE10000000\\000\\011\\020i|MARKDEF1100|Bundesbank|10591|Berlin|DE\""),
              std::string::npos);
}

TEST_F(GeneratorRun, MissingFilesSayWhatToDownload) {
    write_data();
    std::filesystem::remove(dir() / "data/at/sepa-zv-vz_gesamt.csv");
    const auto message = error_of([&] { write_directory(dir() / "data", dir() / "out"); });
    EXPECT_NE(message.find("sepa-zv-vz_gesamt.csv: missing; download the OeNB"), std::string::npos) << message;
    EXPECT_FALSE(std::filesystem::exists(dir() / "out/directory_data.cpp"));
}

TEST_F(GeneratorRun, ABadLineStopsTheRunNamingFileAndLine) {
    write_data();
    write("data/ch/derived/bcbankenstamm_d.csv",
          "IID;Filial-ID;Name Bank/Institut;PLZ;Ort;Landcode;BIC\n100;0000;SNB;8022;Bern;;SNBZCHZZ-XX\n");
    const auto message = error_of([&] { write_directory(dir() / "data", dir() / "out"); });
    EXPECT_NE(message.find("bcbankenstamm_d.csv:2: not a BIC"), std::string::npos) << message;
}

} // namespace
