// Statement records as entries to match: the booked direction and magnitude, the ids a
// payment file also carries, and what marks a return.
#include <math.h>

#include "reconcile/inputs.h"

namespace tarvo::reconcile {
namespace {

std::string_view text(const char *t) { return t != nullptr ? std::string_view(t) : std::string_view(); }

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

} // namespace

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
        unsigned record_number = 0;
        for (const tarvo_stmt_tx_t *tx = s->tx; tx != nullptr; tx = tx->next) {
            ++record_number;
            Entry e;
            if (!entry_cents(*tx, e.cents, e.credit)) continue; // a fraction of a cent matches no payment
            e.end_to_end_id = r.texts.keep(text(tx->eref));
            e.uetr = r.texts.keep(text(tx->uetr));
            e.iban = r.texts.keep(tx->account);
            e.currency = r.texts.keep(tx->currency[0] != '\0' ? tx->currency : s->closeCurrency);
            e.reversal = tx->reversal != 0;
            e.gvc = tx->gvc;
            e.source = file;
            e.element = r.texts.keep("statement " + std::to_string(statement_number) + " entry " +
                                     std::to_string(record_number));
            r.entries.push_back(e);
        }
    }
}

} // namespace tarvo::reconcile
