// camt entries as an accountant books them: each row a minimal statement and what one
// field of its records must hold; then the shared samples, whose records must add up to
// their balances, and their returns with the reasons.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>

#include "camt_documents.h"

using namespace stmt_test;
using namespace camt_test;

namespace {

// What the records of the first statement say about one thing, as text.
using View = std::string (*)(const std::vector<const tarvo_stmt_tx_t *> &);

std::string amounts(const std::vector<const tarvo_stmt_tx_t *> &tx) {
    std::string out;
    for (const tarvo_stmt_tx_t *t : tx) {
        if (!out.empty()) out += ' ';
        out += text(t->amountText);
    }
    return out;
}

template <char *tarvo_stmt_tx_t::*F> std::string first(const std::vector<const tarvo_stmt_tx_t *> &tx) {
    return tx.empty() ? "no record" : text(tx[0]->*F);
}

const View amount_list = amounts;
const View details = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    std::string out = std::to_string(tx.at(0)->details);
    for (char **id = tx[0]->endToEndIds; id != nullptr && *id != nullptr; ++id) out += std::string(" ") + *id;
    return out;
};
const View party = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    return std::string(tx.at(0)->name) + "/" + tx[0]->account;
};
const View instructed = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    return text(tx.at(0)->instructedAmount) + " " + tx[0]->instructedCurrency;
};
const View charges = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    std::string out;
    for (size_t i = 0; i < tx.at(0)->chargeCount; ++i) {
        const tarvo_stmt_charge_t &c = tx[0]->charges[i];
        if (!out.empty()) out += ' ';
        out.append(c.amount).append(c.currency).append(c.included ? "+" : "");
    }
    return out;
};
const View status = [](const std::vector<const tarvo_stmt_tx_t *> &tx) { return std::string(tx.at(0)->status); };
const View truncated = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    return std::to_string(tx.at(0)->truncated) + " " + std::to_string(strlen(tx[0]->svwz));
};
const View return_reason = first<&tarvo_stmt_tx_t::returnReason>;
const View return_info = first<&tarvo_stmt_tx_t::returnInfo>;
const View code = first<&tarvo_stmt_tx_t::bankTransactionCode>;
const View entry_ref = first<&tarvo_stmt_tx_t::entryReference>;
const View batch = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    return text(tx.at(0)->batchPaymentInformationId) + " " + text(tx[0]->batchMessageId);
};
const View eref = first<&tarvo_stmt_tx_t::eref>;
const View german_code = [](const std::vector<const tarvo_stmt_tx_t *> &tx) {
    const tarvo_stmt_tx_t &t = *tx.at(0);
    return std::string(t.code) + " " + std::to_string(t.gvc) + " " + text(t.primanota) + " " + std::to_string(t.extcode);
};
std::string proprietary(const std::string &code) { return "<BkTxCd><Prtry><Cd>" + code + "</Cd></Prtry></BkTxCd>"; }

std::string detail(const std::string &inside) { return "<TxDtls>" + inside + "</TxDtls>"; }
std::string e2e(const std::string &id) { return "<Refs><EndToEndId>" + id + "</EndToEndId></Refs>"; }
std::string amt(const std::string &value, const std::string &ccy = "EUR") {
    return "<Amt Ccy=\"" + ccy + "\">" + value + "</Amt>";
}
std::string details_of(const std::string &inside) { return "<NtryDtls>" + inside + "</NtryDtls>"; }
const std::string parties = "<RltdPties><Dbtr><Nm>Debtor Co</Nm></Dbtr><DbtrAcct><Id><IBAN>DE02DEBTOR</IBAN></Id>"
                            "</DbtrAcct><Cdtr><Nm>Our Company</Nm></Cdtr><CdtrAcct><Id><IBAN>DE89OURS</IBAN></Id>"
                            "</CdtrAcct></RltdPties>";

struct Case {
    const char *what;
    std::string entries; // after the balances
    View view;
    const char *expected;
};

const Case cases[] = {
    // A batch is booked once: its details without amounts do not make it count thrice.
    {"batch without amounts", entry("200000.00", "DBIT", details_of(detail(e2e("A")) + detail(e2e("B")) + detail(e2e("C")))),
     amount_list, "-200000.00"},
    {"batch counts its details", entry("200000.00", "DBIT", details_of(detail(e2e("A")) + detail(e2e("B")) + detail(e2e("C")))),
     details, "3 A B C"},
    {"batch whose amounts add up", entry("30.00", "CRDT", details_of(detail(amt("10.00")) + detail(amt("20.00")))),
     amount_list, "10.00 20.00"},
    {"batch whose amounts do not", entry("30.00", "CRDT", details_of(detail(amt("10.00")) + detail(amt("25.00")))),
     amount_list, "30.00"},
    {"batch in another currency", entry("30.00", "CRDT", details_of(detail(amt("10.00", "USD")) + detail(amt("20.00", "USD")))),
     amount_list, "30.00"},
    // One detail: the booked amount is the entry's; the instructed one stays beside it.
    {"booked amount", entry("9.50", "CRDT", details_of(detail(amt("10.00", "USD")))), amount_list, "9.50"},
    {"instructed amount", entry("9.50", "CRDT", details_of(detail("<AmtDtls><InstdAmt>" + amt("10.00", "USD") +
                                                                  "</InstdAmt></AmtDtls>"))),
     instructed, "10.00 USD"},
    {"instructed as booked", entry("9.50", "CRDT", details_of(detail("<AmtDtls><TxAmt>" + amt("9.50") + "</TxAmt></AmtDtls>"))),
     instructed, "(null) "},
    // A reversal keeps the roles of the payment it reverses.
    {"credit", entry("5.00", "CRDT", details_of(detail(parties))), party, "Debtor Co/DE02DEBTOR"},
    {"status of version 2", entry("5.00", "CRDT"), status, "BOOK"},
    {"return reason and info",
     entry("5.00", "DBIT", details_of(detail("<RtrInf><Rsn><Cd>MD06</Cd></Rsn><AddtlInf>Widerspruch</AddtlInf>"
                                            "<AddtlInf>des Zahlers</AddtlInf></RtrInf>"))),
     return_info, "Widerspruch\ndes Zahlers"},
    {"proprietary return reason", entry("5.00", "DBIT", details_of(detail("<RtrInf><Rsn><Prtry>X1</Prtry></Rsn></RtrInf>"))),
     return_reason, "X1"},
    {"bank transaction code",
     entry("5.00", "DBIT", "<BkTxCd><Domn><Cd>PMNT</Cd><Fmly><Cd>RDDT</Cd><SubFmlyCd>ESDD</SubFmlyCd></Fmly></Domn>"
                           "<Prtry><Cd>NDDT+105</Cd><Issr>DK</Issr></Prtry></BkTxCd>"),
     code, "PMNT-RDDT-ESDD"},
    {"batch ids", entry("5.00", "DBIT", details_of("<Btch><MsgId>M9</MsgId><PmtInfId>P7</PmtInfId></Btch>")), batch,
     "P7 M9"},
    {"charges of version 2", entry("5.00", "DBIT", "<Chrgs>" + amt("1.50") + "</Chrgs>"), charges, "1.50EUR"},
    {"charges with their detail",
     entry("5.00", "DBIT", details_of(detail("<Chrgs><TtlChrgsAndTaxAmt Ccy=\"EUR\">2.00</TtlChrgsAndTaxAmt><Rcrd>" +
                                              amt("1.50") + "<ChrgInclInd>true</ChrgInclInd></Rcrd><Rcrd>" +
                                              amt("0.50") + "</Rcrd></Chrgs>"))),
     charges, "1.50EUR+ 0.50EUR"},
    // Small faults of reading.
    {"plus sign and leading zeros", entry("+0010.00", "DBIT"), amount_list, "-10.00"},
    {"zero stays unsigned", entry("000.00", "DBIT"), amount_list, "0.00"},
    {"long remittance cut", entry("1.00", "CRDT", details_of(detail([] {
                                      std::string lines = "<RmtInf>";
                                      for (int i = 0; i < 120; ++i) lines += "<Ustrd>" + std::string(140, 'x') + "</Ustrd>";
                                      return lines + "</RmtInf>";
                                  }()))),
     truncated, "1 16384"},
    {"nothing after the cut", // the cut drops the 'ä' at the limit; the later '&' and 'yy' must not follow
     entry("1.00", "CRDT", details_of(detail("<RmtInf><Ustrd>" + std::string(16383, 'x') + "\xC3\xA4&amp;yy</Ustrd></RmtInf>"))),
     truncated, "1 16383"},
    {"foreign elements skipped",
     entry("1.00", "CRDT", details_of(detail("<x:Refs xmlns:x=\"urn:other\"><x:EndToEndId>NO</x:EndToEndId></x:Refs>"))),
     eref, "(null)"},
    {"default namespace on a child",
     entry("1.00", "CRDT", details_of("<TxDtls xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\">" + e2e("YES") +
                                      "</TxDtls>")),
     eref, "YES"},
    // An amount given twice counts as given last, as any other value.
    {"amount given twice", entry("1.00", "CRDT", amt("2.00")), amount_list, "2.00"},
    // The German form has four parts at most; a longer code is another bank's own.
    {"German code", entry("1.00", "CRDT", proprietary("NTRF+166+9310+997")), german_code, "TRF 166 9310 997"},
    {"five parts", entry("1.00", "CRDT", proprietary("NTRF+166+9310+997+1")), german_code, " 0 (null) 0"},
    {"foreign default namespace",
     entry("1.00", "CRDT", details_of(detail("<Refs xmlns=\"urn:other\"><EndToEndId>NO</EndToEndId></Refs>"))), eref,
     "(null)"},
};

TEST(CamtEntries, BookedAsTheBankMeansThem) {
    for (const Case &c : cases) {
        const Parsed parsed = load_camt(statement_document(balance("OPBD", "0.00") + c.entries));
        ASSERT_EQ(parsed.result(), 1) << c.what << ": " << parsed.error();
        EXPECT_EQ(c.view(parsed.transactions()), c.expected) << c.what;
    }
}

TEST(CamtEntries, ReversalKeepsTheRolesOfThePayment) {
    const struct {
        const char *direction;
        const char *expected;
    } rows[] = {{"CRDT", "Our Company/DE89OURS"}, {"DBIT", "Debtor Co/DE02DEBTOR"}};
    for (const auto &r : rows) {
        std::string e = entry("5.00", r.direction, details_of(detail(parties)));
        e.insert(e.find("<Sts>"), "<RvslInd>true</RvslInd>");
        const Parsed parsed = load_camt(statement_document(balance("OPBD", "0.00") + e));
        ASSERT_EQ(parsed.result(), 1) << parsed.error();
        EXPECT_EQ(party(parsed.transactions()), r.expected) << r.direction;
    }
}

// Balances: the further ones where given; none where a report has none.
TEST(CamtEntries, Balances) {
    const std::string with = balance("OPBD", "1.00") + balance("ITBD", "2.00", "DBIT") + balance("ITAV", "3.00") +
                             balance("CLBD", "4.00") + balance("CLAV", "5.00");
    const Parsed parsed = load_camt(statement_document(with));
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    const tarvo_stmt_t &s = *parsed.statements()[0];
    EXPECT_EQ(text(s.interimBalance.amount), "-2.00");
    EXPECT_EQ(text(s.interimAvailable.amount), "3.00");
    EXPECT_EQ(text(s.available.amount), "5.00");
    EXPECT_STREQ(s.available.currency, "EUR");
    EXPECT_EQ(date(s.available.date), "2024-03-01");
    EXPECT_EQ(text(s.closeSaldoText), "4.00");

    std::string report = statement_document(entry("1.00", "CRDT"));
    for (const auto &[from, to] : {std::pair<std::string, std::string>{"camt.053", "camt.052"},
                                   {"BkToCstmrStmt", "BkToCstmrAcctRpt"}, {"Stmt>", "Rpt>"}})
        for (size_t at; (at = report.find(from)) != std::string::npos;) report.replace(at, from.size(), to);
    const Parsed without = load_camt(report);
    ASSERT_EQ(without.result(), 1) << without.error();
    EXPECT_EQ(without.statements()[0]->openSaldoText, nullptr);
    EXPECT_EQ(without.statements()[0]->closeSaldoText, nullptr);
    EXPECT_EQ(without.statements()[0]->available.amount, nullptr);
}

TEST(CamtEntries, StatusFromVersion7IsACode) {
    std::string doc = statement_document(balance("OPBD", "0.00") + entry("1.00", "CRDT"), 8);
    doc.replace(doc.find("<Sts>BOOK</Sts>"), 15, "<Sts><Cd>PDNG</Cd></Sts>");
    const Parsed parsed = load_camt(doc);
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    EXPECT_EQ(status(parsed.transactions()), "PDNG");
}

TEST(CamtEntries, AnyPrefixOfTheCamtNamespace) {
    std::string doc = statement_document(balance("OPBD", "0.00") + entry("1.00", "CRDT", details_of(detail(e2e("P")))));
    // Every element under the prefix c, bound on <Document>.
    std::string prefixed;
    for (size_t i = 0; i < doc.size(); ++i) {
        prefixed += doc[i];
        if (doc[i] == '<' && i + 1 < doc.size() && doc[i + 1] != '?') prefixed += doc[i + 1] == '/' ? (++i, "/c:") : "c:";
    }
    prefixed.replace(prefixed.find("xmlns="), 6, "xmlns:c=");
    const Parsed parsed = load_camt(prefixed);
    ASSERT_EQ(parsed.result(), 1) << parsed.error();
    EXPECT_EQ(eref(parsed.transactions()), "P");
}

TEST(CamtEntries, Refusals) {
    const struct {
        std::string entries;
        std::string error;
    } rows[] = {
        {entry("1<Foo>2</Foo>0.00", "CRDT"), "Malformed <Amt> 'element inside its value' (line 10)"},
        // 63 ASCII bytes and a two-byte character: the quote stops before it.
        {entry(std::string(63, '1') + "\xC3\xBC", "CRDT"), "Malformed <Amt> '" + std::string(63, '1') + "' (line 10)"},
    };
    for (const auto &r : rows) {
        const Parsed parsed = load_camt(statement_document(balance("OPBD", "0.00") + r.entries));
        EXPECT_EQ(parsed.result(), 0);
        EXPECT_EQ(parsed.error(), r.error);
    }
    // A foreign message element: its name is quoted up to a character boundary.
    const std::string name = std::string(63, 'X') + "\xC3\xBC";
    const Parsed other = load_camt("<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"><" + name + "/></Document>");
    EXPECT_EQ(other.error(), "Expected <BkToCstmrStmt> in <Document>, found <" + std::string(63, 'X') + "> (line 1)");
}

} // namespace
