#include <errno.h>
#include <gtest/gtest.h>
#include <math.h>

#include <limits>
#include <string>

#include "frame/frame.h"

namespace {

std::string d2str(double amount, size_t cap = 128) {
    char out[128];
    memset(out, 'X', sizeof out);
    __tarvo_d2str(out, cap, amount);
    return out;
}

TEST(AmountToText, TwoDecimalsWithoutGrouping) {
    EXPECT_EQ(d2str(0), "0.00");
    EXPECT_EQ(d2str(1), "1.00");
    EXPECT_EQ(d2str(100), "100.00");
    EXPECT_EQ(d2str(1234.5), "1234.50");
    EXPECT_EQ(d2str(0.5), "0.50");
    EXPECT_EQ(d2str(0.05), "0.05");
    EXPECT_EQ(d2str(-5), "-5.00");
    EXPECT_EQ(d2str(-0.5), "-0.50");
    EXPECT_EQ(d2str(1234567890.12), "1234567890.12");
}

TEST(AmountToText, RoundsHalfAwayFromZero) {
    EXPECT_EQ(d2str(12.345), "12.35");
    EXPECT_EQ(d2str(0.005), "0.01");
    EXPECT_EQ(d2str(-0.005), "-0.01");
    EXPECT_EQ(d2str(0.004), "0.00");
    EXPECT_EQ(d2str(2.675), "2.68");
}

TEST(AmountToText, LargestCentValues) {
    EXPECT_EQ(d2str(9.2e16), "92000000000000000.00");
    const std::string big = d2str(92233720368547748.0);
    EXPECT_LE(big.size(), 21u);
    EXPECT_EQ(big.substr(big.size() - 3, 1), ".");
}

TEST(AmountToText, UnrepresentableAmountsGiveNoText) {
    EXPECT_EQ(d2str(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(d2str(-std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(d2str(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(d2str(1e300), "");
    EXPECT_EQ(d2str(-9.3e16), "");
}

TEST(AmountToText, NeverWritesPastTheCapacity) {
    char out[8];
    memset(out, 'X', sizeof out);
    __tarvo_d2str(out, 0, 12.5);
    EXPECT_EQ(out[0], 'X');
    __tarvo_d2str(out, 5, 12345.67);
    EXPECT_EQ(std::string(out), "") << "a cut text would be another amount";
    EXPECT_EQ(out[1], 'X');
    __tarvo_d2str(out, 1, 1.0);
    EXPECT_EQ(out[0], '\0');
}

// The whole text or none: a capacity one byte short of the text and its NUL gives the
// empty text, an exact one the amount.
TEST(AmountToText, WholeTextOrNone) {
    const struct {
        double amount;
        const char *text;
    } cases[] = {
        {1234567.891, "1234567.89"}, {0.05, "0.05"}, {-0.5, "-0.50"}, {100, "100.00"},
        {-1234.5, "-1234.50"},       {0, "0.00"},    {9.99, "9.99"},  {1234567890.12, "1234567890.12"},
    };
    for (const auto &c : cases) {
        const size_t exact = strlen(c.text) + 1;
        EXPECT_EQ(d2str(c.amount, exact), c.text) << c.text;
        EXPECT_EQ(d2str(c.amount, exact - 1), "") << c.text;
        EXPECT_EQ(d2str(c.amount, 2), "") << c.text;
    }
    EXPECT_EQ(d2str(1234567.891, 8), "");
}

TEST(TextToAmount, StopsAtTheFirstUnusedCharacter) {
    const char *text = "  12.34xyz";
    char *end = nullptr;
    EXPECT_DOUBLE_EQ(__tarvo_strtod(text, &end), 12.34);
    EXPECT_EQ(end, text + 7);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("-7.5", nullptr), -7.5);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("+7.", &end), 7.0);
    EXPECT_DOUBLE_EQ(__tarvo_strtod(".25", nullptr), 0.25);
}

TEST(TextToAmount, NoDigitsUseNothing) {
    for (const char *text : {"abc", "", "  -", ".", "e5"}) {
        char *end = nullptr;
        EXPECT_EQ(__tarvo_strtod(text, &end), 0.0) << text;
        EXPECT_EQ(end, text) << text;
    }
}

TEST(TextToAmount, Exponents) {
    char *end = nullptr;
    const char *text = "1.5e2";
    EXPECT_DOUBLE_EQ(__tarvo_strtod(text, &end), 150.0);
    EXPECT_EQ(end, text + 5);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("25E-1", nullptr), 2.5);
    const char *bare = "3e";
    EXPECT_DOUBLE_EQ(__tarvo_strtod(bare, &end), 3.0);
    EXPECT_EQ(end, bare + 2) << "an 'e' without digits is consumed";
    const char *signed_bare = "3e+x";
    EXPECT_DOUBLE_EQ(__tarvo_strtod(signed_bare, &end), 3.0);
    EXPECT_EQ(end, signed_bare + 3);
}

TEST(TextToAmount, ExponentBeyond511IsClampedWithErange) {
    errno = 0;
    EXPECT_DOUBLE_EQ(__tarvo_strtod("1e511", nullptr), std::numeric_limits<double>::infinity());
    EXPECT_EQ(errno, 0) << "errno is touched only when clamping";
    EXPECT_TRUE(std::isinf(__tarvo_strtod("1e600", nullptr)));
    EXPECT_EQ(errno, ERANGE);
    errno = 0;
    EXPECT_EQ(__tarvo_strtod("1e-600", nullptr), 0.0);
    EXPECT_EQ(errno, ERANGE);
    errno = 0;
    EXPECT_TRUE(std::isinf(__tarvo_strtod("1e99999999999999999999", nullptr)));
    EXPECT_EQ(errno, ERANGE);
}

TEST(TextToAmount, UsesEighteenSignificantDigits) {
    // The 19th and 20th digits only move the decimal point.
    EXPECT_DOUBLE_EQ(__tarvo_strtod("0.1234567890123456789", nullptr), 0.12345678901234567);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("12345678901234567890", nullptr), 12345678901234567800.0);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("123456789.5", nullptr), 123456789.5);
    EXPECT_DOUBLE_EQ(__tarvo_strtod("999999999999999999", nullptr), 999999999999999999.0);
    // Leading zeros are not significant: they neither use up digits nor lose the value.
    EXPECT_EQ(__tarvo_strtod("0000000000000000000012.5", nullptr), 12.5);
    EXPECT_EQ(__tarvo_strtod("0.0000000000000000000125", nullptr), 1.25e-20);
    EXPECT_EQ(__tarvo_strtod("000.000", nullptr), 0.0);
    const char *padded = "-00.50x";
    char *end = nullptr;
    EXPECT_EQ(__tarvo_strtod(padded, &end), -0.5);
    EXPECT_EQ(end, padded + 6);
}

TEST(AmountRoundTrip, EveryCentValueSurvives) {
    char out[128];
    for (int cents = -100000; cents <= 100000; cents += 7) {
        __tarvo_d2str(out, sizeof out, cents / 100.0);
        EXPECT_EQ(llround(__tarvo_strtod(out, nullptr) * 100), cents) << out;
    }
}

} // namespace
