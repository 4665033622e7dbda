// The element names a reader follows below one element, as a tree built once from its
// tables: a reader finds the child of the element it is in by name and skips every
// element the tree does not list.
#ifndef TARVO_STATEMENT_XML_TREE_H
#define TARVO_STATEMENT_XML_TREE_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <array>
#include <string_view>

// Under a memory checker no read may pass the end of a string, not even within a page.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARVO_MEMORY_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TARVO_MEMORY_CHECKED 1
#endif
#endif

namespace tarvo::xml {

// An element's name as a key: its bytes in three words, zero from its NUL on. A tree
// holds names of fewer than 24 bytes, so keys tell them apart on their own; a longer
// name gets a key no tree name has.
struct Key {
    std::array<uint64_t, 3> words{};

    Key() = default;
    // The key of a NUL-terminated name. Called for every element: the name is read eight
    // bytes at a time, as the C library reads strings, and never measured.
    explicit Key(const char *name) {
        for (size_t i = 0; i < words.size(); ++i) {
            const uint64_t word = word_at(name + 8 * i);
            if (const uint64_t z = zero_bytes(word)) {
                words[i] = word & before(z);
                return;
            }
            words[i] = word;
        }
        // The top byte of a tree name's third word is its NUL or after it.
        words[2] = too_long;
    }
    static constexpr uint64_t too_long = ~uint64_t{0};
    bool operator==(const Key &) const = default;

    // Eight bytes from text on, of which those after a NUL are any. A load that stays
    // within one page cannot fault, whatever lies behind the NUL; one that would cross
    // into the next page, and any under a memory checker, stops at the NUL instead.
    static uint64_t word_at(const char *text) {
#ifdef TARVO_MEMORY_CHECKED
        constexpr bool checked = true;
#else
        constexpr bool checked = false;
#endif
        uint64_t word = 0;
        if (!checked && (reinterpret_cast<uintptr_t>(text) & (page - 1)) <= page - 8) [[likely]] {
            memcpy(&word, text, 8);
            return word;
        }
        for (size_t i = 0; i < 8 && text[i] != '\0'; ++i) word |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
        return word;
    }

private:
    static constexpr uintptr_t page = 4096;
    // The high bit of each byte that is zero; exact up to the first zero byte, which is
    // all that is asked of it.
    static uint64_t zero_bytes(uint64_t word) {
        return (word - 0x0101010101010101u) & ~word & 0x8080808080808080u;
    }
    // The bytes before the first zero one.
    static uint64_t before(uint64_t zeros) { return (zeros & -zeros) - 1; }
};

class Tree {
public:
    static constexpr size_t max_nodes = 192;
    static constexpr size_t max_name = 24;

    // Node 0 is the element the tree starts below.
    Tree() = default;

    // The child of parent named name, or -1: each node has a small table of its own
    // children, hashed so that none of them collide, and a lookup takes one entry and
    // one comparison of keys.
    int child(uint16_t parent, const char *name) const {
        const Key key(name);
        const uint8_t n = find(parent, key);
        return n != 0 ? entries_[n - 1].node : -1;
    }

    // What a reader learns of the order children come in: documents list the children
    // of an element in much the same order every time. Entry numbers from 1, 0: none.
    struct Order {
        std::array<uint8_t, max_nodes> first{}; // the first child of a node, last time
        std::array<uint8_t, UINT8_MAX + 1> after{}; // the child that came after an entry
        // The entry expected among parent's children after entry previous (0: before the
        // first), 0 when none was learned.
        uint8_t &expected(uint16_t parent, uint8_t previous) { return previous != 0 ? after[previous] : first[parent]; }
        uint8_t expected(uint16_t parent, uint8_t previous) const { return previous != 0 ? after[previous] : first[parent]; }
    };
    // child() for a reader that goes through the document in order and calls this for
    // every element: previous is the entry of the child of parent met last (0 before the
    // first), updated here. The child expected after it is tried before the table.
    int next_child(uint16_t parent, const char *name, uint8_t &previous, Order &order) const {
        uint8_t &expected = order.expected(parent, previous);
        uint8_t n = expected;
        if (!expected_named(n, name)) [[unlikely]] {
            n = find(parent, Key(name));
            if (n == 0) return -1;
            expected = n;
        }
        previous = n;
        return entries_[n - 1].node;
    }
    // The part of next_child() that asks no table: the child expected next, when it has
    // that name, with previous updated; -1 otherwise, with nothing changed.
    int expected_child(uint16_t parent, const char *name, uint8_t &previous, const Order &order) const {
        const uint8_t n = order.expected(parent, previous);
        if (!expected_named(n, name)) return -1;
        previous = n;
        return entries_[n - 1].node;
    }
    // Builds the tables child() looks in; called once the tree is complete.
    void seal();
    // The node of path ("A/B/C") below node, created where missing.
    uint16_t walk(uint16_t node, std::string_view path);
    // node leads to the same children as like: a second way to the same content.
    void share_children(uint16_t node, uint16_t like);
    std::string_view name(uint16_t node) const { return {names_[node].data(), lengths_[node]}; }
    size_t size() const { return size_; }

private:
    // A (parent, name) pair. Entries lie in a short array behind the nodes' tables of
    // bytes, so that both stay in the first-level cache beside the parser's own data.
    struct Entry {
        Key key;
        uint8_t parent;
        uint8_t node;
        uint8_t words; // that the name and its NUL take
        uint64_t last; // the bytes of the last word up to the NUL
    };
    static_assert(max_nodes <= UINT8_MAX);
    static constexpr size_t max_entries = UINT8_MAX;

    // A node's children in lookup_: 2^(64 - shift) entries from base on, placed by a
    // multiplier chosen for them.
    struct Table {
        uint16_t base = 0;
        uint8_t shift = 63;
        uint8_t multiplier = 0;
    };
    static constexpr size_t lookup_size = 2048;
    static constexpr size_t multiplier_count = 256;
    static constexpr std::array<uint64_t, multiplier_count> multipliers = [] {
        std::array<uint64_t, multiplier_count> all{};
        uint64_t state = 0x9E3779B97F4A7C15u;
        for (uint64_t &m : all) {
            // splitmix64
            uint64_t z = (state += 0x9E3779B97F4A7C15u);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            m = (z ^ (z >> 31)) | 1;
        }
        return all;
    }();
    // Whether e has that name. Entries are only looked at among the children of the
    // parent asked for: the parent's table holds them, and an order learned holds
    // entries of the same parent.
    static bool matches(const Entry &e, const Key &key) { return e.key == key; }
    // Whether e has that name, without making its key: only the bytes up to e's NUL are
    // read and compared, the NUL among them, so a longer name does not match.
    static bool named(const Entry &e, const char *name) {
        uint64_t word = Key::word_at(name);
        if (e.words == 1) return (word & e.last) == e.key.words[0];
        if (word != e.key.words[0]) return false;
        word = Key::word_at(name + 8);
        if (e.words == 2) return (word & e.last) == e.key.words[1];
        return word == e.key.words[1] && (Key::word_at(name + 16) & e.last) == e.key.words[2];
    }
    bool expected_named(uint8_t n, const char *name) const { return n != 0 && named(entries_[n - 1], name); }
    // The entry number of parent's child of that name from its table, or 0.
    uint8_t find(uint16_t parent, const Key &key) const {
        const Table &t = tables_[parent];
        const uint8_t n = lookup_[t.base + (fold(key) * multipliers[t.multiplier] >> t.shift)];
        return n != 0 && matches(entries_[n - 1], key) ? n : 0;
    }
    static uint64_t fold(const Key &key) { return key.words[0] ^ (key.words[1] * 0x9E3779B97F4A7C15u) ^ key.words[2]; }
    // Places parent's children in a table of 2^bits entries at base; false when the
    // multipliers all make two of them collide.
    bool place(uint16_t parent, const uint8_t *children, size_t count, size_t base, unsigned bits);

    // The entry number of parent's child of that name, or 0; for building the tree.
    uint8_t entry_of(uint16_t parent, const Key &key) const;
    void link(uint16_t parent, uint16_t node, const Entry &named);
    uint16_t add_child(uint16_t parent, std::string_view name);

    std::array<std::array<char, max_name>, max_nodes> names_{};
    std::array<uint8_t, max_nodes> lengths_{}; // of names_
    uint16_t size_ = 1;
    std::array<Entry, max_entries> entries_{};
    size_t entry_count_ = 0;
    std::array<Table, max_nodes> tables_{};
    std::array<uint8_t, lookup_size> lookup_{}; // entry number from 1, 0: no child
};

} // namespace tarvo::xml

#endif
