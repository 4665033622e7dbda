// libFuzzer target for the payment file reader: each input is loaded from memory and
// every block and transaction walked.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "tarvo.h"

namespace {

size_t touch(const char *text) { return text != nullptr ? strlen(text) : 0; }

size_t walk(const tarvo_pain_block_t *b) {
    size_t sum = 0;
    for (; b != nullptr; b = b->next) {
        if (b->paymentInformationId == nullptr) abort();
        for (const char *t : {b->method, b->batchBooking, b->numberOfTransactions, b->controlSum, b->serviceLevel,
                              b->localInstrument, b->sequenceType, b->date, b->name, b->iban, b->bic, b->creditorId})
            sum += touch(t);
        for (const tarvo_pain_tx_t *t = b->tx; t != nullptr; t = t->next) {
            if (t->amount == nullptr || strlen(t->currency) != 3) abort();
            for (const char *x : {t->instructionId, t->endToEndId, t->uetr, t->amount, t->name, t->iban, t->bic,
                                  t->ultimateName, t->mandateId, t->mandateDate, t->originalMandateId,
                                  t->originalIban, t->creditorId, t->purpose, t->remittance, t->creditorRef})
                sum += touch(x);
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tarvo_pain_parser_t *p = tarvo_pain_parser_new();
    if (p == nullptr) return 0;
    const int ok = tarvo_pain_parser_loadMemory(p, reinterpret_cast<const char *>(data), size);
    if (!ok && tarvo_pain_parser_getBlock(p) != nullptr) abort();
    volatile size_t seen = ok ? walk(tarvo_pain_parser_getBlock(p)) + touch(tarvo_pain_parser_getMessageId(p))
                              : strlen(tarvo_pain_parser_getError(p));
    (void)seen;
    tarvo_pain_parser_free(p);
    return 0;
}
