// Control sums are exact: every CtrlSum, of the group header and of each block, is the
// sum of the InstdAmt values written under it, however many and however large.
#include <random>

#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

// A written amount ("1234.50") in cents, read digit by digit, independent of the library.
int64_t cents_of(const std::string &text) {
    int64_t cents = 0;
    int decimals = -1;
    for (char c : text) {
        if (c == '.') {
            decimals = 0;
            continue;
        }
        EXPECT_TRUE(c >= '0' && c <= '9') << text;
        cents = cents * 10 + (c - '0');
        if (decimals >= 0) ++decimals;
    }
    EXPECT_EQ(decimals, 2) << text;
    return cents;
}

// Every block's CtrlSum against its InstdAmt values, and the header's against them all.
void expect_exact_sums(const std::string &doc) {
    int64_t total = 0;
    const std::vector<std::string> sums = element_texts(doc, "CtrlSum");
    ASSERT_GE(sums.size(), 2U);
    size_t block_start = doc.find("<PmtInf>");
    for (size_t block = 1; block < sums.size(); ++block) {
        const size_t block_end = doc.find("</PmtInf>", block_start);
        int64_t block_sum = 0;
        for (size_t at = doc.find("Ccy=\"EUR\">", block_start); at < block_end; at = doc.find("Ccy=\"EUR\">", at)) {
            at += 10;
            block_sum += cents_of(doc.substr(at, doc.find('<', at) - at));
        }
        EXPECT_EQ(cents_of(sums[block]), block_sum) << "block " << block;
        total += block_sum;
        block_start = doc.find("<PmtInf>", block_end);
    }
    EXPECT_EQ(cents_of(sums[0]), total);
}

Message filled(int type) {
    Message h = new_message(type, "Exact Sums");
    EXPECT_EQ(tarvo_setDate(h.get(), "2026-12-01"), 1);
    return h;
}

void add_amount(tarvo_t *h, const std::string &amount, const char *seq, const char *date) {
    add_ok(h, {{"name", "Party"},
               {"iban", "NL91ABNA0417164300"},
               {"amount", amount},
               {"seq", seq},
               {"date", date},
               {"mref", "M-1"},
               {"mdate", "2023-05-01"}});
}

class ExactSums : public ::testing::TestWithParam<int> {};

TEST_P(ExactSums, SevenHundredLargestAmounts) {
    RulebookScope rulebook("DE-3.7");
    Message h = filled(GetParam());
    for (int i = 0; i < 700; ++i) add_amount(h.get(), "999999999.99", i % 2 ? "RCUR" : "FRST", "2026-12-01");
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "CtrlSum")[0], "699999999993.00");
    expect_exact_sums(*doc);
}

TEST_P(ExactSums, RandomAmountsOverSeveralBlocks) {
    RulebookScope rulebook("DE-3.5");
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    Message h = filled(GetParam());
    const char *seqs[] = {"FRST", "RCUR", "OOFF", "FNAL"};
    const char *dates[] = {"2026-12-01", "2026-12-02", "2027-01-15"};
    for (int i = 0; i < 500; ++i) {
        // Random magnitudes; a third decimal below 5 takes part in the rounding.
        const int64_t cents =
            1 + (static_cast<int64_t>(rng() % 99999U) * 1000000 + rng() % 1000000) / (1 << (rng() % 30));
        char amount[40];
        snprintf(amount, sizeof amount, "%lld.%02lld%.*u", static_cast<long long>(cents / 100),
                 static_cast<long long>(cents % 100), static_cast<int>(rng() % 2), static_cast<unsigned>(rng() % 5));
        add_amount(h.get(), amount, seqs[rng() % 4], dates[rng() % 3]);
    }
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    expect_exact_sums(*doc);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, ExactSums, ::testing::Values(TARVO_MSGTYPE_DDI, TARVO_MSGTYPE_CTI),
                         [](const auto &info) { return info.param == TARVO_MSGTYPE_DDI ? "Debits" : "Transfers"; });

TEST(CentsText, UnitsPointAndTwoDecimals) {
    struct Case {
        int64_t cents;
        const char *text;
    };
    for (const Case &c :
         {Case{0, "0.00"}, Case{5, "0.05"}, Case{50, "0.50"}, Case{1250, "12.50"}, Case{99999999999, "999999999.99"},
          Case{-105, "-1.05"}, Case{INT64_MAX, "92233720368547758.07"}, Case{INT64_MIN, "-92233720368547758.08"}}) {
        char text[cents_text_size];
        EXPECT_EQ(format_cents(c.cents, text), strlen(c.text));
        EXPECT_STREQ(text, c.text);
    }
}

} // namespace
} // namespace tarvo::test
