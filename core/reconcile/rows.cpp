// The result of a run: one row per payment with the state its strongest evidence
// decides, then what matched no payment.
#include <array>

#include "reconcile/matching.h"

namespace tarvo::reconcile {
namespace {

constexpr std::array<std::string_view, 5> state_names{"unknown", "accepted", "rejected", "booked", "returned"};

// "AC01 Incorrect account number", or the codes with the bank's own words where given.
std::string explain(std::string_view codes, std::string_view info) {
    std::string out(codes);
    std::string_view text = info;
    if (text.empty() && codes.find(',') == std::string_view::npos) text = reason_text(codes);
    if (!text.empty()) {
        if (!out.empty()) out += ' ';
        out.append(text);
    }
    return out;
}

std::string verification(const Status &s) {
    std::string out(!s.vop.empty() ? s.vop : s.status);
    if (!s.vop_name.empty()) out.append(" (").append(s.vop_name).append(")");
    return out;
}

std::string signed_amount(const Entry &e) {
    std::string out(e.credit ? "" : "-");
    return out.append(cents_text(e.cents));
}


// The ids, amount and currency a row starts from.
Row row_of(std::string_view message_id, std::string_view payment_information_id, std::string_view end_to_end_id,
           std::string amount, std::string_view currency) {
    Row row;
    row.message_id = message_id;
    row.payment_information_id = payment_information_id;
    row.end_to_end_id = end_to_end_id;
    row.amount = std::move(amount);
    row.currency = currency;
    return row;
}

} // namespace

std::string place(std::string_view source, std::string_view element) {
    std::string out(source);
    if (!element.empty()) out.append(" ").append(element);
    return out;
}

void Matcher::write_outcomes() {
    r_.outcomes.reserve(r_.payments.size() + unmatched_entries_.size() + unmatched_status_.size());
    for (uint32_t i = 0; i < r_.payments.size(); ++i) {
        const Group &block = blocks_[block_of_[i]];
        const Group &message = messages_[block.parent];
        Finding best = findings_[i];
        if (block.finding.beats(best)) best = block.finding;
        if (message.finding.beats(best)) best = message.finding;
        const Verification &vop = vop_[i].status != nothing    ? vop_[i]
                                  : block.vop.status != nothing ? block.vop
                                                                : message.vop;
        r_.outcomes.push_back({Outcome::Of::Payment, best.state, best.from_entry, i, best.index, vop.status});
    }
    for (uint32_t i : unmatched_entries_) r_.outcomes.push_back({Outcome::Of::Entry, State::Unknown, true, i, i, nothing});
    for (uint32_t i : unmatched_status_)
        r_.outcomes.push_back({Outcome::Of::Status, State::Unknown, false, i, i, nothing});
}

Row Reconciliation::row(size_t index) const {
    const Outcome &o = outcomes[index];
    if (o.of == Outcome::Of::Entry) {
        const Entry &e = entries[o.index];
        Row row = row_of(e.batch_message_id, e.batch_payment_information_id, e.end_to_end_id, signed_amount(e),
                         e.currency);
        row.state = "unmatched";
        row.reason = explain(e.return_reason, e.return_info);
        row.evidence = place(e.source, e.element);
        row.unmatched = true;
        return row;
    }
    if (o.of == Outcome::Of::Status) {
        const Status &s = statuses[o.index];
        Row row = row_of(s.message_id, s.payment_information_id, s.end_to_end_id,
                         s.cents >= 0 ? cents_text(s.cents) : std::string(), {});
        row.state = "unmatched";
        // The report's own verdict stays visible beside its reasons.
        row.reason = std::string(s.status);
        if (const std::string why = explain(s.reasons, s.info); !why.empty()) row.reason.append(" ").append(why);
        if (!s.vop.empty() || status_effect(s.status) == Effect::Verification) row.vop = verification(s);
        row.evidence = place(s.source, s.element);
        row.unmatched = true;
        return row;
    }
    const Payment &p = payments[o.index];
    Row row = row_of(p.message_id, p.payment_information_id, p.end_to_end_id, cents_text(p.cents), p.currency);
    row.state = state_names[static_cast<size_t>(o.state)];
    if (o.evidence != nothing && o.evidence_is_entry) {
        const Entry &e = entries[o.evidence];
        row.reason = explain(e.return_reason, e.return_info);
        row.evidence = place(e.source, e.element);
    } else if (o.evidence != nothing) {
        const Status &s = statuses[o.evidence];
        if (o.state == State::Rejected) row.reason = explain(s.reasons, s.info);
        row.evidence = place(s.source, s.element);
    }
    if (o.vop != nothing) row.vop = verification(statuses[o.vop]);
    return row;
}

bool Reconciliation::run() {
    outcomes.clear();
    warnings = notes;
    error.clear();
    Matcher matcher(*this);
    if (!matcher.index()) return false;
    matcher.apply_statuses();
    matcher.apply_entries();
    matcher.write_outcomes();
    return true;
}

} // namespace tarvo::reconcile
