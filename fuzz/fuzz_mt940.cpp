// libFuzzer target for the MT940 reader: each input is read from memory twice, once in
// the loader's usual pieces and once in pieces of a few bytes that the buffer must grow
// from, and both reads must give the same records. The records are walked completely
// after the read buffer is gone, so that the sanitizers see any text left behind in it.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <string>

#include "statement/statement.h"

namespace {

std::string records(const tarvo_stmt_t *s) {
    std::string out;
    const auto add = [&out](const char *text) { out.append(text != nullptr ? text : "(null)").push_back('|'); };
    for (; s != nullptr; s = s->next) {
        for (const char *f : std::initializer_list<const char *>{s->ref, s->account, s->openCurrency, s->closeCurrency, s->openSaldoText, s->closeSaldoText})
            add(f);
        out += std::to_string(s->number) + "/" + std::to_string(s->page) + (s->incomplete ? "!\n" : "\n");
        for (const tarvo_stmt_tx_t *t = s->tx; t != nullptr; t = t->next) {
            for (const char *f : std::initializer_list<const char *>{t->code, t->bank, t->account, t->name, t->amountText, t->ref, t->bankref, t->txtext,
                                  t->primanota, t->purpose, t->eref, t->kref, t->mref, t->cred, t->debt, t->purp,
                                  t->coam, t->oamt, t->svwz, t->abwa, t->abwe})
                add(f);
            out += std::to_string(t->gvc) + "/" + std::to_string(t->extcode) + "\n";
        }
    }
    return out;
}

// The records of one read, or "failed".
std::string read(const uint8_t *data, size_t size, size_t piece) {
    tarvo::RecordArena arena;
    tarvo_stmt_t *first = nullptr;
    tarvo_stmt_t *last = nullptr;
    char error[256];
    const tarvo::Input input{-1, reinterpret_cast<const char *>(data), size};
    if (!tarvo::read_mt940(input, arena, tarvo::StatementList{&first, &last}, error, piece)) return "failed";
    return records(first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    if (read(data, size, tarvo::mt940_piece) != read(data, size, 5)) abort();
    return 0;
}
