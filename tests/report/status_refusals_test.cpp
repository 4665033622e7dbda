// Status reports built for one behaviour each: which namespaces name which version,
// what a close match and proprietary reasons give, and every refusal with the element
// and line it names. A refused report hands out no record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_text.h"

using report_test::describe_all;

namespace {

std::string document(const std::string &root_attributes, const std::string &body, const std::string &prefix = "") {
    return "<?xml version=\"1.0\"?>\n<" + prefix + "Document" + root_attributes + ">\n<" + prefix + "CstmrPmtStsRpt>\n" +
           body + "</" + prefix + "CstmrPmtStsRpt>\n</" + prefix + "Document>\n";
}

std::string nested(int levels) {
    std::string out;
    for (int i = 0; i < levels; ++i) out += "<a>";
    return out;
}

std::string iso(const std::string &version) { return " xmlns=\"urn:iso:std:iso:20022:tech:xsd:" + version + "\""; }

const std::string group = "<OrgnlGrpInfAndSts><OrgnlMsgId>M1</OrgnlMsgId><GrpSts>PART</GrpSts></OrgnlGrpInfAndSts>\n";

struct Loaded {
    int result;
    std::string version_or_error;
    std::vector<std::string> records;
};

Loaded load(const std::string &text) {
    tarvo_status_parser_t *p = tarvo_status_parser_new();
    Loaded out;
    out.result = tarvo_status_parser_loadMemory(p, text.data(), text.size());
    const char *version = tarvo_status_parser_getVersion(p);
    out.version_or_error = out.result == 1 ? (version != nullptr ? version : "(none)") : tarvo_status_parser_getError(p);
    out.records = describe_all(p);
    tarvo_status_parser_free(p);
    return out;
}

TEST(StatusVersions, NamespaceNamesTheVersion) {
    struct Case {
        std::string attributes, prefix, version;
    };
    std::vector<Case> cases;
    for (int v = 3; v <= 14; ++v) {
        const std::string name = std::string("pain.002.001.") + (v < 10 ? "0" : "") + std::to_string(v);
        cases.push_back({iso(name), "", name});
    }
    cases.push_back({" xmlns=\"http://www.six-interbank-clearing.com/de/pain.002.001.03.ch.02.xsd\"", "",
                     "pain.002.001.03.ch.02"});
    cases.push_back({"", "", "unversioned"});
    cases.push_back({" xmlns:p=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.10\"", "p:", "pain.002.001.10"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.attributes);
        std::string body = group;
        if (!c.prefix.empty()) {
            body = "<p:OrgnlGrpInfAndSts><p:OrgnlMsgId>M1</p:OrgnlMsgId><p:GrpSts>PART</p:GrpSts>"
                   "</p:OrgnlGrpInfAndSts>\n";
        }
        const Loaded got = load(document(c.attributes, body, c.prefix));
        EXPECT_EQ(got.result, 1) << got.version_or_error;
        EXPECT_EQ(got.version_or_error, c.version);
        EXPECT_EQ(got.records, std::vector<std::string>{"group msg=M1 status=PART"});
    }
}

TEST(StatusRecords, WhatEachLevelCarries) {
    struct Case {
        const char *what;
        std::string body;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"close match: the payee's bank's name beside the counterparty",
         group + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P1</OrgnlPmtInfId><TxInfAndSts><OrgnlEndToEndId>E1</OrgnlEndToEndId>"
                 "<TxSts>RVMC</TxSts><OrgnlTxRef><Cdtr><Pty><Nm>Erika Musterfrau</Nm></Pty></Cdtr>"
                 "<CdtrAcct><Id><IBAN>DE02120300000000202051</IBAN></Id></CdtrAcct></OrgnlTxRef></TxInfAndSts>"
                 "</OrgnlPmtInfAndSts>\n",
         {"group msg=M1 status=PART", "payment msg=M1 pmt=P1",
          "transaction msg=M1 pmt=P1 e2e=E1 status=RVMC cpty=Erika Musterfrau iban=DE02120300000000202051 "
          "payeebank=Erika Musterfrau"}},
        {"proprietary and coded reasons in order, several reason blocks",
         group + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P1</OrgnlPmtInfId><PmtInfSts>RJCT</PmtInfSts>"
                 "<StsRsnInf><Rsn><Prtry>X99</Prtry></Rsn><AddtlInf>first</AddtlInf></StsRsnInf>"
                 "<StsRsnInf><Rsn><Cd>AM04</Cd></Rsn><AddtlInf>second</AddtlInf></StsRsnInf></OrgnlPmtInfAndSts>\n",
         {"group msg=M1 status=PART", "payment msg=M1 pmt=P1 status=RJCT reason=X99 reason=AM04 info=first second"}},
        {"the payment id reaches transactions listed before it, the message id a group listed last",
         "<OrgnlPmtInfAndSts><TxInfAndSts><OrgnlEndToEndId>E1</OrgnlEndToEndId></TxInfAndSts>"
         "<OrgnlPmtInfId>P2</OrgnlPmtInfId></OrgnlPmtInfAndSts>\n" +
             group,
         {"payment msg=M1 pmt=P2", "transaction msg=M1 pmt=P2 e2e=E1", "group msg=M1 status=PART"}},
        {"two blocks: each transaction carries its own block's id",
         group + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P1</OrgnlPmtInfId><TxInfAndSts><OrgnlEndToEndId>A</OrgnlEndToEndId>"
                 "</TxInfAndSts></OrgnlPmtInfAndSts><OrgnlPmtInfAndSts><OrgnlPmtInfId>P2</OrgnlPmtInfId><TxInfAndSts>"
                 "<OrgnlEndToEndId>B</OrgnlEndToEndId><OrgnlTxRef><Amt><InstdAmt Ccy=\"CHF\">0.5</InstdAmt></Amt>"
                 "</OrgnlTxRef></TxInfAndSts></OrgnlPmtInfAndSts>\n",
         {"group msg=M1 status=PART", "payment msg=M1 pmt=P1", "transaction msg=M1 pmt=P1 e2e=A",
          "payment msg=M1 pmt=P2", "transaction msg=M1 pmt=P2 e2e=B amount=0.5 CHF"}},
        {"unknown elements are skipped with their content, a same-named element there too",
         "<Foo><OrgnlGrpInfAndSts><OrgnlMsgId>WRONG</OrgnlMsgId></OrgnlGrpInfAndSts></Foo>" + group +
             "<SplmtryData><Envlp><TxSts>X</TxSts></Envlp></SplmtryData>\n",
         {"group msg=M1 status=PART"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Loaded got = load(document(iso("pain.002.001.10"), c.body));
        EXPECT_EQ(got.result, 1) << got.version_or_error;
        EXPECT_EQ(got.records, c.records);
    }
}

TEST(StatusRefusals, ReasonNamesElementAndLine) {
    struct Case {
        std::string text, error;
    };
    const std::string v10 = iso("pain.002.001.10");
    const Case cases[] = {
        {document(" xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.02\"", group),
         "Unknown namespace 'urn:iso:std:iso:20022:tech:xsd:pain.002.001.02' (line 2)"},
        {"<Report/>", "Not a status report: the root element is <Report> (line 1)"},
        {"<Document" + v10 + "><CstmrCdtTrfInitn/></Document>",
         "Expected <CstmrPmtStsRpt> in <Document>, found <CstmrCdtTrfInitn> (line 1)"},
        {"<Document" + v10 + "/>", "Missing <CstmrPmtStsRpt> in <Document> (line 1)"},
        {document(v10, "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P</OrgnlPmtInfId></OrgnlPmtInfAndSts>\n"),
         "Missing <OrgnlGrpInfAndSts> in <CstmrPmtStsRpt> (line 6)"},
        {document(v10, "<OrgnlGrpInfAndSts>\n<GrpSts>RJCT</GrpSts></OrgnlGrpInfAndSts>\n"),
         "Missing <OrgnlMsgId> in <OrgnlGrpInfAndSts> (line 5)"},
        {document(v10, group + "<OrgnlPmtInfAndSts><PmtInfSts>RJCT</PmtInfSts></OrgnlPmtInfAndSts>\n"),
         "Missing <OrgnlPmtInfId> in <OrgnlPmtInfAndSts> (line 5)"},
        {document(v10, "<OrgnlGrpInfAndSts><OrgnlMsgId>M</OrgnlMsgId><OrgnlNbOfTxs>1x</OrgnlNbOfTxs>"
                       "</OrgnlGrpInfAndSts>\n"),
         "Malformed <OrgnlNbOfTxs> '1x' (line 4)"},
        {document(v10, "<OrgnlGrpInfAndSts><OrgnlMsgId>M</OrgnlMsgId><OrgnlCtrlSum>-5</OrgnlCtrlSum>"
                       "</OrgnlGrpInfAndSts>\n"),
         "Malformed <OrgnlCtrlSum> '-5' (line 4)"},
        {document(v10, "<OrgnlGrpInfAndSts><OrgnlMsgId>M</OrgnlMsgId><NbOfTxsPerSts><DtldSts>ACCP</DtldSts>"
                       "</NbOfTxsPerSts></OrgnlGrpInfAndSts>\n"),
         "Missing <DtldNbOfTxs> in <NbOfTxsPerSts> (line 4)"},
        {document(v10, group + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P</OrgnlPmtInfId><TxInfAndSts><OrgnlTxRef><Amt>"
                               "<InstdAmt>5</InstdAmt></Amt></OrgnlTxRef></TxInfAndSts></OrgnlPmtInfAndSts>\n"),
         "Missing <Ccy> in <InstdAmt> (line 5)"},
        {document(v10, group + "<OrgnlPmtInfAndSts><OrgnlPmtInfId>P</OrgnlPmtInfId><TxInfAndSts><OrgnlTxRef><Amt>"
                               "<InstdAmt Ccy=\"EUR\">1,5</InstdAmt></Amt></OrgnlTxRef></TxInfAndSts>"
                               "</OrgnlPmtInfAndSts>\n"),
         "Malformed <InstdAmt> '1,5' (line 5)"},
        {"<!DOCTYPE d [<!ENTITY a \"aaaa\">]>\n<Document/>", "Document type declarations are not accepted (line 1)"},
        {document(v10, group).substr(0, 150), "Document ends before it is complete (line 4)"},
        {document(v10, "<OrgnlGrpInfAndSts><OrgnlMsgId>M1</OrgnlMsgId><StsRsnInf><AddtlInf>" +
                           std::string(20000, 'a') + "</AddtlInf></StsRsnInf></OrgnlGrpInfAndSts>"),
         "Text of <AddtlInf> longer than 16384 bytes (line 4)"},
        {document(v10, nested(120)),
         "Elements nested deeper than 100 levels (line 4)"},
        {"", "Input is empty"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        const Loaded got = load(c.text);
        EXPECT_EQ(got.result, 0);
        EXPECT_EQ(got.version_or_error, c.error);
        EXPECT_TRUE(got.records.empty());
    }
}

// Which elements belong to the report goes by the namespace bound to each one's prefix,
// and a value with an element inside it cannot be read one way only.
TEST(StatusNamespaces, BindingsDecideWhatIsRead) {
    const std::string ns = "urn:iso:std:iso:20022:tech:xsd:pain.002.001.10";
    struct Case {
        const char *what;
        std::string body;
        std::string error; // empty: read as the group of M1
    };
    const Case cases[] = {
        {"another prefix for the same namespace",
         "<q:OrgnlGrpInfAndSts xmlns:q=\"" + ns + "\"><q:OrgnlMsgId>M1</q:OrgnlMsgId><q:GrpSts>PART</q:GrpSts>"
         "</q:OrgnlGrpInfAndSts>\n",
         ""},
        {"default namespace bound elsewhere below the root",
         "<OrgnlGrpInfAndSts xmlns=\"urn:other\"><OrgnlMsgId>M2</OrgnlMsgId></OrgnlGrpInfAndSts>\n" + group, ""},
        {"element inside a value", "<OrgnlGrpInfAndSts><OrgnlMsgId>M<b>1</b></OrgnlMsgId></OrgnlGrpInfAndSts>\n",
         "Malformed <OrgnlMsgId> 'element inside its value' (line 4)"},
        {"foreign element inside a value",
         "<OrgnlGrpInfAndSts><OrgnlMsgId>M<x:b xmlns:x=\"urn:other\"/>1</OrgnlMsgId></OrgnlGrpInfAndSts>\n",
         "Malformed <OrgnlMsgId> 'element inside its value' (line 4)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Loaded got = load(document(" xmlns=\"" + ns + "\"", c.body));
        if (c.error.empty()) {
            EXPECT_EQ(got.result, 1) << got.version_or_error;
            EXPECT_EQ(got.records, std::vector<std::string>{"group msg=M1 status=PART"});
        } else {
            EXPECT_EQ(got.result, 0);
            EXPECT_EQ(got.version_or_error, c.error);
        }
    }
}

TEST(StatusRefusals, HandleLoadsOnceAndFilesAreChecked) {
    tarvo_status_parser_t *p = tarvo_status_parser_new();
    EXPECT_EQ(tarvo_status_parser_load(p, "/nonexistent/report.xml"), 0);
    EXPECT_STREQ(tarvo_status_parser_getError(p), "Can't open input file: No such file or directory");
    const std::string text = document("", group);
    EXPECT_EQ(tarvo_status_parser_loadMemory(p, text.data(), text.size()), 0);
    EXPECT_STREQ(tarvo_status_parser_getError(p), "Parser already used");
    tarvo_status_parser_free(p);
    p = tarvo_status_parser_new();
    EXPECT_EQ(tarvo_status_parser_load(p, "/dev/null"), 0);
    EXPECT_STREQ(tarvo_status_parser_getError(p), "Input is not a regular file");
    tarvo_status_parser_free(p);
    EXPECT_EQ(tarvo_status_parser_load(nullptr, "x"), 0);
    EXPECT_EQ(tarvo_status_parser_getRecord(nullptr), nullptr);
}

} // namespace
