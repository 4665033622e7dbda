// The foundations every XML reader of the library stands on: expat driven in fixed-size
// pieces from a file or from memory, with its memory capped, no document type
// declaration, limited nesting and text lengths, and errors that name the element and
// the line. A reader derives from Stream and is told of the elements of its document's
// namespace, by whatever prefix they are bound to it; everything else is skipped with
// its content.
#ifndef TARVO_STATEMENT_XML_STREAM_H
#define TARVO_STATEMENT_XML_STREAM_H

#include <expat.h>
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::xml {

// The deepest path a reader follows is far shallower; expat keeps every open element,
// so nesting is limited.
constexpr int max_depth = 100;
// The longest text the schemas allow is 500 characters of at most 4 bytes each.
constexpr size_t max_text = size_t{16} << 10;

// What expat holds for one load, capped at limit: a document cannot make the parser
// grow without bound through one huge name, tag or comment. expat's allocation
// functions carry no context, so they charge the budget the Scope of the running load
// has set for its thread.
struct ParserBudget {
    static constexpr size_t limit = size_t{8} << 20;
    static const XML_Memory_Handling_Suite memory_suite;

    size_t used = 0;
    bool exceeded = false; // an allocation was refused for the limit

    class Scope {
    public:
        explicit Scope(ParserBudget &budget);
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        ~Scope();

    private:
        ParserBudget *previous_;
    };
};

// Why a document is refused; the stream adds the line.
struct Fault {
    enum Kind : uint8_t { None, Missing, Malformed, OutOfMemory } kind = None;
    std::string_view element; // the missing or malformed element
    std::string_view parent;  // Missing: the element it is missing from
    std::string_view value;   // Malformed: the text as written

    explicit operator bool() const { return kind != None; }
};

// Where a document comes from: an open file of size bytes, or size bytes at data.
struct Input {
    int fd = -1;
    const char *data = nullptr;
    size_t size = 0;
};

// The length of text cut to at most limit bytes without splitting a UTF-8 character.
size_t utf8_cut(std::string_view text, size_t limit);

// A three-letter upper-case currency code.
bool currency_code(std::string_view code);

class Stream {
public:
    // record_size: what one record of the reader takes, named when memory runs out;
    // not_document: put before the parser's complaint when the input fails before its
    // first element.
    Stream(char (&error)[256], size_t record_size, const char *not_document = "");
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
    virtual ~Stream();

    // Reads the whole input, telling the reader R (this stream's class, a friend of it)
    // of its elements without a virtual call; false with the reason in the error text
    // otherwise.
    template <class R> bool run(const Input &in) { return run(in, on_start<R>, on_end<R>); }

protected:
    // The root element, with its name as written (prefix included).
    virtual void root(std::string_view name, const XML_Char **attributes) = 0;
    // An element below the root in the document's namespace, by its local name; false
    // skips it with everything inside. Inside a value being captured, false refuses the
    // document instead: an element there makes the text ambiguous ("1<x>2</x>0.00").
    // While no prefix is bound, a name with one is handed over as it stands: readers
    // know no name with a colon, so it is skipped as one outside the namespace.
    virtual bool open(int depth, const char *local, const XML_Char **attributes) = 0;
    // The end of the root or of an element open() took.
    virtual void close(int depth) = 0;

    // The root's namespace URI, the default one or the one bound to the root's own
    // prefix, which becomes the document's namespace; null when there is none.
    const char *root_namespace(std::string_view name, const XML_Char **attributes);
    // Collects the text of the element just opened until it ends, into the reader's
    // string or else the stream's own; name is named when the text is too long. A text
    // that may be cut is kept up to max_text bytes (at a character boundary) instead of
    // refused. captured() holds it from its end on; a reader may take the string's
    // content.
    void capture(std::string_view name, bool may_cut = false, std::string *into = nullptr) {
        target_ = into != nullptr ? into : &text_;
        target_->clear();
        capture_depth_ = depth_;
        may_cut_ = may_cut;
        text_cut_ = false;
        capture_name_ = name;
        XML_SetCharacterDataHandler(parser_, on_text);
    }

    std::string &captured() { return *target_; }
    bool captured_in_place() const { return target_ != &text_; }
    bool captured_cut() const { return text_cut_; }

    void fail(const char *what);
    void fail(const Fault &fault);
    bool failed() const { return failed_; }
    unsigned long line() const;

private:
    bool run(const Input &in, XML_StartElementHandler start, XML_EndElementHandler end);
    // The handlers run inside expat's C code: an exhausted heap stops the parser there
    // instead of unwinding through it.
    template <class Step> static void guarded(void *self, Step step) {
        auto *stream = static_cast<Stream *>(self);
        try {
            step(*stream);
        } catch (const std::bad_alloc &) {
            stream->fail(Fault{Fault::OutOfMemory, {}, {}, {}});
        }
    }
    template <class R> static void XMLCALL on_start(void *self, const XML_Char *name, const XML_Char **attributes) {
        // Most elements are where the reader expects them. A reader that can enter those
        // on its own, allocating nothing (bool enter_known(int depth, const char *name,
        // const XML_Char **attributes)), takes them without a frame for the guard, unless
        // they declare a namespace.
        if constexpr (requires(R &r) { r.enter_known(0, name, attributes); }) {
            auto *s = static_cast<R *>(self);
            if (s->ordinary_ && s->depth_ < max_depth) {
                // The same empty list, so that the one given need not be kept at hand.
                if (attributes[0] == nullptr) return start_known<R>(self, name, no_attributes);
                return start_with_attributes<R>(self, name, attributes);
            }
        }
        auto *s = static_cast<Stream *>(self);
        if (s->skipped_ > 0 && !s->failed_ && s->depth_ < max_depth) {
            // Inside an element the reader does not read: only counted.
            ++s->depth_;
            ++s->skipped_;
            return;
        }
        start_guarded<R>(self, name, attributes);
    }
    template <class R> static void start_known(void *self, const XML_Char *name, const XML_Char **attributes) {
        auto *s = static_cast<R *>(self);
        if (s->R::enter_known(++s->depth_, name, attributes)) return;
        --s->depth_;
        start_guarded<R>(self, name, attributes);
    }
    // Apart, so that the attributes need not be kept at hand on the way most elements take.
    template <class R>
    [[gnu::noinline]] static void start_with_attributes(void *self, const XML_Char *name, const XML_Char **attributes) {
        if (!declares(attributes)) return start_known<R>(self, name, attributes);
        start_guarded<R>(self, name, attributes);
    }
    // An empty list of attributes.
    static inline const XML_Char *no_attributes[] = {nullptr};
    // Whether an attribute declares a namespace: xmlns, or xmlns:prefix.
    static bool is_declaration(const XML_Char *name) {
        return strncmp(name, "xmlns", 5) == 0 && (name[5] == '\0' || name[5] == ':');
    }
    static bool declares(const XML_Char **attributes) {
        for (const XML_Char **a = attributes; *a != nullptr; a += 2)
            if (is_declaration(a[0])) return true;
        return false;
    }
    template <class R> [[gnu::noinline]] static void start_guarded(void *self, const XML_Char *name, const XML_Char **attributes) {
        guarded(self, [&](Stream &s) { s.start<R>(name, attributes); });
    }
    template <class R> static void XMLCALL on_end(void *self, const XML_Char *) {
        // Most elements only lead to others. A reader that can leave those on its own,
        // allocating nothing (bool leave_plain(int depth)), ends them without a frame for
        // the guard.
        if constexpr (requires(R &r) { r.leave_plain(0); }) {
            auto *s = static_cast<R *>(self);
            if (s->ordinary_ && s->depth_ != s->capture_depth_ && s->R::leave_plain(s->depth_)) {
                --s->depth_;
                return;
            }
        }
        // So are most of those that hold a value, when the reader captured it in place and
        // takes it without allocating (bool leave_value(int depth)).
        if constexpr (requires(R &r) { r.leave_value(0); }) {
            auto *s = static_cast<R *>(self);
            if (s->ordinary_ && s->depth_ == s->capture_depth_ && s->R::leave_value(s->depth_)) {
                --s->depth_;
                return s->end_capture();
            }
        }
        auto *s = static_cast<Stream *>(self);
        if (s->skipped_ > 0 && !s->failed_ && (s->skipped_ > 1 || s->innermost_binding_ != s->depth_)) {
            // The end of a skipped element that bound no namespace, or of one inside it.
            --s->depth_;
            if (--s->skipped_ == 0) s->reconsider();
            return;
        }
        end_guarded<R>(self);
    }
    template <class R> [[gnu::noinline]] static void end_guarded(void *self) {
        guarded(self, [](Stream &s) { s.end<R>(); });
    }
    static void XMLCALL on_text(void *self, const XML_Char *text, int length) {
        // Most pieces fit the string as it is: appended without the guard's frame.
        auto *s = static_cast<Stream *>(self);
        std::string &into = *s->target_;
        const auto n = static_cast<size_t>(length);
        if (s->failed_ || s->text_cut_ || into.size() + n > max_text || n > into.capacity() - into.size())
            return text_guarded(self, text, n);
        if (into.size() + n > into.capacity()) __builtin_unreachable();
        into.append(text, n);
    }
    [[gnu::noinline]] static void text_guarded(void *self, const XML_Char *text, size_t length) {
        guarded(self, [&](Stream &s) { s.text(text, length); });
    }
    static void XMLCALL on_doctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int);
    // Run for every element of a document. In an ordinary document most elements are
    // taken by one test; the rest, and everything rare, go the general way.
    template <class R> void start(const XML_Char *name, const XML_Char **attributes) {
        if (ordinary_ && depth_ < max_depth && attributes[0] == nullptr) {
            if (!static_cast<R *>(this)->R::open(++depth_, name, attributes)) not_opened();
            return;
        }
        start_in_general<R>(name, attributes);
    }
    template <class R> void start_in_general(const XML_Char *name, const XML_Char **attributes) {
        if (failed_) return;
        if (++depth_ > max_depth) return too_deep();
        if (skipped_ > 0) {
            ++skipped_;
            return;
        }
        if (depth_ == 1) return start_root(name, attributes);
        if (attributes[0] != nullptr) declare(attributes);
        const char *local = prefixed_ ? prefixed_local(name) : default_ours_ ? name : nullptr;
        if (local == nullptr || !static_cast<R *>(this)->R::open(depth_, local, attributes)) not_opened();
    }
    // The root's own declarations are not dropped on the ordinary way: nothing follows it.
    template <class R> void end() {
        if (!ordinary_) return end_in_general<R>();
        const int depth = depth_--;
        if (depth == capture_depth_) end_capture();
        static_cast<R *>(this)->R::close(depth);
    }
    template <class R> void end_in_general() {
        if (failed_) return;
        // Elements inside a skipped one bound nothing.
        if (innermost_binding_ == depth_ && skipped_ <= 1) unbind();
        const int depth = depth_--;
        if (skipped_ > 0) {
            if (--skipped_ == 0) reconsider();
            return;
        }
        if (depth == capture_depth_) end_capture();
        static_cast<R *>(this)->R::close(depth);
    }
    void start_root(const XML_Char *name, const XML_Char **attributes);
    void too_deep();
    // An element the reader did not take: refused inside a value, else skipped; nothing
    // once the document is refused.
    void not_opened();
    void end_capture();
    // Notes the namespaces an element declares.
    void declare(const XML_Char **attributes);
    // The name without its prefix when the element is in the document's namespace, else
    // null; for a document that binds a prefix.
    const char *prefixed_local(const XML_Char *name) const;
    // Drops the declarations of the element that ends.
    void unbind();
    // What an element without prefix is, and whether any prefix is bound, after the
    // declarations in force changed.
    void settle();
    // Whether elements may take the ordinary way.
    void reconsider() {
        ordinary_ = !failed_ && skipped_ == 0 && !prefixed_ && default_ours_ && innermost_binding_ <= 1;
    }
    void text(const char *text, size_t length) {
        // Once a text is cut, later pieces would stand after a gap: the cut text ends there.
        if (failed_ || text_cut_) return;
        if (target_->size() + length > max_text) return long_text(text, length);
        target_->append(text, length);
    }
    // A piece that makes the text longer than max_text: cut or refused.
    void long_text(const char *text, size_t length);
    bool parse_error(bool at_end);
    bool feed(const char *data, size_t size, bool last);

    // First, so that expat's last blocks are freed within the budget.
    ParserBudget budget_;
    ParserBudget::Scope budget_scope_;
    char (&error_)[256];
    size_t record_size_;
    const char *not_document_;
    XML_Parser parser_ = nullptr;
    bool failed_ = false;
    bool saw_element_ = false;

    // Namespace declarations in force, innermost last. Namespace processing stays off:
    // expat would build a name of namespace and local name for every element, and
    // documents usually declare their namespace once, on the root.
    struct Binding {
        std::string prefix; // empty for the default namespace
        bool ours;          // bound to the document's namespace
        int depth;
    };
    std::vector<Binding> bindings_;
    bool default_ours_ = true; // an element without prefix is in the document's namespace
    bool prefixed_ = false;    // some prefix is bound
    int innermost_binding_ = 0; // depth of the element with the last binding, 0: none
    // Past the root, nothing failed or skipped, elements without prefix are the
    // document's, no prefix and no binding below the root.
    bool ordinary_ = false;
    std::string namespace_;
    int depth_ = 0;
    int skipped_ = 0; // open elements inside an element the reader does not read
    int capture_depth_ = 0;
    bool may_cut_ = false;
    bool text_cut_ = false;
    std::string_view capture_name_;
    std::string text_;
    std::string *target_ = &text_; // where the text being captured goes
};

} // namespace tarvo::xml

#endif
