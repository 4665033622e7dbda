// The XML stream every reader shares: expat in fixed-size pieces, its memory capped
// (xml_budget.cpp), a document type declaration refused before any entity is defined,
// elements outside the document's namespace or the reader's interest skipped.
#include "statement/xml_stream.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <new>

#include "frame/frame.h"

namespace tarvo::xml {

namespace {
constexpr size_t read_size = size_t{256} << 10;
} // namespace

size_t utf8_cut(std::string_view text, size_t limit) {
    if (text.size() <= limit) return text.size();
    size_t n = limit;
    // Continuation bytes are 10xxxxxx: back off to the start of a character.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

bool currency_code(std::string_view code) {
    return code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

Stream::Stream(char (&error)[256], size_t record_size, const char *not_document)
    : budget_scope_(budget_), error_(error), record_size_(record_size), not_document_(not_document) {}

Stream::~Stream() {
    if (parser_ != nullptr) XML_ParserFree(parser_);
}

void XMLCALL Stream::on_doctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int) {
    static_cast<Stream *>(self)->fail("Document type declarations are not accepted");
}

unsigned long Stream::line() const { return static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)); }

void Stream::fail(const char *what) {
    if (failed_) return;
    failed_ = true;
    ordinary_ = false;
    format_error(error_, "%s (line %lu)", what, line());
    XML_StopParser(parser_, XML_FALSE);
}

void Stream::fail(const Fault &fault) {
    if (failed_) return;
    failed_ = true;
    ordinary_ = false;
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
        format_error(error_, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(record_size_),
                     strerror(ENOMEM));
        break;
    }
    XML_StopParser(parser_, XML_FALSE);
}

const char *Stream::root_namespace(std::string_view name, const XML_Char **attributes) {
    const size_t colon = name.find(':');
    std::string declaration = "xmlns";
    if (colon != std::string_view::npos) declaration.append(":").append(name.substr(0, colon));
    const XML_Char *ns = nullptr;
    for (const XML_Char **a = attributes; *a != nullptr; a += 2)
        if (declaration == a[0]) ns = a[1];
    if (ns != nullptr) namespace_ = ns;
    return ns;
}

void Stream::settle() {
    default_ours_ = namespace_.empty();
    prefixed_ = false;
    for (const Binding &b : bindings_) {
        if (b.prefix.empty()) default_ours_ = b.ours;
        prefixed_ = prefixed_ || !b.prefix.empty();
    }
    innermost_binding_ = bindings_.empty() ? 0 : bindings_.back().depth;
    reconsider();
}

void Stream::declare(const XML_Char **attributes) {
    const size_t before = bindings_.size();
    for (const XML_Char **a = attributes; *a != nullptr; a += 2) {
        if (!is_declaration(a[0])) continue;
        bindings_.push_back(Binding{a[0][5] == ':' ? a[0] + 6 : "", namespace_ == a[1], depth_});
    }
    if (bindings_.size() != before) settle();
}

const char *Stream::prefixed_local(const XML_Char *name) const {
    const char *colon = strchr(name, ':');
    if (colon == nullptr) return default_ours_ ? name : nullptr;
    const std::string_view prefix(name, static_cast<size_t>(colon - name));
    for (auto b = bindings_.rbegin(); b != bindings_.rend(); ++b)
        if (b->prefix == prefix) return b->ours ? colon + 1 : nullptr;
    // An undeclared prefix is an error for the XML parser.
    return nullptr;
}

void Stream::start_root(const XML_Char *name, const XML_Char **attributes) {
    saw_element_ = true;
    root(name, attributes);
    if (failed_) return;
    settle();
    declare(attributes);
}

void Stream::too_deep() {
    char what[64];
    snprintf(what, sizeof what, "Elements nested deeper than %d levels", max_depth);
    fail(what);
}

void Stream::not_opened() {
    if (failed_) return;
    if (capture_depth_ != 0) return fail(Fault{Fault::Malformed, capture_name_, {}, "element inside its value"});
    skipped_ = 1;
    ordinary_ = false;
}

void Stream::long_text(const char *text, size_t length) {
    if (may_cut_) {
        target_->append(text, utf8_cut(std::string_view(text, length), max_text - target_->size()));
        text_cut_ = true;
        return;
    }
    char what[128];
    snprintf(what, sizeof what, "Text of <%.*s> longer than %zu bytes", static_cast<int>(capture_name_.size()),
             capture_name_.data(), max_text);
    fail(what);
}

void Stream::unbind() {
    while (!bindings_.empty() && bindings_.back().depth == depth_) bindings_.pop_back();
    settle();
}

void Stream::end_capture() {
    capture_depth_ = 0;
    XML_SetCharacterDataHandler(parser_, nullptr);
}

// Describes why expat gave up; true when the reason was ours, already described.
bool Stream::parse_error(bool at_end) {
    if (failed_) return true;
    failed_ = true;
    ordinary_ = false;
    const XML_Error code = XML_GetErrorCode(parser_);
    const unsigned long column = static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_));
    if (budget_.exceeded)
        format_error(error_, "XML construct too large: the parser needs more than %zu MiB (line %lu)",
                     ParserBudget::limit >> 20, line());
    else if (at_end && (code == XML_ERROR_NO_ELEMENTS || code == XML_ERROR_UNCLOSED_TOKEN ||
                        code == XML_ERROR_PARTIAL_CHAR || code == XML_ERROR_UNCLOSED_CDATA_SECTION))
        format_error(error_, "Document ends before it is complete (line %lu)", line());
    else
        format_error(error_, "%sXML error: %s (line %lu, column %lu)", saw_element_ ? "" : not_document_,
                     XML_ErrorString(code), line(), column);
    return true;
}

// Hands one piece to expat; false when the document was refused.
bool Stream::feed(const char *data, size_t size, bool last) {
    if (XML_Parse(parser_, data, static_cast<int>(size), last) != XML_STATUS_OK) return !parse_error(last);
    return !failed_;
}

bool Stream::run(const Input &in, XML_StartElementHandler start, XML_EndElementHandler end) {
    parser_ = XML_ParserCreate_MM(nullptr, &ParserBudget::memory_suite, nullptr);
    if (parser_ == nullptr) {
        format_error(error_, "Error while allocating %lu bytes: %s", static_cast<unsigned long>(sizeof(*this)),
                     strerror(ENOMEM));
        return false;
    }
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, start, end);
    XML_SetStartDoctypeDeclHandler(parser_, on_doctype);
    XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);

    if (in.fd < 0) {
        if (in.size == 0) {
            format_error(error_, "Input is empty");
            return false;
        }
        for (size_t at = 0; at < in.size; at += read_size)
            if (!feed(in.data + at, std::min(read_size, in.size - at), false)) return false;
        return feed(in.data + in.size, 0, true);
    }
    // A small file is read in one piece of its own size.
    const size_t chunk = std::min(read_size, in.size + 1);
    size_t total = 0;
    for (;;) {
        void *buffer = XML_GetBuffer(parser_, static_cast<int>(chunk));
        if (buffer == nullptr) return !parse_error(false);
        const ssize_t n = read_some(in.fd, buffer, chunk);
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

} // namespace tarvo::xml
