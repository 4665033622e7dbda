// Line reading, field splitting, encodings and dated file names of the generator.
#include <gtest/gtest.h>

#include "input.h"
#include "temp_dir.h"

namespace {

using namespace tarvogen;

TEST(Split, KeepsEmptyFieldsAtBothEnds) {
    auto f = split(";a;;b;", ';');
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0], "");
    EXPECT_EQ(f[1], "a");
    EXPECT_EQ(f[2], "");
    EXPECT_EQ(f[3], "b");
    EXPECT_EQ(f[4], "");
    EXPECT_EQ(split("", ',').size(), 1u);
}

TEST(Trim, BlanksAndTabsOnBothSides) {
    EXPECT_EQ(trim("  a b\t "), "a b");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim(""), "");
}

TEST(Checks, DigitsAndBics) {
    EXPECT_TRUE(all_digits("0123"));
    EXPECT_FALSE(all_digits(""));
    EXPECT_FALSE(all_digits("12a"));
    EXPECT_TRUE(is_bic("AACSDE33"));
    EXPECT_TRUE(is_bic("AACSDE33XXX"));
    EXPECT_FALSE(is_bic("aacsde33"));
    EXPECT_FALSE(is_bic("AACSDE3"));
    EXPECT_FALSE(is_bic("AACSDE33XX"));
    EXPECT_FALSE(is_bic("AACS-E33"));
}

TEST(Encoding, Utf8Validity) {
    EXPECT_TRUE(is_valid_utf8("K\xc3\xb6ln"));
    EXPECT_TRUE(is_valid_utf8("\xe2\x82\xac\xf0\x9f\x98\x80"));
    EXPECT_FALSE(is_valid_utf8("K\xf6ln"));          // Latin-1
    EXPECT_FALSE(is_valid_utf8("\xc3"));             // cut short
    EXPECT_FALSE(is_valid_utf8("\xe2\x82"));         // cut short
    EXPECT_FALSE(is_valid_utf8("\xc0\xaf"));         // overlong
    EXPECT_FALSE(is_valid_utf8("\xed\xa0\x80"));     // surrogate
    EXPECT_FALSE(is_valid_utf8("\xf4\x90\x80\x80")); // beyond U+10FFFF
}

TEST(Encoding, Latin1BecomesUtf8) {
    EXPECT_EQ(latin1_to_utf8("K\xf6ln Stra\xdf" "e"), "K\xc3\xb6ln Stra\xc3\x9f" "e");
    EXPECT_EQ(latin1_to_utf8("\xff"), "\xc3\xbf");
    EXPECT_EQ(latin1_to_utf8("plain"), "plain");
}

TEST(Padding, LeftWithZeros) {
    EXPECT_EQ(pad_left("100", 5, '0'), "00100");
    EXPECT_EQ(pad_left("12345", 5, '0'), "12345");
    EXPECT_EQ(pad_left("123456", 5, '0'), "123456");
}

class LineReaderTest : public TempDir {};

TEST_F(LineReaderTest, LinesWithoutLineEndsAndNumberedErrors) {
    auto path = write("a.txt", "one\r\ntwo\n\nfour");
    LineReader r(path, Encoding::Utf8);
    std::string_view line;
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "two");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(r.next(line));
    EXPECT_EQ(line, "four");
    EXPECT_EQ(r.line_number(), 4u);
    EXPECT_EQ(error_of([&] { r.fail("bad field"); }), path.string() + ":4: bad field");
    EXPECT_FALSE(r.next(line));
}

TEST_F(LineReaderTest, DetectsTheEncodingOfTheWholeFile) {
    LineReader utf8(write("u.csv", "K\xc3\xb6ln\n"), Encoding::Detect);
    EXPECT_EQ(utf8.encoding(), Encoding::Utf8);
    // One Latin-1 byte anywhere makes the whole file Latin-1.
    LineReader latin1(write("l.csv", "K\xc3\xb6ln\nK\xf6ln\n"), Encoding::Detect);
    EXPECT_EQ(latin1.encoding(), Encoding::Latin1);
    std::string_view line;
    ASSERT_TRUE(latin1.next(line));
    ASSERT_TRUE(latin1.next(line));
    EXPECT_EQ(latin1.text(line), "K\xc3\xb6ln");
}

TEST_F(LineReaderTest, InvalidUtf8InAUtf8FileIsAnError) {
    LineReader r(write("u.csv", "K\xf6ln\n"), Encoding::Utf8);
    std::string_view line;
    ASSERT_TRUE(r.next(line));
    EXPECT_NE(error_of([&] { r.text(line); }).find(":1: text is not valid UTF-8"), std::string::npos);
}

TEST_F(LineReaderTest, MissingFileNamesIt) {
    auto path = dir() / "missing.txt";
    EXPECT_EQ(error_of([&] { LineReader r(path, Encoding::Utf8); }), path.string() + ": cannot open the file");
    EXPECT_EQ(error_of([&] { require_file(path, "get it from the publisher"); }),
              path.string() + ": missing; get it from the publisher");
}

class DatedFilesTest : public TempDir {};

TEST_F(DatedFilesTest, SortedByTheDateInTheName) {
    write("blz_2025_09_08.txt", "");
    write("blz_2024_12_09.txt", "");
    write("blz_2025_06_09.txt", "");
    write("blz_2025_02_30.txt", "");      // no such day
    write("blz_iban_2023_06_05.txt", ""); // another kind of file
    write("blz_2025_06_09.csv", "");
    auto files = dated_files(dir(), "blz_", ".txt", true);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].path.filename(), "blz_2024_12_09.txt");
    EXPECT_EQ(files[2].path.filename(), "blz_2025_09_08.txt");
    EXPECT_EQ(files[2].date, (FileDate{2025, 9, 8}));
    write("scl_directory_2016_12.csv", "");
    auto months = dated_files(dir(), "scl_directory_", ".csv", false);
    ASSERT_EQ(months.size(), 1u);
    EXPECT_EQ(months[0].date, (FileDate{2016, 12, 1}));
    EXPECT_TRUE(dated_files(dir() / "none", "blz_", ".txt", true).empty());
}

} // namespace
