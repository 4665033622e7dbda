// Writes the README's table of transaction keys: the keys, types, limits and rulebooks come
// from the library's own key tables, the Java spellings from the builder of
// Transaction.java. The test suite compares its output with the README, so the table
// cannot fall behind the code.
//   tarvo_keytable <Transaction.java>
#include <stdio.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "message/message.h"

namespace {

// Key -> the builder call that sets it, such as "remittance(text)".
std::map<std::string, std::string> java_builder(const char *path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string source = text.str();
    std::map<std::string, std::string> calls;
    // A body may hold one level of blocks (a check before the property call).
    const std::regex method(R"(public Builder (\w+)\(([^)]*)\)\s*\{((?:[^{}]|\{[^{}]*\})*)\})");
    const std::regex property(R"rx(property\("(\w+)")rx");
    const std::regex parameter(R"((?:^|,)\s*\S+\s+(\w+))");
    for (auto m = std::sregex_iterator(source.begin(), source.end(), method); m != std::sregex_iterator(); ++m) {
        const std::string name = (*m)[1];
        if (name == "property") continue;
        std::string params;
        const std::string list = (*m)[2];
        for (auto p = std::sregex_iterator(list.begin(), list.end(), parameter); p != std::sregex_iterator(); ++p)
            params.append(params.empty() ? "" : ", ").append((*p)[1]);
        const std::string body = (*m)[3];
        for (auto k = std::sregex_iterator(body.begin(), body.end(), property); k != std::sregex_iterator(); ++k)
            calls.emplace((*k)[1], name + "(" + params + ")");
    }
    return calls;
}

std::string rulebooks(const tarvo::KeyDoc &doc) {
    std::string out;
    bool all = true;
    for (int i = 0; i < tarvo::rulebook_count; ++i) {
        all = all && doc.taken[i];
        if (doc.taken[i]) out.append(out.empty() ? "" : ", ").append(tarvo::rulebook(i)->id);
    }
    return all ? "all" : out;
}

struct Row {
    std::string key, type, limits, rulebooks;
    bool ddi = false, cti = false;
};

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "Usage: %s <Transaction.java>\n", argv[0]);
        return 2;
    }
    const auto java = java_builder(argv[1]);
    if (java.empty()) {
        fprintf(stderr, "%s: no builder methods found\n", argv[1]);
        return 1;
    }
    // One row per key where both kinds of transaction take it alike.
    std::vector<Row> rows;
    for (const tarvo::KeyDoc &doc : tarvo::transaction_keys()) {
        Row row{std::string(doc.key), doc.type, doc.limits, rulebooks(doc)};
        Row *same = nullptr;
        for (Row &r : rows)
            if (r.key == row.key && r.type == row.type && r.limits == row.limits && r.rulebooks == row.rulebooks)
                same = &r;
        if (same == nullptr) same = &rows.emplace_back(std::move(row));
        (doc.msgtype == TARVO_MSGTYPE_DDI ? same->ddi : same->cti) = true;
    }
    puts("| key | direct debit | credit transfer | type | limits | rulebooks | PHP | Java |");
    puts("|---|---|---|---|---|---|---|---|");
    for (const Row &r : rows) {
        const auto call = java.find(r.key);
        const std::string java_call = call != java.end() ? "`" + call->second + "`" : "`property(\"" + r.key + "\", v)`";
        printf("| `%s` | %s | %s | %s | %s | %s | `'%s' => v` | %s |\n", r.key.c_str(), r.ddi ? "yes" : "",
               r.cti ? "yes" : "", r.type.c_str(), r.limits.c_str(), r.rulebooks.c_str(), r.key.c_str(),
               java_call.c_str());
    }
    return 0;
}
