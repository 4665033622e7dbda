// Direct-debit documents: the exact layout per rulebook, grouping and numbering, the
// message identification, refusals, escaping, and validity against the schemas.
#include <regex>

#include "message/xml_test_support.h"

// GCC announces AddressSanitizer with a macro, clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define TARVO_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVO_TEST_ASAN 1
#endif
#endif
#ifdef TARVO_TEST_ASAN
// The growth test asks for more memory than exists and expects a null answer, not an abort.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace tarvo::test {
namespace {

constexpr const char *msgid = "MSG-2024-0001";

Message new_creditor(const char *name) {
    Message h(tarvo_new(TARVO_MSGTYPE_DDI));
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(tarvo_setIBAN(h.get(), creditor_iban), 1) << error_of(h.get());
    EXPECT_EQ(tarvo_setBIC(h.get(), creditor_bic), 1) << error_of(h.get());
    EXPECT_EQ(tarvo_setName(h.get(), name), 1) << error_of(h.get());
    EXPECT_EQ(tarvo_setCreditorIdentifier(h.get(), creditor_id), 1) << error_of(h.get());
    return h;
}

Kv debit(const char *iban, const char *seq, const char *amount, const char *mref) {
    return Kv{{"name", "Debtor"}, {"iban", iban}, {"bic", "COBADEFFXXX"}, {"seq", seq},
              {"amount", amount}, {"mref", mref}, {"mdate", "2023-05-01"}};
}

// ---- The exact layout ------------------------------------------------------------

struct LayoutCase {
    const char *rulebook;
    const char *variant;
    bool schema_location;
    const char *bic_tag;
    bool smnda_in_account;
    bool structured;
    const char *creditor, *creditor_xml;
    const char *debtor, *debtor_xml;
};

void block_head(Lines &l, const LayoutCase &c, int n, const char *seq, const char *date, int count, const char *sum) {
    l(2, "<PmtInf>")(3, std::string("<PmtInfId>") + msgid + "-P" + std::to_string(n) + "</PmtInfId>");
    l(3, "<PmtMtd>DD</PmtMtd>")(3, "<BtchBookg>true</BtchBookg>")(3,
                                                                  "<NbOfTxs>" + std::to_string(count) + "</NbOfTxs>");
    l(3, std::string("<CtrlSum>") + sum +
             "</CtrlSum>")(3, "<PmtTpInf>")(4, "<SvcLvl>")(5, "<Cd>SEPA</Cd>")(4, "</SvcLvl>");
    l(4, "<LclInstrm>")(5, "<Cd>CORE</Cd>")(4, "</LclInstrm>")(4, std::string("<SeqTp>") + seq + "</SeqTp>");
    l(3, "</PmtTpInf>")(3, std::string("<ReqdColltnDt>") + date + "</ReqdColltnDt>");
    l(3, "<Cdtr>")(4, std::string("<Nm>") + c.creditor_xml + "</Nm>")(3, "</Cdtr>");
    l(3, "<CdtrAcct>")(4, "<Id>")(5, "<IBAN>AT611904300234573201</IBAN>")(4, "</Id>")(3, "</CdtrAcct>");
    l(3, "<CdtrAgt>")(4, "<FinInstnId>")(5, std::string("<") + c.bic_tag + ">BKAUATWWXXX</" + c.bic_tag + ">");
    l(4, "</FinInstnId>")(3, "</CdtrAgt>")(3, "<ChrgBr>SLEV</ChrgBr>");
    l(3, "<CdtrSchmeId>")(4, "<Id>")(5, "<PrvtId>")(6, "<Othr>")(7, "<Id>DE98ZZZ09999999999</Id>")(7, "<SchmeNm>");
    l(8, "<Prtry>SEPA</Prtry>")(7, "</SchmeNm>")(6, "</Othr>")(5, "</PrvtId>")(4, "</Id>")(3, "</CdtrSchmeId>");
}

void debit_head(Lines &l, const char *id, const char *amount, const char *mref, const char *mdate) {
    l(3, "<DrctDbtTxInf>")(4, "<PmtId>")(5, std::string("<EndToEndId>") + id + "</EndToEndId>")(4, "</PmtId>");
    l(4, std::string("<InstdAmt Ccy=\"EUR\">") + amount + "</InstdAmt>")(4, "<DrctDbtTx>")(5, "<MndtRltdInf>");
    l(6, std::string("<MndtId>") + mref + "</MndtId>")(6, std::string("<DtOfSgntr>") + mdate + "</DtOfSgntr>");
}

void debit_agent_and_name(Lines &l, const LayoutCase &c, const char *bic, const std::string &name) {
    l(5, "</MndtRltdInf>")(4, "</DrctDbtTx>")(4, "<DbtrAgt>")(5, "<FinInstnId>");
    l(6, std::string("<") + c.bic_tag + ">" + bic + "</" + c.bic_tag + ">")(5, "</FinInstnId>")(4, "</DbtrAgt>");
    l(4, "<Dbtr>")(5, "<Nm>" + name + "</Nm>");
}

void debit_account(Lines &l, const char *iban) {
    l(4, "</Dbtr>")(4, "<DbtrAcct>")(5, "<Id>")(6, std::string("<IBAN>") + iban + "</IBAN>")(5, "</Id>")(4,
                                                                                                         "</DbtrAcct>");
}

std::string expected_document(const LayoutCase &c) {
    Lines l;
    l.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")(0, root_line(c.variant, c.schema_location));
    l(1, "<CstmrDrctDbtInitn>")(2, "<GrpHdr>")(3, std::string("<MsgId>") + msgid + "</MsgId>");
    l(3, "<CreDtTm>2024-06-10T06:13:20Z</CreDtTm>")(3, "<NbOfTxs>3</NbOfTxs>")(3, "<CtrlSum>13.75</CtrlSum>");
    l(3, "<InitgPty>")(4, std::string("<Nm>") + c.creditor_xml + "</Nm>")(3, "</InitgPty>")(2, "</GrpHdr>");

    // The first date holds only the second debit (first sequence type, message date).
    block_head(l, c, 1, "FRST", "2024-06-10", 1, "1.00");
    debit_head(l, "NOTPROVIDED", "1.00", "MANDATE-2", "2024-01-02");
    l(6, "<AmdmntInd>true</AmdmntInd>")(6, "<AmdmntInfDtls>")(7, "<OrgnlMndtId>OLD-2</OrgnlMndtId>");
    if (c.smnda_in_account)
        l(7, "<OrgnlDbtrAcct>")(8, "<Id>")(9, "<Othr>")(10, "<Id>SMNDA</Id>")(9, "</Othr>")(8, "</Id>")(
            7, "</OrgnlDbtrAcct>");
    else
        l(7, "<OrgnlDbtrAgt>")(8, "<FinInstnId>")(9, "<Othr>")(10, "<Id>SMNDA</Id>")(9, "</Othr>")(8, "</FinInstnId>")(
            7, "</OrgnlDbtrAgt>");
    l(6, "</AmdmntInfDtls>");
    debit_agent_and_name(l, c, "ABNANL2A", "Anna Berg");
    l(5, "<PstlAdr>");
    if (c.structured)
        l(6, "<StrtNm>Dam</StrtNm>")(6, "<BldgNb>1</BldgNb>")(6, "<PstCd>1012 JS</PstCd>")(
            6, "<TwnNm>Amsterdam</TwnNm>")(6, "<Ctry>NL</Ctry>");
    else
        l(6, "<Ctry>NL</Ctry>")(6, "<AdrLine>Dam 1</AdrLine>")(6, "<AdrLine>1012 JS Amsterdam</AdrLine>");
    l(5, "</PstlAdr>");
    debit_account(l, "NL91ABNA0417164300");
    l(3, "</DrctDbtTxInf>")(2, "</PmtInf>");

    // The later date: first and third debit, in the order of adding.
    block_head(l, c, 2, "RCUR", "2024-06-12", 2, "12.75");
    debit_head(l, "E2E-1", "10.50", "MANDATE-1", "2023-01-15");
    debit_agent_and_name(l, c, "COBADEFFXXX", c.debtor_xml);
    debit_account(l, "DE89370400440532013000");
    l(4, "<RmtInf>")(5, "<Ustrd>Invoice 1/2024</Ustrd>")(4, "</RmtInf>")(3, "</DrctDbtTxInf>");
    debit_head(l, "E2E-3", "2.25", "MANDATE-3", "2022-12-31");
    l(6, "<AmdmntInd>true</AmdmntInd>")(6, "<AmdmntInfDtls>")(7, "<OrgnlDbtrAcct>")(8, "<Id>");
    l(9, "<IBAN>NL50PSTB0000054322</IBAN>")(8, "</Id>")(7, "</OrgnlDbtrAcct>")(6, "</AmdmntInfDtls>");
    debit_agent_and_name(l, c, "COBADEFFXXX", "Carl Dorn");
    debit_account(l, "CH9300762011623852957");
    l(3, "</DrctDbtTxInf>")(2, "</PmtInf>")(1, "</CstmrDrctDbtInitn>")(0, "</Document>");
    return l.str();
}

class DdiLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DdiLayout, DocumentIsByteForByteTheExpectedOne) {
    const LayoutCase &c = GetParam();
    RulebookScope rulebook(c.rulebook);
    Message h = new_creditor(c.creditor);
    ASSERT_EQ(tarvo_setDate(h.get(), "2024-06-10"), 1);
    ASSERT_EQ(tarvo_setMessageId(h.get(), msgid), 1);
    add_ok(h.get(), {{"name", c.debtor},
                     {"iban", "DE89370400440532013000"},
                     {"bic", "cobadeffxxx"},
                     {"seq", "rcur"},
                     {"amount", "10.50"},
                     {"date", "2024-06-12"},
                     {"id", "E2E-1"},
                     {"mref", "MANDATE-1"},
                     {"mdate", "2023-01-15"},
                     {"ref", "Invoice 1/2024"}});
    Kv second{{"name", "Anna Berg"},   {"iban", "NL91ABNA0417164300"},
              {"bic", "ABNANL2A"},     {"seq", "FRST"},
              {"amount", "1"},         {"mref", "MANDATE-2"},
              {"mdate", "2024-01-02"}, {"old_mref", "OLD-2"},
              {"smnda", "1"},          {"addrCC", "NL"}};
    if (c.structured)
        second.set("addrStreet", "Dam").set("addrNum", "1").set("addrCode", "1012 JS").set("addrTown", "Amsterdam");
    else
        second.set("addrLine1", "Dam 1").set("addrLine2", "1012 JS Amsterdam");
    add_ok(h.get(), second);
    add_ok(h.get(), {{"name", "Carl Dorn"},
                     {"iban", "CH9300762011623852957"},
                     {"bic", "COBADEFFXXX"},
                     {"seq", "RCUR"},
                     {"amount", "2.25"},
                     {"date", "2024-06-12"},
                     {"id", "E2E-3"},
                     {"mref", "MANDATE-3"},
                     {"mdate", "2022-12-31"},
                     {"old_iban", "NL50PSTB0000054322"}});

    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(*doc, expected_document(c));
    EXPECT_TRUE(valid_against(*doc, c.variant));
}

INSTANTIATE_TEST_SUITE_P(
    Rulebooks, DdiLayout,
    ::testing::Values(LayoutCase{"DE-2.6", "pain.008.002.02", true, "BIC", false, false, "Creditor Ltd.",
                                 "Creditor Ltd.", "Debtor (1)", "Debtor (1)"},
                      LayoutCase{"DE-2.9", "pain.008.003.02", true, "BIC", false, false, "Müller & Söhne",
                                 "Müller &amp; Söhne", "Jörg Groß", "Jörg Groß"},
                      LayoutCase{"AT-6", "pain.008.001.02", false, "BIC", false, false, "A<B> & C €",
                                 "A&lt;B&gt; &amp; C €", "Hans \"Maier\" [#1]", "Hans \"Maier\" [#1]"},
                      LayoutCase{"DE-3.5", "pain.008.001.02", true, "BIC", true, false, "Jäger & Co", "Jäger &amp; Co",
                                 "Max Mustermann", "Max Mustermann"},
                      LayoutCase{"DE-3.7", "pain.008.001.08", true, "BICFI", true, true, "Groß & Klein",
                                 "Groß &amp; Klein", "Eva Weiß", "Eva Weiß"}),
    [](const auto &info) { return rulebook_name(info.param.rulebook); });

TEST(DdiXml, RootLineOfTheNewestVariantCarriesItsSchemaLocation) {
    RulebookScope rulebook("DE-3.7");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "OOFF", "5", "M1"));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    const std::string first_lines = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document ";
    EXPECT_EQ(doc->substr(0, first_lines.size()), first_lines);
    const std::string ending =
        " xsi:schemaLocation=\"urn:iso:std:iso:20022:tech:xsd:pain.008.001.08 pain.008.001.08.xsd\">\n";
    EXPECT_NE(doc->find(ending), std::string::npos);
}

// ---- Grouping and numbering --------------------------------------------------------

TEST(DdiXml, DatesAreWrittenInAscendingOrderAndKeepTheOrderOfAdding) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    for (const auto &[date, id] : {std::pair{"2024-05-10", "A"}, {"2024-05-03", "B"}, {"2024-05-10", "C"}}) {
        Kv kv = debit("NL91ABNA0417164300", "RCUR", "1", "M");
        add_ok(h.get(), kv.set("date", date).set("id", id));
    }
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "ReqdColltnDt"), (std::vector<std::string>{"2024-05-03", "2024-05-10"}));
    EXPECT_EQ(element_texts(*doc, "EndToEndId"), (std::vector<std::string>{"B", "A", "C"}));
    EXPECT_EQ(element_texts(*doc, "NbOfTxs"), (std::vector<std::string>{"3", "1", "2"}));
}

TEST(DdiXml, SequenceTypesOfOneDateAreNumberedAcrossTheDocument) {
    RulebookScope rulebook("DE-2.9");
    Message h = new_creditor("Creditor");
    ASSERT_EQ(tarvo_setMessageId(h.get(), "ID"), 1);
    const std::pair<const char *, const char *> adds[] = {{"2024-07-02", "FNAL"},
                                                          {"2024-07-01", "OOFF"},
                                                          {"2024-07-01", "RCUR"},
                                                          {"2024-07-01", "FRST"},
                                                          {"2024-07-01", "RCUR"}};
    for (const auto &[date, seq] : adds) {
        Kv kv = debit("NL91ABNA0417164300", seq, "2.5", "M");
        add_ok(h.get(), kv.set("date", date));
    }
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "PmtInfId"), (std::vector<std::string>{"ID-P1", "ID-P2", "ID-P3", "ID-P4"}));
    EXPECT_EQ(element_texts(*doc, "SeqTp"), (std::vector<std::string>{"FRST", "RCUR", "OOFF", "FNAL"}));
    EXPECT_EQ(element_texts(*doc, "CtrlSum"), (std::vector<std::string>{"12.50", "2.50", "5.00", "2.50", "2.50"}));
}

TEST(DdiXml, MessageWithoutDateUsesTodayAndKeepsIt) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    const time_t now = fixed_instant + 40 * 86400;
    struct tm local {};
    localtime_r(&now, &local);
    char today[11];
    strftime(today, sizeof today, "%Y-%m-%d", &local);
    const auto doc = render_at(h.get(), now);
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "ReqdColltnDt"), std::vector<std::string>{today});
    ASSERT_NE(h->date, nullptr);
    EXPECT_STREQ(h->date, today);
    const auto later = render_at(h.get(), now + 3 * 86400);
    ASSERT_TRUE(later);
    EXPECT_EQ(element_texts(*later, "ReqdColltnDt"), std::vector<std::string>{today});
}

// ---- Message identification --------------------------------------------------------

TEST(DdiXml, GeneratedIdentificationCountsAndIsReusedLater) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    const int count = __tarvo_idcount;
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(__tarvo_idcount, count + 1);

    struct tm local {};
    const time_t now = fixed_instant;
    localtime_r(&now, &local);
    char expected[64];
    snprintf(expected, sizeof expected, "SEPA-%04i%02i%02i%02i%02i%02i-%07u", local.tm_year + 1900, local.tm_mon + 1,
             local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
             (static_cast<uint32_t>(count) + static_cast<uint32_t>(getpid()) * 100U) % 10000000U);
    EXPECT_EQ(element_texts(*doc, "MsgId"), std::vector<std::string>{expected});
    EXPECT_EQ(element_texts(*doc, "PmtInfId"), std::vector<std::string>{std::string(expected) + "-P1"});

    const auto again = render_at(h.get(), fixed_instant + 61);
    ASSERT_TRUE(again);
    EXPECT_EQ(__tarvo_idcount, count + 1);
    EXPECT_EQ(element_texts(*again, "MsgId"), std::vector<std::string>{expected});
    EXPECT_EQ(element_texts(*again, "CreDtTm"), std::vector<std::string>{"2024-06-10T06:14:21Z"});
}

TEST(DdiXml, IdentificationCounterWrapsAtItsLargestValue) {
    RulebookScope rulebook("DE-3.5");
    const int saved = __tarvo_idcount;
    __tarvo_idcount = INT32_MAX;
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    const auto doc = render_at(h.get());
    const int after = __tarvo_idcount;
    __tarvo_idcount = saved;
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(after, INT32_MIN);
    char suffix[16];
    snprintf(suffix, sizeof suffix, "-%07u", (uint32_t{INT32_MAX} + static_cast<uint32_t>(getpid()) * 100U) % 10000000U);
    ASSERT_NE(h->msgid, nullptr);
    EXPECT_STREQ(h->msgid + 19, suffix);
}

TEST(DdiXml, IdentificationThatCannotPrefixTheBlockIdsIsRefused) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    ASSERT_EQ(tarvo_setMessageId(h.get(), std::string(32, 'A').c_str()), 1);
    const auto fits = render_at(h.get());
    ASSERT_TRUE(fits) << error_of(h.get());
    EXPECT_TRUE(valid_against(*fits, "pain.008.001.02"));
    ASSERT_EQ(tarvo_setMessageId(h.get(), std::string(33, 'A').c_str()), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Message id too long for the payment information ids");
}

// ---- Transactions without optional data -------------------------------------------

// A one-off debit from a foreign account with only the mandatory keys.
void add_debit_without_id_or_bic(tarvo_t *h) {
    add_ok(h, {{"name", "D"}, {"iban", "NL91ABNA0417164300"}, {"seq", "OOFF"},
               {"amount", "3"}, {"mref", "M"}, {"mdate", "2023-05-01"}});
}

TEST(DdiXml, DebitWithoutIdOrBicGetsNotProvided) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_debit_without_id_or_bic(h.get());
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "EndToEndId"), std::vector<std::string>{"NOTPROVIDED"});
    EXPECT_NE(doc->find("\t\t\t\t<DbtrAgt>\n\t\t\t\t\t<FinInstnId>\n\t\t\t\t\t\t<Othr>\n"
                        "\t\t\t\t\t\t\t<Id>NOTPROVIDED</Id>\n\t\t\t\t\t\t</Othr>\n"),
              std::string::npos);
    EXPECT_EQ(count_of(*doc, "<RmtInf>"), 0U);
    EXPECT_EQ(count_of(*doc, "<AmdmntInd>"), 0U);
    EXPECT_EQ(count_of(*doc, "<PstlAdr>"), 0U);
    EXPECT_TRUE(valid_against(*doc, "dk/pain.008.001.02"));
}

TEST(DdiXml, SmndaTogetherWithOldIbanWritesOnlyTheMarker) {
    RulebookScope rulebook("DE-2.9");
    Message h = new_creditor("Creditor");
    Kv kv = debit("NL91ABNA0417164300", "FRST", "1", "M");
    add_ok(h.get(), kv.set("smnda", "1").set("old_iban", "NL50PSTB0000054322"));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(count_of(*doc, "<Id>SMNDA</Id>"), 1U);
    EXPECT_EQ(count_of(*doc, "NL50PSTB0000054322"), 0U);
    EXPECT_EQ(count_of(*doc, "<OrgnlDbtrAgt>"), 1U);
}

TEST(DdiXml, BatchBookingOffAndB2bAreWritten) {
    RulebookScope rulebook("DE-3.7");
    Message h = new_creditor("Creditor");
    ASSERT_EQ(tarvo_setBatchBooking(h.get(), 0), 1);
    ASSERT_EQ(tarvo_setDDType(h.get(), TARVO_DDTYPE_B2B), 1);
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_EQ(element_texts(*doc, "BtchBookg"), std::vector<std::string>{"false"});
    EXPECT_NE(doc->find("\t\t\t\t<LclInstrm>\n\t\t\t\t\t<Cd>B2B</Cd>\n"), std::string::npos);
}

// ---- COR1 ----------------------------------------------------------------------------

TEST(DdiXml, Cor1IsWrittenOnlyUnderRulebooksThatKnowIt) {
    RulebookScope rulebook("DE-2.9");
    Message h = new_creditor("Creditor");
    ASSERT_EQ(tarvo_setDDType(h.get(), TARVO_DDTYPE_COR1), 1);
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_NE(doc->find("<Cd>COR1</Cd>"), std::string::npos);
    EXPECT_TRUE(valid_against(*doc, "pain.008.003.02"));

    for (const char *later : {"DE-3.5", "DE-3.7", "DE-2.6"}) {
        ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, later), 1);
        EXPECT_FALSE(render_at(h.get())) << later;
        EXPECT_EQ(error_of(h.get()), "Unknown/unsupported LocalInstrumentCode (setDDType)") << later;
    }
}

// ---- Refusals --------------------------------------------------------------------------

TEST(DdiXml, CreditorFaultsAreReportedFirstFaultFirst) {
    RulebookScope rulebook("DE-3.5");
    Message h(tarvo_new(TARVO_MSGTYPE_DDI));
    ASSERT_EQ(tarvo_setName(h.get(), "Creditor"), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Missing creditor IBAN");
    ASSERT_EQ(tarvo_setIBAN(h.get(), creditor_iban), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Missing creditor BIC");
    ASSERT_EQ(tarvo_setBIC(h.get(), creditor_bic), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Missing creditor identifier");
    ASSERT_EQ(tarvo_setCreditorIdentifier(h.get(), creditor_id), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "No transactions available");
    EXPECT_EQ(h->msgid, nullptr) << "a refused document generates no identification";
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    EXPECT_TRUE(render_at(h.get())) << error_of(h.get());
}

TEST(DdiXml, DebitWithoutMandateDataOrNameIsRefusedWithItsPosition) {
    RulebookScope rulebook("DE-3.5");
    const std::pair<const char *, const char *> omissions[] = {
        {"name", "Missing debtor name in transaction 2"},
        {"mref", "Missing mandate reference in transaction 2"},
        {"mdate", "Missing mandate signature date in transaction 2"}};
    for (const auto &[omitted, message] : omissions) {
        Message h = new_creditor("Creditor");
        add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
        Kv kv{{"iban", "NL91ABNA0417164300"}, {"seq", "RCUR"}, {"amount", "1"}};
        for (const char *key : {"name", "mref", "mdate"})
            if (std::string(key) != omitted) kv.set(key, std::string(key) == "mdate" ? "2023-01-01" : "X");
        add_ok(h.get(), kv);
        EXPECT_FALSE(render_at(h.get())) << omitted;
        EXPECT_EQ(error_of(h.get()), message);
    }
}

TEST(DdiXml, DebitWithoutAgentIsRefusedWhereTheRulebookWantsOne) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_debit_without_id_or_bic(h.get());
    EXPECT_TRUE(render_at(h.get())) << error_of(h.get());
    ASSERT_EQ(tarvo_init(TARVO_INIT_RULEBOOK, "DE-2.6"), 1);
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Missing debtor BIC in transaction 1");
}

TEST(DdiXml, AmountBeyondTheSchemeLimitIsRefused) {
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "999999999.99", "M"));
    EXPECT_TRUE(render_at(h.get())) << error_of(h.get());
    Kv too_large = debit("NL91ABNA0417164300", "RCUR", "1000000000", "M");
    EXPECT_EQ(tarvo_add(h.get(), too_large.list()), 0);
    EXPECT_EQ(error_of(h.get()), "Amount too large (at most 999999999.99)");
    // Records are only made by adding; the writer still refuses one that was changed since.
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    static_cast<ddi_tx *>(h->tx_tail)->amount = 99999999999 + 1;
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "Amount too large (at most 999999999.99) in transaction 2");
}

TEST(DdiXml, NullHandleAndUnknownRulebookGiveNoDocument) {
    EXPECT_EQ(tarvo_toXML(nullptr), nullptr);
    RulebookScope rulebook("DE-3.5");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    __tarvo_rulebook = tarvo::rulebook_count;
    EXPECT_FALSE(render_at(h.get()));
    EXPECT_EQ(error_of(h.get()), "unknown/unsupported SEPA rulebook selected");
}

// ---- The document writer --------------------------------------------------------------

TEST(DdiXml, WriterStopsAppendingAfterTheFirstFailedGrowth) {
    buffer_t buf{};
    xml::Out out(&buf);
    out.put("<a>").esc("x & y");
    ASSERT_TRUE(out.ok());
    out.reserve(uint64_t{1} << 62).put("<b>").esc("z");
    EXPECT_FALSE(out.ok());
    ASSERT_NE(buf.data, nullptr);
    EXPECT_STREQ(buf.data, "<a>x &amp; y");
    free(buf.data);
}

// ---- Escaping --------------------------------------------------------------------------

TEST(DdiXml, NoStoredValueReachesTheDocumentUnescaped) {
    // The Austrian guideline lets "<" and ">" into identifiers and mandate references, so
    // these values pass the checks the writer repeats and still need escaping. Fields the
    // writer does not check again (dates, message id) get them placed straight into the
    // records: the document must stay well-formed whatever they hold.
    RulebookScope rulebook("AT-6");
    Message h = new_creditor("Creditor");
    add_ok(h.get(), debit("NL91ABNA0417164300", "RCUR", "1", "M"));
    auto *tx = static_cast<ddi_tx *>(h->tx_head);
    for (char **field : {&tx->mref, &tx->mdate, &tx->old_mref, &tx->id, &h->creditor_id, &h->msgid}) {
        release_text(*field);
        *field = copy_text("a<b>cdef");
    }
    const auto doc = render_at(h.get());
    ASSERT_TRUE(doc) << error_of(h.get());
    EXPECT_TRUE(well_formed(*doc));
    EXPECT_EQ(count_of(*doc, "a&lt;b&gt;cdef"), 7U); // MsgId, PmtInfId, scheme id, id, mref, mdate, old mref
    EXPECT_EQ(count_of(*doc, "a<b"), 0U);
}

// ---- Validity across rulebooks -----------------------------------------------------

// Debits over three dates and all four sequence types, with and without amendments
// (SMNDA, old reference, old account), addresses, end-to-end ids, agents and texts.
void add_mixed_debits(tarvo_t *h, const std::string &rulebook, int count) {
    const char *dates[] = {"2024-07-01", nullptr, "2024-06-15"};
    const char *seqs[] = {"FRST", "RCUR", "OOFF", "FNAL"};
    const char *bics[] = {"COBADEFFXXX", "ABNANL2A", "BKAUATWWXXX"};
    for (int i = 0; i < count; ++i) {
        Kv kv{{"name", party_name(rulebook)},
              {"iban", i % 2 ? "NL91ABNA0417164300" : "AT611904300234573201"},
              {"seq", seqs[i % 4]},
              {"amount", std::to_string(i * 7 + 1) + ".5"},
              {"mref", "MREF-" + std::to_string(i)},
              {"mdate", "2023-11-30"}};
        if (dates[i % 3] != nullptr) kv.set("date", dates[i % 3]);
        if (rulebook == "DE-2.6" || i % 4 != 2) kv.set("bic", bics[i % 3]);
        if (i % 2 == 1) kv.set("id", "E2E " + std::to_string(i));
        if (i % 3 != 1) kv.set("ref", std::string("Ref ") + party_name(rulebook));
        switch (i % 5) {
        case 0: kv.set("smnda", "1"); break;
        case 1: kv.set("old_mref", "OLD-" + std::to_string(i)); break;
        case 2: kv.set("old_iban", "NL50PSTB0000054322"); break;
        case 3: kv.set("smnda", "1").set("old_iban", "NL50PSTB0000054322").set("old_mref", "OLD"); break;
        default: break;
        }
        if (i % 3 == 0) add_address(kv, rulebook);
        add_ok(h, kv);
    }
}

class DdiSchema : public ::testing::TestWithParam<const char *> {};

TEST_P(DdiSchema, EveryInstrumentAndShapeValidates) {
    const std::string rb = GetParam();
    RulebookScope rulebook(GetParam());
    const std::string variant(current_rulebook()->ddi_variant);
    std::vector<int> instruments{TARVO_DDTYPE_CORE, TARVO_DDTYPE_B2B};
    if (current_rulebook()->cor1_settable) instruments.push_back(TARVO_DDTYPE_COR1);
    for (int count : {1, 24}) {
        for (int instrument : instruments) {
            Message h = new_creditor(party_name(rb));
            ASSERT_EQ(tarvo_setDDType(h.get(), instrument), 1) << error_of(h.get());
            ASSERT_EQ(tarvo_setBatchBooking(h.get(), count == 1 ? 0 : 1), 1);
            ASSERT_EQ(tarvo_setDate(h.get(), "2024-06-20"), 1);
            add_mixed_debits(h.get(), rb, count);
            const auto doc = render_at(h.get());
            ASSERT_TRUE(doc) << error_of(h.get());
            for (const auto &schema : schemas_of(variant, rb))
                EXPECT_TRUE(valid_against(*doc, schema)) << count << " debits, instrument " << instrument;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllRulebooks, DdiSchema, ::testing::ValuesIn(all_rulebooks),
                         [](const auto &info) { return rulebook_name(info.param); });

} // namespace
} // namespace tarvo::test
