// The working state of one run: the payments grouped into their blocks and messages,
// the indexes that join status records and statement entries to them, and what each
// level has been found to be so far.
#ifndef TARVO_RECONCILE_MATCHING_H
#define TARVO_RECONCILE_MATCHING_H

#include <optional>

#include "reconcile/key_index.h"
#include "reconcile/reconcile.h"

namespace tarvo::reconcile {

inline constexpr uint32_t nothing = UINT32_MAX;

// "file element", as evidence and in warnings.
std::string place(std::string_view source, std::string_view element);

// The evidence that decided a state so far: a status record or a statement entry.
struct Finding {
    State state = State::Unknown;
    Level level = Level::Group; // how specific; entries count as transaction level
    bool from_entry = false;
    uint32_t index = nothing;

    // Later stage first; between equal stages the more specific record explains better.
    bool beats(const Finding &other) const {
        return state != other.state ? state > other.state : level > other.level;
    }
};

struct Verification {
    Level level = Level::Group;
    uint32_t status = nothing; // the status record that gave it
};

// A payment-information block or a whole message: the sum its transactions add up to
// (what a batch booking carries) and its findings.
struct Group {
    std::string_view message_id;
    std::string_view payment_information_id;
    std::string_view source;
    int64_t sum = 0;
    Kind kind = Kind::CreditTransfer;
    uint32_t parent = nothing; // a block's message
    Finding finding;
    Verification vop;
};

class Matcher {
public:
    explicit Matcher(Reconciliation &r);

    // Builds the groups and the indexes; false with r.error set on a duplicate id.
    bool index();
    void apply_statuses();
    void apply_entries();
    void write_outcomes();

private:
    std::optional<uint32_t> find_payment(std::string_view message_id, std::string_view end_to_end_id,
                                         std::string_view uetr, std::string_view payment_information_id,
                                         std::string_view iban, int64_t cents) const;
    uint32_t find_block(std::string_view message_id, std::string_view payment_information_id) const;
    uint32_t find_message(std::string_view message_id) const;
    void apply_status(uint32_t index);
    void apply_entry(uint32_t index);
    bool apply_batch(uint32_t index, bool is_return);
    bool apply_details(uint32_t index, bool is_return);
    void unmatched_status(const Status &s);
    void unmatched_entry(const Entry &e);
    void warn_unknown_message(const Status &s);

    Reconciliation &r_;
    std::vector<Group> blocks_;
    std::vector<Group> messages_;
    std::vector<uint32_t> block_of_;  // per payment
    std::vector<Finding> findings_;   // per payment
    std::vector<Verification> vop_;   // per payment
    std::vector<uint32_t> unmatched_status_;
    std::vector<uint32_t> unmatched_entries_;
    std::vector<std::string_view> unknown_messages_; // warned about already
    KeyIndex by_end_to_end_;
    KeyIndex by_uetr_;
    KeyIndex by_block_key_; // payment-information id, counterparty IBAN, amount
    KeyIndex blocks_by_id_;
    KeyIndex messages_by_id_;
};

} // namespace tarvo::reconcile

#endif
