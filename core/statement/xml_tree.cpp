#include "statement/xml_tree.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace tarvo::xml {

uint16_t Tree::add_child(uint16_t parent, std::string_view name) {
    // The tables are fixed: running out of room is a mistake in them, caught by any test.
    if (size_ >= max_nodes || child_count_[parent] >= max_children || name.size() >= max_name) abort();
    const Key key(name.data(), name.size());
    uint8_t next = 0;
    const int found = find(parent, name.data(), key, next);
    if (found >= 0) return static_cast<uint16_t>(found);
    memcpy(names_[size_].data(), name.data(), name.size());
    keys_[size_] = key;
    children_[parent][child_count_[parent]++] = size_;
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

void Tree::share_children(uint16_t node, uint16_t like) {
    children_[node] = children_[like];
    child_count_[node] = child_count_[like];
}

} // namespace tarvo::xml
