// Internal interface of reconciliation: what a payment file says was sent, what the
// bank's status reports and statements say happened to it, and the matching that joins
// them. The readers' records are turned into the plain records below by adapters, so the
// matching itself knows no file format.
#ifndef TARVO_RECONCILE_H
#define TARVO_RECONCILE_H

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::reconcile {

// Copies of the input texts, in large blocks that all die with the run: a million
// payments must not mean a few million small allocations.
class TextPool {
public:
    std::string_view keep(std::string_view text);

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
};

enum class Kind : uint8_t { CreditTransfer, DirectDebit };

// Ordered by stage: where evidence conflicts, the later stage wins.
enum class State : uint8_t { Unknown, Accepted, Rejected, Booked, Returned };

// One transaction of a payment file.
struct Payment {
    std::string_view message_id;
    std::string_view payment_information_id;
    std::string_view end_to_end_id;
    std::string_view uetr;
    std::string_view iban; // the counterparty's
    std::string_view currency;
    std::string_view source; // the file (or name given for a buffer)
    int64_t cents = 0;       // magnitude
    Kind kind = Kind::CreditTransfer;
};

enum class Level : uint8_t { Group, Payment, Transaction };

// One record of a status report. Ids are the original ones the report refers to.
struct Status {
    Level level = Level::Group;
    std::string_view message_id;
    std::string_view payment_information_id; // payment and transaction records
    std::string_view end_to_end_id;          // transaction records
    std::string_view uetr;
    std::string_view iban;     // counterparty from the original transaction reference
    int64_t cents = -1;        // original amount where the report gives it, else -1
    std::string_view status;   // ACCP, RJCT, PART, ... or a payee-verification code
    std::string_view reasons;  // reason codes, joined by ','
    std::string_view info;     // additional information
    std::string_view vop;      // payee-verification code where the reader tells it apart
    std::string_view vop_name; // the name the payee's bank holds (close match)
    std::string_view source;
    std::string_view element;
};

// One booking of a statement (or the whole entry of a batch booking).
struct Entry {
    std::string_view end_to_end_id;
    std::string_view uetr;
    std::string_view batch_payment_information_id;
    std::string_view batch_message_id;
    std::string_view detail_ids; // a batch's end-to-end ids, each followed by '\n'
    std::string_view iban;       // counterparty
    std::string_view currency;
    std::string_view return_reason;
    std::string_view return_info;
    std::string_view source;
    std::string_view element;
    int64_t cents = 0; // magnitude
    uint32_t gvc = 0;  // German transaction code (MT940 and camt proprietary code)
    bool credit = false;
    bool reversal = false;
    bool pending = false; // PDNG or INFO: not a booking
    bool batch = false;   // one entry for several transactions
};

// One output row: a transaction of the payment files, or (unmatched set) a statement
// entry or status record that no transaction takes.
struct Row {
    std::string message_id;
    std::string payment_information_id;
    std::string end_to_end_id;
    std::string amount;
    std::string currency;
    std::string state;
    std::string reason;
    std::string vop;
    std::string evidence;
    bool unmatched = false;
};

// What a run found for one row, kept small: the texts of a row are only put together
// when it is read.
struct Outcome {
    enum class Of : uint8_t { Payment, Entry, Status };
    Of of = Of::Payment;
    State state = State::Unknown;
    bool evidence_is_entry = false;
    uint32_t index = 0;             // of the payment, or of the entry or status record matched by none
    uint32_t evidence = UINT32_MAX; // the entry or status record that decided the state
    uint32_t vop = UINT32_MAX;      // the status record with the payee verification
};

// The inputs of one reconciliation and its results. Not shared between threads while
// inputs are added or it runs; separate instances are independent.
class Reconciliation {
public:
    TextPool texts;
    std::vector<Payment> payments;
    std::vector<Status> statuses;
    std::vector<Entry> entries;
    // What reading the inputs noticed; every run's warnings start with these.
    std::vector<std::string> notes;

    // Matches everything added. False with error set when the inputs contradict each
    // other (an end-to-end id twice); outcomes and warnings are then empty.
    bool run();
    // The row of outcomes[index]: the payments in the order added, then the statement
    // entries and status records that matched none.
    Row row(size_t index) const;

    std::vector<Outcome> outcomes;
    std::vector<std::string> warnings;
    std::string error;
};

// What a status code says about the transactions it covers.
enum class Effect : uint8_t { None, Accepted, Rejected, Partial, Verification };
Effect status_effect(std::string_view code);
// The ISO text of a status or return reason code, or empty when not known.
std::string_view reason_text(std::string_view code);
// Whether an entry with this German transaction code returns an earlier payment.
bool is_return_code(uint32_t gvc);

// "12.34" and the like, exactly: false for anything with more than two decimals that
// are not zero, signs, exponents or amounts beyond the scheme's largest.
bool read_cents(std::string_view text, int64_t &cents);
std::string cents_text(int64_t cents);

// End-to-end ids that the sender left open, which therefore join nothing.
inline bool is_key(std::string_view end_to_end_id) {
    return !end_to_end_id.empty() && end_to_end_id != "NOTPROVIDED";
}

} // namespace tarvo::reconcile

#endif
