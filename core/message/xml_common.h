// Pieces both payment-initiation writers share: the escaping document writer, the root
// line, the group header, the message identification, the grouping of transactions by
// date and slot, and the postal address block.
#ifndef TARVO_MESSAGE_XML_COMMON_H
#define TARVO_MESSAGE_XML_COMMON_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "message/message.h"

namespace tarvo {

// Renders msg as it would be rendered at the instant now: the whole document as one
// malloc'ed text, or null with msg->error set. tarvo_toXML is render(msg, time(nullptr)).
char *render(tarvo_t *msg, time_t now);

// The writers behind render; out already holds the XML declaration line.
int ddi_write(tarvo_t *msg, buffer_t *out, time_t now);
int cti_write(tarvo_t *msg, buffer_t *out, time_t now);
// The credit-transfer document of the Swiss Payment Standards, for a message whose
// transfers cti_write has checked and whose message identification it has made.
int sps_write(tarvo_t *msg, buffer_t *out, time_t now, const Rulebook &rb);

namespace xml {

// The longest identifier the documents allow (Max35Text).
inline constexpr size_t max_id_length = 35;
// Room made before each transaction section: more than a typical section needs, so the
// appends inside it rarely grow the buffer themselves.
inline constexpr uint64_t transaction_room = 4096;

// Appends to a document buffer and remembers the first failed append, so that a writer
// appends freely and asks once at the end. Every value goes through the escaping append.
class Out {
public:
    explicit Out(buffer_t *buf) : buf_(buf) {}

    // Markup written by the writer itself. Its length is known where it is a literal, so
    // the append is a single copy.
    Out &put(std::string_view markup) {
        if (ok_) append(markup.data(), markup.size());
        return *this;
    }
    // A value from the caller, escaped for element content.
    Out &esc(const char *value);
    Out &elem(std::string_view open, const char *value, std::string_view close) {
        return put(open).esc(value).put(close);
    }
    Out &number(uint64_t value);
    Out &amount(int64_t cents);
    // depth TABs, for the lines whose depth is chosen at run time.
    Out &tabs(int depth);
    // Makes room for at least `bytes` more, growing the buffer geometrically: a large
    // document then costs a few reallocations instead of one per 256 bytes written.
    Out &reserve(uint64_t bytes);

    bool ok() const { return ok_; }

private:
    // Appends length bytes and keeps the buffer's terminating NUL, which its used count includes.
    void append(const char *text, size_t length) {
        const uint64_t start = buf_->used > 0 ? buf_->used - 1 : 0;
        if (start + length + 1 > buf_->size && !grow(start + length + 1)) return;
        memcpy(buf_->data + start, text, length);
        buf_->data[start + length] = '\0';
        buf_->used = start + length + 1;
    }
    // Grows the buffer geometrically to hold at least size bytes; false (and no longer
    // ok) when memory runs out.
    bool grow(uint64_t size);

    buffer_t *buf_;
    bool ok_ = true;
};

// The root line of the variant ("pain.008.001.08" ...), with or without schema location;
// the schema file is "<variant>.xsd" unless another is named.
void write_root(Out &out, std::string_view variant, bool schema_location, std::string_view schema_file = {});

// The root element's start tag line, the group header and its initiating party.
void write_group_header(Out &out, const tarvo_t *msg, const char *root, time_t now);

// The start of a payment-information block up to the payment type.
struct BlockHead {
    const char *msgid;
    uint32_t number;
    const char *method; // "DD" or "TRF"
    bool batch_booking;
    uint32_t count;
    int64_t sum; // in cents
};
void write_block_head(Out &out, const BlockHead &head);

// A block's PmtTpInf; each null part is left out.
struct PaymentType {
    const char *service_level;    // "SEPA"
    const char *local_instrument; // "CORE", "B2B", "INST"
    const char *sequence;         // "FRST" ... (direct debits)
    const char *category_purpose; // "SALA"
};
void write_payment_type(Out &out, const PaymentType &type);

// A transaction's RmtInf at depth 4: the text, the ISO 11649 creditor reference (SCOR) or
// the Swiss QR reference (QRR), or text and reference where the rulebook allows both;
// nothing when neither is there.
void write_remittance(Out &out, const char *text, const char *creditor_reference, const char *qr_reference = nullptr);

// A party known by its name only (UltmtDbtr, UltmtCdtr) at depth TABs; nothing without one.
void write_named_party(Out &out, int depth, std::string_view tag, const char *name);

// An agent's BIC line at depth TABs, as <BICFI> where the rulebook identifies agents so.
void write_bic(Out &out, int depth, bool bicfi, const char *bic);
// The identification inside an agent's FinInstnId at depth TABs: its BIC, or the EPC's
// "NOTPROVIDED" for IBAN-only payments, since the SEPA schemas refuse an empty one.
// Variants without the Othr choice need a BIC; their writers refuse a missing one first.
void write_agent_id(Out &out, int depth, bool bicfi, const char *bic);

// The fields of a party's postal address.
struct Address {
    const char *country;
    const char *line1;
    const char *line2;
    const address_parts *parts;
};
// The PstlAdr block of a counter-party, when it has a country, town or address line.
// Credit transfers end the block without a line feed (end_with_newline false).
void write_address(Out &out, const Rulebook &rb, const Address &addr, bool end_with_newline);

// Stores a generated message identification in msg when it has none: the local time of
// now and a sequence number from the process id and __tarvo_idcount. 0 with
// copy_failure as the error when the copy cannot be made.
int ensure_msgid(tarvo_t *msg, time_t now, const char *copy_failure);

// Refuses a message identification that would make a PmtInfId ("<msgid>-P<n>") longer
// than the documents allow for `blocks` payment-information blocks.
bool msgid_fits(const tarvo_t *msg, size_t blocks);

// Refuses an amount the documents cannot carry; returns the complaint or null.
const char *amount_problem(int64_t cents);

// Sets msg->error to "<what> in transaction <position>" in the message's error buffer.
int refuse_transaction(tarvo_t *msg, const char *what, uint32_t position);

// An optional text as the documents see it: an empty text counts as absent, since an
// empty element would break the schema's minimum length.
inline const char *present(const char *text) { return text != nullptr && *text != '\0' ? text : nullptr; }

// The date key of a transaction: its own date, else the message's, at most 10 bytes.
inline std::string_view date_key(const char *tx_date, const char *msg_date) {
    const char *date = tx_date != nullptr ? tx_date : msg_date;
    return date == nullptr ? std::string_view{} : std::string_view(date, strnlen(date, 10));
}

// One date of a document: per slot (sequence type for direct debits, a single slot for
// credit transfers) the number of transactions, their sum, and where they start in the
// grouping's item array.
template <size_t Slots>
struct pmt_group {
    std::array<char, 11> key{}; // the date, NUL-terminated
    std::array<uint32_t, Slots> count{};
    std::array<int64_t, Slots> sum{}; // in cents
    std::array<size_t, Slots> first{};
};

template <class Tx, size_t Slots>
struct Grouping {
    std::vector<pmt_group<Slots>> groups; // ascending by key, byte-wise
    std::vector<const Tx *> items;        // by group, then slot, then order of adding

    size_t blocks() const {
        size_t n = 0;
        for (const auto &g : groups)
            for (uint32_t c : g.count) n += c != 0;
        return n;
    }
};

// Groups a transaction list by date and slot. Keys are found by hashing, so the cost
// grows with the number of transactions plus the sorting of the distinct dates, never
// with their product; sums are added in the order of adding, as a walk would add them.
// Throws std::bad_alloc when memory runs out.
template <size_t Slots, class Tx, class KeyOf, class SlotOf>
Grouping<Tx, Slots> group_transactions(const Tx *head, KeyOf key_of, SlotOf slot_of) {
    std::vector<pmt_group<Slots>> found;
    std::vector<uint32_t> group_of;
    std::unordered_map<std::string_view, uint32_t> index;
    uint32_t current = 0;
    std::string_view current_key;
    // Files usually list a date's transactions together; the last key saves the hashing.
    for (const Tx *tx = head; tx != nullptr; tx = tx->next) {
        const std::string_view key = key_of(tx);
        if (found.empty() || key != current_key) {
            auto [it, added] = index.try_emplace(key, static_cast<uint32_t>(found.size()));
            if (added) {
                found.emplace_back();
                key.copy(found.back().key.data(), 10);
            }
            current = it->second;
            current_key = key;
        }
        const size_t slot = slot_of(tx);
        ++found[current].count[slot];
        found[current].sum[slot] += tx->amount;
        group_of.push_back(current);
    }

    std::vector<uint32_t> order(found.size());
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return strcmp(found[a].key.data(), found[b].key.data()) < 0; });
    std::vector<uint32_t> rank(found.size());
    Grouping<Tx, Slots> result;
    result.groups.reserve(found.size());
    size_t next = 0;
    for (uint32_t i = 0; i < order.size(); ++i) {
        rank[order[i]] = i;
        pmt_group<Slots> g = found[order[i]];
        for (size_t s = 0; s < Slots; ++s) {
            g.first[s] = next;
            next += g.count[s];
        }
        result.groups.push_back(g);
    }

    result.items.resize(next);
    std::vector<std::array<size_t, Slots>> fill(result.groups.size());
    for (size_t i = 0; i < fill.size(); ++i) fill[i] = result.groups[i].first;
    size_t position = 0;
    for (const Tx *tx = head; tx != nullptr; tx = tx->next, ++position)
        result.items[fill[rank[group_of[position]]][slot_of(tx)]++] = tx;
    return result;
}

} // namespace xml
} // namespace tarvo

#endif
