// libFuzzer target for the MT940 reader: each input is read from memory, as the loader
// hands a file's text to the reader, and the statements are walked completely, so that
// every record and text field is touched.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

#include "statement/statement.h"

namespace {

// Reads every byte a caller could read, so that the sanitizers see stray pointers.
size_t touch(const char *text) { return text != nullptr ? strlen(text) : 0; }

size_t walk(const tarvo_stmt_t *s) {
    size_t sum = 0;
    for (; s != nullptr; s = s->next) {
        sum += touch(s->ref) + touch(s->account) + strlen(s->openCurrency) + strlen(s->closeCurrency);
        for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next) {
            sum += strlen(t->code) + strlen(t->bank) + strlen(t->account) + strlen(t->name);
            for (const char *f : {t->ref, t->bankref, t->txtext, t->primanota, t->purpose, t->eref, t->kref, t->mref,
                                  t->cred, t->debt, t->purp, t->coam, t->oamt, t->svwz, t->abwa, t->abwe})
                sum += touch(f);
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The loader refuses empty texts and texts that start with a NUL.
    if (size == 0 || data[0] == 0) return 0;
    tarvo::StatementState state;
    state.text = static_cast<char *>(malloc(size + 1));
    if (state.text == nullptr) return 0;
    memcpy(state.text, data, size);
    state.text[size] = '\0';
    state.size = size;
    tarvo_stmt_t *first = nullptr;
    tarvo_stmt_t *last = nullptr;
    const bool ok = tarvo::read_mt940(state.text, size, state.records, tarvo::StatementList{&first, &last});
    volatile size_t seen = ok ? walk(first) : 0;
    (void)seen;
    return 0;
}
