// The documents the camt reader knows, told apart by their namespace:
// "urn:iso:std:iso:20022:tech:xsd:camt.053.001.02" is a statement in version 2.
#include <array>

#include "statement/camt.h"

namespace tarvo::camt {

namespace {

constexpr std::string_view prefix = "urn:iso:std:iso:20022:tech:xsd:";

struct Known {
    Message message;
    int oldest;
    std::string_view first_root; // the message element of version 1, named with its version
};

// From the oldest version with a published schema of this layout up to the newest one
// published; later versions are taken on only when checked against their schema.
constexpr int newest_version = 13;

constexpr std::array<Known, 3> known{{
    {{"camt.052", "BkToCstmrAcctRpt", "Rpt", 0, false}, 1, "BkToCstmrAcctRptV01"},
    {{"camt.053", "BkToCstmrStmt", "Stmt", 0, true}, 2, {}},
    {{"camt.054", "BkToCstmrDbtCdtNtfctn", "Ntfctn", 0, false}, 2, {}},
}};

// "001.08" -> 8; -1 unless it is exactly "001." and two digits.
int version_of(std::string_view v) {
    if (v.size() != 6 || !v.starts_with("001.")) return -1;
    if (v[4] < '0' || v[4] > '9' || v[5] < '0' || v[5] > '9') return -1;
    return (v[4] - '0') * 10 + (v[5] - '0');
}

} // namespace

bool identify(std::string_view ns, Message &out) {
    if (!ns.starts_with(prefix)) return false;
    ns.remove_prefix(prefix.size());
    for (const Known &k : known) {
        if (!ns.starts_with(k.message.name) || ns.size() <= k.message.name.size() || ns[k.message.name.size()] != '.')
            continue;
        const int version = version_of(ns.substr(k.message.name.size() + 1));
        if (version < k.oldest || version > newest_version) return false;
        out = k.message;
        out.version = version;
        if (version == 1) out.root = k.first_root;
        return true;
    }
    return false;
}

} // namespace tarvo::camt
