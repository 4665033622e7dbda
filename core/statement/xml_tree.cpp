#include "statement/xml_tree.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace tarvo::xml {

uint8_t Tree::entry_of(uint16_t parent, const Key &key) const {
    for (size_t i = 0; i < entry_count_; ++i)
        if (entries_[i].parent == parent && entries_[i].key == key) return static_cast<uint8_t>(i + 1);
    return 0;
}

// The tables are fixed: running out of room is a mistake in them, caught by any test.
void Tree::link(uint16_t parent, uint16_t node, const Entry &named) {
    if (entry_count_ >= max_entries) abort();
    Entry &e = entries_[entry_count_++];
    e = named;
    e.parent = static_cast<uint8_t>(parent);
    e.node = static_cast<uint8_t>(node);
}

uint16_t Tree::add_child(uint16_t parent, std::string_view name) {
    if (size_ >= max_nodes || name.size() >= max_name) abort();
    // The key is made from the name where it will stay, ended by a NUL.
    auto &text = names_[size_];
    text = {};
    memcpy(text.data(), name.data(), name.size());
    const Key key(text.data());
    if (const uint8_t n = entry_of(parent, key)) return entries_[n - 1].node;
    lengths_[size_] = static_cast<uint8_t>(name.size());
    const size_t bytes = name.size() + 1; // with the NUL
    const size_t words = (bytes + 7) / 8;
    link(parent, size_, Entry{key, 0, 0, static_cast<uint8_t>(words), ~uint64_t{0} >> (8 * (8 * words - bytes))});
    return size_++;
}

uint16_t Tree::walk(uint16_t node, std::string_view path) {
    while (!path.empty()) {
        const size_t slash = std::min(path.find('/'), path.size());
        node = add_child(node, path.substr(0, slash));
        path.remove_prefix(std::min(slash + 1, path.size()));
    }
    return node;
}

// A child node already has by a name of like's is replaced by like's.
void Tree::share_children(uint16_t node, uint16_t like) {
    if (node == like) return;
    for (size_t i = 0, count = entry_count_; i < count; ++i) {
        const Entry shared = entries_[i];
        if (shared.parent != like) continue;
        if (const uint8_t n = entry_of(node, shared.key))
            entries_[n - 1].node = shared.node;
        else
            link(node, shared.node, shared);
    }
}

bool Tree::place(uint16_t parent, const uint8_t *children, size_t count, size_t base, unsigned bits) {
    Table &t = tables_[parent];
    t.base = static_cast<uint16_t>(base);
    t.shift = static_cast<uint8_t>(64 - bits);
    uint8_t *table = lookup_.data() + base;
    for (size_t m = 0; m < multiplier_count; ++m) {
        t.multiplier = static_cast<uint8_t>(m);
        std::fill(table, table + (size_t{1} << bits), uint8_t{0});
        size_t placed = 0;
        for (; placed < count; ++placed) {
            const uint8_t n = children[placed];
            uint8_t &at = table[fold(entries_[n - 1].key) * multipliers[m] >> t.shift];
            if (at != 0) break;
            at = n;
        }
        if (placed == count) return true;
    }
    return false;
}

// The tables are fixed: a tree they do not fit is a mistake in them, caught by any test.
void Tree::seal() {
    // Entry numbers grouped by parent.
    std::vector<uint8_t> children(entry_count_);
    std::array<size_t, max_nodes + 1> first{};
    for (size_t i = 0; i < entry_count_; ++i) ++first[entries_[i].parent + 1];
    for (size_t p = 0; p < max_nodes; ++p) first[p + 1] += first[p];
    std::array<size_t, max_nodes> filled{};
    for (size_t i = 0; i < entry_count_; ++i) {
        const uint8_t parent = entries_[i].parent;
        children[first[parent] + filled[parent]++] = static_cast<uint8_t>(i + 1);
    }
    lookup_ = {};
    // A node without children looks at the first two entries, which stay free.
    size_t base = 2;
    for (uint16_t parent = 0; parent < size_; ++parent) {
        const size_t count = first[parent + 1] - first[parent];
        tables_[parent] = Table{};
        if (count == 0) continue;
        // At most half full to begin with, doubled until no two children collide.
        unsigned bits = 1;
        while ((size_t{1} << bits) < 2 * count) ++bits;
        for (;; ++bits) {
            if (base + (size_t{1} << bits) > lookup_size) abort();
            if (place(parent, children.data() + first[parent], count, base, bits)) break;
        }
        base += size_t{1} << bits;
    }
}

} // namespace tarvo::xml
