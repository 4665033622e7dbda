// Transactions: key rules, the amount rule, completion checks and the message's list.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "message_handle.h"

namespace {

constexpr const char *iban = "AT611904300234573201";
constexpr const char *other_iban = "NL91ABNA0417164300";

using Message = tarvo::test::MessageHandle;

void use_rulebook(const char *id) { ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, id), 1) << id; }

class TransactionTest : public ::testing::Test {
  protected:
    void SetUp() override { use_rulebook("DE-3.5"); }
    Message ddi{TARVO_MSGTYPE_DDI};
    Message cti{TARVO_MSGTYPE_CTI};

    // A complete direct debit plus one extra pair; returns the add's result.
    int ddi_with(const char *key, const char *value) const {
        return ddi.add({"iban", iban, "seq", "FRST", "amount", "1", key, value});
    }
    int cti_with(const char *key, const char *value) const { return cti.add({"iban", iban, "amount", "1", key, value}); }
};

TEST_F(TransactionTest, DirectDebitNeedsSequenceTypeAndUnderTheOldestRulebookABic) {
    for (const char *rb : {"DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"}) {
        use_rulebook(rb);
        EXPECT_EQ(ddi.add({"iban", iban, "amount", "10"}), 0) << rb;
        EXPECT_EQ(ddi.error(), "Sequence type missing") << rb;
        EXPECT_EQ(ddi.add({"iban", iban, "amount", "10", "seq", "RCUR"}), 1) << rb << ": " << ddi.error();
    }
    use_rulebook("DE-2.6");
    const uint32_t count = ddi->tx_count;
    EXPECT_EQ(ddi.add({"iban", iban, "amount", "10"}), 0);
    EXPECT_EQ(ddi.error(), "BIC missing");
    EXPECT_EQ(ddi.add({"iban", iban, "amount", "10", "seq", "RCUR"}), 0);
    EXPECT_EQ(ddi.error(), "BIC missing");
    EXPECT_EQ(ddi.add({"iban", iban, "amount", "10", "seq", "RCUR", "bic", "genodef1"}), 1) << ddi.error();
    EXPECT_EQ(ddi->tx_count, count + 1);
}

TEST_F(TransactionTest, CompletionChecksInOrder) {
    EXPECT_EQ(ddi.add({}), 0);
    EXPECT_EQ(ddi.error(), "IBAN missing");
    EXPECT_EQ(ddi.add({"seq", "FRST", "amount", "1"}), 0);
    EXPECT_EQ(ddi.error(), "IBAN missing");
    EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST"}), 0);
    EXPECT_EQ(ddi.error(), "Amount missing");

    EXPECT_EQ(cti.add({}), 0);
    EXPECT_EQ(cti.error(), "IBAN missing");
    EXPECT_EQ(cti.add({"iban", iban}), 0);
    EXPECT_EQ(cti.error(), "Amount missing");
    EXPECT_EQ(cti.add({"iban", iban, "amount", "3"}), 1) << cti.error();
    use_rulebook("DE-2.6");
    EXPECT_EQ(cti.add({"iban", iban, "amount", "3"}), 0);
    EXPECT_EQ(cti.error(), "BIC missing");
    EXPECT_EQ(ddi->tx_count, 0u);
}

TEST_F(TransactionTest, KeysIgnoreCase) {
    ASSERT_EQ(ddi.add({"IBAN", iban, "Seq", "ooff", "AMOUNT", "2.5", "Name", "Debtor", "MREF", "M-1"}), 1)
        << ddi.error();
    const ddi_tx *tx = ddi.last_ddi();
    EXPECT_STREQ(tx->iban, iban);
    EXPECT_EQ(tx->seq, 3);
    EXPECT_EQ(tx->amount, 250);
    EXPECT_STREQ(tx->name, "Debtor");
    EXPECT_STREQ(tx->mref, "M-1");
}

TEST_F(TransactionTest, SequenceTypes) {
    const char *given[] = {"frst", "RCUR", "Ooff", "fNaL"};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(ddi_with("seq", given[i]), 1) << ddi.error();
        EXPECT_EQ(ddi.last_ddi()->seq, i + 1);
        std::string upper(given[i]);
        for (char &c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(ddi_seq_types[i], upper);
    }
    for (const char *bad : {"FRS", "FRSTX", "", "first"}) {
        EXPECT_EQ(ddi_with("seq", bad), 0) << bad;
        EXPECT_EQ(ddi.error(), "Invalid/unknown sequence type");
    }
    EXPECT_EQ(ddi_with("seq", nullptr), 0);
    EXPECT_EQ(ddi.error(), "Invalid/unknown sequence type");
}

TEST_F(TransactionTest, AmountRule) {
    struct Case {
        const char *text;
        const char *message; // null: accepted
        int64_t stored; // cents
    };
    for (const Case &c : {
             Case{"12.345", nullptr, 1235},
             Case{"12.344", nullptr, 1234},
             Case{"0.005", nullptr, 1},
             Case{"1.005", nullptr, 101}, // exactly half a cent, although no double holds 1.005
             Case{"2.675", nullptr, 268},
             Case{"  7", nullptr, 700},
             Case{"+1.5e2", nullptr, 15000},
             Case{"12345e-4", nullptr, 123},
             Case{".5", nullptr, 50},
             Case{"00000000000000000000012.5", nullptr, 1250},
             Case{"0.0049999999999999999999", "Amount missing", 0},
             Case{"999999999.99", nullptr, 99999999999},
             Case{"999999999.994999", nullptr, 99999999999},
             Case{"99999999999e-2", nullptr, 99999999999},
             Case{"999999999.995", "Amount too large (at most 999999999.99)", 0},
             Case{"1000000000", "Amount too large (at most 999999999.99)", 0},
             Case{"123456789012345678901234567890", "Amount too large (at most 999999999.99)", 0},
             Case{"0.004", "Amount missing", 0},
             Case{"", "Empty amount not allowed", 0},
             Case{"0", "Empty amount not allowed", 0},
             Case{"0.00", "Empty amount not allowed", 0},
             Case{"12,50", "Invalid amount", 0},
             Case{"abc", "Invalid amount", 0},
             Case{" ", "Invalid amount", 0},
             Case{"5 EUR", "Invalid amount", 0},
             Case{nullptr, "Invalid amount", 0},
             Case{"-5", "Negative or zero amount not allowed", 0},
             Case{"1e999", "Invalid amount", 0},
             Case{"1e-999", "Invalid amount", 0},
             Case{"1e400", "Amount too large (at most 999999999.99)", 0},
             Case{"1.7e308", "Amount too large (at most 999999999.99)", 0},
             Case{"-0", "Empty amount not allowed", 0},
             Case{"1.2.3", "Invalid amount", 0},
         }) {
        const char *label = c.text ? c.text : "null";
        const uint32_t count = ddi->tx_count;
        EXPECT_EQ(ddi.add({"iban", iban, "seq", "RCUR", "amount", c.text}), c.message ? 0 : 1) << label;
        if (c.message) {
            EXPECT_EQ(ddi.error(), c.message) << label;
            EXPECT_EQ(ddi->tx_count, count) << label;
        } else {
            EXPECT_EQ(ddi.last_ddi()->amount, c.stored) << label;
        }
        EXPECT_EQ(cti.add({"iban", iban, "amount", c.text}), c.message ? 0 : 1) << label;
        if (c.message) {
            EXPECT_EQ(cti.error(), c.message) << label;
        }
    }
}

TEST_F(TransactionTest, CountSumAndOrderOfTheList) {
    for (const char *amount : {"1.10", "2.20", "3.30"}) ASSERT_EQ(cti_with("amount", amount), 1) << cti.error();
    EXPECT_EQ(cti->tx_count, 3u);
    EXPECT_EQ(cti->ctrl_sum, 660);
    const auto *first = static_cast<const cti_tx *>(cti->tx_head);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->next, nullptr);
    ASSERT_NE(first->next->next, nullptr);
    EXPECT_EQ(first->amount, 110);
    EXPECT_EQ(first->next->amount, 220);
    EXPECT_EQ(first->next->next, cti.last_cti());
    EXPECT_EQ(cti.last_cti()->next, nullptr);
    EXPECT_EQ(cti.last_cti()->amount, 330);
}

TEST_F(TransactionTest, FailedAddLeavesTheMessageAsItWas) {
    ASSERT_EQ(ddi_with("amount", "5"), 1);
    const void *tail = ddi->tx_tail;
    EXPECT_EQ(ddi_with("bogus", "x"), 0);
    EXPECT_EQ(ddi.error(), "Invalid transaction property 'bogus'");
    EXPECT_EQ(ddi->tx_count, 1u);
    EXPECT_EQ(ddi->ctrl_sum, 500);
    EXPECT_EQ(ddi->tx_tail, tail);
    EXPECT_EQ(ddi.last_ddi()->next, nullptr);
    ASSERT_EQ(ddi_with("amount", "2"), 1);
    EXPECT_EQ(ddi->tx_count, 2u);
    EXPECT_EQ(ddi->ctrl_sum, 700);
}

TEST_F(TransactionTest, ControlSumNeverExceedsEighteenDigits) {
    // Reaching the limit by adding would take ten million of the largest amounts.
    constexpr int64_t limit = 999'999'999'999'999'999;
    ASSERT_EQ(cti_with("amount", "999999999.99"), 1);
    cti->ctrl_sum = limit - 99999999999 + 1;
    EXPECT_EQ(cti_with("amount", "999999999.99"), 0);
    EXPECT_EQ(cti.error(), "Control sum out of range (at most 18 digits)");
    EXPECT_EQ(cti->tx_count, 1u);
    EXPECT_EQ(cti->ctrl_sum, limit - 99999999999 + 1);
    ASSERT_EQ(cti_with("amount", "999999999.98"), 1) << cti.error();
    EXPECT_EQ(cti->ctrl_sum, limit);
}

TEST_F(TransactionTest, LaterValueOfARepeatedKeyWins) {
    ASSERT_EQ(ddi.add({"name", "First", "iban", other_iban, "seq", "FRST", "amount", "1", "NAME", "Second", "iban",
                       iban, "seq", "FNAL", "amount", "4"}),
              1)
        << ddi.error();
    const ddi_tx *tx = ddi.last_ddi();
    EXPECT_STREQ(tx->name, "Second");
    EXPECT_STREQ(tx->iban, iban);
    EXPECT_EQ(tx->seq, 4);
    EXPECT_EQ(ddi->ctrl_sum, 400);
}

TEST_F(TransactionTest, TextKeysOfDirectDebits) {
    const std::string s35(35, 'a'), s70(70, 'b'), s140(140, 'c');
    struct Case {
        const char *key;
        std::string value;
        const char *message; // null: accepted
    };
    const Case cases[] = {
        {"name", s70, nullptr},
        {"name", s70 + "b", "Invalid name (must be 1-70 characters)"},
        {"name", "", "Invalid name (must be 1-70 characters)"},
        {"name", "M\xC3\xBCller & Co", nullptr},
        {"name", "a<b", "Invalid character '<' in debtor name"},
        {"id", s35, nullptr},
        {"id", "E2E 1", nullptr},
        {"id", s35 + "a", "Invalid end-to-end ID (must be 1-35 characters)"},
        {"id", "", "Invalid end-to-end ID (must be 1-35 characters)"},
        {"id", "a&b", "Invalid character '&' in end-to-end ID"},
        {"mref", s35, nullptr},
        {"mref", "M 1", nullptr}, // a space is allowed from DE-3.0 on
        {"mref", s35 + "a", "Invalid mandate reference (must be 1-35 characters)"},
        {"mref", "M*1", "Invalid character '*' in mandate reference"},
        {"old_mref", s35, nullptr},
        {"old_mref", "M 1", "Invalid character ' ' in old mandate reference"},
        {"old_mref", "", "Invalid old mandate reference (must be 1-35 characters)"},
        {"ref", s140, nullptr},
        {"ref", s140 + "c", "Invalid unstructured remittance information (must be 0-140 characters)"},
        {"ref", "Rechnung 1/2 \xC3\x9F", nullptr},
        {"ref", "50% of \\it", "Invalid character '\\' in unstructured remittance information"},
        {"addrLine1", s70, nullptr},
        {"addrLine1", s70 + "x", "Invalid address line 1 (must be 1-70 chars)"},
        {"addrLine1", "a\tb", "Invalid character '\t' in address line 1"},
        {"addrLine2", "", "Invalid address line 2 (must be 1-70 chars)"},
        {"addrLine2", "x~", "Invalid character '~' in address line 2"},
        {"date", "2025-03-01", nullptr},
        {"date", "2025-02-29", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", "2025-3-1", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", "2025-03-01T", "Invalid execution date (format: yyyy-mm-dd)"},
        {"mdate", "2024-02-29", nullptr},
        {"mdate", "2024-13-01", "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"mdate", "<a>-01-01x", "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"addrCC", "CH", nullptr},
        {"addrCC", "ch", "Invalid country code"},
        {"addrCC", "CHE", "Invalid country code"},
        {"addrCC", "C", "Invalid country code"},
        {"bic", "GENODEF1XXX", nullptr},
        {"bic", "GENODEF1ABCD", "Invalid BIC"},
        {"bic", "GENODEF", "Invalid BIC format"},
        {"bic", "", "Invalid BIC format"},
        {"old_iban", other_iban, nullptr},
        {"old_iban", "NL91ABNA0417164301", "Invalid IBAN checksum"},
        {"iban", "XX91ABNA0417164300", "Invalid or unknown IBAN country code"},
        {"smnda", "1", nullptr},
        {"smnda", "true", "Invalid value 'true' for SMNDA flag"},
        {"smnda", "0", "Invalid value '0' for SMNDA flag"},
    };
    for (const Case &c : cases) {
        const std::string label = std::string(c.key) + "=" + c.value;
        EXPECT_EQ(ddi_with(c.key, c.value.c_str()), c.message ? 0 : 1) << label << ": " << ddi.error();
        if (c.message) {
            EXPECT_EQ(ddi.error(), c.message) << label;
        }
    }
    struct Missing {
        const char *key;
        const char *message;
    };
    for (const Missing &c : {
             Missing{"name", "Invalid name (must be 1-70 characters)"},
             Missing{"iban", "Invalid IBAN (NULL)"},
             Missing{"old_iban", "Invalid IBAN (NULL)"},
             Missing{"bic", "Invalid BIC"},
             Missing{"addrCC", "Invalid country code"},
             Missing{"addrLine1", "Invalid address line 1 (must be 1-70 chars)"},
             Missing{"id", "Invalid end-to-end ID (must be 1-35 characters)"},
             Missing{"mref", "Invalid mandate reference (must be 1-35 characters)"},
             Missing{"old_mref", "Invalid old mandate reference (must be 1-35 characters)"},
             Missing{"ref", "Invalid unstructured remittance information (must be 0-140 characters)"},
             Missing{"date", "Invalid execution date (format: yyyy-mm-dd)"},
             Missing{"mdate", "Invalid mandate signature date (format: yyyy-mm-dd)"},
             Missing{"smnda", "Missing value for SMNDA flag"},
         }) {
        EXPECT_EQ(ddi_with(c.key, nullptr), 0) << c.key;
        EXPECT_EQ(ddi.error(), c.message) << c.key;
    }
}

TEST_F(TransactionTest, StoredValuesOfADirectDebit) {
    ASSERT_EQ(ddi.add({"iban", iban, "bic", "ubswchzh80a", "seq", "FRST", "amount", "9.99", "name", "N", "id", "E",
                       "mref", "M", "mdate", "2020-01-31", "old_mref", "O", "old_iban", other_iban, "smnda", "1",
                       "ref", "R", "date", "2025-05-05", "addrLine1", "L1", "addrLine2", "L2", "addrCC", "CH"}),
              1)
        << ddi.error();
    const ddi_tx *tx = ddi.last_ddi();
    EXPECT_STREQ(tx->bic, "UBSWCHZH80A");
    EXPECT_STREQ(tx->id, "E");
    EXPECT_STREQ(tx->mdate, "2020-01-31");
    EXPECT_STREQ(tx->old_mref, "O");
    EXPECT_STREQ(tx->old_iban, other_iban);
    EXPECT_EQ(tx->smnda, 1);
    EXPECT_STREQ(tx->ref, "R");
    EXPECT_STREQ(tx->date, "2025-05-05");
    EXPECT_STREQ(tx->addrLine1, "L1");
    EXPECT_STREQ(tx->addrLine2, "L2");
    EXPECT_STREQ(tx->addrCC, "CH");
}

TEST_F(TransactionTest, EmptyRemittanceTextMeansNone) {
    ASSERT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "ref", "old", "ref", ""}), 1) << ddi.error();
    EXPECT_EQ(ddi.last_ddi()->ref, nullptr);
}

TEST_F(TransactionTest, MandateReferenceCharactersFollowTheRulebook) {
    for (const char *rb : {"DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9"}) {
        use_rulebook(rb);
        EXPECT_EQ(ddi.add({"iban", iban, "bic", "GENODEF1", "seq", "FRST", "amount", "1", "mref", "M 1"}), 0) << rb;
        EXPECT_EQ(ddi.error(), "Invalid character ' ' in mandate reference") << rb;
    }
    for (const char *rb : {"DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"}) {
        use_rulebook(rb);
        EXPECT_EQ(ddi_with("mref", "M 1"), 1) << rb << ": " << ddi.error();
    }
}

TEST_F(TransactionTest, CharacterSetFollowsTheRulebook) {
    use_rulebook("DE-2.6");
    EXPECT_EQ(ddi.add({"iban", iban, "bic", "GENODEF1", "seq", "FRST", "amount", "1", "name", "A & B"}), 0);
    EXPECT_EQ(ddi.error(), "Invalid character '&' in debtor name");
    use_rulebook("AT-6");
    EXPECT_EQ(ddi_with("name", "a@b [x] \xE2\x82\xAC"), 1) << ddi.error();
    EXPECT_EQ(ddi_with("id", "a@b"), 1) << ddi.error();
    use_rulebook("DE-2.9");
    EXPECT_EQ(ddi_with("id", "a@b"), 0);
    EXPECT_EQ(ddi.error(), "Invalid character '@' in end-to-end ID");
}

TEST_F(TransactionTest, StructuredAddressUnderTheNewestRulebook) {
    use_rulebook("DE-3.7");
    struct Part {
        const char *key;
        char *address_parts::*field;
        size_t max;
    };
    const Part parts[] = {
        {"addrDept", &address_parts::addrDept, 70},     {"addrSubDept", &address_parts::addrSubDept, 70},
        {"addrStreet", &address_parts::addrStreet, 70}, {"addrNum", &address_parts::addrNum, 16},
        {"addrBldg", &address_parts::addrBldg, 35},     {"addrFloor", &address_parts::addrFloor, 70},
        {"addrPoBox", &address_parts::addrPoBox, 16},   {"addrRoom", &address_parts::addrRoom, 70},
        {"addrCode", &address_parts::addrCode, 16},     {"addrTown", &address_parts::addrTown, 35},
        {"addrLoc", &address_parts::addrLoc, 35},       {"addrDstrct", &address_parts::addrDstrct, 35},
        {"addrCtrySub", &address_parts::addrCtrySub, 35},
    };
    const Part &town = parts[9];
    for (const Part &p : parts) {
        // Every address needs its town and country; the part under test comes after the
        // town, so that it replaces it when it is the town.
        const std::string longest(p.max, 'x');
        ASSERT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "addrCC", "DE", "addrTown", "T", p.key,
                           longest.c_str()}),
                  1)
            << p.key << ": " << ddi.error();
        EXPECT_EQ(ddi.last_ddi()->addr.*p.field, longest) << p.key;
        ASSERT_EQ(cti.add({"iban", iban, "amount", "1", "addrCC", "DE", "addrTown", "T", p.key, "v"}), 1)
            << p.key << ": " << cti.error();
        EXPECT_STREQ(cti.last_cti()->addr.*p.field, "v") << p.key;
        for (const Part &other : parts) {
            if (&other != &p && &other != &town) {
                EXPECT_EQ(cti.last_cti()->addr.*other.field, nullptr) << p.key << " / " << other.key;
            }
        }

        EXPECT_EQ(ddi_with(p.key, (longest + "x").c_str()), 0) << p.key;
        EXPECT_EQ(ddi.error(), "Invalid format for '" + std::string(p.key) + "'");
        EXPECT_EQ(cti_with(p.key, ""), 0) << p.key;
        EXPECT_EQ(cti.error(), "Invalid format for '" + std::string(p.key) + "'");
        EXPECT_EQ(cti_with(p.key, nullptr), 0) << p.key;
    }
    EXPECT_EQ(ddi_with("ADDRSTREET", std::string(71, 's').c_str()), 0);
    EXPECT_EQ(ddi.error(), "Invalid format for 'ADDRSTREET'");

    for (Message *m : {&ddi, &cti}) {
        for (const char *line : {"addrLine1", "addrLine2"}) {
            EXPECT_EQ(m->add({"iban", iban, "seq", "FRST", "amount", "1", line, "Street 1"}), 0) << line;
            EXPECT_EQ(m->error(), "selected SEPA rulebook requires structured address data");
        }
    }
}

TEST_F(TransactionTest, StructuredAddressElsewhere) {
    EXPECT_EQ(ddi_with("addrStreet", "Main St"), 0);
    EXPECT_EQ(ddi.error(), "Invalid transaction property 'addrStreet'");
    EXPECT_EQ(ddi_with("addrDept", "Sales"), 0);
    EXPECT_EQ(ddi.error(), "selected SEPA rulebook does not support structured address data");
    ASSERT_EQ(cti_with("addrStreet", "Main St"), 1) << cti.error();
    EXPECT_EQ(cti.last_cti()->addr.addrStreet, nullptr);
    ASSERT_EQ(cti_with("addrDept", "Sales"), 1) << cti.error();
    EXPECT_EQ(cti.last_cti()->addr.addrDept, nullptr);
    ASSERT_EQ(cti_with("addrLine1", "Main St 1"), 1) << cti.error();
    EXPECT_STREQ(cti.last_cti()->addrLine1, "Main St 1");
}

TEST_F(TransactionTest, DebtorsOutsideTheEea) {
    const char *ch_bic = "UBSWCHZH80A";
    for (const char *rb : {"DE-3.1", "DE-3.5"}) {
        use_rulebook(rb);
        EXPECT_EQ(ddi_with("bic", ch_bic), 0) << rb;
        EXPECT_EQ(ddi.error(), "Address required for BICs outside EEA");
        EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "bic", "ubswchzh80a", "addrCC", "CH"}), 0);
        EXPECT_EQ(ddi.error(), "Address required for BICs outside EEA");
        EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "bic", ch_bic, "addrLine2", "Zurich"}), 1);
        EXPECT_EQ(ddi_with("bic", "GENODEF1"), 1);
        EXPECT_EQ(ddi_with("bic", "BARCGB22"), 0);
    }
    use_rulebook("DE-3.7");
    EXPECT_EQ(ddi_with("bic", ch_bic), 0);
    const char *structured = "Structured address required for BICs outside EEA (at least town and country)";
    EXPECT_EQ(ddi.error(), structured);
    EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "bic", ch_bic, "addrTown", "Zurich"}), 0);
    EXPECT_EQ(ddi.error(), structured);
    EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "bic", ch_bic, "addrCC", "CH"}), 0);
    EXPECT_EQ(ddi.error(), structured);
    EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "bic", ch_bic, "addrCC", "CH", "addrTown", "Z"}), 1)
        << ddi.error();
    for (const char *rb : {"DE-2.7", "AT-6", "DE-3.0"}) {
        use_rulebook(rb);
        EXPECT_EQ(ddi_with("bic", ch_bic), 1) << rb << ": " << ddi.error();
    }
    // Credit transfers need no address for such a BIC.
    use_rulebook("DE-3.5");
    EXPECT_EQ(cti_with("bic", ch_bic), 1) << cti.error();
}

TEST_F(TransactionTest, CreditTransferKeys) {
    ASSERT_EQ(cti.add({"iban", iban, "amount", "1", "name", "Creditor & Co", "purp", "SALA", "ref", "r", "id", "E",
                       "bic", "genodef1", "date", "2025-06-30"}),
              1)
        << cti.error();
    const cti_tx *tx = cti.last_cti();
    EXPECT_STREQ(tx->purp, "SALA");
    EXPECT_STREQ(tx->name, "Creditor & Co");
    EXPECT_STREQ(tx->bic, "GENODEF1");
    EXPECT_STREQ(tx->date, "2025-06-30");

    EXPECT_EQ(cti_with("name", "a<b"), 0);
    EXPECT_EQ(cti.error(), "Invalid character '<' in creditor name");
    for (const char *bad : {"SAL", "SALAR", "", "SA<A", "SA A", "SAL\xC3"}) {
        EXPECT_EQ(cti_with("purp", bad), 0) << bad;
        EXPECT_EQ(cti.error(), "Invalid purpose (must be 4 characters)") << bad;
    }
    EXPECT_EQ(cti_with("purp", nullptr), 0);
    EXPECT_EQ(cti.error(), "Invalid purpose (must be 4 characters)");
    EXPECT_EQ(cti_with("purp", "gdds"), 1);
    // The direct-debit keys are ignored; an unknown key is refused.
    EXPECT_EQ(cti_with("unknown", "whatever"), 0);
    for (const char *key : {"mref", "seq", "smnda", "old_iban"}) {
        EXPECT_EQ(cti_with(key, "whatever"), 1) << key << ": " << cti.error();
    }
    // A direct debit has no purpose.
    EXPECT_EQ(ddi_with("purp", "SALA"), 0);
    EXPECT_EQ(ddi.error(), "Invalid transaction property 'purp'");
}

TEST_F(TransactionTest, ListsAndKinds) {
    EXPECT_EQ(tarvo_add(ddi.h, nullptr), 0);
    EXPECT_EQ(ddi.error(), "No key-value list submitted");
    EXPECT_EQ(cti_add(ddi.h, nullptr), 0);
    EXPECT_EQ(ddi.error(), "No CTI message");
    const char *kv[] = {"iban", iban, "amount", "1", nullptr};
    EXPECT_EQ(ddi_add(cti.h, kv), 0);
    EXPECT_EQ(cti.error(), "No DDI message");
    EXPECT_EQ(cti->tx_count, 0u);
    EXPECT_EQ(cti_add(cti.h, kv), 1);

    // An object whose type was overwritten takes nothing and says nothing.
    Message odd(TARVO_MSGTYPE_CTI);
    odd->msgtype = 9;
    EXPECT_EQ(tarvo_add(odd.h, kv), 0);
    EXPECT_EQ(tarvo_getError(odd.h), nullptr);
    odd->msgtype = TARVO_MSGTYPE_CTI;
}

TEST_F(TransactionTest, RulebookIsReadForEachPair) {
    // A direct debit built under two rulebooks: the pair decides by the one in force.
    use_rulebook("DE-3.7");
    ASSERT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "addrTown", "Berlin", "addrCC", "DE"}), 1)
        << ddi.error();
    use_rulebook("DE-3.5");
    EXPECT_EQ(ddi.add({"iban", iban, "seq", "FRST", "amount", "1", "addrTown", "Berlin", "addrCC", "DE"}), 0);
    EXPECT_EQ(ddi.error(), "Invalid transaction property 'addrTown'");
}

// Random lists of good and bad pairs: every add either appends exactly one record or
// leaves the object untouched, and the sanitizers see no leak or bad access.
TEST_F(TransactionTest, SurvivesRandomBadInput) {
    const std::vector<const char *> keys = {"iban", "bic", "name", "amount", "seq", "date", "mdate", "mref",
                                            "id", "ref", "purp", "smnda", "addrCC", "addrLine1", "addrTown",
                                            "addrDept", "old_iban", "old_mref", "", "\xC3", "AMOUNT"};
    const std::vector<const char *> values = {iban, "GENODEF1", "UBSWCHZH80A", "1.5", "0", "-1", "1e400", "RCUR",
                                              "2025-01-01", "2025-02-30", "x", "", "a&b<c>", "\xC3\xBC", "\xFF",
                                              "CH", "1", nullptr, "DE98ZZZ09999999999", "SALA"};
    std::mt19937 rng(20261208);
    const char *rulebooks[] = {"DE-2.6", "AT-6", "DE-3.5", "DE-3.7"};
    for (int round = 0; round < 3000; ++round) {
        use_rulebook(rulebooks[rng() % 4]);
        std::vector<const char *> kv;
        // Half of the lists start complete, so that random pairs also hit a list that would pass.
        if (rng() % 2) kv = {"iban", iban, "seq", "RCUR", "amount", "1.5", "bic", "GENODEF1"};
        const size_t pairs = rng() % 8;
        for (size_t i = 0; i < pairs; ++i) {
            kv.push_back(keys[rng() % keys.size()]);
            kv.push_back(values[rng() % values.size()]);
        }
        kv.push_back(nullptr);
        for (const Message *m : {&ddi, &cti}) {
            const uint32_t count = (*m)->tx_count;
            const int64_t sum = (*m)->ctrl_sum;
            const int added = tarvo_add(m->h, kv.data());
            ASSERT_EQ((*m)->tx_count, count + (added ? 1u : 0u));
            if (!added) {
                EXPECT_EQ((*m)->ctrl_sum, sum);
                EXPECT_NE(tarvo_getError(m->h), nullptr);
            }
        }
        tarvo_setIBAN(ddi.h, values[rng() % values.size()]);
        tarvo_setName(cti.h, values[rng() % values.size()]);
        tarvo_setCreditorIdentifier(ddi.h, values[rng() % values.size()]);
        tarvo_setDate(cti.h, values[rng() % values.size()]);
        tarvo_setBIC(ddi.h, values[rng() % values.size()]);
        tarvo_setMessageId(cti.h, values[rng() % values.size()]);
    }
    EXPECT_GT(ddi->tx_count, 0u);
    EXPECT_GT(cti->tx_count, 0u);
}

} // namespace
