// How camt content lands in the statement records: every version the reader takes
// (each generated document first checked against its published schema), a German
// bank's statement with a batch booking, balances, and the same caller code over an
// MT940 and a camt statement of the same transactions.
#include <gtest/gtest.h>
#include <math.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "camt_documents.h"
#include "message/xml_test_support.h"

using namespace stmt_test;
using namespace camt_test;

namespace {

struct Version {
    const char *message;
    int version;
};

void PrintTo(const Version &v, std::ostream *os) { *os << v.message << ".001." << v.version; }

struct Layout {
    const char *root;
    const char *record;
};

Layout layout_of(const std::string &message) {
    if (message == "camt.052") return {"BkToCstmrAcctRpt", "Rpt"};
    if (message == "camt.053") return {"BkToCstmrStmt", "Stmt"};
    return {"BkToCstmrDbtCdtNtfctn", "Ntfctn"};
}

// One credit with one transaction, written as the version's schema wants it.
std::string document_of(const Version &v) {
    const std::string message = v.message;
    const Layout l = layout_of(message);
    const std::string root = std::string(l.root) + (v.version == 1 ? "V01" : "");
    const std::string balance_type = v.version == 1 ? "<Cd>OPBD</Cd>" : "<CdOrPrtry><Cd>OPBD</Cd></CdOrPrtry>";
    const std::string bal = message == "camt.054" ? ""
                                                  : "<Bal><Tp>" + balance_type +
                                                        "</Tp><Amt Ccy=\"EUR\">1.00</Amt><CdtDbtInd>CRDT</CdtDbtInd>"
                                                        "<Dt><Dt>2024-03-01</Dt></Dt></Bal>";
    const std::string status = v.version >= 8 ? "<Sts><Cd>BOOK</Cd></Sts>" : "<Sts>BOOK</Sts>";
    const std::string name = v.version >= 8 ? "<Pty><Nm>Erika Mustermann</Nm></Pty>" : "<Nm>Erika Mustermann</Nm>";
    const std::string bic = v.version >= 3 ? "BICFI" : "BIC";
    const std::string own_amount =
        v.version >= 3 && v.version < 8 ? "<Amt Ccy=\"EUR\">2.50</Amt><CdtDbtInd>CRDT</CdtDbtInd>" : "";
    const std::string tx = "<TxDtls><Refs><EndToEndId>E2E</EndToEndId></Refs>" + own_amount + "<RltdPties><Dbtr>" +
                           name + "</Dbtr><DbtrAcct><Id><IBAN>DE02120300000000202051</IBAN></Id></DbtrAcct></RltdPties>"
                           "<RltdAgts><DbtrAgt><FinInstnId><" + bic + ">BYLADEM1001</" + bic +
                           "></FinInstnId></DbtrAgt></RltdAgts><RmtInf><Ustrd>Invoice 7</Ustrd></RmtInf></TxDtls>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"" + namespace_of(message, v.version) + "\"><" +
           root + "><GrpHdr><MsgId>M</MsgId><CreDtTm>2024-03-01T10:00:00</CreDtTm></GrpHdr><" + l.record +
           "><Id>R1</Id><CreDtTm>2024-03-01T10:00:00</CreDtTm><Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>" +
           bal + "<Ntry><Amt Ccy=\"EUR\">2.50</Amt><CdtDbtInd>CRDT</CdtDbtInd>" + status +
           "<BookgDt><Dt>2024-03-01</Dt></BookgDt><BkTxCd><Prtry><Cd>NTRF+166+9310+997</Cd></Prtry></BkTxCd>" +
           (v.version == 1 ? tx : "<NtryDtls>" + tx + "</NtryDtls>") + "</Ntry></" + l.record + "></" + root +
           "></Document>\n";
}

bool have_schema(const std::string &name) {
    struct stat st;
    return stat((TARVO_SHARED_DIR "/xsd/" + name + ".xsd").c_str(), &st) == 0;
}

class Versions : public testing::TestWithParam<Version> {};

TEST_P(Versions, ReadTheSameRecords) {
    const Version &v = GetParam();
    const std::string doc = document_of(v);
    char schema[64];
    snprintf(schema, sizeof schema, "camt/%s.001.%02d", v.message, v.version);
    if (have_schema(schema)) {
        EXPECT_TRUE(tarvo::test::valid_against(doc, schema));
    }

    Parsed parsed = load_camt(doc);
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    const auto statements = parsed.statements();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(text(statements[0]->ref), "R1");
    EXPECT_EQ(text(statements[0]->account), "DE89370400440532013000");
    EXPECT_EQ(text(statements[0]->openSaldoText), std::string(v.message) == "camt.054" ? "(null)" : "1.00");
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(text(tx[0]->amountText), "2.50");
    EXPECT_STREQ(tx[0]->name, "Erika Mustermann");
    EXPECT_STREQ(tx[0]->account, "DE02120300000000202051");
    EXPECT_STREQ(tx[0]->bank, "BYLADEM1001");
    EXPECT_STREQ(tx[0]->code, "TRF");
    EXPECT_EQ(tx[0]->gvc, 166u);
    EXPECT_EQ(text(tx[0]->primanota), "9310");
    EXPECT_EQ(tx[0]->extcode, 997u);
    EXPECT_EQ(text(tx[0]->eref), "E2E");
    EXPECT_EQ(text(tx[0]->svwz), "Invoice 7");
    EXPECT_EQ(date(tx[0]->booked), "2024-03-01");
}

INSTANTIATE_TEST_SUITE_P(Camt, Versions,
                         testing::Values(Version{"camt.052", 1}, Version{"camt.052", 2}, Version{"camt.052", 4},
                                         Version{"camt.052", 6}, Version{"camt.052", 8}, Version{"camt.052", 13},
                                         Version{"camt.053", 2}, Version{"camt.053", 3}, Version{"camt.053", 4},
                                         Version{"camt.053", 8}, Version{"camt.053", 13}, Version{"camt.054", 2},
                                         Version{"camt.054", 4}, Version{"camt.054", 8}, Version{"camt.054", 13}),
                         [](const testing::TestParamInfo<Version> &info) {
                             return std::string(info.param.message).substr(5, 3) + "_v" + std::to_string(info.param.version);
                         });

TEST(CamtVersions, VersionsOfAnotherLayoutAreUnknown) {
    for (const Version v : {Version{"camt.053", 1}, Version{"camt.054", 1}, Version{"camt.052", 0},
                            Version{"camt.053", 14}, Version{"camt.055", 2}}) {
        SCOPED_TRACE(namespace_of(v.message, v.version));
        Parsed parsed = load_camt(document_of(v));
        EXPECT_EQ(parsed.result(), 0);
        EXPECT_EQ(parsed.error(), "Unknown namespace '" + namespace_of(v.message, v.version) + "' (line 2)");
    }
}

TEST(CamtNamespace, PrefixedDocumentAndForeignElements) {
    std::string doc = statement_document(balance("OPBD", "1.00") +
                                         entry("2.00", "CRDT",
                                               "<AddtlNtryInf>posting</AddtlNtryInf>"
                                               "<x:AddtlNtryInf xmlns:x=\"urn:other\">not camt</x:AddtlNtryInf>"));
    // Every camt element gets the prefix "c:".
    std::string prefixed;
    for (size_t i = 0; i < doc.size(); ++i) {
        prefixed += doc[i];
        if (doc[i] == '<' && i + 1 < doc.size() && (isupper(static_cast<unsigned char>(doc[i + 1])) || doc[i + 1] == '/')) {
            if (doc[i + 1] == '/') {
                if (isupper(static_cast<unsigned char>(doc[i + 2]))) prefixed += "/c:", ++i;
            } else {
                prefixed += "c:";
            }
        }
    }
    const size_t ns = prefixed.find("xmlns=");
    ASSERT_NE(ns, std::string::npos);
    prefixed.replace(ns, 6, "xmlns:c=");
    Parsed parsed = load_camt(prefixed);
    ASSERT_EQ(parsed.result(), 1) << parsed.error() << "\n" << prefixed;
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 1u);
    EXPECT_EQ(text(tx[0]->txtext), "posting");
    EXPECT_EQ(text(tx[0]->amountText), "2.00");
}

struct Balances {
    const char *name;
    std::string body;
    const char *open; // openSaldoText
    double open_value;
    const char *close;
    double close_value;
};

void PrintTo(const Balances &b, std::ostream *os) { *os << b.name; }

const Balances balance_cases[] = {
    {"PreviouslyClosedOnly", balance("PRCD", "5.10") + balance("CLBD", "6.00"), "5.10", 5.10, "6.00", 6.00},
    {"OpeningBeforePreviouslyClosed", balance("OPBD", "7.00") + balance("PRCD", "5.10"), "7.00", 7.00, "(null)", 0},
    {"OpeningAfterPreviouslyClosed", balance("PRCD", "5.10") + balance("OPBD", "7.00"), "7.00", 7.00, "(null)", 0},
    {"DebitBalances", balance("OPBD", "12.34", "DBIT") + balance("CLBD", "0.00", "DBIT"), "-12.34", -12.34, "0.00", 0},
    {"OtherTypesAreNotKept", balance("OPAV", "1.00") + balance("ITBD", "2.00") + balance("CLAV", "3.00"), "(null)", 0,
     "(null)", 0},
    {"FiveDecimals", balance("OPBD", "1234567890123.12345") + balance("CLBD", "0.00001", "DBIT"), "1234567890123.12345",
     1234567890123.12345, "-0.00001", -0.00001},
};

class BalanceTypes : public testing::TestWithParam<Balances> {};

TEST_P(BalanceTypes, OpeningAndClosing) {
    const Balances &b = GetParam();
    Parsed parsed = load_camt(statement_document(b.body));
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    const tarvo_stmt_t &s = *parsed.statements().at(0);
    EXPECT_EQ(text(s.openSaldoText), b.open);
    EXPECT_DOUBLE_EQ(s.openSaldo, b.open_value);
    EXPECT_EQ(text(s.closeSaldoText), b.close);
    EXPECT_DOUBLE_EQ(s.closeSaldo, b.close_value);
    if (s.openSaldoText != nullptr) {
        EXPECT_STREQ(s.openCurrency, "EUR");
        EXPECT_EQ(date(s.openDate), "2024-03-01");
    }
}

INSTANTIATE_TEST_SUITE_P(Camt, BalanceTypes, testing::ValuesIn(balance_cases),
                         [](const testing::TestParamInfo<Balances> &info) { return std::string(info.param.name); });

// A German bank's statement: a credit transfer, a direct-debit batch of three and a
// fee without details, reversed.
const std::string long_name = "M\xc3\xbcller-L\xc3\xbc" "denscheid Gro\xc3\x9fhandel f\xc3\xbcr B\xc3\xbcrobedarf und "
                              "Schreibwaren GmbH";

std::string german_statement() {
    const std::string credit = entry(
        "1234.56789", "CRDT",
        "<AcctSvcrRef>BANKREF1</AcctSvcrRef><BkTxCd><Prtry><Cd>NTRF+166+9310+997</Cd><Issr>DK</Issr></Prtry></BkTxCd>"
        "<NtryDtls><TxDtls><Refs><EndToEndId>E2E-1</EndToEndId><UETR>255ae394-9965-4438-ac86-f406feada396</UETR></Refs>"
        "<RltdPties><Dbtr><Nm>Erika Mustermann</Nm></Dbtr><DbtrAcct><Id><IBAN>DE02120300000000202051</IBAN></Id>"
        "</DbtrAcct><UltmtDbtr><Nm>Mustermann Holding</Nm></UltmtDbtr><Cdtr><Nm>Account Owner</Nm></Cdtr>"
        "<UltmtCdtr><Nm>Department 7</Nm></UltmtCdtr></RltdPties>"
        "<RltdAgts><DbtrAgt><FinInstnId><BIC>BYLADEM1001</BIC></FinInstnId></DbtrAgt></RltdAgts>"
        "<Purp><Cd>SALA</Cd></Purp><RmtInf><Ustrd>Gehalt M\xc3\xa4rz</Ustrd><Ustrd>Personalnummer 4711</Ustrd>"
        "<Strd><CdtrRefInf><Tp><CdOrPrtry><Cd>SCOR</Cd></CdOrPrtry></Tp><Ref>RF18539007547034</Ref></CdtrRefInf></Strd>"
        "<Strd><CdtrRefInf><Ref>RF99</Ref></CdtrRefInf></Strd></RmtInf></TxDtls></NtryDtls>"
        "<AddtlNtryInf>SEPA-Gutschrift</AddtlNtryInf>");
    std::string batch_details;
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        batch_details += "<TxDtls><Refs>" + std::string(i == 3 ? "<AcctSvcrRef>OWNREF3</AcctSvcrRef>" : "") +
                         "<EndToEndId>DD-" + n + "</EndToEndId><MndtId>MANDATE-" + n + "</MndtId></Refs>"
                         "<AmtDtls><TxAmt><Amt Ccy=\"EUR\">1" + n + ".00</Amt></TxAmt></AmtDtls>"
                         "<RltdPties><Dbtr><Nm>Account Owner</Nm></Dbtr><Cdtr><Nm>" +
                         (i == 2 ? long_name : "Stadtwerke " + n) +
                         "</Nm><Id><PrvtId><Othr><Id>DE98ZZZ0999999999" + n + "</Id><SchmeNm><Prtry>SEPA</Prtry>"
                         "</SchmeNm></Othr></PrvtId></Id></Cdtr><CdtrAcct><Id><IBAN>DE8937040044053201300" + n +
                         "</IBAN></Id></CdtrAcct></RltdPties><RltdAgts><CdtrAgt><FinInstnId><BIC>COBADEFFXXX</BIC>"
                         "</FinInstnId></CdtrAgt></RltdAgts>" +
                         (i == 2 ? "<AddtlTxInf>Own posting text</AddtlTxInf>" : "") + "</TxDtls>";
    }
    const std::string batch =
        entry("36.00", "DBIT",
              "<AcctSvcrRef>BATCH</AcctSvcrRef><BkTxCd><Prtry><Cd>NDDT+105+9248+992</Cd></Prtry></BkTxCd><NtryDtls>"
              "<Btch><NbOfTxs>3</NbOfTxs></Btch>" +
                  batch_details + "</NtryDtls><AddtlNtryInf>SEPA-Basislastschrift</AddtlNtryInf>");
    const std::string fee =
        "<Ntry><Amt Ccy=\"EUR\">5.00</Amt><CdtDbtInd>CRDT</CdtDbtInd><RvslInd>true</RvslInd><Sts>BOOK</Sts>"
        "<BookgDt><DtTm>2024-03-01T23:15:00+01:00</DtTm></BookgDt><ValDt><Dt>2024-02-29</Dt></ValDt>"
        "<BkTxCd><Prtry><Cd>NCHG+808</Cd></Prtry></BkTxCd><AddtlNtryInf>Entgelt</AddtlNtryInf></Ntry>";
    return statement_document("<LglSeqNb>12</LglSeqNb><ElctrncSeqNb>345</ElctrncSeqNb>" + balance("OPBD", "100.00") +
                              credit + batch + fee + balance("CLBD", "1303.56789"));
}

TEST(CamtGermanStatement, EveryTransactionOfTheBatch) {
    Parsed parsed = load_camt(german_statement());
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    const tarvo_stmt_t &s = *parsed.statements().at(0);
    EXPECT_EQ(s.number, 12u);
    const auto tx = parsed.transactions();
    ASSERT_EQ(tx.size(), 5u);
    double sum = 0;
    for (const tarvo_stmt_tx_t *t : tx) sum += t->amount;
    EXPECT_NEAR(s.openSaldo + sum, s.closeSaldo, 1e-9);

    const tarvo_stmt_tx_t &credit = *tx[0];
    EXPECT_EQ(text(credit.amountText), "1234.56789");
    EXPECT_DOUBLE_EQ(credit.amount, 1234.56789);
    EXPECT_STREQ(credit.currency, "EUR");
    EXPECT_EQ(text(credit.bankref), "BANKREF1");
    EXPECT_EQ(text(credit.txtext), "SEPA-Gutschrift");
    EXPECT_EQ(text(credit.uetr), "255ae394-9965-4438-ac86-f406feada396");
    EXPECT_STREQ(credit.name, "Erika Mustermann");
    EXPECT_EQ(text(credit.abwa), "Mustermann Holding");
    EXPECT_EQ(text(credit.abwe), "Department 7");
    EXPECT_EQ(text(credit.purp), "SALA");
    EXPECT_EQ(text(credit.svwz), "Gehalt M\xc3\xa4rz\nPersonalnummer 4711");
    EXPECT_EQ(text(credit.creditorRef), "RF18539007547034");
    EXPECT_EQ(text(credit.cred), "(null)");
    EXPECT_EQ(date(credit.valuta), "2024-03-02");

    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE("batch transaction " + std::to_string(i));
        const tarvo_stmt_tx_t &t = *tx[static_cast<size_t>(i)];
        EXPECT_EQ(text(t.amountText), "-1" + std::to_string(i) + ".00");
        EXPECT_EQ(text(t.mref), "MANDATE-" + std::to_string(i));
        EXPECT_EQ(text(t.cred), "DE98ZZZ0999999999" + std::to_string(i));
        EXPECT_STREQ(t.bank, "COBADEFFXXX");
        EXPECT_EQ(t.gvc, 105u);
        EXPECT_STREQ(t.code, "DDT");
        EXPECT_EQ(date(t.booked), "2024-03-01");
    }
    EXPECT_EQ(text(tx[1]->bankref), "BATCH");
    EXPECT_EQ(text(tx[3]->bankref), "OWNREF3");
    EXPECT_EQ(text(tx[1]->txtext), "SEPA-Basislastschrift");
    EXPECT_EQ(text(tx[2]->txtext), "Own posting text");
    // The name array holds what fits, cut before a character that would not.
    EXPECT_EQ(text(tx[2]->partyName), long_name);
    EXPECT_EQ(std::string(tx[2]->name), long_name.substr(0, strlen(tx[2]->name)));
    EXPECT_GE(strlen(tx[2]->name), 53u);
    EXPECT_NE(static_cast<unsigned char>(long_name[strlen(tx[2]->name)]) & 0xC0, 0x80);

    const tarvo_stmt_tx_t &fee = *tx[4];
    EXPECT_EQ(fee.reversal, 1);
    EXPECT_DOUBLE_EQ(fee.amount, 5.0);
    EXPECT_EQ(date(fee.booked), "2024-03-01");
    EXPECT_EQ(fee.booked.tm_hour, 23);
    EXPECT_EQ(date(fee.valuta), "2024-02-29");
    EXPECT_STREQ(fee.code, "CHG");
    EXPECT_EQ(fee.gvc, 808u);
    EXPECT_EQ(text(fee.primanota), "(null)");
    EXPECT_EQ(text(fee.txtext), "Entgelt");
    EXPECT_STREQ(fee.name, "");
}

TEST(CamtGermanStatement, LoadsAlikeOnManyThreads) {
    const std::string doc = german_statement();
    TempFile file(doc);
    std::vector<std::thread> threads;
    std::atomic<int> alike{0};
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&] {
            for (int n = 0; n < 20; ++n) {
                Parsed parsed(Path{file.path()}, TARVO_STMT_FORMAT_CAMT);
                const auto tx = parsed.transactions();
                if (parsed.result() == 1 && tx.size() == 5 && text(tx[2]->partyName) == long_name) ++alike;
            }
        });
    for (std::thread &t : threads) t.join();
    EXPECT_EQ(alike.load(), 8 * 20);
}

// What a caller computes from a statement, whatever its format.
struct Booking {
    std::string day;
    long long cents;
    std::string counterparty, iban, bic, reference, text;
    unsigned gvc;

    bool operator==(const Booking &) const = default;
};

void PrintTo(const Booking &b, std::ostream *os) {
    *os << b.day << " " << b.cents << " " << b.counterparty << " " << b.iban << " " << b.bic << " " << b.reference
        << " " << b.text << " " << b.gvc;
}

std::vector<Booking> bookings(const tarvo_stmt_parser_t *p, long long &open, long long &close) {
    std::vector<Booking> out;
    const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(const_cast<tarvo_stmt_parser_t *>(p));
    if (s == nullptr) return out;
    open = llround(s->openSaldo * 100);
    close = llround(s->closeSaldo * 100);
    for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next)
        out.push_back(Booking{date(t->booked), llround(t->amount * 100), t->name, t->account, t->bank, text(t->eref),
                              text(t->svwz), t->gvc});
    return out;
}

TEST(SameCallerCode, MT940AndCamtOfTheSameTransactions) {
    const std::string mt940 = crlf(
        ":20:STARTUMS\n:25:37040044/0532013000\n:28C:12/1\n:60F:C240301EUR100,00\n"
        ":61:2403020301CR250,00NTRFNONREF//BANKREF1\n"
        ":86:166?00SEPA-GUTSCHRIFT?109310?20EREF+E2E-1?21SVWZ+Invoice 7?30BYLADEM1001?31DE02120300000000202051"
        "?32Erika Mustermann?34997\n"
        ":61:2403020301DR30,50NDDTNONREF//BANKREF2\n"
        ":86:105?00SEPA-LASTSCHRIFT?109248?20EREF+DD-1?21SVWZ+Strom M\xc3\xa4rz?30COBADEFFXXX?31DE89370400440532013000"
        "?32Stadtwerke?34992\n"
        ":62F:C240301EUR319,50\n-\n");
    const std::string camt = statement_document(
        "<LglSeqNb>12</LglSeqNb>" + balance("OPBD", "100.00") +
        entry("250.00", "CRDT",
              "<AcctSvcrRef>BANKREF1</AcctSvcrRef><BkTxCd><Prtry><Cd>NTRF+166+9310+997</Cd></Prtry></BkTxCd><NtryDtls>"
              "<TxDtls><Refs><EndToEndId>E2E-1</EndToEndId></Refs><RltdPties><Dbtr><Nm>Erika Mustermann</Nm></Dbtr>"
              "<DbtrAcct><Id><IBAN>DE02120300000000202051</IBAN></Id></DbtrAcct></RltdPties><RltdAgts><DbtrAgt>"
              "<FinInstnId><BIC>BYLADEM1001</BIC></FinInstnId></DbtrAgt></RltdAgts><RmtInf><Ustrd>Invoice 7</Ustrd>"
              "</RmtInf></TxDtls></NtryDtls>") +
        entry("30.50", "DBIT",
              "<AcctSvcrRef>BANKREF2</AcctSvcrRef><BkTxCd><Prtry><Cd>NDDT+105+9248+992</Cd></Prtry></BkTxCd><NtryDtls>"
              "<TxDtls><Refs><EndToEndId>DD-1</EndToEndId></Refs><RltdPties><Cdtr><Nm>Stadtwerke</Nm></Cdtr>"
              "<CdtrAcct><Id><IBAN>DE89370400440532013000</IBAN></Id></CdtrAcct></RltdPties><RltdAgts><CdtrAgt>"
              "<FinInstnId><BIC>COBADEFFXXX</BIC></FinInstnId></CdtrAgt></RltdAgts><RmtInf><Ustrd>Strom M\xc3\xa4rz</Ustrd>"
              "</RmtInf></TxDtls></NtryDtls>") +
        balance("CLBD", "319.50"));

    Parsed from_mt940(mt940);
    Parsed from_camt = load_camt(camt);
    ASSERT_EQ(from_mt940.result(), 1) << from_mt940.error();
    ASSERT_EQ(from_camt.result(), 1) << from_camt.error();
    long long open940 = 0, close940 = 0, open_camt = 0, close_camt = 0;
    const auto mt940_bookings = bookings(from_mt940.parser(), open940, close940);
    const auto camt_bookings = bookings(from_camt.parser(), open_camt, close_camt);
    ASSERT_EQ(mt940_bookings.size(), 2u);
    EXPECT_EQ(camt_bookings, mt940_bookings);
    EXPECT_EQ(open_camt, open940);
    EXPECT_EQ(close_camt, close940);
    EXPECT_STREQ(from_camt.statements()[0]->closeCurrency, from_mt940.statements()[0]->closeCurrency);
    // What only camt states stays empty in MT940 records; the exact amounts both have.
    for (size_t i = 0; i < 2; ++i) {
        const tarvo_stmt_tx_t *t = from_mt940.transactions()[i];
        EXPECT_STREQ(t->currency, "");
        EXPECT_EQ(t->partyName, nullptr);
        EXPECT_EQ(text(t->amountText), text(from_camt.transactions()[i]->amountText));
    }
    EXPECT_EQ(text(from_mt940.statements()[0]->openSaldoText), text(from_camt.statements()[0]->openSaldoText));
    // The records of both formats share their codes and numbers too.
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_STREQ(from_camt.transactions()[i]->code, from_mt940.transactions()[i]->code);
        EXPECT_EQ(text(from_camt.transactions()[i]->primanota), text(from_mt940.transactions()[i]->primanota));
        EXPECT_EQ(from_camt.transactions()[i]->extcode, from_mt940.transactions()[i]->extcode);
        EXPECT_EQ(text(from_camt.transactions()[i]->bankref), text(from_mt940.transactions()[i]->bankref));
    }
}

} // namespace
