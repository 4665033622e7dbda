// Test helpers: camt documents put together from parts, so that each test shows only
// what it is about.
#ifndef TARVO_TESTS_CAMT_DOCUMENTS_H
#define TARVO_TESTS_CAMT_DOCUMENTS_H

#include <string>
#include <string_view>

#include "statement_files.h"

namespace camt_test {

inline std::string namespace_of(std::string_view message, int version) {
    char v[8];
    snprintf(v, sizeof v, "%02d", version);
    return "urn:iso:std:iso:20022:tech:xsd:" + std::string(message) + ".001." + v;
}

// A camt.053 document in the given version whose statement holds body after its
// account.
inline std::string statement_document(std::string_view body, int version = 2) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Document xmlns=\"" + namespace_of("camt.053", version) +
           "\">\n<BkToCstmrStmt>\n<GrpHdr><MsgId>M1</MsgId><CreDtTm>2024-03-01T10:00:00</CreDtTm></GrpHdr>\n"
           "<Stmt>\n<Id>S1</Id>\n<CreDtTm>2024-03-01T10:00:00</CreDtTm>\n"
           "<Acct><Id><IBAN>DE89370400440532013000</IBAN></Id></Acct>\n" +
           std::string(body) + "\n</Stmt>\n</BkToCstmrStmt>\n</Document>\n";
}

inline std::string balance(std::string_view code, std::string_view amount, std::string_view direction = "CRDT",
                           std::string_view date = "2024-03-01") {
    return "<Bal><Tp><CdOrPrtry><Cd>" + std::string(code) + "</Cd></CdOrPrtry></Tp><Amt Ccy=\"EUR\">" +
           std::string(amount) + "</Amt><CdtDbtInd>" + std::string(direction) + "</CdtDbtInd><Dt><Dt>" +
           std::string(date) + "</Dt></Dt></Bal>\n";
}

// An entry with the given amount and direction; more goes after the value date.
inline std::string entry(std::string_view amount, std::string_view direction, std::string_view more = "") {
    return "<Ntry><Amt Ccy=\"EUR\">" + std::string(amount) + "</Amt><CdtDbtInd>" + std::string(direction) +
           "</CdtDbtInd><Sts>BOOK</Sts><BookgDt><Dt>2024-03-01</Dt></BookgDt><ValDt><Dt>2024-03-02</Dt></ValDt>" +
           std::string(more) + "</Ntry>\n";
}

inline stmt_test::Parsed load_camt(std::string_view content) {
    return stmt_test::Parsed(content, TARVO_STMT_FORMAT_CAMT);
}

} // namespace camt_test

#endif
