// Pieces the camt reader shares between its files: which documents it knows
// (camt_version.cpp), where in a document each value stands (camt_paths.cpp), how the
// values are read (camt_values.cpp) and how they become records (camt_records.cpp).
// camt_reader.cpp drives them from the XML parser's events.
#ifndef TARVO_STATEMENT_CAMT_H
#define TARVO_STATEMENT_CAMT_H

#include <expat.h>
#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include "statement/statement.h"
#include "statement/xml_stream.h"
#include "statement/xml_tree.h"
#include "tarvo.h"

namespace tarvo::camt {

// ---- Documents ------------------------------------------------------------------------

// One of the three bank-to-customer messages in one version.
struct Message {
    std::string_view name;   // "camt.053"
    std::string_view root;   // message element below <Document>: "BkToCstmrStmt"
    std::string_view record; // repeated record element: "Stmt"
    int version;
    bool balances_required; // a statement always states its balances
};

// The message a namespace URI names; false when this reader does not know it.
bool identify(std::string_view ns, Message &out);

// ---- Where values stand ---------------------------------------------------------------

// The elements whose end completes something: a statement (report, notification), one
// of its balances, an entry, one transaction of an entry.
// A charge is the innermost, below an entry or one of its transactions.
enum class Scope : uint8_t { Record, Balance, Entry, Transaction, Charge, None };

// Every value the mapping reads, grouped by scope (see scope_slots).
enum class Slot : uint8_t {
    RecordId, LegalNumber, ElectronicNumber, Page, Account, AccountElement, BalanceElement,
    BalanceType, BalanceTypeElement, BalanceAmount, BalanceCurrency, BalanceDirection, BalanceDate,
    EntryAmount, EntryCurrency, EntryDirection, Reversal, BookingDate, ValueDate, EntryBankRef, EntryCode,
    EntryInfo, EntryStatus, EntryReference, BatchPaymentInformationId, BatchMessageId, EntryInstructedAmount,
    EntryInstructedCurrency, EntryDomain, EntryFamily, EntrySubFamily, EntryTruncated,
    TxBankRef, EndToEndId, MandateId, Uetr, TxAmount, TxCurrency, DetailsAmount, DetailsCurrency, TxDirection,
    TxCode, DebtorName, DebtorAccount, DebtorBank, UltimateDebtor, CreditorName, CreditorAccount, CreditorBank,
    UltimateCreditor, CreditorId, PurposeCode, Remittance, CreditorRef, TxInfo, InstructedAmount,
    InstructedCurrency, ReturnReason, ReturnInfo, TxDomain, TxFamily, TxSubFamily, TxTruncated,
    ChargeAmount, ChargeCurrency, ChargeIncluded,
    None
};
constexpr size_t slot_count = static_cast<size_t>(Slot::None);

// How a value is checked when its element ends.
enum class Kind : uint8_t { Mark, Text, Amount, Date, Direction, Flag, Number };

// How an element's text is taken: Mark only notes that the element was there; Text
// keeps the last occurrence, First the first; Join adds each occurrence on a new line;
// Amount also keeps the Ccy attribute in the slot after its own.
enum class Take : uint8_t { Mark, Text, First, Join, Amount };

struct SlotInfo {
    std::string_view element; // named in error messages
    Kind kind;
};
const SlotInfo &slot_info(Slot slot);

// The first and one past the last slot of a scope.
struct SlotRange {
    Slot first;
    Slot end;
};
SlotRange scope_slots(Scope scope);

// A node of the element tree the mapping knows, below a scope element. Elements not
// in the tree are skipped with everything inside them.
struct Node {
    std::string_view name;
    Slot slot = Slot::None;
    Take take = Take::Mark;
    Kind kind = Kind::Mark;    // of slot
    Scope opens = Scope::None; // the node is the element of this scope
    Slot truncated = Slot::None; // marks a cut text in the slot's scope
};

// The tree, built once. Node 0 is the record element (Stmt, Rpt or Ntfctn).
class Paths {
public:
    static const Paths &get();
    const Node &node(uint16_t index) const { return nodes_[index]; }
    // What the reader does at a node, asked for every element from a small table that
    // stays in the cache: nothing (it only leads to others), keep a text, or what its
    // Node says.
    enum Action : uint8_t { Plain, Text, Other };
    Action action(uint16_t index) const { return actions_[index]; }
    int next_child(uint16_t parent, const char *name, uint8_t &previous, xml::Tree::Order &order) const {
        return tree_.next_child(parent, name, previous, order);
    }
    int expected_child(uint16_t parent, const char *name, uint8_t &previous, const xml::Tree::Order &order) const {
        return tree_.expected_child(parent, name, previous, order);
    }

private:
    Paths();
    xml::Tree tree_;
    std::array<Node, xml::Tree::max_nodes> nodes_{};
    std::array<Action, xml::Tree::max_nodes> actions_{};
};

// ---- Values ---------------------------------------------------------------------------

// An amount as written, without a leading "+" and leading zeros: digits and at most one
// point. units is the amount in 1/100000, exact.
struct Amount {
    std::string_view text;
    double value;
    __int128 units;
};

// The values of the open scopes, kept until their scope ends.
class Values {
public:
    // The text stored for s; empty when none was since its scope opened.
    const std::string &operator[](Slot s) const { return stored_[index(s)] ? text_[index(s)] : empty_; }
    bool has(Slot s) const { return present_[index(s)]; }
    void mark(Slot s) { present_[index(s)] = true; }
    void set(Slot s, std::string_view text);
    // Stores a captured text as take says, taking the string's content; false when the
    // joined text had to be cut to xml::max_text (at a character boundary).
    bool take(Slot s, Take how, std::string &text) {
        const size_t i = index(s);
        if (stored_[i] && (how == Take::First || how == Take::Join)) return take_again(i, how, text);
        // The stream keeps no captured text longer than max_text.
        text_[i].swap(text);
        stored_[i] = true;
        return true;
    }
    // Where a text for s may be captured in place: its slot, when taking the text would
    // replace what the slot holds; null when the text is to be joined to it or dropped.
    std::string *slot_for(Slot s, Take how) {
        const size_t i = index(s);
        return stored_[i] && (how == Take::First || how == Take::Join) ? nullptr : &text_[i];
    }
    // Notes a text captured in place (slot_for()) as stored.
    void stored_in_place(Slot s) { stored_[index(s)] = true; }
    // Stores the text of an amount or a date as the last one given and reads it once
    // for every later use; false when it is malformed.
    bool take_read(Slot s, Kind kind, std::string &text);
    // take_read() for a text captured in place.
    bool read_in_place(Slot s, Kind kind);
    // The amount stored for s; zero with an empty text when none was.
    const Amount &amount(Slot s) const { return stored_[index(s)] ? amounts_[index(s)] : no_amount_; }
    // The date stored for s; all zero when none was.
    const struct tm &date(Slot s) const { return stored_[index(s)] ? dates_[index(s)] : no_date_; }
    void clear(Scope scope);

private:
    static size_t index(Slot s) { return static_cast<size_t>(s); }
    bool take_again(size_t i, Take how, const std::string &text);
    std::array<std::string, slot_count> text_{};
    std::bitset<slot_count> present_;
    std::bitset<slot_count> stored_;
    std::string empty_;
    // Read from the texts of the amount slots, which they point into, and of the dates.
    std::array<Amount, slot_count> amounts_{};
    Amount no_amount_{};
    std::array<struct tm, slot_count> dates_{};
    struct tm no_date_{};
};

// The scope whose element holds slot s.
Scope scope_of(Slot s);

using xml::utf8_cut;

// The readers check a value completely; false means it is malformed.
bool read_amount(std::string_view text, Amount &out);
// ISO dates "2024-03-01" and date-times "2024-03-01T10:15:00+01:00": the calendar date
// and the time of day as written, without moving them to another time zone.
bool read_date(std::string_view text, struct tm &out);
bool read_direction(std::string_view text, bool &debit);
bool read_flag(std::string_view text, bool &set);
bool read_number(std::string_view text, uint32_t &out);
// Whether the value of a slot of the given kind can be read.
bool well_formed(Kind kind, std::string_view text);

// The German form of a proprietary transaction code, "NTRF+166+9310+997": the SWIFT
// code, the business transaction code, the prima nota and the text key extension.
struct TransactionCode {
    std::string_view swift;
    uint32_t gvc = 0;
    std::string_view primanota;
    uint32_t extension = 0;
};
bool split_transaction_code(std::string_view text, TransactionCode &out);

// ---- Records --------------------------------------------------------------------------

// Why a document is refused; the stream adds the line.
using Fault = xml::Fault;

// Helpers of the record builder's two files (camt_records.cpp, camt_entries.cpp).
extern const Fault out_of_memory;
// Copies text into a fixed field, cut at a character boundary when it does not fit.
void copy_fixed(char *field, size_t capacity, std::string_view text);
template <size_t N> void copy_fixed(char (&field)[N], std::string_view text) { copy_fixed(field, N, text); }
bool debit_of(const Values &v, Slot direction);
// The signed amount of a record: "-" before debits other than zero.
double signed_value(const Amount &a, bool debit);
// The signed text of an amount, in the arena; null when memory is exhausted.
char *signed_text(RecordArena &records, const Amount &a, bool debit);
// The fault of an entry without its amount or direction.
Fault missing_entry_values(const Values &v, std::string_view record);

// Turns the values of each scope into records when the scope ends.
class RecordBuilder {
public:
    RecordBuilder(RecordArena &records, StatementList out, const Message &message)
        : records_(records), out_(out), message_(message) {}

    Fault open_record();
    void open_transaction() { in_transaction_ = true; }
    Fault close_record(const Values &v);
    Fault close_balance(const Values &v);
    Fault close_charge(const Values &v);
    Fault close_transaction(const Values &v);
    Fault close_entry(const Values &v);

private:
    // What the entry's decision needs of one of its details.
    struct Detail {
        tarvo_stmt_tx_t *record;
        bool own;        // carries its own amount in the entry's currency
        __int128 units;  // that amount, signed
    };

    char *copy(const std::string &text);
    tarvo_stmt_tx_t *append_transaction();
    Fault fill_amount(tarvo_stmt_tx_t &tx, const Values &v, Slot amount, Slot direction);
    Fault fill_texts(tarvo_stmt_tx_t &tx, const Values &v, bool transaction);
    Fault fill_charges(tarvo_stmt_tx_t &tx, std::vector<tarvo_stmt_charge_t> &charges);
    Fault fill_instructed(tarvo_stmt_tx_t &tx, const Values &v, Slot amount);
    Fault whole_entry(const Values &v);
    bool details_add_up(const Values &v) const;
    // Code, GVC, prima nota and text key from a German proprietary code; false when
    // memory is exhausted.
    bool apply_code(tarvo_stmt_tx_t &tx, std::string_view text);

    RecordArena &records_;
    StatementList out_;
    const Message &message_;
    tarvo_stmt_t *statement_ = nullptr;
    tarvo_stmt_tx_t *before_entry_ = nullptr; // last record before the open entry's
    tarvo_stmt_tx_t *entry_first_ = nullptr;  // first record of the open entry
    std::vector<Detail> details_;
    std::vector<tarvo_stmt_charge_t> entry_charges_;
    std::vector<tarvo_stmt_charge_t> tx_charges_;
    bool in_transaction_ = false;
    bool opening_final_ = false; // OPBD read, PRCD no longer counts
};

} // namespace tarvo::camt

#endif
