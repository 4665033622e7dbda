// The body of the statement parser's fuzz targets: each input becomes a statement file
// that is loaded in the target's format and walked completely, so that every record
// and text field is touched.
#ifndef TARVO_FUZZ_STATEMENT_TARGET_H
#define TARVO_FUZZ_STATEMENT_TARGET_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>

#include "tarvo.h"

namespace fuzz_statement {

// One file per process, rewritten for every input.
inline const char *input_path() {
    static char path[64] = "";
    if (path[0] == '\0') snprintf(path, sizeof path, "/tmp/fuzz_statement.%ld", static_cast<long>(getpid()));
    return path;
}

inline void remove_input() { unlink(input_path()); }

inline bool write_input(const uint8_t *data, size_t size) {
    FILE *f = fopen(input_path(), "wb");
    if (f == nullptr) return false;
    const bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// Reads every byte a caller could read, so that the sanitizers see stray pointers.
inline size_t touch(const char *text) { return text != nullptr ? strlen(text) : 0; }

inline size_t walk(const tarvo_stmt_t *s) {
    size_t sum = 0;
    for (; s != nullptr; s = s->next) {
        sum += touch(s->ref) + touch(s->account) + strlen(s->openCurrency) + strlen(s->closeCurrency) +
               touch(s->openSaldoText) + touch(s->closeSaldoText);
        for (const tarvo_stmt_balance_t *b : {&s->interimBalance, &s->interimAvailable, &s->available})
            sum += touch(b->amount) + strlen(b->currency);
        for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next) {
            sum += strlen(t->code) + strlen(t->bank) + strlen(t->account) + strlen(t->name) + strlen(t->currency);
            for (const char *f : {t->ref, t->bankref, t->txtext, t->primanota, t->purpose, t->eref, t->kref, t->mref,
                                  t->cred, t->debt, t->purp, t->coam, t->oamt, t->svwz, t->abwa, t->abwe,
                                  t->amountText, t->uetr, t->creditorRef, t->partyName, t->instructedAmount,
                                  t->returnReason, t->returnInfo, t->bankTransactionCode, t->entryReference,
                                  t->batchPaymentInformationId, t->batchMessageId})
                sum += touch(f);
            sum += strlen(t->status) + strlen(t->instructedCurrency);
            for (size_t i = 0; i < t->chargeCount; ++i) sum += touch(t->charges[i].amount) + strlen(t->charges[i].currency);
            for (char **id = t->endToEndIds; id != nullptr && *id != nullptr; ++id) sum += touch(*id);
        }
    }
    return sum;
}

inline int run(int format, const uint8_t *data, size_t size) {
    static const bool registered = atexit(remove_input) == 0;
    (void)registered;
    if (!write_input(data, size)) return 0;
    tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
    if (p == nullptr) return 0;
    const int ok = tarvo_stmt_parser_load(p, format, input_path());
    // A failed load hands out nothing.
    if (!ok && tarvo_stmt_parser_getStatement(p) != nullptr) abort();
    volatile size_t seen = ok ? walk(tarvo_stmt_parser_getStatement(p)) : strlen(tarvo_stmt_parser_getError(p));
    // The same bytes from memory: the same verdict, and records as sound.
    tarvo_stmt_parser_t *m = tarvo_stmt_parser_new();
    if (m != nullptr) {
        const int from_memory = tarvo_stmt_parser_loadMemory(m, format, data, size);
        if (from_memory != ok && size > 0) abort();
        seen = seen + (from_memory ? walk(tarvo_stmt_parser_getStatement(m)) : 0);
        tarvo_stmt_parser_free(m);
    }
    (void)seen;
    tarvo_stmt_parser_free(p);
    return 0;
}

} // namespace fuzz_statement

#endif
