// libFuzzer target for the status report reader: each input is loaded from memory and
// every record walked, so that the sanitizers see every text a caller could read.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "tarvo.h"

namespace {

size_t touch(const char *text) { return text != nullptr ? strlen(text) : 0; }

size_t walk(const tarvo_status_t *r) {
    size_t sum = 0;
    for (; r != nullptr; r = r->next) {
        for (const char *t : {r->originalMessageId, r->originalMessageName, r->originalPaymentInformationId,
                              r->originalInstructionId, r->originalEndToEndId, r->originalUETR,
                              r->originalNumberOfTransactions, r->originalControlSum, r->status, r->additionalInfo,
                              r->amount, r->name, r->iban, r->payeeBankName})
            sum += touch(t);
        for (size_t i = 0; i < r->reasonCount; ++i) sum += touch(r->reasons[i]);
        if (r->reasonCount > 0 && r->reasons[r->reasonCount] != nullptr) abort();
        for (size_t i = 0; i < r->countCount; ++i) sum += touch(r->counts[i].status) + touch(r->counts[i].count);
        sum += strlen(r->currency);
        // Every record carries the original message id.
        if (r->originalMessageId == nullptr) abort();
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tarvo_status_parser_t *p = tarvo_status_parser_new();
    if (p == nullptr) return 0;
    const int ok = tarvo_status_parser_loadMemory(p, reinterpret_cast<const char *>(data), size);
    // A refused report hands out nothing.
    if (!ok && tarvo_status_parser_getRecord(p) != nullptr) abort();
    volatile size_t seen = ok ? walk(tarvo_status_parser_getRecord(p)) : strlen(tarvo_status_parser_getError(p));
    (void)seen;
    tarvo_status_parser_free(p);
    return 0;
}
