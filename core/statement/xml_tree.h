// The element names a reader follows below one element, as a tree built once from its
// tables: a reader finds the child of the element it is in by name and skips every
// element the tree does not list.
#ifndef TARVO_STATEMENT_XML_TREE_H
#define TARVO_STATEMENT_XML_TREE_H

#include <stddef.h>
#include <stdint.h>

#include <array>
#include <string_view>

namespace tarvo::xml {

class Tree {
public:
    static constexpr size_t max_nodes = 192;
    static constexpr size_t max_children = 24;
    static constexpr size_t max_name = 24;

    // Node 0 is the element the tree starts below.
    Tree() = default;

    // The child of parent named name, or -1. Called for every element of a document,
    // so it compares NUL-terminated names, usually decided by their first character.
    int child(uint16_t parent, const char *name) const;
    // The node of path ("A/B/C") below node, created where missing.
    uint16_t walk(uint16_t node, std::string_view path);
    // node leads to the same children as like: a second way to the same content.
    void share_children(uint16_t node, uint16_t like);
    std::string_view name(uint16_t node) const { return {names_[node].data(), lengths_[node]}; }
    size_t size() const { return size_; }

private:
    uint16_t add_child(uint16_t parent, std::string_view name);

    std::array<std::array<char, max_name>, max_nodes> names_{};
    std::array<uint8_t, max_nodes> lengths_{};
    std::array<std::array<uint16_t, max_children>, max_nodes> children_{};
    std::array<uint8_t, max_nodes> child_count_{};
    uint16_t size_ = 1;
};

} // namespace tarvo::xml

#endif
