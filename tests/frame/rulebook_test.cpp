#include <gtest/gtest.h>

#include "frame/frame.h"

namespace {

struct tm date(int year, int month, int day) {
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    return t;
}

class RulebookTest : public ::testing::Test {
protected:
    void TearDown() override { __tarvo_rulebook = -1; }
};

TEST_F(RulebookTest, InitAcceptsOnlyExactIdentifiers) {
    __tarvo_rulebook = -1;
    EXPECT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "AT-6"), 1);
    EXPECT_EQ(__tarvo_rulebook, 2);
    EXPECT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "de-3.7"), 0);
    EXPECT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "DE-3.7 "), 0);
    EXPECT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, nullptr), 0);
    EXPECT_EQ(tarvo_init(4, "DE-3.7"), 0);
    EXPECT_EQ(__tarvo_rulebook, 2) << "a refused option leaves the rulebook as it was";
}

TEST_F(RulebookTest, NumbersFollowTheTable) {
    const char *ids[] = {"DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8",
                         "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7", "DE-3.9", "CH-SPS"};
    for (int i = 0; i < tarvo::rulebook_count; ++i) {
        ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, ids[i]), 1) << ids[i];
        EXPECT_EQ(__tarvo_rulebook, i) << ids[i];
        EXPECT_EQ(tarvo::current_rulebook()->id, ids[i]);
    }
    EXPECT_EQ(tarvo::rulebook(-1), nullptr);
    EXPECT_EQ(tarvo::rulebook(tarvo::rulebook_count), nullptr);
}

TEST_F(RulebookTest, DefaultFollowsTheCalendar) {
    EXPECT_EQ(tarvo::default_rulebook(date(2023, 12, 31)), 8);
    EXPECT_EQ(tarvo::default_rulebook(date(2024, 3, 31)), 8);
    EXPECT_EQ(tarvo::default_rulebook(date(2024, 4, 16)), 8);
    EXPECT_EQ(tarvo::default_rulebook(date(2024, 4, 17)), 9);
    EXPECT_EQ(tarvo::default_rulebook(date(2024, 5, 1)), 9);
    EXPECT_EQ(tarvo::default_rulebook(date(2025, 1, 1)), 9);
    EXPECT_EQ(tarvo::default_rulebook(date(2025, 10, 4)), 9);
    EXPECT_EQ(tarvo::default_rulebook(date(2025, 10, 5)), 10);
    EXPECT_EQ(tarvo::default_rulebook(date(2025, 11, 1)), 10);
    EXPECT_EQ(tarvo::default_rulebook(date(2031, 7, 9)), 10);
}

TEST_F(RulebookTest, DefaultIsFixedOnceAndNeverReplacesAChoice) {
    __tarvo_rulebook = -1;
    tarvo::fix_default_rulebook(time(nullptr));
    EXPECT_EQ(__tarvo_rulebook, 10);
    ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "AT-6"), 1);
    tarvo::fix_default_rulebook(time(nullptr));
    EXPECT_EQ(__tarvo_rulebook, 2);
}

TEST_F(RulebookTest, BehaviourColumnsMatchTheGuidelines) {
    using tarvo::rulebook;
    // COR1 may be chosen only under the guidelines that still knew it ...
    for (int i = 0; i < tarvo::rulebook_count; ++i)
        EXPECT_EQ(rulebook(i)->cor1_settable, i >= 1 && i <= 5) << i;
    // ... and the newer German ones write CORE instead.
    for (int i = 0; i < tarvo::rulebook_count; ++i) EXPECT_EQ(rulebook(i)->cor1_written, i <= 5) << i;
    EXPECT_FALSE(rulebook(0)->extended_charset);
    EXPECT_TRUE(rulebook(2)->at_charset);
    EXPECT_FALSE(rulebook(2)->schema_location);
    EXPECT_FALSE(rulebook(3)->schema_location);
    EXPECT_EQ(rulebook(9)->ddi_variant, "pain.008.001.08");
    EXPECT_EQ(rulebook(9)->cti_variant, "pain.001.001.09");
    EXPECT_EQ(rulebook(0)->ddi_variant, "pain.008.002.02");
    EXPECT_EQ(rulebook(5)->cti_variant, "pain.001.003.03");
    EXPECT_EQ(rulebook(7)->non_eea_address, tarvo::NonEeaAddress::AddressLine);
    EXPECT_EQ(rulebook(9)->non_eea_address, tarvo::NonEeaAddress::TownAndCountry);
    EXPECT_EQ(rulebook(6)->non_eea_address, tarvo::NonEeaAddress::None);
    // Only the Swiss rulebook pays in francs, and it has no direct debits.
    for (int i = 0; i < tarvo::rulebook_count; ++i) EXPECT_EQ(rulebook(i)->swiss, i == 11) << i;
    EXPECT_EQ(rulebook(11)->ddi_variant, "");
}

TEST(FormatError, CutsLongTextsToTheBuffer) {
    char buf[256];
    std::string long_value(400, 'x');
    const char *text = tarvo::format_error(buf, "value (%s)", long_value.c_str());
    EXPECT_EQ(text, buf);
    EXPECT_EQ(strlen(buf), 255u);
    EXPECT_EQ(std::string(buf, 7), "value (");
}

TEST(Version, Constants) {
    EXPECT_STREQ(tarvo_version_str, "2.30");
    EXPECT_EQ(tarvo_version_int, 23000);
}

} // namespace
