// Credit transfers under the Swiss Payment Standards: the payment kind each transfer's
// data makes, the refusals, the blocks by date and currency, the debtor's bank, and
// validity against SIX's schema.
#include "message/xml_test_support.h"

namespace tarvo::test {
namespace {

constexpr const char *six_schema = "ch/pain.001.001.09.ch.03";
constexpr const char *debtor_iban = "CH9300762011623852957";
constexpr const char *qr_iban = "CH4431999123000889012";
constexpr const char *swiss_iban = "CH5604835012345678009";
constexpr const char *qr_reference = "210000000003139471430009017";
constexpr const char *creditor_reference = "RF18539007547034";

Message new_swiss_debtor(const char *bic = nullptr, const char *iban = debtor_iban) {
    Message h(tarvo_new(TARVO_MSGTYPE_CTI));
    EXPECT_EQ(tarvo_setIBAN(h.get(), iban), 1) << error_of(h.get());
    if (bic != nullptr) {
        EXPECT_EQ(tarvo_setBIC(h.get(), bic), 1) << error_of(h.get());
    }
    EXPECT_EQ(tarvo_setName(h.get(), "Muster & Söhne AG"), 1) << error_of(h.get());
    EXPECT_EQ(tarvo_setDate(h.get(), "2026-12-01"), 1);
    EXPECT_EQ(tarvo_setMessageId(h.get(), "SPS-1"), 1);
    return h;
}

// A transfer with a complete Swiss creditor; the case adds or replaces keys.
Kv swiss_transfer(std::initializer_list<std::pair<const char *, std::string>> extra) {
    Kv kv{{"name", "Genève Services Sàrl"}, {"iban", swiss_iban}, {"amount", "100.05"}, {"addrTown", "Genève"},
          {"addrCC", "CH"}};
    for (const auto &[key, value] : extra) kv.set(key, value);
    return kv;
}

TEST(SwissTransfers, RefusalsWhenAdded) {
    RulebookScope rulebook("CH-SPS");
    struct Case {
        const char *what;
        Kv kv;
        const char *error;
    };
    Case cases[] = {
        {"unknown currency", swiss_transfer({{"currency", "USD"}}), "Invalid currency (CHF or EUR)"},
        {"currency in lower case", swiss_transfer({{"currency", "chf"}}), "Invalid currency (CHF or EUR)"},
        {"QR reference with a wrong check digit", swiss_transfer({{"iban", qr_iban}, {"qrr", "210000000003139471430009018"}}),
         "Invalid QR reference (27 digits with check digit)"},
        {"QR reference of 26 digits", swiss_transfer({{"iban", qr_iban}, {"qrr", "21000000000313947143000901"}}),
         "Invalid QR reference (27 digits with check digit)"},
        {"QR-IBAN without QR reference", swiss_transfer({{"iban", qr_iban}, {"ref", "Invoice 7"}}),
         "QR-IBAN requires a QR reference (qrr)"},
        {"QR reference to an ordinary IBAN", swiss_transfer({{"qrr", qr_reference}}),
         "QR reference (qrr) requires a QR-IBAN"},
        {"no town", Kv{{"name", "A"}, {"iban", swiss_iban}, {"amount", "1"}, {"addrCC", "CH"}},
         "Address requires town and country (addrTown and addrCC)"},
        {"no address at all", Kv{{"name", "A"}, {"iban", swiss_iban}, {"amount", "1"}},
         "Address requires town and country (addrTown and addrCC)"},
        {"address line", swiss_transfer({{"addrLine1", "Rue du Rhône 1"}}),
         "selected SEPA rulebook requires structured address data"},
        {"francs abroad without the bank", swiss_transfer({{"iban", "DE89370400440532013000"}}),
         "CHF payments outside Switzerland and Liechtenstein require the creditor's BIC"},
        {"both references", swiss_transfer({{"iban", qr_iban}, {"qrr", qr_reference}, {"cref", creditor_reference}}),
         "QR reference (qrr) and creditor reference (cref) exclude each other"},
        {"creditor reference with wrong check digits", swiss_transfer({{"cref", "RF19539007547034"}}),
         "Invalid creditor reference (RF check digits)"},
        {"character outside the Swiss set", swiss_transfer({{"name", "A \xE2\x80\x94 B"}}),
         "Invalid character '\xE2' in creditor name"},
        {"soft hyphen", swiss_transfer({{"ref", "Rech\xC2\xADnung"}}),
         "Invalid character '\xC2' in unstructured remittance information"},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        Message h = new_swiss_debtor();
        EXPECT_EQ(tarvo_add(h.get(), c.kv.list()), 0);
        EXPECT_EQ(error_of(h.get()), c.error);
        EXPECT_EQ(h->tx_count, 0U);
    }
}

// Each kind of payment, as the data decides it, written and validated.
TEST(SwissTransfers, EachPaymentKindIsWrittenAsSixWantsIt) {
    RulebookScope rulebook("CH-SPS");
    struct Case {
        const char *what;
        Kv kv;
        const char *currency;
        bool sepa;
        std::vector<std::string> references; // Strd/CdtrRefInf/Ref
        std::vector<std::string> texts;      // Ustrd
        const char *proprietary;             // "QRR" or nothing
    };
    Case cases[] = {
        {"QR-bill", swiss_transfer({{"iban", qr_iban}, {"qrr", "21 00000 00003 13947 14300 09017"}}), "CHF", false,
         {qr_reference}, {}, "QRR"},
        {"QR-bill in euros with a message", swiss_transfer({{"iban", qr_iban}, {"qrr", qr_reference},
                                                            {"currency", "EUR"}, {"ref", "Order 4 & 5"}}),
         "EUR", false, {qr_reference}, {"Order 4 &amp; 5"}, "QRR"},
        {"Liechtenstein QR-IBAN", swiss_transfer({{"iban", "LI4430000000000000001"}, {"qrr", qr_reference}}), "CHF",
         false, {qr_reference}, {}, "QRR"},
        {"creditor reference with a message", swiss_transfer({{"cref", "rf18 5390 0754 7034"}, {"ref", "Invoice 3"}}),
         "CHF", false, {creditor_reference}, {"Invoice 3"}, nullptr},
        {"SEPA with creditor reference", swiss_transfer({{"iban", "NL91ABNA0417164300"}, {"currency", "EUR"},
                                                         {"addrCC", "NL"}, {"cref", creditor_reference}}),
         "EUR", true, {creditor_reference}, {}, nullptr},
        {"plain domestic", swiss_transfer({{"ref", "Miete Dezember"}}), "CHF", false, {}, {"Miete Dezember"}, nullptr},
        {"domestic without remittance", swiss_transfer({{"currency", "CHF"}}), "CHF", false, {}, {}, nullptr},
        {"domestic in euros", swiss_transfer({{"currency", "EUR"}, {"bic", "UBSWCHZH80A"}}), "EUR", false, {}, {},
         nullptr},
        {"SEPA", swiss_transfer({{"iban", "DE89370400440532013000"}, {"currency", "EUR"}, {"addrCC", "DE"},
                                 {"addrTown", "Köln"}, {"addrStreet", "Domplatz"}, {"addrNum", "1"},
                                 {"addrCode", "50667"}, {"ref", "Invoice 9"}}),
         "EUR", true, {}, {"Invoice 9"}, nullptr},
        {"francs abroad", swiss_transfer({{"iban", "DE89370400440532013000"}, {"bic", "COBADEFFXXX"},
                                          {"addrCC", "DE"}, {"addrTown", "Köln"}, {"purp", "SALA"}}),
         "CHF", false, {}, {}, nullptr},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.what);
        Message h = new_swiss_debtor();
        add_ok(h.get(), c.kv);
        const auto doc = render_at(h.get());
        ASSERT_TRUE(doc) << error_of(h.get());
        EXPECT_TRUE(valid_against(*doc, six_schema));
        EXPECT_EQ(count_of(*doc, std::string("<InstdAmt Ccy=\"") + c.currency + "\">100.05</InstdAmt>"), 1U);
        EXPECT_EQ(count_of(*doc, "<Cd>SEPA</Cd>"), c.sepa ? 1U : 0U);
        EXPECT_EQ(count_of(*doc, "<ChrgBr>SLEV</ChrgBr>"), c.sepa ? 1U : 0U);
        EXPECT_EQ(element_texts(*doc, "Ref"), c.references);
        EXPECT_EQ(element_texts(*doc, "Ustrd"), c.texts);
        EXPECT_EQ(element_texts(*doc, "Prtry"),
                  c.proprietary ? std::vector<std::string>{c.proprietary} : std::vector<std::string>{});
        EXPECT_EQ(count_of(*doc, "<Cd>SCOR</Cd>"), !c.proprietary && !c.references.empty() ? 1U : 0U);
    }
}

TEST(SwissTransfers, RootNamesSixSchema) {
    RulebookScope rulebook("CH-SPS");
    Message h = new_swiss_debtor();
    add_ok(h.get(), swiss_transfer({}));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_NE(doc->find(" xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.09 "
                        "pain.001.001.09.ch.03.xsd\">\n"),
              std::string::npos);
}

// Without a BIC the debtor's bank is named by the clearing number inside its IBAN.
TEST(SwissTransfers, DebtorAgent) {
    RulebookScope rulebook("CH-SPS");
    struct Case {
        const char *bic;
        const char *iban;
        std::vector<std::string> bicfi, member; // of the debtor's agent
        const char *error;
    };
    const Case cases[] = {
        {"UBSWCHZH80A", debtor_iban, {"UBSWCHZH80A"}, {}, nullptr},
        {nullptr, debtor_iban, {}, {"00762"}, nullptr},
        {nullptr, "LI21088100002324013AA", {}, {"08810"}, nullptr},
        {nullptr, "DE89370400440532013000", {}, {}, "Debtor IBAN must be Swiss or from Liechtenstein under CH-SPS"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.iban);
        Message h = new_swiss_debtor(c.bic, c.iban);
        add_ok(h.get(), swiss_transfer({}));
        const auto doc = render_at(h.get());
        if (c.error != nullptr) {
            EXPECT_FALSE(doc);
            EXPECT_EQ(error_of(h.get()), c.error);
            continue;
        }
        ASSERT_TRUE(doc) << error_of(h.get());
        EXPECT_TRUE(valid_against(*doc, six_schema));
        EXPECT_EQ(element_texts(*doc, "BICFI"), c.bicfi);
        EXPECT_EQ(element_texts(*doc, "MmbId"), c.member);
        EXPECT_EQ(count_of(*doc, "<Cd>CHBCC</Cd>"), c.member.size());
    }
}

// One block per date and currency, SEPA payments apart; the header sums every amount.
TEST(SwissTransfers, BlocksByDateAndCurrency) {
    RulebookScope rulebook("CH-SPS");
    Message h = new_swiss_debtor();
    const std::string sepa_iban = "DE89370400440532013000";
    add_ok(h.get(), swiss_transfer({{"amount", "1.00"}}));
    add_ok(h.get(), swiss_transfer({{"amount", "2.00"}, {"currency", "EUR"}, {"iban", sepa_iban}}));
    add_ok(h.get(), swiss_transfer({{"amount", "4.00"}, {"currency", "EUR"}}));
    add_ok(h.get(), swiss_transfer({{"amount", "8.00"}, {"date", "2026-11-30"}}));
    add_ok(h.get(), swiss_transfer({{"amount", "16.00"}}));
    add_ok(h.get(), swiss_transfer({{"amount", "32.00"}, {"currency", "EUR"}, {"iban", sepa_iban}}));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_TRUE(valid_against(*doc, six_schema));
    EXPECT_EQ(element_texts(*doc, "PmtInfId"), (std::vector<std::string>{"SPS-1-P1", "SPS-1-P2", "SPS-1-P3", "SPS-1-P4"}));
    EXPECT_EQ(element_texts(*doc, "CtrlSum"), (std::vector<std::string>{"63.00", "8.00", "17.00", "4.00", "34.00"}));
    EXPECT_EQ(element_texts(*doc, "Dt"),
              (std::vector<std::string>{"2026-11-30", "2026-12-01", "2026-12-01", "2026-12-01"}));
    EXPECT_EQ(count_of(*doc, "<Cd>SEPA</Cd>"), 1U);
}

// The message's category purpose and ultimate debtor reach every block, SEPA or not, and
// a transfer's ultimate creditor its own transaction: none of them is dropped.
TEST(SwissTransfers, UltimatePartiesAndCategoryPurposeInEveryBlock) {
    RulebookScope rulebook("CH-SPS");
    Message h = new_swiss_debtor();
    ASSERT_EQ(tarvo_setCategoryPurpose(h.get(), "SALA"), 1) << error_of(h.get());
    ASSERT_EQ(tarvo_setUltimateName(h.get(), "Z\xC3\xBCrich <Holding> & Co"), 1) << error_of(h.get());
    add_ok(h.get(), swiss_transfer({{"ultimateName", "Gen\xC3\xA8ve S\xC3\xA0rl"}}));
    add_ok(h.get(), swiss_transfer({{"currency", "EUR"}, {"iban", "DE89370400440532013000"}}));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_TRUE(valid_against(*doc, six_schema));
    EXPECT_EQ(element_texts(*doc, "PmtInfId").size(), 2U);
    EXPECT_EQ(count_of(*doc, "<CtgyPurp>\n\t\t\t\t\t<Cd>SALA</Cd>"), 2U);
    EXPECT_EQ(count_of(*doc, "<UltmtDbtr>\n\t\t\t\t<Nm>Z\xC3\xBCrich &lt;Holding&gt; &amp; Co</Nm>"), 2U);
    EXPECT_EQ(count_of(*doc, "<UltmtCdtr>\n\t\t\t\t\t<Nm>Gen\xC3\xA8ve S\xC3\xA0rl</Nm>"), 1U);
}

// A transfer keeps the currency and kind it was added with: a render under a rulebook
// that cannot write them is refused, never a document in the wrong currency.
TEST(SwissTransfers, RulebookSwitches) {
    struct Case {
        const char *added_under, *rendered_under;
        int type;
        Kv kv;
        const char *add_error, *render_error;
    };
    Case cases[] = {
        {"CH-SPS", "DE-3.7", TARVO_MSGTYPE_CTI, swiss_transfer({}), nullptr, "CHF payments require rulebook CH-SPS in transaction 1"},
        {"CH-SPS", "DE-3.7", TARVO_MSGTYPE_CTI,
         swiss_transfer({{"iban", qr_iban}, {"qrr", qr_reference}, {"currency", "EUR"}}), nullptr,
         "QR reference (qrr) requires rulebook CH-SPS in transaction 1"},
        {"DE-3.7", "CH-SPS", TARVO_MSGTYPE_CTI, Kv{{"name", "A"}, {"iban", swiss_iban}, {"amount", "1"}}, nullptr,
         "Address requires town and country (addrTown and addrCC) in transaction 1"},
        {"DE-3.7", "DE-3.7", TARVO_MSGTYPE_CTI, Kv{{"name", "A"}, {"iban", swiss_iban}, {"amount", "1"}, {"currency", "EUR"}},
         "Invalid transaction property 'currency'", nullptr},
        {"DE-3.7", "DE-3.7", TARVO_MSGTYPE_CTI, Kv{{"name", "A"}, {"iban", qr_iban}, {"amount", "1"}, {"QRR", qr_reference}},
         "Invalid transaction property 'QRR'", nullptr},
        {"CH-SPS", "CH-SPS", TARVO_MSGTYPE_DDI, Kv{{"name", "A"}}, "Direct debits are not supported under CH-SPS",
         nullptr},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(std::string(c.added_under) + " to " + c.rendered_under + ": " + (c.add_error ? c.add_error : ""));
        RulebookScope added(c.added_under);
        Message h = c.type == TARVO_MSGTYPE_CTI ? new_swiss_debtor() : Message(tarvo_new(c.type));
        EXPECT_EQ(tarvo_add(h.get(), c.kv.list()), c.add_error ? 0 : 1);
        if (c.add_error != nullptr) {
            EXPECT_EQ(error_of(h.get()), c.add_error);
            continue;
        }
        RulebookScope rendered(c.rendered_under);
        EXPECT_FALSE(render_at(h.get()));
        EXPECT_EQ(error_of(h.get()), c.render_error);
    }
}

// A message pinned to CH-SPS pays in francs whatever the process selects; a direct debit
// cannot be pinned to it.
TEST(SwissTransfers, PinnedMessages) {
    RulebookScope german("DE-3.7");
    Message h = new_swiss_debtor();
    ASSERT_EQ(tarvo_setRulebook(h.get(), "CH-SPS"), 1);
    add_ok(h.get(), swiss_transfer({{"iban", qr_iban}, {"qrr", qr_reference}}));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_TRUE(valid_against(*doc, six_schema));
    Message debits(tarvo_new(TARVO_MSGTYPE_DDI));
    EXPECT_EQ(tarvo_setRulebook(debits.get(), "CH-SPS"), 0);
    EXPECT_EQ(error_of(debits.get()), "Direct debits are not supported under CH-SPS");
}

// A direct-debit message made under another rulebook is refused when rendered under CH-SPS.
TEST(SwissTransfers, DirectDebitRenderRefused) {
    Message h;
    {
        RulebookScope german("DE-3.7");
        h = new_message(TARVO_MSGTYPE_DDI, "Creditor");
        add_ok(h.get(), Kv{{"name", "A"}, {"iban", "DE89370400440532013000"}, {"amount", "1"}, {"seq", "OOFF"},
                           {"mref", "M1"}, {"mdate", "2024-01-01"}});
    }
    RulebookScope swiss("CH-SPS");
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Direct debits are not supported under CH-SPS");
}

} // namespace
} // namespace tarvo::test
