// Result rows and the UTF-8 check, on their own: every special byte at every position of
// the eight-byte scan, and the byte sequences Unicode calls ill-formed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "batch.h"
#include "tarvo.h"

using namespace tarvotool;

namespace {

constexpr const char *columns[] = {"line", "text", "flag"};

// Whether the whole text is well-formed UTF-8, by the library's reader that the batch
// lines are checked with.
bool is_utf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = tarvo_utf8_length(text.data() + i, text.size() - i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string row(Format format, const std::string &text) {
    RowBuffer buffer;
    Row r(format, columns, buffer);
    r.number(7);
    r.text(text);
    r.flag(true);
    r.end();
    return std::string(buffer.data(), buffer.size());
}

TEST(Row, SpecialBytesAtEveryPosition) {
    for (const char special : {';', '"', '\\', '\t', '\n', '\x01'}) {
        for (size_t length = 1; length <= 20; ++length) {
            for (size_t at = 0; at < length; ++at) {
                std::string text(length, 'a');
                text[at] = special;
                const std::string json = row(Format::json_lines, text);
                const auto parsed = nlohmann::json::parse(json);
                EXPECT_EQ(parsed["text"].get<std::string>(), text) << json;
                EXPECT_EQ(json.back(), '\n');
                const std::string csv = row(Format::csv, text);
                const bool quoted = special != '\\'; // control characters, the tab too, are quoted
                std::string expected("7;");
                if (quoted) expected.push_back('"');
                for (const char c : text) {
                    if (c == '"') expected.push_back('"');
                    expected.push_back(c);
                }
                if (quoted) expected.push_back('"');
                expected.append(";yes\n");
                EXPECT_EQ(csv, expected) << length << " " << at;
            }
        }
    }
}

TEST(Row, EmptyTextsAreLeftOutOfJsonButKeepTheirCsvColumn) {
    EXPECT_EQ(row(Format::json_lines, ""), "{\"line\":7,\"flag\":true}\n");
    EXPECT_EQ(row(Format::csv, ""), "7;;yes\n");
    RowBuffer buffer;
    Row r(Format::csv, columns, buffer);
    r.number(1);
    r.end();
    EXPECT_EQ(std::string(buffer.data(), buffer.size()), "1;;\n");
}

TEST(Row, LongTextIsCutAtACharacterBoundary) {
    std::string text("x"); // odd offset: a cut at an even count would split a character
    for (int i = 0; i < 2000; ++i) text.append("\xc3\xa4");
    const std::string json = row(Format::json_lines, text);
    const auto parsed = nlohmann::json::parse(json); // throws on a split character
    const std::string kept = parsed["text"];
    EXPECT_LE(kept.size(), 3 * longest_line);
    EXPECT_GT(kept.size(), 3 * longest_line - 4);
    EXPECT_EQ(text.rfind(kept, 0), 0u);
}

TEST(Row, ManyRowsGrowTheBuffer) {
    RowBuffer buffer;
    const std::string text(3000, '"');
    for (int i = 0; i < 200; ++i) {
        Row r(Format::json_lines, columns, buffer);
        r.number(i);
        r.text(text);
        r.end();
    }
    size_t start = 0;
    int rows = 0;
    const std::string all(buffer.data(), buffer.size());
    for (size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1, ++rows)
        EXPECT_EQ(nlohmann::json::parse(all.substr(start, nl - start))["line"].get<int>(), rows);
    EXPECT_EQ(rows, 200);
}

TEST(Utf8, WellFormedAndIllFormedSequences) {
    struct Case {
        const char *bytes;
        bool valid;
    };
    constexpr Case cases[] = {
        {"plain", true},
        {"\xc3\xa4", true},
        {"\xe2\x82\xac", true},
        {"\xf0\x9f\x98\x80", true},
        {"\xf4\x8f\xbf\xbf", true},     // U+10FFFF
        {"\xc0\xaf", false},            // overlong '/'
        {"\xc1\xbf", false},            // overlong
        {"\xe0\x80\xaf", false},        // overlong three bytes
        {"\xed\xa0\x80", false},        // surrogate
        {"\xf0\x80\x80\xaf", false},    // overlong four bytes
        {"\xf4\x90\x80\x80", false},    // above U+10FFFF
        {"\xf5\x80\x80\x80", false},
        {"\xc3", false},                // cut short
        {"\xe2\x82", false},
        {"\x80", false},                // lone continuation
        {"\xc3\x28", false},
        {"\xff", false},
    };
    for (const Case &c : cases) EXPECT_EQ(is_utf8(c.bytes), c.valid) << c.bytes;
}

} // namespace
