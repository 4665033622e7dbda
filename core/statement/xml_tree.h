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

// An element's name as a key: its length and its first and last eight bytes
// (overlapping; of a name under eight bytes its first and last four, or its bytes).
// Names of up to 16 bytes are told apart by comparing the keys alone.
struct Key {
    uint64_t head = 0;
    uint64_t tail = 0;
    size_t size = 0;

    Key() = default;
    Key(const char *text, size_t length) : size(length) {
        if (size >= 8) {
            memcpy(&head, text, 8);
            memcpy(&tail, text + size - 8, 8);
        } else if (size >= 4) {
            uint32_t first, last;
            memcpy(&first, text, 4);
            memcpy(&last, text + size - 4, 4);
            head = first | uint64_t{last} << 32;
        } else {
            for (size_t i = 0; i < size; ++i) head |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
        }
    }
    bool operator==(const Key &) const = default;
};

class Tree {
public:
    static constexpr size_t max_nodes = 192;
    static constexpr size_t max_children = 24;
    static constexpr size_t max_name = 24;

    // Node 0 is the element the tree starts below.
    Tree() = default;

    // The child of parent named name, or -1. Called for every element of a document,
    // so it compares keys, and begins with the child found last below the same element
    // (next, kept by the caller from 0 on): elements come in the order of their schema,
    // the tree lists them in much the same order, and most are found at the first or
    // second try.
    int child(uint16_t parent, const char *name, uint8_t &next) const;
    // The node of path ("A/B/C") below node, created where missing.
    uint16_t walk(uint16_t node, std::string_view path);
    // node leads to the same children as like: a second way to the same content.
    void share_children(uint16_t node, uint16_t like);
    std::string_view name(uint16_t node) const { return {names_[node].data(), keys_[node].size}; }
    size_t size() const { return size_; }

private:
    uint16_t add_child(uint16_t parent, std::string_view name);

    int find(uint16_t parent, const char *text, const Key &key, uint8_t &next) const;
    bool is(uint16_t node, const char *text, const Key &key) const;

    std::array<std::array<char, max_name>, max_nodes> names_{};
    std::array<Key, max_nodes> keys_{}; // of names_
    std::array<std::array<uint16_t, max_children>, max_nodes> children_{};
    std::array<uint8_t, max_nodes> child_count_{};
    uint16_t size_ = 1;
};

inline bool Tree::is(uint16_t node, const char *text, const Key &key) const {
    return keys_[node] == key && (key.size <= 16 || memcmp(names_[node].data() + 8, text + 8, key.size - 16) == 0);
}

inline int Tree::find(uint16_t parent, const char *text, const Key &key, uint8_t &next) const {
    const auto &list = children_[parent];
    const uint8_t count = child_count_[parent];
    uint8_t i = next < count ? next : 0;
    for (uint8_t tried = 0; tried < count; ++tried) {
        if (is(list[i], text, key)) {
            // A repeated element is found again first, its next sibling second.
            next = i;
            return list[i];
        }
        if (++i == count) i = 0;
    }
    return -1;
}

inline int Tree::child(uint16_t parent, const char *name, uint8_t &next) const {
    const size_t size = strlen(name);
    return find(parent, name, Key(name, size), next);
}

} // namespace tarvo::xml

#endif
