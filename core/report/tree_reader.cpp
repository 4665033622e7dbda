#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "report/report.h"

namespace tarvo::report {

namespace {
// Levels above the paths: <Document>, then the message element (node 0).
constexpr int document_level = 1;
constexpr int message_level = 2;
constexpr std::string_view iso_namespace = "urn:iso:std:iso:20022:tech:xsd:";
} // namespace

void Paths::add(std::string_view prefix, const Row &row) {
    std::string path(prefix);
    if (!prefix.empty() && !row.path.empty()) path.push_back('/');
    path.append(row.path);
    Node &node = nodes[tree.walk(0, path)];
    if (row.field != 0) node.field = row.field;
    if (row.opens != 0) node.opens = row.opens;
    node.amount = node.amount || row.amount;
}

bool is_count(std::string_view text) {
    return !text.empty() && text.size() <= 15 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool is_iso_namespace(std::string_view ns, std::string_view version) {
    return ns.size() == iso_namespace.size() + version.size() && ns.substr(0, iso_namespace.size()) == iso_namespace &&
           ns.substr(iso_namespace.size()) == version;
}

void TreeReader::root(std::string_view name, const XML_Char **attributes) {
    const size_t colon = name.find(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    char what[256];
    if (local != "Document") {
        snprintf(what, sizeof what, "Not a %s: the root element is <%.*s>", kind(),
                 static_cast<int>(std::min<size_t>(name.size(), 64)), name.data());
        return fail(what);
    }
    identify(root_namespace(name, attributes));
}

bool TreeReader::open(int depth, const char *local, const XML_Char **attributes) {
    if (depth == message_level) {
        const std::string_view expected = message();
        if (expected != local) {
            char what[160];
            snprintf(what, sizeof what, "Expected <%.*s> in <Document>, found <%.*s>", static_cast<int>(expected.size()),
                     expected.data(), static_cast<int>(xml::utf8_cut(local, 64)), local);
            fail(what);
        }
        saw_message_ = true;
        nodes_[0] = 0;
        node_count_ = 1;
        return true;
    }
    const int child = paths_->tree.child(nodes_[node_count_ - 1], local);
    if (child < 0) return false;
    nodes_[node_count_++] = static_cast<uint16_t>(child);
    const Node &node = paths_->nodes[child];
    if (node.opens != 0) open_scope(node.opens);
    if (node.field == 0) return true;
    if (node.amount) {
        const XML_Char *currency = nullptr;
        for (const XML_Char **a = attributes; *a != nullptr; a += 2)
            if (strcmp(a[0], "Ccy") == 0) currency = a[1];
        if (currency == nullptr) {
            fail(xml::Fault{xml::Fault::Missing, "Ccy", paths_->tree.name(static_cast<uint16_t>(child)), {}});
            return true;
        }
        if (!xml::currency_code(currency)) {
            fail(xml::Fault{xml::Fault::Malformed, "Ccy", {}, currency});
            return true;
        }
        memcpy(currency_, currency, 4);
    }
    capture(paths_->tree.name(static_cast<uint16_t>(child)));
    return true;
}

void TreeReader::close(int depth) {
    if (depth == document_level) {
        if (!saw_message_) {
            const std::string_view expected = message();
            return fail(xml::Fault{xml::Fault::Missing, expected, "Document", {}});
        }
        return finish();
    }
    if (depth == message_level) return;
    const uint16_t index = nodes_[--node_count_];
    const Node &node = paths_->nodes[index];
    if (node.field != 0)
        value(node.field, paths_->tree.name(index), captured(), node.amount ? std::string_view(currency_, 3) : "");
    if (!failed() && node.opens != 0) close_scope(node.opens);
}

char *Loaded::copy(std::string_view text) {
    char *out = records.copy(text.data(), text.size());
    if (out == nullptr) throw std::bad_alloc();
    return out;
}

} // namespace tarvo::report
