// The message object: creation, release, error texts and every setter.
#include <gtest/gtest.h>

#include <string>

#include "message_handle.h"

namespace {

// Valid foreign IBANs: their check needs no bank directory.
constexpr const char *valid_iban = "AT611904300234573201";
constexpr const char *other_valid_iban = "NL91ABNA0417164300";

using Message = tarvo::test::MessageHandle;

class MessageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "DE-3.7"), 1); }
};

TEST_F(MessageTest, NewRefusesUnknownTypesAndStartsWithDefaults) {
    EXPECT_EQ(tarvo_new(0), nullptr);
    EXPECT_EQ(tarvo_new(3), nullptr);
    EXPECT_EQ(tarvo_new(-1), nullptr);
    for (int type : {TARVO_MSGTYPE_DDI, TARVO_MSGTYPE_CTI}) {
        Message m(type);
        ASSERT_NE(m.h, nullptr);
        EXPECT_EQ(m->msgtype, type);
        EXPECT_EQ(m->ddtype, TARVO_DDTYPE_CORE);
        EXPECT_EQ(m->batch_booking, 1);
        EXPECT_EQ(m->tx_count, 0u);
        EXPECT_EQ(m->ctrl_sum, 0);
        EXPECT_EQ(m->tx_head, nullptr);
        EXPECT_EQ(m->iban, nullptr);
        EXPECT_EQ(m->date, nullptr);
        EXPECT_EQ(m->msgid, nullptr);
        EXPECT_EQ(tarvo_getError(m), nullptr);
    }
}

TEST_F(MessageTest, NewFixesTheDefaultRulebookEvenForARefusedType) {
    __tarvo_rulebook = -1;
    EXPECT_EQ(tarvo_new(7), nullptr);
    const time_t now = time(nullptr);
    struct tm local {};
    ASSERT_NE(localtime_r(&now, &local), nullptr);
    EXPECT_EQ(__tarvo_rulebook, tarvo::default_rulebook(local));

    // A rulebook chosen by the caller is kept.
    ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "AT-6"), 1);
    Message m(TARVO_MSGTYPE_DDI);
    EXPECT_EQ(__tarvo_rulebook, tarvo::rulebook_number("AT-6"));
}

TEST_F(MessageTest, FreeAndGetErrorAcceptNull) {
    tarvo_free(nullptr);
    EXPECT_STREQ(tarvo_getError(nullptr), "Invalid tarvo_t handle (NULL)");
}

TEST_F(MessageTest, SettersRefuseANullObjectWithoutCrashing) {
    EXPECT_EQ(tarvo_setIBAN(nullptr, valid_iban), 0);
    EXPECT_EQ(tarvo_setBIC(nullptr, "GENODEF1ABC"), 0);
    EXPECT_EQ(tarvo_setName(nullptr, "A"), 0);
    EXPECT_EQ(tarvo_setCreditorIdentifier(nullptr, "DE98ZZZ09999999999"), 0);
    EXPECT_EQ(tarvo_setDate(nullptr, "2024-01-01"), 0);
    EXPECT_EQ(tarvo_setDDType(nullptr, 0), 0);
    EXPECT_EQ(tarvo_setBatchBooking(nullptr, 0), 0);
    EXPECT_EQ(tarvo_setMessageId(nullptr, "X"), 0);
    EXPECT_EQ(tarvo_add(nullptr, nullptr), 0);
}

TEST_F(MessageTest, ErrorTextSurvivesLaterSuccess) {
    Message m(TARVO_MSGTYPE_DDI);
    EXPECT_EQ(tarvo_setBatchBooking(m, 2), 0);
    EXPECT_EQ(m.error(), "Invalid BatchBooking mode (only 0 or 1 allowed)");
    EXPECT_EQ(tarvo_setBatchBooking(m, 0), 1);
    EXPECT_EQ(m.error(), "Invalid BatchBooking mode (only 0 or 1 allowed)");
    EXPECT_EQ(m->batch_booking, 0);
}

TEST_F(MessageTest, SetIbanQuotesTheRefusedValue) {
    Message m(TARVO_MSGTYPE_CTI);
    ASSERT_EQ(tarvo_setIBAN(m, valid_iban), 1) << m.error();
    EXPECT_STREQ(m->iban, valid_iban);
    EXPECT_NE(m->iban, valid_iban); // a private copy

    EXPECT_EQ(tarvo_setIBAN(m, "AT611904300234573202"), 0);
    EXPECT_EQ(m.error(), "Invalid IBAN checksum (AT611904300234573202)");
    EXPECT_EQ(tarvo_setIBAN(m, "AT61 1904 3002 3457 3201"), 0);
    EXPECT_EQ(m.error(), "Wrong IBAN length (AT61 1904 3002 3457 3201)");
    EXPECT_EQ(tarvo_setIBAN(m, nullptr), 0);
    EXPECT_EQ(m.error(), "Invalid IBAN (NULL)");
    EXPECT_STREQ(m->iban, valid_iban);

    ASSERT_EQ(tarvo_setIBAN(m, other_valid_iban), 1);
    EXPECT_STREQ(m->iban, other_valid_iban);
}

TEST_F(MessageTest, SetIbanChecksGermanAccountsAgainstTheDirectory) {
    Message m(TARVO_MSGTYPE_DDI);
    ASSERT_EQ(tarvo_setIBAN(m, "DE89370400440532013000"), 1) << m.error();
    EXPECT_EQ(tarvo_setIBAN(m, "de89370400440532013000"), 0);
    EXPECT_EQ(m.error(), "Invalid IBAN format (de89370400440532013000)");
    EXPECT_STREQ(m->iban, "DE89370400440532013000");
}

TEST_F(MessageTest, SetIbanCutsALongQuoteToTheErrorBuffer) {
    Message m(TARVO_MSGTYPE_DDI);
    const std::string huge(1000, 'A');
    EXPECT_EQ(tarvo_setIBAN(m, huge.c_str()), 0);
    const std::string e = m.error();
    EXPECT_EQ(e.size(), 255u);
    EXPECT_EQ(e.rfind("Invalid or unknown IBAN country code (AAAA", 0), 0u);
}

TEST_F(MessageTest, SetBicStoresUpperCase) {
    Message m(TARVO_MSGTYPE_DDI);
    ASSERT_EQ(tarvo_setBIC(m, "genodef1"), 1) << m.error();
    EXPECT_STREQ(m->bic, "GENODEF1");
    ASSERT_EQ(tarvo_setBIC(m, "GeNoDeF1aBc"), 1);
    EXPECT_STREQ(m->bic, "GENODEF1ABC");

    struct Case {
        const char *bic;
        const char *message;
    };
    for (const Case &c : {
             Case{"GENODEF1ABCD", "tarvo_setBIC: invalid BIC"},
             Case{nullptr, "tarvo_setBIC: invalid BIC"},
             Case{"", "tarvo_setBIC: invalid BIC format"},
             Case{"GENODEF", "tarvo_setBIC: invalid BIC format"},
             Case{"GENODE11", "tarvo_setBIC: invalid BIC format"}, // location code starts with 1
             Case{"GENODEFO", "tarvo_setBIC: invalid BIC format"}, // location code ends with O
             Case{"GENODEF1AB", "tarvo_setBIC: invalid BIC format"},
             Case{"GEN0DEF1", "tarvo_setBIC: invalid BIC format"},
         }) {
        EXPECT_EQ(tarvo_setBIC(m, c.bic), 0) << (c.bic ? c.bic : "null");
        EXPECT_EQ(m.error(), c.message) << (c.bic ? c.bic : "null");
    }
    EXPECT_STREQ(m->bic, "GENODEF1ABC");
}

TEST_F(MessageTest, SetNameLengthsAndCharacters) {
    Message m(TARVO_MSGTYPE_DDI);
    const std::string seventy(70, 'x');
    ASSERT_EQ(tarvo_setName(m, seventy.c_str()), 1);
    EXPECT_EQ(tarvo_setName(m, (seventy + "x").c_str()), 0);
    EXPECT_EQ(m.error(), "tarvo_setAccount: Name too long");
    EXPECT_EQ(tarvo_setName(m, ""), 0);
    EXPECT_EQ(m.error(), "tarvo_setAccount: Name too short");
    EXPECT_EQ(tarvo_setName(m, nullptr), 0);
    EXPECT_EQ(m.error(), "tarvo_setAccount: Name too short");
    EXPECT_EQ(m->name, seventy);

    ASSERT_EQ(tarvo_setName(m, "M\xC3\xBCller & S\xC3\xB6hne"), 1);
    EXPECT_STREQ(m->name, "M\xC3\xBCller & S\xC3\xB6hne");
    EXPECT_EQ(tarvo_setName(m, "M\xFCller"), 0); // the same letter in ISO 8859-1
    EXPECT_EQ(m.error(), "tarvo_setName: invalid character '\xFC' in name");
    EXPECT_EQ(tarvo_setName(m, "a<b"), 0);
    EXPECT_EQ(m.error(), "tarvo_setName: invalid character '<' in name");

    ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "DE-2.6"), 1);
    EXPECT_EQ(tarvo_setName(m, "Smith & Sons"), 0);
    EXPECT_EQ(m.error(), "tarvo_setName: invalid character '&' in name");
    ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "AT-6"), 1);
    EXPECT_EQ(tarvo_setName(m, "a<b"), 1);
}

TEST_F(MessageTest, SetCreditorIdentifier) {
    Message m(TARVO_MSGTYPE_DDI);
    struct Case {
        const char *ci;
        const char *message; // null: accepted
    };
    for (const Case &c : {
             Case{"DE98ZZZ09999999999", nullptr},
             Case{"DE98abc09999999999", nullptr}, // the business code does not enter the sum
             Case{"DE98(?)09999999999", nullptr},
             Case{"AT61ZZZ01234567890", nullptr},
             Case{"DE36xy:", nullptr}, // seven characters: only the first four count
             // The business code is written as it is, so it holds no byte that breaks XML.
             Case{"DE98!?_09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE98Z<Z09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE98Z\x01" "Z09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE98ZZ\x1B" "09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE98Z\xC3\xA4" "09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE98 ZZ09999999999", "Invalid character in Creditor Identifier business code (positions 5-7)"},
             Case{"DE37ZZZ", "Invalid Creditor Identifier checksum"},
             Case{"DE97ZZZ09999999999", "Invalid Creditor Identifier checksum"},
             Case{"DE98ZZZ0999999999", "Invalid Creditor Identifier checksum"},
             Case{"de98ZZZ09999999999", "Invalid character in Creditor Identifier"},
             Case{"DE98ZZZ0999999999a", "Invalid character in Creditor Identifier"},
             Case{"DE98ZZZ 0999999999", "Invalid character in Creditor Identifier"},
             Case{"DE98ZZ", "Creditor Identifier too short"},
             Case{"", "Creditor Identifier too short"},
             Case{nullptr, "Creditor Identifier too short"},
             Case{"DE98ZZZ09999999999999999999999999999", "Creditor Identifier too long"},
         }) {
        const char *label = c.ci ? c.ci : "null";
        EXPECT_EQ(tarvo_setCreditorIdentifier(m, c.ci), c.message ? 0 : 1) << label;
        if (c.message) {
            EXPECT_EQ(m.error(), c.message) << label;
        } else {
            EXPECT_STREQ(m->creditor_id, c.ci);
        }
    }
    EXPECT_STREQ(m->creditor_id, "DE36xy:");
}

TEST_F(MessageTest, SetDateWantsARealCalendarDate) {
    Message m(TARVO_MSGTYPE_DDI);
    for (const char *good : {"2024-02-29", "2000-02-29", "2025-12-31", "2025-01-01"}) {
        EXPECT_EQ(tarvo_setDate(m, good), 1) << good;
        EXPECT_STREQ(m->date, good);
    }
    for (const char *bad : {"2024-1-1", "2024-01-011", "", "24-01-01"}) {
        EXPECT_EQ(tarvo_setDate(m, bad), 0) << bad;
        EXPECT_EQ(m.error(), "Invalid date") << bad;
    }
    EXPECT_EQ(tarvo_setDate(m, nullptr), 0);
    EXPECT_EQ(m.error(), "Invalid date");
    for (const char *bad : {"2024-13-01", "2023-02-29", "1900-02-29", "2024-04-31", "2024-00-10", "2024-01-00",
                            "2024/01/01", "  24-01-01", "2024-1-011", "0000-01-01", "abcd-ef-gh"}) {
        EXPECT_EQ(tarvo_setDate(m, bad), 0) << bad;
        EXPECT_EQ(m.error(), "Invalid date format") << bad;
    }
    EXPECT_STREQ(m->date, "2025-01-01");
}

TEST_F(MessageTest, SetDDTypeFollowsTheRulebook) {
    Message m(TARVO_MSGTYPE_DDI);
    EXPECT_EQ(tarvo_setDDType(m, TARVO_DDTYPE_B2B), 1);
    EXPECT_EQ(m->ddtype, TARVO_DDTYPE_B2B);
    EXPECT_EQ(tarvo_setDDType(m, TARVO_DDTYPE_COR1), 0);
    EXPECT_EQ(m.error(), "COR1 is not allowed with selected SEPA rulebook");
    EXPECT_EQ(m->ddtype, TARVO_DDTYPE_B2B);
    for (int bad : {3, -1, 1000}) {
        EXPECT_EQ(tarvo_setDDType(m, bad), 0);
        EXPECT_EQ(m.error(), "Unknown/unsupported LocalInstrumentCode (setDDType)");
    }
    for (const char *id : {"DE-2.7", "AT-6", "NL-6", "DE-2.8", "DE-2.9"}) {
        ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, id), 1);
        EXPECT_EQ(tarvo_setDDType(m, TARVO_DDTYPE_COR1), 1) << id;
        EXPECT_EQ(m->ddtype, TARVO_DDTYPE_COR1);
    }
    for (const char *id : {"DE-2.6", "DE-3.0", "DE-3.1", "DE-3.5"}) {
        ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, id), 1);
        EXPECT_EQ(tarvo_setDDType(m, TARVO_DDTYPE_COR1), 0) << id;
    }
    EXPECT_EQ(tarvo_setDDType(m, TARVO_DDTYPE_CORE), 1);
    EXPECT_EQ(m->ddtype, TARVO_DDTYPE_CORE);

    Message c(TARVO_MSGTYPE_CTI);
    EXPECT_EQ(tarvo_setDDType(c, TARVO_DDTYPE_CORE), 0);
    EXPECT_EQ(c.error(), "Not a direct debit message");
}

TEST_F(MessageTest, SetBatchBookingOnBothKinds) {
    for (int type : {TARVO_MSGTYPE_DDI, TARVO_MSGTYPE_CTI}) {
        Message m(type);
        EXPECT_EQ(tarvo_setBatchBooking(m, 0), 1);
        EXPECT_EQ(m->batch_booking, 0);
        EXPECT_EQ(tarvo_setBatchBooking(m, 255), 0);
        EXPECT_EQ(m->batch_booking, 0);
        EXPECT_EQ(tarvo_setBatchBooking(m, 1), 1);
        EXPECT_EQ(m->batch_booking, 1);
    }
}

TEST_F(MessageTest, SetMessageId) {
    Message m(TARVO_MSGTYPE_CTI);
    const std::string allowed = "Az09 '()+,-./:?abcdefghijklmnopqrst"; // 35 characters
    ASSERT_EQ(allowed.size(), 35u);
    ASSERT_EQ(tarvo_setMessageId(m, allowed.c_str()), 1) << m.error();
    EXPECT_EQ(m->msgid, allowed);
    for (const char *bad : {"MSG_1", "", "MSG&1", "M\xC3\xBC", "tab\t"}) {
        EXPECT_EQ(tarvo_setMessageId(m, bad), 0) << bad;
        EXPECT_EQ(m.error(), "Invalid message id");
    }
    EXPECT_EQ(tarvo_setMessageId(m, (allowed + "x").c_str()), 0);
    EXPECT_EQ(tarvo_setMessageId(m, nullptr), 0);
    EXPECT_EQ(m->msgid, allowed);
    ASSERT_EQ(tarvo_setMessageId(m, "NEXT-1"), 1);
    EXPECT_STREQ(m->msgid, "NEXT-1");
}

TEST_F(MessageTest, EveryFieldCanBeSetAgainInAnyOrder) {
    Message m(TARVO_MSGTYPE_DDI);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(tarvo_setMessageId(m, round ? "B" : "A"), 1);
        EXPECT_EQ(tarvo_setDate(m, round ? "2025-02-02" : "2025-01-01"), 1);
        EXPECT_EQ(tarvo_setCreditorIdentifier(m, "DE98ZZZ09999999999"), 1);
        EXPECT_EQ(tarvo_setName(m, round ? "Second" : "First"), 1);
        EXPECT_EQ(tarvo_setBIC(m, "GENODEF1ABC"), 1);
        EXPECT_EQ(tarvo_setIBAN(m, round ? other_valid_iban : valid_iban), 1);
    }
    EXPECT_STREQ(m->msgid, "B");
    EXPECT_STREQ(m->date, "2025-02-02");
    EXPECT_STREQ(m->name, "Second");
    EXPECT_STREQ(m->iban, other_valid_iban);
    EXPECT_EQ(tarvo_getError(m), nullptr);
}

TEST(CalendarDate, SharedCheck) {
    EXPECT_TRUE(tarvo::is_calendar_date("2024-02-29"));
    EXPECT_TRUE(tarvo::is_calendar_date("9999-12-31"));
    EXPECT_FALSE(tarvo::is_calendar_date("2100-02-29"));
    EXPECT_FALSE(tarvo::is_calendar_date("2024-06-31"));
    EXPECT_FALSE(tarvo::is_calendar_date("2024-06-3"));
    EXPECT_FALSE(tarvo::is_calendar_date("+024-06-30"));
    EXPECT_FALSE(tarvo::is_calendar_date(nullptr));
}

} // namespace
