// Test helper: the records of a status report in one line each, every field named, so
// that a table of expected lines says what a document holds.
#ifndef TARVO_TESTS_REPORT_TEXT_H
#define TARVO_TESTS_REPORT_TEXT_H

#include <string>
#include <vector>

#include "tarvo.h"

namespace report_test {

inline void put(std::string &out, const char *key, const char *value) {
    if (value == nullptr) return;
    out += ' ';
    out += key;
    out += '=';
    out += value;
}

inline std::string describe(const tarvo_status_t &r) {
    static const char *const levels[] = {"?", "group", "payment", "transaction"};
    std::string out = levels[r.level];
    put(out, "msg", r.originalMessageId);
    put(out, "name", r.originalMessageName);
    put(out, "pmt", r.originalPaymentInformationId);
    put(out, "instr", r.originalInstructionId);
    put(out, "e2e", r.originalEndToEndId);
    put(out, "uetr", r.originalUETR);
    put(out, "n", r.originalNumberOfTransactions);
    put(out, "sum", r.originalControlSum);
    put(out, "status", r.status);
    for (size_t i = 0; i < r.reasonCount; ++i) put(out, "reason", r.reasons[i]);
    put(out, "info", r.additionalInfo);
    for (size_t i = 0; i < r.countCount; ++i) put(out, r.counts[i].status, r.counts[i].count);
    if (r.amount != nullptr) put(out, "amount", (std::string(r.amount) + " " + r.currency).c_str());
    put(out, "cpty", r.name);
    put(out, "iban", r.iban);
    put(out, "payeebank", r.payeeBankName);
    return out;
}

inline std::vector<std::string> describe_all(tarvo_status_parser_t *p) {
    std::vector<std::string> out;
    for (const tarvo_status_t *r = tarvo_status_parser_getRecord(p); r != nullptr; r = r->next)
        out.push_back(describe(*r));
    return out;
}

} // namespace report_test

#endif
