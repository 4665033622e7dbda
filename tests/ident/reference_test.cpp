// Creditor and QR references against the published cases, and what the makers build.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <string.h>

#include "tarvo.h"

namespace {

TEST(Reference, PublishedCasesGetTheirVerdict) {
    std::ifstream in(TARVO_SHARED_DIR "/testdata/creditor_references.json");
    ASSERT_TRUE(in) << "creditor_references.json not found";
    const auto cases = nlohmann::json::parse(in)["cases"];
    ASSERT_GT(cases.size(), 40u);
    for (const auto &c : cases) {
        const std::string value = c["value"], kind = c["kind"];
        const int verdict = kind == "qrr" ? tarvo_qrr_check(value.c_str()) : tarvo_creditor_reference_check(value.c_str());
        EXPECT_EQ(verdict, c["expected_valid"].get<bool>() ? 1 : -1) << kind << " '" << value << "'";
    }
}

TEST(Reference, MakersAppendTheCheckDigitsTheCheckersAccept) {
    struct Case {
        const char *base;
        const char *creditor; // nullptr: refused
        const char *qrr;      // nullptr: refused
    } cases[] = {
        {"5390 0754 7034", "RF18539007547034", "000000000000005390075470348"},
        {"000000000000000a", "RF25000000000000000A", nullptr},
        {"ab12", "RF45AB12", nullptr},
        {"1", "RF741", "000000000000000000000000011"},
        {"21000000000313947143000901", nullptr, "210000000003139471430009017"},
        {"", nullptr, nullptr},
        {"RF-1", nullptr, nullptr},
        {"123456789012345678901234567", nullptr, nullptr},
    };
    for (const Case &c : cases) {
        for (bool creditor : {true, false}) {
            const char *expected = creditor ? c.creditor : c.qrr;
            char out[40];
            const int made = creditor ? tarvo_creditor_reference_make(c.base, out, sizeof out)
                                      : tarvo_qrr_make(c.base, out, sizeof out);
            EXPECT_EQ(made, expected != nullptr ? 1 : -1) << c.base;
            EXPECT_STREQ(out, expected != nullptr ? expected : "") << c.base;
            if (expected != nullptr) {
                EXPECT_EQ(creditor ? tarvo_creditor_reference_check(out) : tarvo_qrr_check(out), 1) << out;
            }
        }
    }
    char small[27];
    EXPECT_EQ(tarvo_qrr_make("1", small, sizeof small), -2);
    EXPECT_EQ(tarvo_creditor_reference_make("539007547034", small, 10), -2);
    EXPECT_STREQ(small, "");
}

} // namespace
