// The camt reader: streams the file through expat in fixed-size pieces and follows the
// elements the mapping knows (camt_paths.cpp), handing each finished scope to the
// record builder. What it holds besides the records is bounded: one read buffer, the
// values of the open scopes (each at most max_text bytes) and expat's own memory, which
// is capped (camt_budget.cpp). A document type declaration is refused before any
// entity is defined.
#include <errno.h>
#include <expat.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <new>
#include <string>
#include <vector>

#include "frame/frame.h"
#include "statement/camt.h"

namespace tarvo {

namespace {

using namespace camt;

constexpr size_t read_size = size_t{256} << 10;
// The deepest path the mapping reads has 14 elements; unknown parts are skipped, but
// expat keeps every open element, so nesting is limited too.
constexpr int max_depth = 100;
// The longest text the schemas allow is 500 characters of at most 4 bytes each.
constexpr size_t max_text = size_t{16} << 10;

// ---- The reader ---------------------------------------------------------------------------

// Levels above the records: <Document>, the message element, then the records.
constexpr int document_level = 1;
constexpr int message_level = 2;
constexpr int record_level = 3;

class Reader {
public:
    Reader(RecordArena &records, StatementList out, char (&error)[256])
        : budget_scope_(budget_), records_(records), out_(out), error_(error), paths_(Paths::get()) {}
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;
    ~Reader() {
        if (parser_ != nullptr) XML_ParserFree(parser_);
    }

    // Reads the input in pieces of chunk bytes.
    bool run(const CamtInput &input, size_t chunk);

private:
    // The handlers run inside expat's C code: an exhausted heap stops the parser there
    // instead of unwinding through it.
    template <class Step> static void guarded(void *self, Step step) {
        auto *reader = static_cast<Reader *>(self);
        try {
            step(*reader);
        } catch (const std::bad_alloc &) {
            reader->fail(Fault{Fault::OutOfMemory, {}, {}, {}});
        }
    }
    static void XMLCALL on_start(void *self, const XML_Char *name, const XML_Char **attributes) {
        guarded(self, [&](Reader &r) { r.start(name, attributes); });
    }
    static void XMLCALL on_end(void *self, const XML_Char *) {
        guarded(self, [](Reader &r) { r.end(); });
    }
    static void XMLCALL on_text(void *self, const XML_Char *text, int length) {
        guarded(self, [&](Reader &r) { r.text(text, static_cast<size_t>(length)); });
    }
    static void XMLCALL on_doctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int) {
        static_cast<Reader *>(self)->fail("Document type declarations are not accepted");
    }

    void start(const XML_Char *name, const XML_Char **attributes);
    void end();
    void text(const char *text, size_t length);
    bool start_document(std::string_view name, const XML_Char **attributes);
    // The name without its prefix when the element is in the camt namespace, else null.
    const char *camt_local(const XML_Char *name, const XML_Char **attributes);
    void unbind();
    void start_node(uint16_t index, const XML_Char **attributes);
    void end_node();
    Fault close_scope(Scope scope);

    unsigned long line() const { return static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)); }
    void fail(const char *what);
    void fail(const Fault &fault);
    bool parse_error(bool at_end);

    // First, so that expat's last blocks are freed within the budget.
    ParserBudget budget_;
    ParserBudget::Scope budget_scope_;
    RecordArena &records_;
    StatementList out_;
    char (&error_)[256];
    const Paths &paths_;
    XML_Parser parser_ = nullptr;
    bool failed_ = false;

    // Namespace declarations in force, innermost last: namespace processing stays off
    // (expat would build a name of namespace and local name for every element), and
    // camt documents usually declare their namespace once, on <Document>.
    struct Binding {
        std::string prefix; // empty for the default namespace
        bool camt;
        int depth;
    };
    std::vector<Binding> bindings_;
    std::string camt_namespace_;
    Message message_{};
    RecordBuilder *builder_ = nullptr;
    bool saw_element_ = false;
    bool saw_message_ = false;
    bool saw_record_ = false;

    int depth_ = 0;
    int skipped_ = 0; // open elements inside an element the mapping does not read
    std::array<uint16_t, max_depth> nodes_{};
    int node_count_ = 0;
    bool capturing_ = false;
    bool text_cut_ = false;
    std::string text_;
    Values values_;
};

void Reader::fail(const char *what) {
    if (failed_) return;
    failed_ = true;
    format_error(error_, "%s (line %lu)", what, line());
    XML_StopParser(parser_, XML_FALSE);
}

void Reader::fail(const Fault &fault) {
    if (failed_) return;
    failed_ = true;
    const auto e = fault.element;
    switch (fault.kind) {
    case Fault::Missing:
        format_error(error_, "Missing <%.*s> in <%.*s> (line %lu)", static_cast<int>(e.size()), e.data(),
                     static_cast<int>(fault.parent.size()), fault.parent.data(), line());
        break;
    case Fault::Malformed:
        format_error(error_, "Malformed <%.*s> '%.*s' (line %lu)", static_cast<int>(e.size()), e.data(),
                     static_cast<int>(utf8_cut(fault.value, 64)), fault.value.data(), line());
        break;
    case Fault::OutOfMemory:
    case Fault::None:
        format_error(error_, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(tarvo_stmt_tx_t)),
                     strerror(ENOMEM));
        break;
    }
    XML_StopParser(parser_, XML_FALSE);
}

// The root element names the message by the namespace bound to its prefix.
bool Reader::start_document(std::string_view name, const XML_Char **attributes) {
    const size_t colon = name.find(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    char what[256];
    if (local != "Document") {
        snprintf(what, sizeof what, "Not a camt document: the root element is <%.*s>",
                 static_cast<int>(utf8_cut(name, 64)), name.data());
        fail(what);
        return false;
    }
    std::string declaration = "xmlns";
    if (colon != std::string_view::npos) declaration.append(":").append(name.substr(0, colon));
    const XML_Char *ns = nullptr;
    for (const XML_Char **a = attributes; *a != nullptr; a += 2)
        if (declaration == a[0]) ns = a[1];
    if (ns == nullptr) {
        fail("Not a camt document: <Document> has no namespace");
        return false;
    }
    if (!identify(ns, message_)) {
        const std::string_view text(ns);
        snprintf(what, sizeof what, "Unknown namespace '%.*s'", static_cast<int>(utf8_cut(text, 160)), ns);
        fail(what);
        return false;
    }
    camt_namespace_ = ns;
    return true;
}

const char *Reader::camt_local(const XML_Char *name, const XML_Char **attributes) {
    for (const XML_Char **a = attributes; *a != nullptr; a += 2) {
        if (strncmp(a[0], "xmlns", 5) != 0 || (a[0][5] != '\0' && a[0][5] != ':')) continue;
        bindings_.push_back(Binding{a[0][5] == ':' ? a[0] + 6 : "", camt_namespace_ == a[1], depth_});
    }
    const char *colon = strchr(name, ':');
    const std::string_view prefix(name, colon != nullptr ? static_cast<size_t>(colon - name) : 0);
    for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b)
        if (b->prefix == prefix) return b->camt ? (colon != nullptr ? colon + 1 : name) : nullptr;
    // An undeclared prefix is an error for the XML parser; no declaration of the default
    // namespace means none.
    return nullptr;
}

void Reader::unbind() {
    while (!bindings_.empty() && bindings_.back().depth == depth_) bindings_.pop_back();
}

void Reader::start(const XML_Char *name, const XML_Char **attributes) {
    if (failed_) return;
    saw_element_ = true;
    if (++depth_ > max_depth) {
        char what[64];
        snprintf(what, sizeof what, "Elements nested deeper than %d levels", max_depth);
        fail(what);
        return;
    }
    if (skipped_ > 0) {
        ++skipped_;
        return;
    }
    if (depth_ == document_level) {
        if (start_document(name, attributes)) camt_local(name, attributes);
        return;
    }
    const char *local = camt_local(name, attributes);
    // An element inside a value makes its text ambiguous ("1<x>2</x>0.00").
    if (capturing_) {
        const int known = local != nullptr ? paths_.child(nodes_[static_cast<size_t>(node_count_ - 1)], local) : -1;
        if (known < 0) {
            const std::string_view parent = paths_.node(nodes_[static_cast<size_t>(node_count_ - 1)]).name;
            return fail(Fault{Fault::Malformed, parent, {}, "element inside its value"});
        }
    }
    // Elements of another namespace are not camt's.
    if (local == nullptr) {
        skipped_ = 1;
        return;
    }
    if (depth_ == message_level) {
        if (message_.root != local) {
            char what[160];
            snprintf(what, sizeof what, "Expected <%.*s> in <Document>, found <%.*s>",
                     static_cast<int>(message_.root.size()), message_.root.data(),
                     static_cast<int>(utf8_cut(local, 64)), local);
            fail(what);
        }
        saw_message_ = true;
        return;
    }
    if (depth_ == record_level) {
        if (message_.record != local) {
            skipped_ = 1;
            return;
        }
        saw_record_ = true;
        if (Fault f = builder_->open_record()) return fail(f);
        values_.clear(Scope::Record);
        start_node(0, attributes);
        return;
    }
    const int child = paths_.child(nodes_[static_cast<size_t>(node_count_ - 1)], local);
    if (child < 0) {
        skipped_ = 1;
        return;
    }
    start_node(static_cast<uint16_t>(child), attributes);
}

void Reader::start_node(uint16_t index, const XML_Char **attributes) {
    nodes_[static_cast<size_t>(node_count_++)] = index;
    const Node &node = paths_.node(index);
    if (node.slot != Slot::None) values_.mark(node.slot);
    if (node.opens != Scope::None && node.opens != Scope::Record) values_.clear(node.opens);
    if (node.opens == Scope::Transaction) builder_->open_transaction();
    if (node.take == Take::Mark) return;
    if (node.take == Take::Amount) {
        const XML_Char *currency = nullptr;
        for (const XML_Char **a = attributes; *a != nullptr; a += 2)
            if (strcmp(a[0], "Ccy") == 0) currency = a[1];
        if (currency == nullptr) return fail(Fault{Fault::Missing, "Ccy", "Amt", {}});
        const std::string_view code(currency);
        if (code.size() != 3 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
            return fail(Fault{Fault::Malformed, "Ccy", {}, code});
        values_.take(static_cast<Slot>(static_cast<size_t>(node.slot) + 1), Take::Text, code, max_text);
    }
    text_.clear();
    capturing_ = true;
    XML_SetCharacterDataHandler(parser_, on_text);
}

void Reader::text(const char *text, size_t length) {
    if (failed_) return;
    if (text_.size() + length > max_text) {
        const Node &node = paths_.node(nodes_[static_cast<size_t>(node_count_ - 1)]);
        // A text is kept as far as it goes (the record says it was cut); a value that
        // long cannot be read.
        if (slot_info(node.slot).kind == Kind::Text) {
            text_.append(text, utf8_cut(std::string_view(text, length), max_text - text_.size()));
            text_cut_ = true;
            return;
        }
        const std::string_view name = node.name;
        char what[128];
        snprintf(what, sizeof what, "Text of <%.*s> longer than %zu bytes", static_cast<int>(name.size()), name.data(),
                 max_text);
        return fail(what);
    }
    text_.append(text, length);
}

Fault Reader::close_scope(Scope scope) {
    switch (scope) {
    case Scope::Record: return builder_->close_record(values_);
    case Scope::Balance: return builder_->close_balance(values_);
    case Scope::Entry: return builder_->close_entry(values_);
    case Scope::Transaction: return builder_->close_transaction(values_);
    case Scope::Charge: {
        const Fault f = builder_->close_charge(values_);
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
        XML_SetCharacterDataHandler(parser_, nullptr);
        if (!well_formed(slot_info(node.slot).kind, text_)) return fail(Fault{Fault::Malformed, node.name, {}, text_});
        if (!values_.take(node.slot, node.take, text_, max_text) || text_cut_) {
            const Scope scope = scope_of(node.slot);
            if (scope == Scope::Entry) values_.mark(Slot::EntryTruncated);
            if (scope == Scope::Transaction) values_.mark(Slot::TxTruncated);
        }
        text_cut_ = false;
    }
    if (node.opens != Scope::None)
        if (Fault f = close_scope(node.opens)) return fail(f);
}

void Reader::end() {
    if (failed_) return;
    // Elements inside a skipped one bound nothing.
    if (skipped_ <= 1) unbind();
    const int depth = depth_--;
    if (skipped_ > 0) {
        --skipped_;
        return;
    }
    if (depth >= record_level) return end_node();
    if (depth == message_level && !saw_record_)
        return fail(Fault{Fault::Missing, message_.record, message_.root, {}});
    if (depth == document_level && !saw_message_) return fail(Fault{Fault::Missing, message_.root, "Document", {}});
}

// Describes why expat gave up; true when the reason was ours, already described.
bool Reader::parse_error(bool at_end) {
    if (failed_) return true;
    failed_ = true;
    const XML_Error code = XML_GetErrorCode(parser_);
    const unsigned long column = static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_));
    if (budget_.exceeded)
        format_error(error_, "XML construct too large: the parser needs more than %zu MiB (line %lu)",
                     ParserBudget::limit >> 20, line());
    else if (at_end && (code == XML_ERROR_NO_ELEMENTS || code == XML_ERROR_UNCLOSED_TOKEN ||
                        code == XML_ERROR_PARTIAL_CHAR || code == XML_ERROR_UNCLOSED_CDATA_SECTION))
        format_error(error_, "Document ends before it is complete (line %lu)", line());
    else
        format_error(error_, "%sXML error: %s (line %lu, column %lu)", saw_element_ ? "" : "Not a camt document: ",
                     XML_ErrorString(code), line(), column);
    return true;
}

bool Reader::run(const CamtInput &input, size_t chunk) {
    parser_ = XML_ParserCreate_MM(nullptr, &ParserBudget::memory_suite, nullptr);
    if (parser_ == nullptr) {
        format_error(error_, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(Reader)),
                     strerror(ENOMEM));
        return false;
    }
    RecordBuilder builder(records_, out_, message_);
    builder_ = &builder;
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, on_start, on_end);
    XML_SetStartDoctypeDeclHandler(parser_, on_doctype);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);

    if (input.fd < 0) {
        // From memory: the same pieces, parsed where they lie.
        if (input.size == 0) {
            format_error(error_, "Input is empty");
            return false;
        }
        for (size_t at = 0; at < input.size;) {
            const size_t n = std::min(chunk, input.size - at);
            at += n;
            if (XML_Parse(parser_, input.data + at - n, static_cast<int>(n), at == input.size) != XML_STATUS_OK)
                return !parse_error(at == input.size);
            if (failed_) return false;
        }
        return true;
    }
    size_t total = 0;
    for (;;) {
        void *buffer = XML_GetBuffer(parser_, static_cast<int>(chunk));
        if (buffer == nullptr) return !parse_error(false);
        ssize_t n;
        do {
            n = read(input.fd, buffer, chunk);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            format_error(error_, "Error while reading from file: %s", strerror(errno));
            return false;
        }
        total += static_cast<size_t>(n);
        if (n == 0 && total == 0) {
            format_error(error_, "Input file is empty");
            return false;
        }
        if (XML_ParseBuffer(parser_, static_cast<int>(n), n == 0) != XML_STATUS_OK) return !parse_error(n == 0);
        if (failed_) return false;
        if (n == 0) return true;
    }
}

} // namespace

bool read_camt(const CamtInput &input, RecordArena &records, StatementList out, char (&error)[256]) {
    // A small file is read in one piece of its own size.
    const size_t chunk = std::min(read_size, input.size + 1);
    bool ok = false;
    try {
        Reader reader(records, out, error);
        ok = reader.run(input, chunk);
    } catch (const std::bad_alloc &) {
        format_error(error, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(Reader)),
                     strerror(ENOMEM));
    }
    return ok;
}

} // namespace tarvo
