// Statement entries as evidence: a booking in the payment's direction books it, one in
// the other direction that the bank marks as a return (reason, reversal or return
// transaction code) returns it. Batch bookings speak for a whole block or message.
#include "reconcile/matching.h"

namespace tarvo::reconcile {
namespace {

bool is_return(const Entry &e) { return e.reversal || !e.return_reason.empty() || is_return_code(e.gvc); }

// A credit transfer leaves the account, a direct debit comes in; a return runs back.
bool expected_credit(Kind kind, bool returned) { return (kind == Kind::DirectDebit) != returned; }

std::string amount_with(int64_t cents, std::string_view currency) {
    std::string out = cents_text(cents);
    if (!currency.empty()) out.append(" ").append(currency);
    return out;
}

std::string entry_place(const Entry &e) { return "statement entry " + place(e.source, e.element); }

bool currencies_differ(std::string_view a, std::string_view b) { return !a.empty() && !b.empty() && a != b; }

} // namespace

void Matcher::apply_entries() {
    for (uint32_t i = 0; i < r_.entries.size(); ++i) apply_entry(i);
}

void Matcher::apply_entry(uint32_t index) {
    const Entry &e = r_.entries[index];
    if (e.pending) return; // not booked yet, so evidence of nothing
    const bool returned = is_return(e);
    if (e.batch) {
        if (!apply_batch(index, returned) && !apply_details(index, returned)) unmatched_entries_.push_back(index);
        return;
    }
    const std::optional<uint32_t> at =
        find_payment({}, e.end_to_end_id, e.uetr, e.batch_payment_information_id, e.iban, e.cents);
    if (!at) {
        // A block of one transaction booked as a batch looks like a single booking.
        if (!apply_batch(index, returned)) unmatched_entries_.push_back(index);
        return;
    }
    const Payment &p = r_.payments[*at];
    if (p.cents != e.cents || currencies_differ(p.currency, e.currency)) {
        r_.warnings.push_back(entry_place(e) + " for end-to-end id \"" + std::string(p.end_to_end_id) +
                              "\" has the amount " + amount_with(e.cents, e.currency) + ", the payment in " +
                              std::string(p.source) + " " + amount_with(p.cents, p.currency) + "; not matched");
        unmatched_entries_.push_back(index);
        return;
    }
    if (e.credit != expected_credit(p.kind, returned)) {
        r_.warnings.push_back(entry_place(e) + " for end-to-end id \"" + std::string(p.end_to_end_id) + "\" is a " +
                              (e.credit ? "credit" : "debit") + ", which neither books nor returns the " +
                              (p.kind == Kind::DirectDebit ? "direct debit" : "credit transfer") + " in " +
                              std::string(p.source) + "; not matched");
        unmatched_entries_.push_back(index);
        return;
    }
    const Finding f{returned ? State::Returned : State::Booked, Level::Transaction, true, index};
    if (f.beats(findings_[*at])) findings_[*at] = f;
}

// A batch booking without block or message id that names its transactions: it books
// them when they are all ours and add up to it.
bool Matcher::apply_details(uint32_t index, bool returned) {
    const Entry &e = r_.entries[index];
    std::vector<uint32_t> found;
    int64_t sum = 0;
    for (std::string_view ids = e.detail_ids; !ids.empty();) {
        const size_t end = ids.find('\n');
        const std::string_view id = ids.substr(0, end);
        ids.remove_prefix(end == std::string_view::npos ? ids.size() : end + 1);
        const std::optional<uint32_t> at = is_key(id) ? find_payment({}, id, {}, {}, {}, -1) : std::nullopt;
        if (!at || e.credit != expected_credit(r_.payments[*at].kind, returned)) return false;
        found.push_back(*at);
        sum += r_.payments[*at].cents;
    }
    if (found.empty()) return false;
    if (sum != e.cents) {
        r_.warnings.push_back(entry_place(e) + " for " + std::to_string(found.size()) +
                              " transactions has the amount " + amount_with(e.cents, e.currency) +
                              ", they add up to " + cents_text(sum) + "; not matched");
        return false;
    }
    const Finding f{returned ? State::Returned : State::Booked, Level::Transaction, true, index};
    for (uint32_t at : found)
        if (f.beats(findings_[at])) findings_[at] = f;
    return true;
}

bool Matcher::apply_batch(uint32_t index, bool returned) {
    const Entry &e = r_.entries[index];
    Group *target = nullptr;
    const Group *differs = nullptr;
    const auto fits = [&](Group &g) {
        if (e.credit != expected_credit(g.kind, returned)) return false;
        if (g.sum != e.cents) {
            differs = &g;
            return false;
        }
        target = &g;
        return true;
    };
    if (!e.batch_payment_information_id.empty()) {
        const uint64_t h = KeyHash().add(e.batch_payment_information_id).value();
        blocks_by_id_.find(h, [&](uint32_t at) {
            Group &b = blocks_[at];
            return b.payment_information_id == e.batch_payment_information_id &&
                   (e.batch_message_id.empty() || e.batch_message_id == b.message_id) && fits(b);
        });
    }
    if (target == nullptr && !e.batch_message_id.empty()) {
        const uint32_t m = find_message(e.batch_message_id);
        if (m != nothing) fits(messages_[m]);
    }
    if (target == nullptr) {
        if (differs != nullptr)
            r_.warnings.push_back(entry_place(e) + " for " +
                                  (differs->parent == nothing
                                       ? "message id \"" + std::string(differs->message_id)
                                       : "payment-information id \"" + std::string(differs->payment_information_id)) +
                                  "\" has the amount " + amount_with(e.cents, e.currency) + ", its payments in " +
                                  std::string(differs->source) + " add up to " + cents_text(differs->sum) +
                                  "; not matched");
        return false;
    }
    const Finding f{returned ? State::Returned : State::Booked, target->parent == nothing ? Level::Group : Level::Payment,
                    true, index};
    if (f.beats(target->finding)) target->finding = f;
    return true;
}

} // namespace tarvo::reconcile
