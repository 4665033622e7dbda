// IBANs as typed: the electronic form and the printed form.
#include <gtest/gtest.h>

#include <string>

#include "tarvo.h"

namespace {

struct typed_case {
    const char *input;
    int result;
    const char *electronic; // "" when refused
};

constexpr typed_case typed_cases[] = {
    {"DE89370400440532013000", 1, "DE89370400440532013000"},
    {"DE89 3704 0044 0532 0130 00", 1, "DE89370400440532013000"},
    {"  de89\t3704 0044 0532 0130 00\r\n", 1, "DE89370400440532013000"},
    {"IBAN DE89 3704 0044 0532 0130 00", 1, "DE89370400440532013000"},
    {"iban: DE89370400440532013000", 1, "DE89370400440532013000"},
    {"IBAN:DE89370400440532013000", 1, "DE89370400440532013000"},
    {"DE89\xC2\xA0" "3704\xC2\xA0" "0044 0532 0130 00", 1, "DE89370400440532013000"},
    {"IBANDE89370400440532013000", 1, "IBANDE89370400440532013000"}, // no label without a separator
    {"DE89-3704-0044-0532-0130-00", -1, ""},
    {"DE89 3704 0044 0532 0130 00 \xC3\xA4", -1, ""},
    {"DE\xC2" "89", -1, ""},
    {"IBAN", -1, ""},
    {"", -1, ""},
    {"   ", -1, ""},
    {"DE89", -1, ""},
    {"MT84 MALT 0110 0001 2345 MTLC AST0 01S", 1, "MT84MALT011000012345MTLCAST001S"},
    {"LC55HEMM000100010012001200023015XYZ", -1, ""}, // 35 characters
};

TEST(IbanNormalize, TypedForms) {
    for (const auto &c : typed_cases) {
        char out[35];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(tarvo_iban_normalize(c.input, out), c.result) << c.input;
        EXPECT_EQ(std::string(out), c.electronic) << c.input;
    }
}

TEST(IbanNormalize, NullArguments) {
    char out[35] = "x";
    EXPECT_EQ(tarvo_iban_normalize(nullptr, out), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(tarvo_iban_normalize("DE89370400440532013000", nullptr), -1);
    EXPECT_EQ(tarvo_iban_format(nullptr, out), -1);
    EXPECT_EQ(tarvo_iban_format("DE89370400440532013000", nullptr), -1);
}

TEST(IbanFormat, GroupsOfFour) {
    const struct {
        const char *input, *printed;
    } cases[] = {
        {"DE89370400440532013000", "DE89 3704 0044 0532 0130 00"},
        {"iban de89 3704 0044 0532 0130 00", "DE89 3704 0044 0532 0130 00"},
        {"NO9386011117947", "NO93 8601 1117 947"},
        {"BE68539007547034", "BE68 5390 0754 7034"},
        {"LC55HEMM000100010012001200023015", "LC55 HEMM 0001 0001 0012 0012 0002 3015"},
    };
    for (const auto &c : cases) {
        char out[43];
        EXPECT_EQ(tarvo_iban_format(c.input, out), 1) << c.input;
        EXPECT_STREQ(out, c.printed);
        // The printed form reads back to the same electronic form.
        char back[35], direct[35];
        EXPECT_EQ(tarvo_iban_normalize(out, back), 1);
        EXPECT_EQ(tarvo_iban_normalize(c.input, direct), 1);
        EXPECT_STREQ(back, direct);
    }
    char out[43] = "x";
    EXPECT_EQ(tarvo_iban_format("DE89 3704 !", out), -1);
    EXPECT_STREQ(out, "");
}

} // namespace
