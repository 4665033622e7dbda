// Payment files of other software, built for one behaviour each: every version's
// namespace, the places versions moved values to, what a debit's mandate carries, and
// the refusals with element and line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pain_text.h"

using report_test::describe_all;

namespace {

std::string iso(const std::string &version) { return " xmlns=\"urn:iso:std:iso:20022:tech:xsd:" + version + "\""; }

std::string transfer(const std::string &ns, const std::string &block, const std::string &tx) {
    return "<?xml version=\"1.0\"?>\n<Document" + ns +
           ">\n<CstmrCdtTrfInitn><GrpHdr><MsgId>M1</MsgId><CreDtTm>2026-01-02T10:00:00</CreDtTm><NbOfTxs>1</NbOfTxs>"
           "<InitgPty><Nm>Init</Nm></InitgPty></GrpHdr>\n<PmtInf><PmtInfId>P1</PmtInfId><PmtMtd>TRF</PmtMtd>" +
           block + "\n<CdtTrfTxInf>" + tx + "</CdtTrfTxInf></PmtInf></CstmrCdtTrfInitn>\n</Document>\n";
}

std::string debit(const std::string &ns, const std::string &tx) {
    return "<?xml version=\"1.0\"?>\n<Document" + ns +
           ">\n<CstmrDrctDbtInitn><GrpHdr><MsgId>M2</MsgId></GrpHdr>\n<PmtInf><PmtInfId>P2</PmtInfId><PmtMtd>DD</PmtMtd>"
           "<PmtTpInf><SvcLvl><Cd>SEPA</Cd></SvcLvl><LclInstrm><Cd>CORE</Cd></LclInstrm><SeqTp>RCUR</SeqTp></PmtTpInf>"
           "<ReqdColltnDt>2026-02-03</ReqdColltnDt><Cdtr><Nm>Verein</Nm></Cdtr><CdtrAcct><Id><IBAN>AT611904300234573201"
           "</IBAN></Id></CdtrAcct><CdtrAgt><FinInstnId><BIC>BKAUATWWXXX</BIC></FinInstnId></CdtrAgt>"
           "<CdtrSchmeId><Id><PrvtId><Othr><Id>DE98ZZZ09999999999</Id></Othr></PrvtId></Id></CdtrSchmeId>\n"
           "<DrctDbtTxInf>" +
           tx + "</DrctDbtTxInf></PmtInf></CstmrDrctDbtInitn>\n</Document>\n";
}

const std::string plain_tx = "<PmtId><EndToEndId>E1</EndToEndId></PmtId><Amt><InstdAmt Ccy=\"EUR\">12.5</InstdAmt>"
                             "</Amt><Cdtr><Nm>Anna</Nm></Cdtr><CdtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id>"
                             "</CdtrAcct>";
const std::vector<std::string> plain_records = {"block id=P1 mtd=TRF", "tx e2e=E1 amount=12.5 EUR name=Anna "
                                                                       "iban=DE89370400440532013000"};

struct Loaded {
    int result;
    std::string version_or_error;
    std::vector<std::string> records;
};

Loaded load(const std::string &text) {
    tarvo_pain_parser_t *p = tarvo_pain_parser_new();
    Loaded out;
    out.result = tarvo_pain_parser_loadMemory(p, text.data(), text.size());
    out.version_or_error = out.result == 1 ? tarvo_pain_parser_getVersion(p) : tarvo_pain_parser_getError(p);
    out.records = describe_all(p);
    tarvo_pain_parser_free(p);
    return out;
}

TEST(PainVersions, EveryNamespaceNamesItsVersion) {
    std::vector<std::string> transfers = {"pain.001.002.03", "pain.001.003.03"};
    for (int v = 3; v <= 12; ++v) transfers.push_back((v < 10 ? "pain.001.001.0" : "pain.001.001.") + std::to_string(v));
    for (const std::string &v : transfers) {
        const Loaded got = load(transfer(iso(v), "", plain_tx));
        EXPECT_EQ(got.version_or_error, v);
        EXPECT_EQ(got.records, plain_records) << v;
    }
    std::vector<std::string> debits = {"pain.008.002.02", "pain.008.003.02"};
    for (int v = 2; v <= 11; ++v) debits.push_back((v < 10 ? "pain.008.001.0" : "pain.008.001.") + std::to_string(v));
    for (const std::string &v : debits) {
        const Loaded got = load(debit(iso(v), "<PmtId><EndToEndId>E</EndToEndId></PmtId><InstdAmt Ccy=\"EUR\">1"
                                              "</InstdAmt>"));
        EXPECT_EQ(got.version_or_error, v);
        EXPECT_EQ(got.records.size(), 2U) << v;
    }
    const Loaded swiss =
        load(transfer(" xmlns=\"http://www.six-interbank-clearing.com/de/pain.001.001.03.ch.02.xsd\"", "", plain_tx));
    EXPECT_EQ(swiss.version_or_error, "pain.001.001.03.ch.02");
}

TEST(PainRecords, ValuesWhereEachVersionPutsThem) {
    struct Case {
        const char *what;
        std::string text;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"2009 transfer: BIC, plain execution date, remittance lines joined",
         transfer(iso("pain.001.001.03"),
                  "<BtchBookg>false</BtchBookg><NbOfTxs>1</NbOfTxs><CtrlSum>12.50</CtrlSum><PmtTpInf><SvcLvl><Cd>SEPA"
                  "</Cd></SvcLvl></PmtTpInf><ReqdExctnDt>2026-01-05</ReqdExctnDt><Dbtr><Nm>Firma &amp; Co</Nm></Dbtr>"
                  "<DbtrAcct><Id><IBAN>AT611904300234573201</IBAN></Id></DbtrAcct><DbtrAgt><FinInstnId><BIC>BKAUATWWXXX"
                  "</BIC></FinInstnId></DbtrAgt>",
                  "<PmtId><InstrId>I1</InstrId><EndToEndId>E1</EndToEndId></PmtId><Amt><InstdAmt Ccy=\"EUR\">12.50"
                  "</InstdAmt></Amt><CdtrAgt><FinInstnId><BIC>COBADEFFXXX</BIC></FinInstnId></CdtrAgt><Cdtr><Nm>Anna"
                  "</Nm></Cdtr><CdtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id></CdtrAcct><UltmtCdtr><Nm>Bea</Nm>"
                  "</UltmtCdtr><Purp><Cd>SALA</Cd></Purp><RmtInf><Ustrd>line 1</Ustrd><Ustrd>line 2</Ustrd></RmtInf>"),
         {"block id=P1 mtd=TRF batch=false n=1 sum=12.50 svc=SEPA date=2026-01-05 name=Firma & Co "
          "iban=AT611904300234573201 bic=BKAUATWWXXX",
          "tx instr=I1 e2e=E1 amount=12.50 EUR name=Anna iban=DE89370400440532013000 bic=COBADEFFXXX ult=Bea purp=SALA "
          "ref=line 1\nline 2"}},
        {"2019 transfer: BICFI, execution date in Dt, UETR, structured reference, account without IBAN",
         transfer(iso("pain.001.001.09"),
                  "<ReqdExctnDt><Dt>2026-01-06</Dt></ReqdExctnDt><DbtrAgt><FinInstnId><BICFI>BKAUATWWXXX</BICFI>"
                  "</FinInstnId></DbtrAgt>",
                  "<PmtId><EndToEndId>E2</EndToEndId><UETR>eb6305c9-1f7f-49de-aed0-16487c27b42d</UETR></PmtId><Amt>"
                  "<InstdAmt Ccy=\"CHF\">7</InstdAmt></Amt><CdtrAgt><FinInstnId><BICFI>UBSWCHZH80A</BICFI></FinInstnId>"
                  "</CdtrAgt><CdtrAcct><Id><Othr><Id>12345</Id></Othr></Id></CdtrAcct><RmtInf><Strd><CdtrRefInf><Ref>"
                  "RF18539007547034</Ref></CdtrRefInf></Strd></RmtInf>"),
         {"block id=P1 mtd=TRF date=2026-01-06 bic=BKAUATWWXXX",
          "tx e2e=E2 uetr=eb6305c9-1f7f-49de-aed0-16487c27b42d amount=7 CHF iban=12345 bic=UBSWCHZH80A "
          "cref=RF18539007547034"}},
        {"debit with mandate amendment and the creditor of the block",
         debit(iso("pain.008.001.08"),
               "<PmtId><EndToEndId>E3</EndToEndId></PmtId><InstdAmt Ccy=\"EUR\">99.99</InstdAmt><DrctDbtTx>"
               "<MndtRltdInf><MndtId>MREF-1</MndtId><DtOfSgntr>2023-05-01</DtOfSgntr><AmdmntInd>true</AmdmntInd>"
               "<AmdmntInfDtls><OrgnlMndtId>OLD-1</OrgnlMndtId><OrgnlDbtrAcct><Id><IBAN>DE89370400440532013000"
               "</IBAN></Id></OrgnlDbtrAcct></AmdmntInfDtls></MndtRltdInf></DrctDbtTx><DbtrAgt><FinInstnId><BICFI>"
               "GENODEF1</BICFI></FinInstnId></DbtrAgt><Dbtr><Nm>Max</Nm></Dbtr><DbtrAcct><Id><IBAN>"
               "NL91ABNA0417164300</IBAN></Id></DbtrAcct><UltmtDbtr><Nm>Moritz</Nm></UltmtDbtr>"),
         {"block id=P2 mtd=DD svc=SEPA instr=CORE seq=RCUR date=2026-02-03 name=Verein iban=AT611904300234573201 "
          "bic=BKAUATWWXXX ci=DE98ZZZ09999999999",
          "tx e2e=E3 amount=99.99 EUR name=Max iban=NL91ABNA0417164300 bic=GENODEF1 ult=Moritz mref=MREF-1 "
          "mdate=2023-05-01 old_mref=OLD-1 old_iban=DE89370400440532013000"}},
        {"prefixed elements, foreign extensions skipped",
         "<p:Document xmlns:p=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\"><p:CstmrCdtTrfInitn><p:PmtInf>"
         "<p:PmtInfId>P9</p:PmtInfId><x:Ext xmlns:x=\"urn:x\"><p:PmtInfId>NO</p:PmtInfId></x:Ext><p:CdtTrfTxInf>"
         "<p:Amt><p:InstdAmt Ccy=\"EUR\">3.00</p:InstdAmt></p:Amt><p:SplmtryData><p:Cdtr><p:Nm>NO</p:Nm></p:Cdtr>"
         "</p:SplmtryData></p:CdtTrfTxInf></p:PmtInf></p:CstmrCdtTrfInitn></p:Document>",
         {"block id=P9", "tx amount=3.00 EUR"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const Loaded got = load(c.text);
        EXPECT_EQ(got.result, 1) << got.version_or_error;
        EXPECT_EQ(got.records, c.records);
    }
}

TEST(PainRefusals, ReasonNamesElementAndLine) {
    struct Case {
        std::string text, error;
    };
    const Case cases[] = {
        {transfer(iso("pain.002.001.03"), "", plain_tx),
         "Unknown namespace 'urn:iso:std:iso:20022:tech:xsd:pain.002.001.03' (line 2)"},
        {transfer("", "", plain_tx), "Not a payment file: <Document> has no namespace (line 2)"},
        {"<CstmrCdtTrfInitn/>", "Not a payment file: the root element is <CstmrCdtTrfInitn> (line 1)"},
        {transfer(iso("pain.008.001.02"), "", plain_tx),
         "Expected <CstmrDrctDbtInitn> in <Document>, found <CstmrCdtTrfInitn> (line 3)"},
        {"<Document" + iso("pain.001.001.03") + "><CstmrCdtTrfInitn><GrpHdr/></CstmrCdtTrfInitn></Document>",
         "Missing <PmtInf> in <CstmrCdtTrfInitn> (line 1)"},
        {"<Document" + iso("pain.001.001.03") + "><CstmrCdtTrfInitn><PmtInf/></CstmrCdtTrfInitn></Document>",
         "Missing <PmtInfId> in <PmtInf> (line 1)"},
        {transfer(iso("pain.001.001.03"), "", "<PmtId><EndToEndId>E</EndToEndId></PmtId>"),
         "Missing <Amt> in <CdtTrfTxInf> (line 5)"},
        {debit(iso("pain.008.001.02"), "<PmtId><EndToEndId>E</EndToEndId></PmtId>"),
         "Missing <InstdAmt> in <DrctDbtTxInf> (line 5)"},
        {transfer(iso("pain.001.001.03"), "", "<Amt><InstdAmt Ccy=\"EUR\">1e5</InstdAmt></Amt>"),
         "Malformed <InstdAmt> '1e5' (line 5)"},
        {transfer(iso("pain.001.001.03"), "", "<Amt><InstdAmt Ccy=\"eur\">1</InstdAmt></Amt>"),
         "Malformed <Ccy> 'eur' (line 5)"},
        {transfer(iso("pain.001.001.03"), "<CtrlSum>x</CtrlSum>", plain_tx), "Malformed <CtrlSum> 'x' (line 4)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const Loaded got = load(c.text);
        EXPECT_EQ(got.result, 0);
        EXPECT_EQ(got.version_or_error, c.error);
        EXPECT_TRUE(got.records.empty());
    }
}

} // namespace
