#include "statement/xml_tree.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace tarvo::xml {

// The tables are fixed: running out of room is a mistake in them, caught by any test.
void Tree::link(uint16_t parent, uint16_t node, const Key &key, size_t at) {
    if (entry_count_ >= max_entries || entry_count_ >= table_size / 2) abort();
    entries_[entry_count_] = Entry{key, static_cast<uint8_t>(parent), static_cast<uint8_t>(node)};
    index_[at] = static_cast<uint8_t>(++entry_count_);
}

uint16_t Tree::add_child(uint16_t parent, std::string_view name) {
    if (size_ >= max_nodes || name.size() >= max_name) abort();
    // The key is made from the name where it will stay, ended by a NUL.
    auto &text = names_[size_];
    text = {};
    memcpy(text.data(), name.data(), name.size());
    const Key key(text.data());
    const size_t at = probe(parent, text.data(), key);
    if (index_[at] != 0) return entries_[index_[at] - 1].node;
    lengths_[size_] = static_cast<uint8_t>(name.size());
    link(parent, size_, key, at);
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
        const size_t at = probe(node, names_[shared.node].data(), shared.key);
        if (index_[at] == 0)
            link(node, shared.node, shared.key, at);
        else
            entries_[index_[at] - 1].node = shared.node;
    }
}

} // namespace tarvo::xml
