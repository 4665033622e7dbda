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

namespace tarvo::xml {

// An element's name as a key: its length and its first and last eight bytes, which
// overlap in a name under 16 bytes (a name under eight gives its first four and its last
// three with the NUL after them). Names of up to 16 bytes are told apart by comparing
// keys alone. The text must end in a NUL.
struct Key {
    uint64_t head = 0;
    uint64_t tail = 0;
    uint32_t size = 0;

    Key() = default;
    Key(const char *text, size_t length) : size(static_cast<uint32_t>(length)) {
        if (length >= 8) {
            memcpy(&head, text, 8);
            memcpy(&tail, text + length - 8, 8);
        } else if (length >= 3) {
            uint32_t first, last;
            memcpy(&first, text, 4);
            memcpy(&last, text + length - 3, 4);
            head = first | uint64_t{last} << 32;
        } else if (length > 0) {
            uint16_t both;
            memcpy(&both, text, 2);
            head = both;
        }
    }
    bool operator==(const Key &) const = default;
};

class Tree {
public:
    static constexpr size_t max_nodes = 192;
    static constexpr size_t max_name = 24;

    // Node 0 is the element the tree starts below.
    Tree() = default;

    // The child of parent named name, or -1. Called for every element of a document:
    // one hash table holds every (parent, name) pair, so a lookup takes one probe
    // whatever the order of the elements, and no strcmp.
    int child(uint16_t parent, const char *name) const {
        const size_t size = strlen(name);
        if (size >= max_name) return -1;
        return find(parent, name, Key(name, size));
    }
    // The node of path ("A/B/C") below node, created where missing.
    uint16_t walk(uint16_t node, std::string_view path);
    // node leads to the same children as like: a second way to the same content.
    void share_children(uint16_t node, uint16_t like);
    std::string_view name(uint16_t node) const { return {names_[node].data(), lengths_[node]}; }
    size_t size() const { return size_; }

private:
    // A (parent, name) pair. Entries lie in a short array behind an index of bytes, so
    // that both stay in the first-level cache beside the parser's own data.
    struct Entry {
        Key key;
        uint8_t parent;
        uint8_t node;
    };
    static_assert(max_nodes <= UINT8_MAX);
    static constexpr size_t max_entries = UINT8_MAX;
    // At most half full: a search for a name the tree lacks ends soon.
    static constexpr size_t table_size = 512;

    static size_t slot(uint16_t parent, const Key &key) {
        const uint64_t mixed = (key.head ^ key.tail ^ uint64_t{parent} << 48 ^ uint64_t{key.size} << 40) *
                               0x9E3779B97F4A7C15u;
        return static_cast<size_t>(mixed >> 55); // 9 bits: table_size
    }
    // The index position of parent's child of that name, or the free one where it would go.
    size_t probe(uint16_t parent, const char *text, const Key &key) const {
        for (size_t i = slot(parent, key);; i = (i + 1) % table_size) {
            const uint8_t n = index_[i];
            if (n == 0) return i;
            const Entry &e = entries_[n - 1];
            if (e.parent == parent && e.key == key &&
                (key.size <= 16 || memcmp(names_[e.node].data() + 8, text + 8, key.size - 16) == 0))
                return i;
        }
    }
    int find(uint16_t parent, const char *text, const Key &key) const {
        const uint8_t n = index_[probe(parent, text, key)];
        return n != 0 ? entries_[n - 1].node : -1;
    }
    void link(uint16_t parent, uint16_t node, const Key &key, size_t at);
    uint16_t add_child(uint16_t parent, std::string_view name);

    std::array<std::array<char, max_name>, max_nodes> names_{};
    std::array<uint8_t, max_nodes> lengths_{}; // of names_
    uint16_t size_ = 1;
    std::array<uint8_t, table_size> index_{}; // entry number from 1, 0: free
    std::array<Entry, max_entries> entries_{};
    size_t entry_count_ = 0;
};

} // namespace tarvo::xml

#endif
