// Payment files as the payments to reconcile: each transaction with the ids of its
// message and block, and its amount in cents.
#include <memory>

#include "reconcile/inputs.h"

namespace tarvo::reconcile {
namespace {

struct FreeParser {
    void operator()(tarvo_pain_parser_t *p) const { tarvo_pain_parser_free(p); }
};

std::string_view text(const char *t) { return t != nullptr ? std::string_view(t) : std::string_view(); }

} // namespace

bool add_payments(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                  std::string &error) {
    const std::unique_ptr<tarvo_pain_parser_t, FreeParser> parser(tarvo_pain_parser_new());
    if (parser == nullptr) throw std::bad_alloc();
    const int loaded = path != nullptr ? tarvo_pain_parser_load(parser.get(), path)
                                       : tarvo_pain_parser_loadMemory(parser.get(), data, size);
    if (loaded != 1) {
        error = tarvo_pain_parser_getError(parser.get());
        return false;
    }
    const std::string_view file = r.texts.keep(source);
    const std::string_view message_id = r.texts.keep(text(tarvo_pain_parser_getMessageId(parser.get())));
    for (const tarvo_pain_block_t *b = tarvo_pain_parser_getBlock(parser.get()); b != nullptr; b = b->next) {
        const Kind kind = text(b->method) == "DD" ? Kind::DirectDebit : Kind::CreditTransfer;
        const std::string_view block_id = r.texts.keep(text(b->paymentInformationId));
        for (const tarvo_pain_tx_t *tx = b->tx; tx != nullptr; tx = tx->next) {
            Payment p;
            if (!read_cents(text(tx->amount), p.cents)) {
                error = "the amount \"" + std::string(text(tx->amount)) + "\" of end-to-end id \"" +
                        std::string(text(tx->endToEndId)) + "\" is not an amount in cents";
                return false;
            }
            p.message_id = message_id;
            p.payment_information_id = block_id;
            p.end_to_end_id = r.texts.keep(text(tx->endToEndId));
            p.uetr = r.texts.keep(text(tx->uetr));
            p.iban = r.texts.keep(text(tx->iban));
            p.currency = r.texts.keep(tx->currency);
            p.source = file;
            p.kind = kind;
            r.payments.push_back(p);
        }
    }
    return true;
}

} // namespace tarvo::reconcile
