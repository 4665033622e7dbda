// Test helper: the blocks and transactions of a payment file in one line each.
#ifndef TARVO_TESTS_PAIN_TEXT_H
#define TARVO_TESTS_PAIN_TEXT_H

#include <string>
#include <vector>

#include "report_text.h"

namespace report_test {

inline std::string describe(const tarvo_pain_block_t &b) {
    std::string out = "block";
    put(out, "id", b.paymentInformationId);
    put(out, "mtd", b.method);
    put(out, "batch", b.batchBooking);
    put(out, "n", b.numberOfTransactions);
    put(out, "sum", b.controlSum);
    put(out, "svc", b.serviceLevel);
    put(out, "instr", b.localInstrument);
    put(out, "seq", b.sequenceType);
    put(out, "date", b.date);
    put(out, "name", b.name);
    put(out, "iban", b.iban);
    put(out, "bic", b.bic);
    put(out, "ci", b.creditorId);
    return out;
}

inline std::string describe(const tarvo_pain_tx_t &t) {
    std::string out = "tx";
    put(out, "instr", t.instructionId);
    put(out, "e2e", t.endToEndId);
    put(out, "uetr", t.uetr);
    if (t.amount != nullptr) put(out, "amount", (std::string(t.amount) + " " + t.currency).c_str());
    put(out, "name", t.name);
    put(out, "iban", t.iban);
    put(out, "bic", t.bic);
    put(out, "ult", t.ultimateName);
    put(out, "mref", t.mandateId);
    put(out, "mdate", t.mandateDate);
    put(out, "old_mref", t.originalMandateId);
    put(out, "old_iban", t.originalIban);
    put(out, "ci", t.creditorId);
    put(out, "purp", t.purpose);
    put(out, "ref", t.remittance);
    put(out, "cref", t.creditorRef);
    return out;
}

inline std::vector<std::string> describe_all(tarvo_pain_parser_t *p) {
    std::vector<std::string> out;
    for (const tarvo_pain_block_t *b = tarvo_pain_parser_getBlock(p); b != nullptr; b = b->next) {
        out.push_back(describe(*b));
        for (const tarvo_pain_tx_t *t = b->tx; t != nullptr; t = t->next) out.push_back(describe(*t));
    }
    return out;
}

} // namespace report_test

#endif
