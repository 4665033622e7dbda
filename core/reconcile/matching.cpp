// Joins status records and statement entries to the payments they speak of. Every join
// is a hash lookup, so the run grows with the number of records, never with their product.
#include "reconcile/matching.h"

namespace tarvo::reconcile {
namespace {

uint64_t hash_of(std::string_view a) { return KeyHash().add(a).value(); }
uint64_t block_key_hash(std::string_view payment_information_id, std::string_view iban, int64_t cents) {
    return KeyHash().add(payment_information_id).add(iban).add(cents).value();
}

std::string quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.append(1, '"').append(text).append(1, '"');
    return out;
}

std::string both_in(std::string_view what, std::string_view id, std::string_view first, std::string_view second) {
    if (first == second) return std::string(what) + " " + quoted(id) + " is twice in " + std::string(first);
    return std::string(what) + " " + quoted(id) + " is in both " + std::string(first) + " and " + std::string(second);
}

bool same_message(std::string_view wanted, std::string_view have) { return wanted.empty() || wanted == have; }

} // namespace

Matcher::Matcher(Reconciliation &r) : r_(r) {}

bool Matcher::index() {
    const std::vector<Payment> &payments = r_.payments;
    const size_t n = payments.size();
    size_t keyed = 0, with_uetr = 0;
    for (const Payment &p : payments) {
        keyed += is_key(p.end_to_end_id) ? 1 : 0;
        with_uetr += p.uetr.empty() ? 0 : 1;
    }
    by_end_to_end_.reset(keyed);
    by_uetr_.reset(with_uetr);
    by_block_key_.reset(n - keyed);
    // Blocks and messages are far fewer than payments; their indexes grow as needed.
    blocks_by_id_.reset(n / 64);
    messages_by_id_.reset(n / 1024);
    block_of_.assign(n, nothing);
    findings_.assign(n, {});
    vop_.assign(n, {});

    for (uint32_t i = 0; i < n; ++i) {
        const Payment &p = payments[i];
        uint32_t m = find_message(p.message_id);
        if (m == nothing) {
            m = static_cast<uint32_t>(messages_.size());
            messages_.push_back({p.message_id, {}, p.source, 0, p.kind, nothing, {}, {}});
            messages_by_id_.insert(hash_of(p.message_id), m);
        } else if (messages_[m].source != p.source) {
            r_.error = both_in("message id", p.message_id, messages_[m].source, p.source);
            return false;
        }
        uint32_t b = find_block(p.message_id, p.payment_information_id);
        if (b == nothing) {
            b = static_cast<uint32_t>(blocks_.size());
            blocks_.push_back({p.message_id, p.payment_information_id, p.source, 0, p.kind, m, {}, {}});
            blocks_by_id_.insert(hash_of(p.payment_information_id), b);
        }
        block_of_[i] = b;
        blocks_[b].sum += p.cents;
        messages_[m].sum += p.cents;
        if (is_key(p.end_to_end_id)) {
            const uint64_t h = hash_of(p.end_to_end_id);
            uint32_t earlier = nothing;
            by_end_to_end_.find(h, [&](uint32_t at) {
                earlier = at;
                return payments[at].end_to_end_id == p.end_to_end_id;
            });
            if (earlier != nothing && payments[earlier].end_to_end_id == p.end_to_end_id) {
                r_.error = both_in("end-to-end id", p.end_to_end_id, payments[earlier].source, p.source);
                return false;
            }
            by_end_to_end_.insert(h, i);
        } else {
            by_block_key_.insert(block_key_hash(p.payment_information_id, p.iban, p.cents), i);
        }
        if (!p.uetr.empty()) by_uetr_.insert(hash_of(p.uetr), i);
    }
    return true;
}

uint32_t Matcher::find_message(std::string_view message_id) const {
    uint32_t found = nothing;
    messages_by_id_.find(hash_of(message_id), [&](uint32_t at) {
        found = at;
        return messages_[at].message_id == message_id;
    });
    return found != nothing && messages_[found].message_id == message_id ? found : nothing;
}

uint32_t Matcher::find_block(std::string_view message_id, std::string_view payment_information_id) const {
    uint32_t found = nothing;
    blocks_by_id_.find(hash_of(payment_information_id), [&](uint32_t at) {
        const Group &b = blocks_[at];
        if (b.payment_information_id != payment_information_id || !same_message(message_id, b.message_id)) return false;
        found = at;
        return true;
    });
    return found;
}

std::optional<uint32_t> Matcher::find_payment(std::string_view message_id, std::string_view end_to_end_id,
                                              std::string_view uetr, std::string_view payment_information_id,
                                              std::string_view iban, int64_t cents) const {
    const std::vector<Payment> &payments = r_.payments;
    std::optional<uint32_t> found;
    const auto take = [&](uint32_t at, bool fits) {
        if (fits && same_message(message_id, payments[at].message_id)) found = at;
        return found.has_value();
    };
    if (is_key(end_to_end_id) &&
        by_end_to_end_.find(hash_of(end_to_end_id),
                            [&](uint32_t at) { return take(at, payments[at].end_to_end_id == end_to_end_id); }))
        return found;
    if (!uetr.empty() &&
        by_uetr_.find(hash_of(uetr), [&](uint32_t at) { return take(at, payments[at].uetr == uetr); }))
        return found;
    if (is_key(end_to_end_id) || payment_information_id.empty() || iban.empty() || cents < 0) return found;
    // Open ids: the same counterparty and amount twice in a block are two payments, so
    // the first one not yet booked takes the entry.
    by_block_key_.find(block_key_hash(payment_information_id, iban, cents), [&](uint32_t at) {
        const Payment &p = payments[at];
        return take(at, p.payment_information_id == payment_information_id && p.iban == iban && p.cents == cents &&
                            !findings_[at].from_entry);
    });
    return found;
}

void Matcher::warn_unknown_message(const Status &s) {
    for (std::string_view known : unknown_messages_)
        if (known == s.message_id) return;
    unknown_messages_.push_back(s.message_id);
    r_.warnings.push_back("status report " + std::string(s.source) + " refers to message id " + quoted(s.message_id) +
                          ", which no payment file has");
}

void Matcher::apply_status(uint32_t index) {
    const Status &s = r_.statuses[index];
    const Effect effect = status_effect(s.status);
    const State state = effect == Effect::Rejected                                ? State::Rejected
                        : effect == Effect::Accepted || effect == Effect::Partial ? State::Accepted
                                                                                  : State::Unknown;
    const bool verifies = !s.vop.empty() || effect == Effect::Verification;
    if (!s.message_id.empty() && find_message(s.message_id) == nothing) {
        warn_unknown_message(s);
        unmatched_status_.push_back(index);
        return;
    }
    Finding *finding = nullptr;
    Verification *vop = nullptr;
    if (s.level == Level::Transaction) {
        const std::optional<uint32_t> at =
            find_payment(s.message_id, s.end_to_end_id, s.uetr, s.payment_information_id, s.iban, s.cents);
        if (!at) {
            r_.warnings.push_back("status report " + place(s.source, s.element) + " refers to end-to-end id " +
                                  quoted(s.end_to_end_id) + ", which no payment file has");
            unmatched_status_.push_back(index);
            return;
        }
        finding = &findings_[*at];
        vop = &vop_[*at];
    } else {
        const uint32_t g = s.level == Level::Payment ? find_block(s.message_id, s.payment_information_id)
                                                     : find_message(s.message_id);
        if (g == nothing) {
            r_.warnings.push_back("status report " + place(s.source, s.element) + " refers to " +
                                  (s.level == Level::Payment ? "payment-information id " + quoted(s.payment_information_id)
                                                             : "message id " + quoted(s.message_id)) +
                                  ", which no payment file has");
            unmatched_status_.push_back(index);
            return;
        }
        Group &group = s.level == Level::Payment ? blocks_[g] : messages_[g];
        finding = &group.finding;
        vop = &group.vop;
    }
    const Finding f{state, s.level, false, index};
    if (state != State::Unknown && f.beats(*finding)) *finding = f;
    if (verifies) *vop = {s.level, index};
}

void Matcher::apply_statuses() {
    for (uint32_t i = 0; i < r_.statuses.size(); ++i) apply_status(i);
}

} // namespace tarvo::reconcile
