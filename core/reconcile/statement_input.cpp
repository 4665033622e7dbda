// Statement records as entries to match: the booked direction and magnitude, the ids a
// payment file also carries, and what marks a return.
#include <fcntl.h>
#include <math.h>
#include <string.h>
#include <unistd.h>

#include <memory>

#include "reconcile/inputs.h"

namespace tarvo::reconcile {
namespace {

// Statement texts may be ISO-8859-1; payment files and every output are UTF-8.
std::string_view text(Reconciliation &r, const char *t) {
    if (t == nullptr || *t == '\0') return {};
    std::string out(2 * strlen(t) + 1, '\0');
    out.resize(tarvo_stmt_text_utf8(t, out.data()));
    return r.texts.keep(out);
}

// camt keeps the amount as written; MT940 amounts have at most 15 characters, which a
// double holds to the cent.
bool entry_cents(const tarvo_stmt_tx_t &tx, int64_t &cents, bool &credit) {
    if (tx.amountText != nullptr) {
        std::string_view written(tx.amountText);
        credit = !written.starts_with('-');
        if (!credit) written.remove_prefix(1);
        return read_cents(written, cents);
    }
    credit = tx.amount >= 0;
    cents = llround(fabs(tx.amount) * 100.0);
    return true;
}

std::string_view detail_ids(Reconciliation &r, char *const *ids) {
    std::string joined;
    for (; ids != nullptr && *ids != nullptr; ++ids) joined.append(text(r, *ids)).append(1, '\n');
    return r.texts.keep(joined);
}

struct FreeParser {
    void operator()(tarvo_stmt_parser_t *p) const { tarvo_stmt_parser_free(p); }
};

// The first bytes of a file, enough to tell the formats apart; the reader itself then
// opens and checks the file.
std::string file_head(const char *path) {
    char head[256];
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    const ssize_t n = read(fd, head, sizeof head);
    close(fd);
    return n > 0 ? std::string(head, static_cast<size_t>(n)) : std::string();
}

} // namespace

bool add_statements(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                    std::string &error) {
    const std::unique_ptr<tarvo_stmt_parser_t, FreeParser> parser(tarvo_stmt_parser_new());
    if (parser == nullptr) throw std::bad_alloc();
    const int format = detect_statement_format(path != nullptr ? std::string_view(file_head(path))
                                                               : std::string_view(data != nullptr ? data : "", size));
    const int loaded = path != nullptr ? tarvo_stmt_parser_load(parser.get(), format, path)
                                       : tarvo_stmt_parser_loadMemory(parser.get(), format, data, size);
    if (loaded != 1) {
        error = tarvo_stmt_parser_getError(parser.get());
        return false;
    }
    add_statement_entries(r, tarvo_stmt_parser_getStatement(parser.get()), source);
    return true;
}

int detect_statement_format(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    const size_t first = head.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && head[first] == '<' ? TARVO_STMT_FORMAT_CAMT : TARVO_STMT_FORMAT_MT940;
}

void add_statement_entries(Reconciliation &r, const tarvo_stmt_t *statements, std::string_view source) {
    const std::string_view file = r.texts.keep(source);
    unsigned statement_number = 0;
    for (const tarvo_stmt_t *s = statements; s != nullptr; s = s->next) {
        ++statement_number;
        if (s->incomplete != 0)
            r.notes.push_back("statement " + std::to_string(statement_number) + " of " + std::string(source) +
                              " is cut off by a malformed line; its later entries are missing");
        unsigned record_number = 0;
        for (const tarvo_stmt_tx_t *tx = s->tx; tx != nullptr; tx = tx->next) {
            ++record_number;
            Entry e;
            if (!entry_cents(*tx, e.cents, e.credit)) continue; // a fraction of a cent matches no payment
            e.end_to_end_id = text(r, tx->eref);
            e.uetr = text(r, tx->uetr);
            e.iban = text(r, tx->account);
            e.currency = r.texts.keep(tx->currency[0] != '\0' ? tx->currency : s->closeCurrency);
            e.reversal = tx->reversal != 0;
            e.gvc = tx->gvc;
            e.return_reason = text(r, tx->returnReason);
            e.return_info = text(r, tx->returnInfo);
            e.batch_payment_information_id = text(r, tx->batchPaymentInformationId);
            e.batch_message_id = text(r, tx->batchMessageId);
            // A pending entry may still be cancelled; an information entry books nothing.
            e.pending = tx->status[0] != '\0' && std::string_view(tx->status) != "BOOK";
            e.batch = tx->details > 1;
            e.detail_ids = detail_ids(r, tx->endToEndIds);
            e.source = file;
            e.element = r.texts.keep("statement " + std::to_string(statement_number) + " entry " +
                                     std::to_string(record_number));
            r.entries.push_back(e);
        }
    }
}

} // namespace tarvo::reconcile
