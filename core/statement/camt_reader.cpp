// The camt reader: follows the elements the mapping knows (camt_paths.cpp) in the XML
// stream every reader shares (xml_stream.cpp), handing each finished scope to the record
// builder. What it holds besides the records is bounded: the stream's read buffer and
// capped parser, and the values of the open scopes (each at most xml::max_text bytes).
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <array>
#include <new>
#include <string>

#include "frame/frame.h"
#include "statement/camt.h"

namespace tarvo {

namespace {

using namespace camt;
using xml::max_depth;
using xml::max_text;

// Levels above the records: <Document>, the message element, then the records.
constexpr int document_level = 1;
constexpr int message_level = 2;
constexpr int record_level = 3;

class Reader : public xml::Stream {
public:
    Reader(RecordArena &records, StatementList out, char (&error)[256])
        : Stream(error, sizeof(tarvo_stmt_tx_t), "Not a camt document: "), builder_(records, out, message_),
          paths_(Paths::get()) {}

private:
    void root(std::string_view name, const XML_Char **attributes) override;
    bool open(int depth, const char *local, const XML_Char **attributes) override;
    void close(int depth) override;
    void start_node(uint16_t index, const XML_Char **attributes);
    void end_node();
    Fault close_scope(Scope scope);

    Message message_{};
    RecordBuilder builder_;
    const Paths &paths_;
    bool saw_message_ = false;
    bool saw_record_ = false;
    std::array<uint16_t, max_depth> nodes_{};
    int node_count_ = 0;
    bool capturing_ = false;
    Values values_;
};

// The root element names the message by the namespace bound to its prefix.
void Reader::root(std::string_view name, const XML_Char **attributes) {
    const size_t colon = name.find(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    char what[256];
    if (local != "Document") {
        snprintf(what, sizeof what, "Not a camt document: the root element is <%.*s>",
                 static_cast<int>(utf8_cut(name, 64)), name.data());
        return fail(what);
    }
    const XML_Char *ns = root_namespace(name, attributes);
    if (ns == nullptr) return fail("Not a camt document: <Document> has no namespace");
    if (!identify(ns, message_)) {
        const std::string_view text(ns);
        snprintf(what, sizeof what, "Unknown namespace '%.*s'", static_cast<int>(utf8_cut(text, 160)), ns);
        fail(what);
    }
}

bool Reader::open(int depth, const char *local, const XML_Char **attributes) {
    if (depth == message_level) {
        if (message_.root != local) {
            char what[160];
            snprintf(what, sizeof what, "Expected <%.*s> in <Document>, found <%.*s>",
                     static_cast<int>(message_.root.size()), message_.root.data(),
                     static_cast<int>(utf8_cut(local, 64)), local);
            fail(what);
        }
        saw_message_ = true;
        return true;
    }
    if (depth == record_level) {
        if (message_.record != local) return false;
        saw_record_ = true;
        if (Fault f = builder_.open_record()) {
            fail(f);
            return true;
        }
        values_.clear(Scope::Record);
        start_node(0, attributes);
        return true;
    }
    const int child = paths_.child(nodes_[static_cast<size_t>(node_count_ - 1)], local);
    if (child < 0) return false;
    start_node(static_cast<uint16_t>(child), attributes);
    return true;
}

void Reader::start_node(uint16_t index, const XML_Char **attributes) {
    nodes_[static_cast<size_t>(node_count_++)] = index;
    const Node &node = paths_.node(index);
    if (node.slot != Slot::None) values_.mark(node.slot);
    if (node.opens != Scope::None && node.opens != Scope::Record) values_.clear(node.opens);
    if (node.opens == Scope::Transaction) builder_.open_transaction();
    if (node.take == Take::Mark) return;
    if (node.take == Take::Amount) {
        const XML_Char *currency = nullptr;
        for (const XML_Char **a = attributes; *a != nullptr; a += 2)
            if (strcmp(a[0], "Ccy") == 0) currency = a[1];
        if (currency == nullptr) return fail(Fault{Fault::Missing, "Ccy", "Amt", {}});
        if (!xml::currency_code(currency)) return fail(Fault{Fault::Malformed, "Ccy", {}, currency});
        values_.take(static_cast<Slot>(static_cast<size_t>(node.slot) + 1), Take::Text, currency, max_text);
    }
    capturing_ = true;
    // A text is kept as far as it goes (the record says it was cut); a value that long
    // cannot be read.
    capture(node.name, slot_info(node.slot).kind == Kind::Text);
}

Fault Reader::close_scope(Scope scope) {
    switch (scope) {
    case Scope::Record: return builder_.close_record(values_);
    case Scope::Balance: return builder_.close_balance(values_);
    case Scope::Entry: return builder_.close_entry(values_);
    case Scope::Transaction: return builder_.close_transaction(values_);
    case Scope::Charge: {
        const Fault f = builder_.close_charge(values_);
        // Up to version 2 the charge's element is Chrgs, later Chrgs holds Rcrd: a
        // charge is taken once.
        values_.clear(Scope::Charge);
        return f;
    }
    case Scope::None: break;
    }
    return {};
}

void Reader::end_node() {
    const Node &node = paths_.node(nodes_[static_cast<size_t>(--node_count_)]);
    if (capturing_) {
        capturing_ = false;
        const std::string &text = captured();
        if (!well_formed(slot_info(node.slot).kind, text)) return fail(Fault{Fault::Malformed, node.name, {}, text});
        if (!values_.take(node.slot, node.take, text, max_text) || captured_cut()) {
            const Scope scope = scope_of(node.slot);
            if (scope == Scope::Entry) values_.mark(Slot::EntryTruncated);
            if (scope == Scope::Transaction) values_.mark(Slot::TxTruncated);
        }
    }
    if (node.opens != Scope::None)
        if (Fault f = close_scope(node.opens)) return fail(f);
}

void Reader::close(int depth) {
    if (depth >= record_level) return end_node();
    if (depth == message_level && !saw_record_)
        return fail(Fault{Fault::Missing, message_.record, message_.root, {}});
    if (depth == document_level && !saw_message_) return fail(Fault{Fault::Missing, message_.root, "Document", {}});
}

} // namespace

bool read_camt(const Input &input, RecordArena &records, StatementList out, char (&error)[256]) {
    bool ok = false;
    try {
        Reader reader(records, out, error);
        ok = reader.run(xml::Input{input.fd, input.data, input.size});
    } catch (const std::bad_alloc &) {
        format_error(error, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(Reader)),
                     strerror(ENOMEM));
    }
    return ok;
}

} // namespace tarvo
