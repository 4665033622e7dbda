// Record texts as UTF-8: which bytes are kept and which are read as ISO-8859-1.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "tarvo.h"

namespace {

struct Case {
    const char *in;
    const char *out;
};

std::string as_utf8(const char *text) {
    std::string out(2 * strlen(text) + 1, '\x7f');
    out.resize(tarvo_stmt_text_utf8(text, out.data()));
    return out;
}

TEST(StatementTextUtf8, KeepsUtf8AndReadsTheRestAsLatin1) {
    const Case cases[] = {
        {"", ""},
        {"SEPA GUTSCHRIFT", "SEPA GUTSCHRIFT"},
        {"M\xC3\xBCller \xE2\x82\xAC", "M\xC3\xBCller \xE2\x82\xAC"},    // UTF-8 stays
        {"M\xFCller \xA7 5", "M\xC3\xBCller \xC2\xA7 5"},                 // ISO-8859-1
        {"Gr\xC3\xBC\xDF" "e", "Gr\xC3\x83\xC2\xBC\xC3\x9F" "e"},        // mixed: all ISO-8859-1
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                                 // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},                     // encoded surrogate
        {"Stra\xDF", "Stra\xC3\x9F"},                                     // Latin-1 letter at the end
        {"HANS WEI\xDF", "HANS WEI\xC3\x9F"},
        {"Euro \xE2\x82", "Euro \xC3\xA2\xC2\x82"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const Case &c : cases) EXPECT_EQ(c.out, as_utf8(c.in)) << c.in;
}

TEST(StatementTextUtf8, WorstCaseFitsTwiceTheLength) {
    const std::string high(200, '\xFF');
    std::string out(2 * high.size() + 1, '\0');
    EXPECT_EQ(400u, tarvo_stmt_text_utf8(high.c_str(), out.data()));
    EXPECT_EQ('\0', out[400]);
}

} // namespace
