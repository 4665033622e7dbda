// libFuzzer target for the MT940 reader: each input becomes a statement file that is
// loaded and walked completely, so that every record and text field is touched.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>

#include "tarvo.h"

namespace {

// One file per process, rewritten for every input.
const char *input_path() {
    static char path[64] = "";
    if (path[0] == '\0') snprintf(path, sizeof path, "/tmp/fuzz_mt940.%ld", static_cast<long>(getpid()));
    return path;
}

void remove_input() { unlink(input_path()); }

bool write_input(const uint8_t *data, size_t size) {
    FILE *f = fopen(input_path(), "wb");
    if (f == nullptr) return false;
    const bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

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
    static const bool registered = atexit(remove_input) == 0;
    (void)registered;
    if (!write_input(data, size)) return 0;
    tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
    if (p == nullptr) return 0;
    const int ok = tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_MT940, input_path());
    volatile size_t seen = ok ? walk(tarvo_stmt_parser_getStatement(p)) : strlen(tarvo_stmt_parser_getError(p));
    (void)seen;
    tarvo_stmt_parser_free(p);
    return 0;
}
