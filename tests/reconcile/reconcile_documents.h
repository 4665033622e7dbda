// Test helpers: payment files the library writes, and status reports and camt.054
// notifications put together to fit them.
#ifndef TARVO_TESTS_RECONCILE_DOCUMENTS_H
#define TARVO_TESTS_RECONCILE_DOCUMENTS_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tarvo.h"

namespace reconcile_test {

struct Transfer {
    const char *id; // null: the writer leaves the end-to-end id open
    const char *amount;
    const char *iban;
};

// A credit transfer file as the library writes it; its one block is "<msgid>-P1".
inline std::string transfers(const char *message_id, const std::vector<Transfer> &list) {
    tarvo_t *h = tarvo_new(TARVO_MSGTYPE_CTI);
    EXPECT_EQ(tarvo_setIBAN(h, "DE89370400440532013000"), 1);
    EXPECT_EQ(tarvo_setBIC(h, "COBADEFFXXX"), 1);
    EXPECT_EQ(tarvo_setName(h, "Beispiel GmbH"), 1);
    EXPECT_EQ(tarvo_setMessageId(h, message_id), 1);
    for (const Transfer &t : list) {
        std::vector<const char *> kv{"name", "Lieferant", "iban", t.iban, "bic", "COBADEFFXXX", "amount", t.amount,
                                     "ref", "Rechnung"};
        if (t.id != nullptr) kv.insert(kv.end(), {"id", t.id});
        kv.push_back(nullptr);
        EXPECT_EQ(tarvo_add(h, kv.data()), 1) << tarvo_getError(h);
    }
    char *xml = tarvo_toXML(h);
    EXPECT_NE(xml, nullptr) << tarvo_getError(h);
    std::string out = xml != nullptr ? xml : "";
    free(xml);
    tarvo_free(h);
    return out;
}

inline const std::vector<Transfer> march = {
    {"E2E-BOOK", "100.00", "DE02120300000000202051"}, {"E2E-RJCT", "50.00", "DE02500105170137075030"},
    {"E2E-RTRN", "20.00", "DE02100100100006820101"},  {"E2E-ACCP", "10.00", "DE02300209000106531065"},
    {nullptr, "7.00", "DE02370502990000684712"},
};

inline std::string report(const std::string &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.002.001.10\"><CstmrPmtStsRpt>"
           "<GrpHdr><MsgId>STS-1</MsgId><CreDtTm>2026-03-02T08:00:00</CreDtTm></GrpHdr>" +
           body + "</CstmrPmtStsRpt></Document>\n";
}

inline std::string group(const char *message_id, const char *status) {
    return std::string("<OrgnlGrpInfAndSts><OrgnlMsgId>") + message_id +
           "</OrgnlMsgId><OrgnlMsgNmId>pain.001.001.09</OrgnlMsgNmId><GrpSts>" + status + "</GrpSts></OrgnlGrpInfAndSts>";
}

inline std::string rejected(const char *block, const char *id, const char *reason) {
    return std::string("<OrgnlPmtInfAndSts><OrgnlPmtInfId>") + block + "</OrgnlPmtInfId><TxInfAndSts><OrgnlEndToEndId>" +
           id + "</OrgnlEndToEndId><TxSts>RJCT</TxSts><StsRsnInf><Rsn><Cd>" + reason +
           "</Cd></Rsn></StsRsnInf></TxInfAndSts></OrgnlPmtInfAndSts>";
}

inline std::string notification(const std::string &entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.054.001.08\"><BkToCstmrDbtCdtNtfctn>"
           "<GrpHdr><MsgId>NTF-1</MsgId><CreDtTm>2026-03-03T08:00:00</CreDtTm></GrpHdr><Ntfctn><Id>N1</Id>"
           "<Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>" +
           entries + "</Ntfctn></BkToCstmrDbtCdtNtfctn></Document>\n";
}

// One entry of one transaction; more goes into its TxDtls after the references.
inline std::string entry(const char *amount, const char *direction, const char *id, const std::string &more = "",
                  const std::string &batch = "") {
    return std::string("<Ntry><Amt Ccy=\"EUR\">") + amount + "</Amt><CdtDbtInd>" + direction +
           "</CdtDbtInd><Sts><Cd>BOOK</Cd></Sts><BookgDt><Dt>2026-03-03</Dt></BookgDt>"
           "<BkTxCd><Domn><Cd>PMNT</Cd><Fmly><Cd>ICDT</Cd><SubFmlyCd>ESCT</SubFmlyCd></Fmly></Domn></BkTxCd>"
           "<NtryDtls>" +
           batch + "<TxDtls><Refs><EndToEndId>" + id + "</EndToEndId></Refs>" + more + "</TxDtls></NtryDtls></Ntry>";
}

inline std::string returned_with(const char *reason) {
    return std::string("<RtrInf><Rsn><Cd>") + reason + "</Cd></Rsn></RtrInf>";
}

inline std::string counterparty(const char *iban) {
    return std::string("<RltdPties><CdtrAcct><Id><IBAN>") + iban + "</IBAN></Id></CdtrAcct></RltdPties>";
}

} // namespace reconcile_test

#endif
