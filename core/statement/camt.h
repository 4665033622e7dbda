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
#include <string>
#include <string_view>

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
enum class Scope : uint8_t { Record, Balance, Entry, Transaction, None };

// Every value the mapping reads, grouped by scope (see scope_slots).
enum class Slot : uint8_t {
    RecordId, LegalNumber, ElectronicNumber, Page, Account, AccountElement, BalanceElement,
    BalanceType, BalanceTypeElement, BalanceAmount, BalanceCurrency, BalanceDirection, BalanceDate,
    EntryAmount, EntryCurrency, EntryDirection, Reversal, BookingDate, ValueDate, EntryBankRef, EntryCode,
    EntryInfo,
    TxBankRef, EndToEndId, MandateId, Uetr, TxAmount, TxCurrency, DetailsAmount, DetailsCurrency, TxDirection,
    TxCode, DebtorName, DebtorAccount, DebtorBank, UltimateDebtor, CreditorName, CreditorAccount, CreditorBank,
    UltimateCreditor, CreditorId, PurposeCode, Remittance, CreditorRef, TxInfo,
    None
};
constexpr size_t slot_count = static_cast<size_t>(Slot::None);
static_assert(slot_count <= 64, "presence is kept in one 64-bit mask");

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
    Scope opens = Scope::None; // the node is the element of this scope
};

// The tree, built once. Node 0 is the record element (Stmt, Rpt or Ntfctn).
class Paths {
public:
    static const Paths &get();
    const Node &node(uint16_t index) const { return nodes_[index]; }
    // The child of parent named name, or -1. Called for every element of a document,
    // so it compares NUL-terminated names, usually decided by their first character.
    int child(uint16_t parent, const char *name) const;

private:
    Paths();
    xml::Tree tree_;
    std::array<Node, xml::Tree::max_nodes> nodes_{};
};

// ---- Values ---------------------------------------------------------------------------

// The values of the open scopes, kept until their scope ends.
class Values {
public:
    const std::string &operator[](Slot s) const { return text_[index(s)]; }
    bool has(Slot s) const { return (present_ >> index(s) & 1) != 0; }
    void mark(Slot s) { present_ |= uint64_t{1} << index(s); }
    // Stores text as take says; false when the joined text would exceed limit.
    bool take(Slot s, Take how, std::string_view text, size_t limit);
    void clear(Scope scope);

private:
    static size_t index(Slot s) { return static_cast<size_t>(s); }
    std::array<std::string, slot_count> text_{};
    uint64_t present_ = 0;
    uint64_t stored_ = 0;
};

// An amount as written: digits and at most one point, no sign.
struct Amount {
    std::string_view text;
    double value;
};

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

using Fault = xml::Fault;

// Turns the values of each scope into records when the scope ends.
class RecordBuilder {
public:
    RecordBuilder(RecordArena &records, StatementList out, const Message &message)
        : records_(records), out_(out), message_(message) {}

    Fault open_record();
    Fault close_record(const Values &v);
    Fault close_balance(const Values &v);
    Fault close_transaction(const Values &v);
    Fault close_entry(const Values &v);

private:
    char *copy(const std::string &text);
    tarvo_stmt_tx_t *append_transaction();
    Fault fill_amount(tarvo_stmt_tx_t &tx, const Values &v, Slot amount, Slot direction);
    // Code, GVC, prima nota and text key from a German proprietary code; false when
    // memory is exhausted.
    bool apply_code(tarvo_stmt_tx_t &tx, std::string_view text);

    RecordArena &records_;
    StatementList out_;
    const Message &message_;
    tarvo_stmt_t *statement_ = nullptr;
    tarvo_stmt_tx_t *entry_first_ = nullptr; // first record of the open entry
    bool have_opening_ = false;
    bool opening_final_ = false; // OPBD read, PRCD no longer counts
};

} // namespace tarvo::camt

#endif
