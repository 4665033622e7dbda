// Internal interface of the payment-message layer: the message object, its transaction
// records and the two XML writers.
#ifndef TARVO_MESSAGE_H
#define TARVO_MESSAGE_H

#include <stdint.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/frame.h"
#include "tarvo.h"

// The structured postal address parts, in document order.
struct address_parts {
    char *addrDept;
    char *addrSubDept;
    char *addrStreet;
    char *addrNum;
    char *addrBldg;
    char *addrFloor;
    char *addrPoBox;
    char *addrRoom;
    char *addrCode;
    char *addrTown;
    char *addrLoc;
    char *addrDstrct;
    char *addrCtrySub;
};

// One direct debit; every text is a private copy owned by the record.
struct ddi_tx {
    char *id;
    char *name;
    char *iban;
    char *bic;
    char *addrCC;
    char *addrLine1;
    char *addrLine2;
    address_parts addr;
    int32_t seq; // 1 FRST, 2 RCUR, 3 OOFF, 4 FNAL; 0 not given
    int64_t amount; // in cents
    char *date; // null: the message's date
    char *mref;
    char *mdate;
    char *old_mref;
    char *old_iban;
    uint8_t smnda;
    char *ref;
    char *cref;     // ISO 11649 creditor reference, electronic form
    char *ultimate; // the ultimate debtor's name
    ddi_tx *next;
};

// The currency of a credit transfer. Every added transfer has one: the rulebook it was
// added under decides the default, so that a later render under another rulebook cannot
// silently change it.
enum class Currency : uint8_t { Unset, CHF, EUR };

// One credit transfer; every text is a private copy owned by the record.
struct cti_tx {
    char *id;
    char *name;
    char *iban;
    char *bic;
    char *addrCC;
    char *addrLine1;
    char *addrLine2;
    address_parts addr;
    char *ref;
    char *purp;
    char *qrr;  // Swiss QR reference, 27 digits
    Currency currency;
    int64_t amount; // in cents
    char *date; // null: the message's date
    char *cref;     // ISO 11649 creditor reference, electronic form
    char *ultimate; // the ultimate creditor's name
    cti_tx *next;
};

struct tarvo_s {
    int32_t msgtype;
    const char *error;
    char *iban;
    char *bic;
    char *name;
    char *creditor_id;
    char *date;
    char *msgid;
    char errbuf[256];
    uint32_t tx_count;
    int64_t ctrl_sum; // in cents
    int32_t ddtype;
    uint8_t batch_booking;
    void *tx_head; // ddi_tx or cti_tx by msgtype
    void *tx_tail;
    int32_t rulebook; // the pinned rulebook's number; -1: the process-wide one
    uint8_t instant;  // credit transfers as instant payments (INST)
    char *category_purpose;
    char *ultimate_name; // ultimate debtor (credit transfers) or creditor (direct debits)
};

// Sequence-type codes as written into the document, indexed by ddi_tx::seq - 1.
inline constexpr const char *ddi_seq_types[4] = {"FRST", "RCUR", "OOFF", "FNAL"};

namespace tarvo {

// The rulebook a message is checked and written under: its pinned one, else the
// process-wide selection; null when neither is a row of the table.
const Rulebook *message_rulebook(const tarvo_t *h);

// The error text of every failed allocation in the message layer.
inline constexpr const char *out_of_memory = "Out of memory";
// The refusal of an amount above the scheme's largest, when added and when rendered.
inline constexpr const char *amount_too_large = "Amount too large (at most 999999999.99)";

// A private copy made with malloc; null when memory is exhausted.
char *copy_text(const char *text);
// Overwrites a stored text with zero bytes before releasing it, then forgets it, so
// that no account data stays behind in freed memory.
void release_text(char *&text);
// Replaces a stored text with a copy of value, wiping the old one; false (the field
// unchanged) when memory is exhausted.
bool replace_text(char *&field, const char *value);
// True for a real calendar date written yyyy-mm-dd (year 0001 to 9999).
bool is_calendar_date(const char *text);

// Why an address cannot be written under rb, or null: the structured parts need a
// rulebook that writes them, address lines one that still does, and a structured
// address at least its town and country, without which banks refuse it.
const char *address_problem(const char *country, const char *line1, const char *line2, const address_parts &parts,
                            const Rulebook &rb);
template <class Tx>
const char *address_problem(const Tx &tx, const Rulebook &rb) {
    return address_problem(tx.addrCC, tx.addrLine1, tx.addrLine2, tx.addr, rb);
}

// The refusal of instant execution where the rulebook has none, when set and when rendered.
inline constexpr const char *instant_refused = "Instant credit transfers need DE-3.7 or DE-3.9";
// The largest control sum, in cents: the documents' decimal type holds 18 digits.
inline constexpr int64_t max_control_sum_cents = 999'999'999'999'999'999;

// Why the message's own texts cannot be written under rb, or null: a name or ultimate
// name set under one rulebook is checked again under the one the document is for.
const char *message_problem(tarvo_t *msg, const Rulebook &rb);

// Why a stored transaction cannot be written under rb, or null: every text is checked
// again by its key's rule (lengths, character sets, the mandate reference's set), then
// the address and what the rulebook offers at all, so that a transaction added under one
// rulebook never yields a document that another one's schema refuses. Messages with
// inserted values go into buf.
const char *transaction_problem(const ddi_tx &tx, const Rulebook &rb, char (&buf)[256]);
const char *transaction_problem(const cti_tx &tx, const Rulebook &rb, char (&buf)[256]);

// " (did you mean 'purp' or 'ref'?)": the one or two known keys nearest to a key typed
// wrong, by spelling or by a name callers often use for the field; empty when none is.
const char *suggest_keys(std::string_view typed, std::span<const std::string_view> known, char (&out)[80]);

// Why a credit transfer cannot be paid under the Swiss Payment Standards, or null: the
// kind of payment its account, currency and reference make, and the creditor's address.
const char *swiss_problem(const cti_tx &tx);
// Why a credit transfer cannot be written under a rulebook without Swiss payments, or null.
const char *non_swiss_problem(const cti_tx &tx);
// A transaction key as the validation knows it, for the key table of the documentation:
// read from the same tables and rulebook predicates that tarvo_add applies.
struct KeyDoc {
    int msgtype; // TARVO_MSGTYPE_DDI or TARVO_MSGTYPE_CTI
    std::string_view key;
    std::string type;   // what the value is
    std::string limits; // length and characters of a text, range of an amount
    bool taken[rulebook_count]; // by rulebook number
};
// Every key of both kinds of transaction, direct debits first, in table order.
std::vector<KeyDoc> transaction_keys();

enum class BicVerdict { Ok, BadLength, BadFormat };
// Checks a BIC of the message or of a transaction; on Ok, upper holds it in upper case.
BicVerdict check_bic(const char *bic, char (&upper)[12]);

} // namespace tarvo

int ddi_add(tarvo_t *h, const char *const *kv);
int cti_add(tarvo_t *h, const char *const *kv);
void ddi_tx_free(ddi_tx *tx);
void cti_tx_free(cti_tx *tx);

// Writers: append the document body after the XML declaration; 1 on success, 0 with
// the message's error text set.
int ddi_toXML(tarvo_t *msg, buffer_t *out);
int cti_toXML(tarvo_t *msg, buffer_t *out);

// The direct-debit refusal under a rulebook that has none.
inline constexpr const char *swiss_direct_debits = "Direct debits are not supported under CH-SPS";

#endif
