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

class Reader final : public xml::Stream {
public:
    Reader(RecordArena &records, StatementList out, char (&error)[256])
        : Stream(error, sizeof(tarvo_stmt_tx_t), "Not a camt document: "), builder_(records, out, message_),
          paths_(Paths::get()) {}

private:
    friend class xml::Stream;
    void root(std::string_view name, const XML_Char **attributes) override;
    // Inlined into the stream's handlers, which run for every element.
    [[gnu::always_inline]] bool open(int depth, const char *local, const XML_Char **attributes) override;
    [[gnu::always_inline]] void close(int depth) override;
    // Enters an element where the learned order expects it; false leaves it, and
    // anything else, to open(). Allocates nothing.
    bool enter_known(int depth, const char *local, const XML_Char **attributes) {
        if (depth <= record_level || capturing_) return false;
        const auto top = static_cast<size_t>(node_count_ - 1);
        uint8_t previous = previous_[top];
        const int child = paths_.expected_child(nodes_[top], local, previous, order_);
        if (child < 0) return false;
        previous_[top] = previous;
        enter(static_cast<uint16_t>(child), attributes);
        return true;
    }
    // Leaves an element whose value was captured in place, unless it ends a scope; false
    // leaves anything else to close(). Allocates nothing.
    bool leave_value(int depth) {
        const uint16_t index = nodes_[static_cast<size_t>(node_count_ - 1)];
        if (depth < record_level || !captured_in_place()) return false;
        const Node &node = paths_.node(index);
        const bool text = paths_.action(index) == Paths::Text;
        if (!text && node.opens != Scope::None) return false;
        --node_count_;
        if (text)
            take_text(node);
        else
            take_value(node);
        return true;
    }
    // Leaves an element that only led to others; false leaves anything else to close().
    bool leave_plain(int depth) {
        if (depth < record_level || capturing_ || paths_.action(nodes_[static_cast<size_t>(node_count_ - 1)]) != Paths::Plain)
            return false;
        --node_count_;
        return true;
    }
    void push(uint16_t index) {
        nodes_[static_cast<size_t>(node_count_)] = index;
        previous_[static_cast<size_t>(node_count_)] = 0;
        ++node_count_;
    }
    // Opens the node found for an element.
    [[gnu::always_inline]] void enter(uint16_t index, const XML_Char **attributes) {
        push(index);
        switch (paths_.action(index)) {
        case Paths::Plain: break;
        case Paths::Text: start_text(paths_.node(index)); break;
        case Paths::Other: start_node(paths_.node(index), attributes); break;
        }
    }
    void start_text(const Node &node) {
        values_.mark(node.slot);
        capturing_ = true;
        // A text is kept as far as it goes; the record says it was cut.
        capture(node.name, true, values_.slot_for(node.slot, node.take));
    }
    bool open_level(int depth, const char *local, const XML_Char **attributes);
    void close_level(int depth);
    void start_node(const Node &node, const XML_Char **attributes);
    void end_node(const Node &node);
    void open_scope(Scope scope);
    bool take_currency(Slot amount, const XML_Char **attributes);
    void take_value(const Node &node);
    [[gnu::always_inline]] void take_text(const Node &node);
    Fault close_scope(Scope scope);

    Message message_{};
    RecordBuilder builder_;
    const Paths &paths_;
    bool saw_message_ = false;
    bool saw_record_ = false;
    std::array<uint16_t, max_depth> nodes_{};
    // The child of each open node met last, and the order children came in so far.
    std::array<uint8_t, max_depth> previous_{};
    xml::Tree::Order order_;
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

// The message element and the records; everything below follows the paths.
bool Reader::open_level(int depth, const char *local, const XML_Char **attributes) {
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
    if (message_.record != local) return false;
    saw_record_ = true;
    if (Fault f = builder_.open_record()) {
        fail(f);
        return true;
    }
    values_.clear(Scope::Record);
    nodes_[0] = 0;
    previous_[0] = 0;
    node_count_ = 1;
    start_node(paths_.node(0), attributes);
    return true;
}

// Runs for every element of a document; the common way through it is short.
inline bool Reader::open(int depth, const char *local, const XML_Char **attributes) {
    if (depth <= record_level) return open_level(depth, local, attributes);
    const auto top = static_cast<size_t>(node_count_ - 1);
    const int child = paths_.next_child(nodes_[top], local, previous_[top], order_);
    if (child < 0) return false;
    enter(static_cast<uint16_t>(child), attributes);
    return true;
}

void Reader::open_scope(Scope scope) {
    if (scope == Scope::Record) return;
    values_.clear(scope);
    if (scope == Scope::Transaction) builder_.open_transaction();
}

// The currency of an amount into the slot after the amount's; false when it is
// missing or malformed.
bool Reader::take_currency(Slot amount, const XML_Char **attributes) {
    const XML_Char *currency = nullptr;
    for (const XML_Char **a = attributes; *a != nullptr; a += 2)
        if (strcmp(a[0], "Ccy") == 0) currency = a[1];
    if (currency == nullptr) {
        fail(Fault{Fault::Missing, "Ccy", "Amt", {}});
        return false;
    }
    if (!xml::currency_code(currency)) {
        fail(Fault{Fault::Malformed, "Ccy", {}, currency});
        return false;
    }
    values_.set(static_cast<Slot>(static_cast<size_t>(amount) + 1), currency);
    return true;
}

// Allocates nothing: enter_known() runs it outside the guard.
void Reader::start_node(const Node &node, const XML_Char **attributes) {
    if (node.opens != Scope::None) open_scope(node.opens);
    if (node.slot == Slot::None) return;
    values_.mark(node.slot);
    if (node.take == Take::Mark) return;
    if (node.take == Take::Amount && !take_currency(node.slot, attributes)) return;
    capturing_ = true;
    // A text is kept as far as it goes (the record says it was cut); a value that long
    // cannot be read.
    capture(node.name, node.kind == Kind::Text, values_.slot_for(node.slot, node.take));
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

void Reader::end_node(const Node &node) {
    if (capturing_) take_value(node);
    if (node.opens != Scope::None && !failed())
        if (Fault f = close_scope(node.opens)) fail(f);
}

void Reader::take_value(const Node &node) {
    capturing_ = false;
    std::string &text = captured();
    if (node.kind == Kind::Amount || node.kind == Kind::Date) {
        const bool read = captured_in_place() ? values_.read_in_place(node.slot, node.kind)
                                              : values_.take_read(node.slot, node.kind, text);
        if (!read)
            fail(Fault{Fault::Malformed, node.name, {}, values_[node.slot]});
        return;
    }
    if (node.kind != Kind::Text && !well_formed(node.kind, text))
        return fail(Fault{Fault::Malformed, node.name, {}, text});
    take_text(node);
}

inline void Reader::take_text(const Node &node) {
    capturing_ = false;
    bool whole = !captured_cut();
    if (captured_in_place())
        values_.stored_in_place(node.slot);
    else
        whole = values_.take(node.slot, node.take, captured()) && whole;
    if (!whole && node.truncated != Slot::None) values_.mark(node.truncated);
}

void Reader::close_level(int depth) {
    if (depth == message_level && !saw_record_)
        return fail(Fault{Fault::Missing, message_.record, message_.root, {}});
    if (depth == document_level && !saw_message_) return fail(Fault{Fault::Missing, message_.root, "Document", {}});
}

inline void Reader::close(int depth) {
    if (depth < record_level) return close_level(depth);
    const uint16_t index = nodes_[static_cast<size_t>(--node_count_)];
    const Paths::Action action = paths_.action(index);
    // A text element whose value came from a child ("Sts/Cd") has nothing left to take.
    if (action == Paths::Text) {
        if (capturing_) take_text(paths_.node(index));
    } else if (capturing_ || action == Paths::Other) {
        end_node(paths_.node(index));
    }
}

} // namespace

bool read_camt(const Input &input, RecordArena &records, StatementList out, char (&error)[256]) {
    bool ok = false;
    try {
        Reader reader(records, out, error);
        ok = reader.run<Reader>(xml::Input{input.fd, input.data, input.size});
    } catch (const std::bad_alloc &) {
        format_error(error, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(Reader)),
                     strerror(ENOMEM));
    }
    return ok;
}

} // namespace tarvo
