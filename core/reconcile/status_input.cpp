// Status reports as status records, each named by the element it was read from.
#include <memory>

#include "reconcile/inputs.h"

namespace tarvo::reconcile {
namespace {

struct FreeParser {
    void operator()(tarvo_status_parser_t *p) const { tarvo_status_parser_free(p); }
};

std::string_view text(const char *t) { return t != nullptr ? std::string_view(t) : std::string_view(); }

std::string joined(char *const *codes, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) out += ',';
        out += codes[i];
    }
    return out;
}

// Where a record stands in its document: blocks are counted through the report, the
// transactions of each block from one.
class Position {
public:
    std::string name(int level) {
        if (level == TARVO_STATUS_GROUP) return "OrgnlGrpInfAndSts[" + std::to_string(++groups_) + "]";
        if (level == TARVO_STATUS_PAYMENT) {
            transactions_ = 0;
            return "OrgnlPmtInfAndSts[" + std::to_string(++blocks_) + "]";
        }
        std::string out = blocks_ > 0 ? "OrgnlPmtInfAndSts[" + std::to_string(blocks_) + "]/" : std::string();
        return out.append("TxInfAndSts[").append(std::to_string(++transactions_)).append("]");
    }

private:
    unsigned groups_ = 0, blocks_ = 0, transactions_ = 0;
};

constexpr Level level_of(int level) {
    return level == TARVO_STATUS_TRANSACTION ? Level::Transaction
           : level == TARVO_STATUS_PAYMENT   ? Level::Payment
                                             : Level::Group;
}

} // namespace

bool add_status(Reconciliation &r, const char *path, const char *data, size_t size, std::string_view source,
                std::string &error) {
    const std::unique_ptr<tarvo_status_parser_t, FreeParser> parser(tarvo_status_parser_new());
    if (parser == nullptr) throw std::bad_alloc();
    const int loaded = path != nullptr ? tarvo_status_parser_load(parser.get(), path)
                                       : tarvo_status_parser_loadMemory(parser.get(), data, size);
    if (loaded != 1) {
        error = tarvo_status_parser_getError(parser.get());
        return false;
    }
    const std::string_view file = r.texts.keep(source);
    Position position;
    for (const tarvo_status_t *t = tarvo_status_parser_getRecord(parser.get()); t != nullptr; t = t->next) {
        Status s;
        s.level = level_of(t->level);
        s.message_id = r.texts.keep(text(t->originalMessageId));
        s.payment_information_id = r.texts.keep(text(t->originalPaymentInformationId));
        s.end_to_end_id = r.texts.keep(text(t->originalEndToEndId));
        s.uetr = r.texts.keep(text(t->originalUETR));
        s.iban = r.texts.keep(text(t->iban));
        if (t->amount == nullptr || !read_cents(t->amount, s.cents)) s.cents = -1;
        s.status = r.texts.keep(text(t->status));
        s.reasons = r.texts.keep(joined(t->reasons, t->reasonCount));
        s.info = r.texts.keep(text(t->additionalInfo));
        s.vop_name = r.texts.keep(text(t->payeeBankName));
        s.source = file;
        s.element = r.texts.keep(position.name(t->level));
        r.statuses.push_back(s);
    }
    return true;
}

} // namespace tarvo::reconcile
