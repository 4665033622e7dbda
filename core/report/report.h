// Internal interface of the readers of the documents around a payment file: the
// payment files themselves (pain.001, pain.008) and the bank's status reports on them
// (pain.002). Both follow a table of element paths through the shared XML stream and
// build their records in one arena that is dropped whole when a document is refused.
#ifndef TARVO_REPORT_H
#define TARVO_REPORT_H

#include <stddef.h>
#include <stdint.h>

#include <new>
#include <string>
#include <string_view>

#include "statement/statement.h"
#include "statement/xml_stream.h"
#include "statement/xml_tree.h"
#include "tarvo.h"

namespace tarvo::report {

// What a node of a reader's tree stands for: the value it holds (0: none), the scope
// its element opens (0: none), and whether it is an amount with a Ccy attribute.
struct Node {
    uint8_t field = 0;
    uint8_t opens = 0;
    bool amount = false;
};

// A path below the message element and what it stands for.
struct Row {
    std::string_view path;
    uint8_t field;
    uint8_t opens = 0;
    bool amount = false;
};

// A tree with the nodes of its rows; node 0 is the message element.
struct Paths {
    xml::Tree tree;
    Node nodes[xml::Tree::max_nodes]{};

    void add(std::string_view prefix, const Row &row);
};

// A count as the schemas write it: 1 to 15 digits.
bool is_count(std::string_view text);

// The namespace URI of ISO 20022's schemas for a message version ("pain.002.001.10").
bool is_iso_namespace(std::string_view ns, std::string_view version);

// Drives a Paths tree: tells the reader of every scope opened and closed and of every
// value read, in document order.
class TreeReader : public xml::Stream {
public:
    TreeReader(char (&error)[256], size_t record_size, const Paths *paths)
        : Stream(error, record_size), paths_(paths) {}

protected:
    // Follows paths from the message element on; identify() may choose them.
    void use(const Paths &paths) { paths_ = &paths; }
    // The root's namespace (null: none) names the document; false refuses it, with the
    // reason set through fail().
    virtual bool identify(const char *ns) = 0;
    // The message element below <Document> that identify() chose.
    virtual std::string_view message() const = 0;
    virtual void open_scope(uint8_t scope) = 0;
    virtual void close_scope(uint8_t scope) = 0;
    // A value as written; currency for amounts.
    virtual void value(uint8_t field, std::string_view name, const std::string &text, std::string_view currency) = 0;
    // The end of the document: what spans the records is settled here.
    virtual void finish() = 0;
    // What documents of this kind are called in errors: "status report".
    virtual const char *kind() const = 0;

private:
    friend class xml::Stream;
    void root(std::string_view name, const XML_Char **attributes) final;
    bool open(int depth, const char *local, const XML_Char **attributes) final;
    void close(int depth) final;

    const Paths *paths_;
    uint16_t nodes_[xml::max_depth]{};
    int node_count_ = 0;
    bool saw_message_ = false;
    char currency_[4]{};
};

// One load's records, dropped whole.
struct Loaded {
    RecordArena records;
    // A NUL-terminated copy in the arena; throws std::bad_alloc when memory is exhausted.
    char *copy(std::string_view text);
    template <class T> T *make() { return array<T>(1); }
    template <class T> T *array(size_t count) {
        T *records_made = records.make_array<T>(count);
        if (records_made == nullptr) throw std::bad_alloc();
        return records_made;
    }
};

// Opens path or takes data[0, size) and hands the input to read; the error text says
// why when it is refused. A handle loads once: used is set on the first call.
bool load(char (&error)[256], bool &used, const char *path, const char *data, size_t size,
          bool (*read)(void *context, const xml::Input &in), void *context);

void out_of_memory(char (&error)[256]);

// What a reader of Document does.
template <class Document> using Read = bool (*)(Loaded &, Document &, const xml::Input &, char (&)[256]);

// A parser handle of the C interface. The error text is the first member: bindings
// read it at the handle's own address. Records are handed out only when the whole
// document was read.
template <class Document> struct Handle {
    char error[256]{};
    bool used = false;
    Loaded *loaded = nullptr;
    Document document{};

    Handle() = default;
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    ~Handle() { delete loaded; }

    // path, or else data[0, size): 1 read, 0 refused.
    template <Read<Document> reader> int load_from(const char *path, const char *data, size_t size) {
        auto step = [](void *context, const xml::Input &in) {
            auto *h = static_cast<Handle *>(context);
            try {
                h->loaded = new Loaded;
                if (reader(*h->loaded, h->document, in, h->error)) return true;
            } catch (const std::bad_alloc &) {
                out_of_memory(h->error);
            }
            delete h->loaded;
            h->loaded = nullptr;
            h->document = Document{};
            return false;
        };
        return load(error, used, path, data, size, step, this) ? 1 : 0;
    }
};

// ---- Status reports ----------------------------------------------------------------

struct StatusList {
    tarvo_status_t *first = nullptr;
    tarvo_status_t *last = nullptr;
    const char *version = nullptr; // a constant
};

// Reads a pain.002 document into out; false with the reason in error, the records then
// incomplete.
bool read_status(Loaded &loaded, StatusList &out, const xml::Input &in, char (&error)[256]);

// ---- Payment files -------------------------------------------------------------------

struct PainDocument {
    tarvo_pain_block_t *first = nullptr;
    tarvo_pain_block_t *last = nullptr;
    const char *version = nullptr; // a constant
    char *message_id = nullptr;
    char *creation_time = nullptr;
    char *number_of_transactions = nullptr;
    char *control_sum = nullptr;
    char *initiating_party = nullptr;
};

// Reads a pain.001 or pain.008 document into out, as read_status.
bool read_pain(Loaded &loaded, PainDocument &out, const xml::Input &in, char (&error)[256]);

} // namespace tarvo::report

#endif
