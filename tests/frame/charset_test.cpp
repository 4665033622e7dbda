#include <gtest/gtest.h>

#include <string>

#include "frame/frame.h"

namespace {

class Charset : public ::testing::Test {
protected:
    void use(const char *id) { ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, id), 1); }
    void TearDown() override { __tarvo_rulebook = -1; }

    // The refused byte, or 0 when the value passes.
    static unsigned char refused(const char *value, int mode) {
        unsigned char bad = 0;
        return check_string(value, &bad, mode) ? 0 : (bad == 0 ? 0xFF : bad);
    }
};

TEST_F(Charset, IdentifierTextAndExtendedSets) {
    use("DE-3.7");
    EXPECT_EQ(refused("A B", tarvo::CHARSET_IDENT), ' ');
    EXPECT_EQ(refused("A B", tarvo::CHARSET_TEXT), 0);
    EXPECT_EQ(refused("Az09'()+,-./:?", tarvo::CHARSET_IDENT), 0);
    EXPECT_EQ(refused("50%", tarvo::CHARSET_TEXT), '%');
    EXPECT_EQ(refused("M\xC3\xBCller & S\xC3\xB6hne $*%", tarvo::CHARSET_EXTENDED), 0);
    EXPECT_EQ(refused("\xC3\x84\xC3\x96\xC3\x9C\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", tarvo::CHARSET_EXTENDED), 0);
    EXPECT_EQ(refused(nullptr, tarvo::CHARSET_IDENT), 0);
}

TEST_F(Charset, RefusesEverythingElse) {
    use("DE-3.7");
    for (const char *value : {"a\\b", "a`b", "a\tb", "a\nb", "a@b", "a_b", "a\x7f"})
        EXPECT_NE(refused(value, tarvo::CHARSET_EXTENDED), 0) << value;
    EXPECT_EQ(refused("M\xFCller", tarvo::CHARSET_EXTENDED), 0xFC) << "ISO 8859-1 umlaut";
    EXPECT_EQ(refused("\xC3\xA9t\xC3\xA9", tarvo::CHARSET_EXTENDED), 0xC3) << "not a German letter";
    EXPECT_EQ(refused("abc\xC3", tarvo::CHARSET_EXTENDED), 0xC3) << "lone lead byte at the end";
    EXPECT_EQ(refused("\xE2\x82\xAC", tarvo::CHARSET_EXTENDED), 0xE2) << "euro only under AT-6";
}

TEST_F(Charset, OldestGuidelineHasNoExtendedSet) {
    use("DE-2.6");
    EXPECT_EQ(refused("M\xC3\xBCller", tarvo::CHARSET_EXTENDED), 0xC3);
    EXPECT_EQ(refused("A & B", tarvo::CHARSET_EXTENDED), '&');
    EXPECT_EQ(refused("A B", tarvo::CHARSET_EXTENDED), 0);
}

TEST_F(Charset, AustrianAdditionsInEveryMode) {
    use("AT-6");
    EXPECT_EQ(refused("a@b[c]", tarvo::CHARSET_TEXT), 0);
    EXPECT_EQ(refused("a@b", tarvo::CHARSET_IDENT), 0);
    EXPECT_EQ(refused("\"!#;<=>@[]^_{|}~", tarvo::CHARSET_IDENT), 0);
    EXPECT_EQ(refused("\xC2\xA7" "3,20\xC2\xB0", tarvo::CHARSET_IDENT), 0) << "section and degree in UTF-8";
    EXPECT_EQ(refused("\xA7 3", tarvo::CHARSET_TEXT), 0xA7) << "ISO 8859-1 section sign";
    EXPECT_EQ(refused("20 \xB0", tarvo::CHARSET_TEXT), 0xB0) << "ISO 8859-1 degree sign";
    EXPECT_EQ(refused("\xC2\xA9", tarvo::CHARSET_TEXT), 0xC2) << "copyright sign";
    EXPECT_EQ(refused("\xC2", tarvo::CHARSET_TEXT), 0xC2) << "cut section sign";
    EXPECT_EQ(refused("10 \xE2\x82\xAC", tarvo::CHARSET_TEXT), 0);
    EXPECT_EQ(refused("10 $", tarvo::CHARSET_TEXT), '$');
    EXPECT_EQ(refused("a\\b", tarvo::CHARSET_TEXT), '\\');
    EXPECT_EQ(refused("\xE2\x82", tarvo::CHARSET_TEXT), 0xE2) << "cut euro sign";
    EXPECT_EQ(refused("\xE2\x82\xAD", tarvo::CHARSET_TEXT), 0xE2);
    use("NL-6");
    EXPECT_EQ(refused("a@b", tarvo::CHARSET_TEXT), '@');
    EXPECT_EQ(refused("\xC2\xA7", tarvo::CHARSET_EXTENDED), 0xC2);
}

TEST(FormatCheck, BicPattern) {
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFF"), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFFXXX"), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "DEUTDE5M123"), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "cobadeff"), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEF"), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADE1F"), 0) << "location code starting with 1";
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFO"), 0) << "second location character O";
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFFXX"), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, nullptr), 0);
}

TEST(FormatCheck, MaximumLengths) {
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX35, std::string(35, 'a').c_str()), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX35, std::string(36, 'a').c_str()), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX16, std::string(16, 'a').c_str()), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX16, std::string(17, 'a').c_str()), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX70, std::string(70, 'a').c_str()), 1);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX70, std::string(71, 'a').c_str()), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX16, ""), 0);
    EXPECT_EQ(format_check(tarvo::FORMAT_MAX70, nullptr), 0);
    EXPECT_EQ(format_check(4, "x"), 0);
    EXPECT_EQ(format_check(-1, "x"), 0);
}

TEST(Cleanup, IsHarmlessAndPatternsCompileAgain) {
    tarvo_cleanup();
    tarvo_cleanup();
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFF"), 1);
    tarvo_cleanup();
    tarvo_cleanup();
    EXPECT_EQ(format_check(tarvo::FORMAT_BIC, "COBADEFF"), 1);
    EXPECT_NE(libc_regcomp, nullptr) << "cleanup keeps the bound functions";
}

} // namespace

namespace {

// The Swiss set by its edges: each block's first and last character, and the neighbours
// just outside, where a wrong bound would let a byte through that SIX's schema refuses.
TEST(SwissText, BlockEdges) {
    struct Case {
        const char *text;
        bool valid;
        unsigned char bad;
    };
    const Case cases[] = {
        {" ~", true, 0},
        {"\x7F", false, 0x7F},              // DEL
        {"a\tb", false, '\t'},
        {"\xC2\x9F", false, 0xC2},          // last C1 control
        {"\xC2\xA0\xC2\xAC\xC2\xAE", true, 0}, // no-break space, not sign, registered
        {"\xC2\xAD", false, 0xC2},          // soft hyphen, a format character
        {"\xC3\xBF\xC4\x80\xC5\xBF", true, 0}, // y diaeresis, A macron, long s
        {"\xC6\x80", false, 0xC6},          // first of Latin Extended-B
        {"\xC8\x98\xC8\x9B", true, 0},      // S and t with comma below
        {"\xC8\x97", false, 0xC8},
        {"\xC8\x9C", false, 0xC8},
        {"\xE2\x82\xAC", true, 0},          // euro sign
        {"\xE2\x82\xAB", false, 0xE2},
        {"\xC3", false, 0xC3},              // cut sequence
        {"\xC0\xA0", false, 0xC0},          // overlong space
        {"\xE0\x81\x81", false, 0xE0},      // overlong
        {"\xF0\x9F\x98\x80", false, 0xF0},  // beyond the plane
        {"", true, 0},
    };
    for (const Case &c : cases) {
        unsigned char bad = 0;
        EXPECT_EQ(tarvo::swiss_text(c.text, &bad), c.valid) << c.text;
        EXPECT_EQ(bad, c.bad) << c.text;
    }
}

} // namespace
