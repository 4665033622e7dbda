// Documents the camt reader refuses, each with an error that says why and
// where, and never with part of the records handed out.
#include <gtest/gtest.h>

#include <string>

#include "camt_documents.h"

using namespace stmt_test;
using namespace camt_test;

namespace {

const std::string good_entry = entry("10.00", "CRDT");
const std::string good_document = statement_document(balance("OPBD", "1.00") + good_entry + balance("CLBD", "11.00"));

struct Refused {
    const char *name;
    std::string (*content)(); // made when the test runs: some are large
    std::string error;        // the error text starts with this
};

void PrintTo(const Refused &r, std::ostream *os) {
    *os << r.name;
}

std::string with_entry(const std::string &e) {
    return statement_document(balance("OPBD", "1.00") + e);
}

std::string nested(size_t levels) {
    std::string open, close;
    for (size_t i = 0; i < levels; ++i) {
        open += "<X>";
        close += "</X>";
    }
    return statement_document(balance("OPBD", "1.00") + "<AddtlStmtInf>" + open + close + "</AddtlStmtInf>");
}

const Refused refused[] = {
    {"InternalEntities",
     []() -> std::string {
         return "<?xml version=\"1.0\"?>\n<!DOCTYPE Document [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                "\"&a;&a;&a;&a;&a;\">]>\n" +
                good_document.substr(good_document.find("<Document"));
     },
     "Document type declarations are not accepted (line 2)"},
    {"ExternalEntity",
     []() -> std::string {
         return "<?xml version=\"1.0\"?>\n<!DOCTYPE Document [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n" +
                statement_document(balance("OPBD", "1.00") + entry("1.00", "CRDT", "<AddtlNtryInf>&x;</AddtlNtryInf>"))
                    .substr(good_document.find("<Document"));
     },
     "Document type declarations are not accepted (line 2)"},
    {"ExternalDtd",
     []() -> std::string { return "<!DOCTYPE Document SYSTEM \"http://example.org/camt.dtd\">\n" + good_document; },
     "Document type declarations are not accepted (line 1)"},
    {"UndeclaredEntity",
     []() -> std::string { return with_entry(entry("1.00", "CRDT", "<AddtlNtryInf>&x;</AddtlNtryInf>")); },
     "XML error: undefined entity (line 10"},
    {"DeepNesting", []() -> std::string { return nested(100000); }, "Elements nested deeper than 100 levels (line 10)"},
    {"HugeAttribute",
     []() -> std::string {
         return statement_document(balance("OPBD", "1.00") + "<AddtlStmtInf a=\"" + std::string(size_t{20} << 20, 'a') +
                                   "\">x</AddtlStmtInf>");
     },
     "XML construct too large: the parser needs more than 8 MiB"},
    {"Truncated", []() -> std::string { return good_document.substr(0, good_document.size() / 2); },
     "Document ends before it is complete"},
    {"NotXml", []() -> std::string { return ":20:STARTUMS\r\n:25:12345678/0000123456\r\n"; },
     "Not a camt document: XML error: syntax error (line 1, column 0)"},
    {"UnknownVersion", []() -> std::string { return statement_document(good_entry, 99); },
     "Unknown namespace 'urn:iso:std:iso:20022:tech:xsd:camt.053.001.99' (line 2)"},
    {"OtherMessage",
     []() -> std::string {
         return "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\"><CstmrCdtTrfInitn/></Document>";
     },
     "Unknown namespace 'urn:iso:std:iso:20022:tech:xsd:pain.001.001.03' (line 1)"},
    {"NoNamespace", []() -> std::string { return "<Document><BkToCstmrStmt/></Document>"; },
     "Not a camt document: <Document> has no namespace (line 1)"},
    {"OtherRoot",
     []() -> std::string { return "<Statement xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"/>"; },
     "Not a camt document: the root element is <Statement> (line 1)"},
    {"MessageOfAnotherKind",
     []() -> std::string {
         return "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"><BkToCstmrAcctRpt/></Document>";
     },
     "Expected <BkToCstmrStmt> in <Document>, found <BkToCstmrAcctRpt> (line 1)"},
    {"NoAccount",
     []() -> std::string {
         return "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"><BkToCstmrStmt>\n<Stmt><Id>S</Id>" +
                balance("OPBD", "1.00") + "</Stmt>\n</BkToCstmrStmt></Document>";
     },
     "Missing <Acct> in <Stmt> (line 3)"},
    {"SecondStatementBroken",
     []() -> std::string {
         std::string two = good_document;
         const std::string broken = "<Stmt><Id>S2</Id><Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>" +
                                    balance("OPBD", "1,00") + "</Stmt>\n";
         return two.insert(two.find("</BkToCstmrStmt>"), broken);
     },
     "Malformed <Amt> '1,00' (line 14)"},
    {"NoBalanceInStatement", []() -> std::string { return statement_document(good_entry); },
     "Missing <Bal> in <Stmt> (line 11)"},
    {"NoEntryAmount", []() -> std::string { return with_entry("<Ntry><CdtDbtInd>CRDT</CdtDbtInd></Ntry>"); },
     "Missing <Amt> in <Ntry> (line 10)"},
    {"NoEntryDirectionBeforeDetails",
     []() -> std::string {
         return with_entry("<Ntry><Amt Ccy=\"EUR\">1.00</Amt><NtryDtls><TxDtls/></NtryDtls></Ntry>");
     },
     "Missing <CdtDbtInd> in <Ntry> (line 10)"},
    {"NoBalanceDate",
     []() -> std::string {
         return statement_document("<Bal><Tp><CdOrPrtry><Cd>OPBD</Cd></CdOrPrtry></Tp><Amt "
                                   "Ccy=\"EUR\">1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd></Bal>");
     },
     "Missing <Dt> in <Bal> (line 9)"},
    {"NoCurrency",
     []() -> std::string { return with_entry("<Ntry><Amt>1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd></Ntry>"); },
     "Missing <Ccy> in <Amt> (line 10)"},
    {"LowerCaseCurrency",
     []() -> std::string { return with_entry("<Ntry><Amt Ccy=\"eur\">1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd></Ntry>"); },
     "Malformed <Ccy> 'eur' (line 10)"},
    {"DecimalComma", []() -> std::string { return with_entry(entry("12,50", "CRDT")); },
     "Malformed <Amt> '12,50' (line 10)"},
    {"SixDecimals", []() -> std::string { return with_entry(entry("0.000001", "CRDT")); },
     "Malformed <Amt> '0.000001' (line 10)"},
    {"NegativeAmount", []() -> std::string { return with_entry(entry("-5.00", "DBIT")); },
     "Malformed <Amt> '-5.00' (line 10)"},
    {"NineteenDigits", []() -> std::string { return with_entry(entry("1234567890123456789", "CRDT")); },
     "Malformed <Amt> '1234567890123456789' (line 10)"},
    {"EmptyAmount", []() -> std::string { return with_entry(entry("", "CRDT")); }, "Malformed <Amt> '' (line 10)"},
    {"UnknownDirection", []() -> std::string { return with_entry(entry("1.00", "CRED")); },
     "Malformed <CdtDbtInd> 'CRED' (line 10)"},
    {"NoSuchDay", []() -> std::string { return statement_document(balance("OPBD", "1.00", "CRDT", "2023-02-29")); },
     "Malformed <Dt> '2023-02-29' (line 9)"},
    {"GermanDate", []() -> std::string { return statement_document(balance("OPBD", "1.00", "CRDT", "01.03.2024")); },
     "Malformed <Dt> '01.03.2024' (line 9)"},
    {"BadTime",
     []() -> std::string {
         return with_entry("<Ntry><Amt "
                           "Ccy=\"EUR\">1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><BookgDt><DtTm>2024-03-01T25:00:00</"
                           "DtTm></BookgDt></Ntry>");
     },
     "Malformed <DtTm> '2024-03-01T25:00:00' (line 10)"},
    {"ReversalWord", []() -> std::string { return with_entry(entry("1.00", "CRDT", "<RvslInd>yes</RvslInd>")); },
     "Malformed <RvslInd> 'yes' (line 10)"},
    {"SequenceNumberTooLarge",
     []() -> std::string { return statement_document("<LglSeqNb>4294967296</LglSeqNb>" + balance("OPBD", "1.00")); },
     "Malformed <LglSeqNb> '4294967296' (line 9)"},
};

class Refusals : public testing::TestWithParam<Refused> {};

TEST_P(Refusals, SayWhyAndHandOutNothing) {
    const Refused &r = GetParam();
    Parsed parsed = load_camt(r.content());
    EXPECT_EQ(parsed.result(), 0);
    EXPECT_EQ(parsed.error().substr(0, r.error.size()), r.error) << parsed.error();
    EXPECT_TRUE(parsed.statements().empty());
}

INSTANTIATE_TEST_SUITE_P(Camt, Refusals, testing::ValuesIn(refused),
                         [](const testing::TestParamInfo<Refused> &info) { return std::string(info.param.name); });

TEST(CamtLoad, GoodDocumentOfTheRefusalsLoads) {
    Parsed parsed = load_camt(good_document);
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    ASSERT_EQ(parsed.transactions().size(), 1u);
}

TEST(CamtLoad, HugeTextOutsideTheMappingIsSkipped) {
    const std::string long_text(size_t{32} << 20, 'x');
    Parsed parsed = load_camt(
        statement_document(balance("OPBD", "1.00") + good_entry + "<AddtlStmtInf>" + long_text + "</AddtlStmtInf>"));
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    EXPECT_EQ(parsed.transactions().size(), 1u);
}

TEST(CamtLoad, EmptyAndMissingFiles) {
    EXPECT_EQ(load_camt("").error(), "Input file is empty");
    Parsed missing(Path{"/nonexistent/statement.xml"}, TARVO_STMT_FORMAT_CAMT);
    EXPECT_EQ(missing.result(), 0);
    EXPECT_EQ(missing.error(), "Can't open input file: No such file or directory");
}

TEST(CamtLoad, SecondLoadIsRefused) {
    Parsed parsed = load_camt(good_document);
    TempFile file(good_document);
    EXPECT_EQ(tarvo_stmt_parser_load(parsed.parser(), TARVO_STMT_FORMAT_CAMT, file.path()), 0);
    EXPECT_EQ(parsed.error(), "Parser already used");
    EXPECT_EQ(parsed.statements().size(), 1u);
}

} // namespace
