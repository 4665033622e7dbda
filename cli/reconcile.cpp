// tarvotool reconcile: the library's reconciliation of payment files with status reports
// and statements, as JSON Lines or as a listing.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

using json = nlohmann::ordered_json;

struct FreeReconciliation {
    void operator()(tarvo_reconcile_t *r) const { tarvo_reconcile_free(r); }
};
using Handle = std::unique_ptr<tarvo_reconcile_t, FreeReconciliation>;

using Adder = int (*)(tarvo_reconcile_t *, const char *);

struct Option {
    std::string_view name;
    Adder add;
};

constexpr std::array<Option, 3> options{{
    {"--payments", tarvo_reconcile_addPayments},
    {"--status", tarvo_reconcile_addStatus},
    {"--statements", tarvo_reconcile_addStatements},
}};

struct Column {
    const char *json_key;
    const char *heading;
    const char *tarvo_reconcile_row_t::*field;
};

constexpr std::array<Column, 8> columns{{
    {"messageId", "MESSAGE", &tarvo_reconcile_row_t::messageId},
    {"paymentInformationId", "PAYMENT", &tarvo_reconcile_row_t::paymentInformationId},
    {"endToEndId", "END-TO-END", &tarvo_reconcile_row_t::endToEndId},
    {"amount", "AMOUNT", &tarvo_reconcile_row_t::amount},
    {"state", "STATE", &tarvo_reconcile_row_t::state},
    {"reason", "REASON", &tarvo_reconcile_row_t::reason},
    {"vop", "VOP", &tarvo_reconcile_row_t::vop},
    {"evidence", "EVIDENCE", &tarvo_reconcile_row_t::evidence},
}};

using Cells = std::array<std::string, columns.size()>;

Cells cells(const tarvo_reconcile_row_t &row) {
    Cells out;
    for (size_t i = 0; i < columns.size(); ++i) {
        const char *value = row.*columns[i].field;
        out[i] = value != nullptr ? value : "";
    }
    return out;
}

void write_json(tarvo_reconcile_t *r) {
    for (size_t i = 0; i < tarvo_reconcile_count(r); ++i) {
        const tarvo_reconcile_row_t *row = tarvo_reconcile_row(r, i);
        json line = json::object();
        for (const Column &c : columns)
            if (row->*c.field != nullptr) line[c.json_key] = row->*c.field;
        fputs(line.dump(-1, ' ', false, json::error_handler_t::replace).c_str(), stdout);
        putchar('\n');
    }
}

// Columns as wide as their longest value; the reason and evidence, last, run free.
void write_listing(tarvo_reconcile_t *r) {
    std::vector<Cells> rows, unmatched;
    Cells heading;
    std::array<size_t, columns.size()> width{};
    for (size_t i = 0; i < columns.size(); ++i) heading[i] = columns[i].heading;
    for (size_t i = 0; i < tarvo_reconcile_count(r); ++i) {
        const tarvo_reconcile_row_t *row = tarvo_reconcile_row(r, i);
        (row->unmatched ? unmatched : rows).push_back(cells(*row));
    }
    const auto print = [&](const Cells &c) {
        std::string line;
        for (size_t i = 0; i < c.size(); ++i) {
            line += c[i];
            if (i + 1 < c.size()) line.append(width[i] - c[i].size() + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        puts(line.c_str());
    };
    for (const std::vector<Cells> *list : {&rows, &unmatched})
        for (const Cells &c : *list)
            for (size_t i = 0; i < c.size(); ++i) width[i] = std::max({width[i], c[i].size(), heading[i].size()});
    print(heading);
    for (const Cells &c : rows) print(c);
    if (unmatched.empty()) return;
    puts("\nunmatched:");
    for (const Cells &c : unmatched) print(c);
}

} // namespace

int cmd_reconcile(char **args) {
    const Handle r(tarvo_reconcile_new());
    if (r == nullptr) {
        fputs("reconcile: out of memory\n", stderr);
        return 1;
    }
    bool json = false;
    bool payments = false;
    const Option *current = nullptr;
    for (char **word = args; *word != nullptr; ++word) {
        const std::string_view w(*word);
        if (w == "--json") {
            json = true;
            continue;
        }
        const auto named = std::find_if(options.begin(), options.end(), [&](const Option &o) { return o.name == w; });
        if (named != options.end()) {
            current = &*named;
            continue;
        }
        if (current == nullptr || w.starts_with("--")) return wrong_usage;
        if (current->add(r.get(), *word) != 1) {
            fprintf(stderr, "reconcile: %s\n", tarvo_reconcile_getError(r.get()));
            return 1;
        }
        payments = payments || current->add == tarvo_reconcile_addPayments;
    }
    if (!payments) return wrong_usage;
    if (tarvo_reconcile_run(r.get()) != 1) {
        fprintf(stderr, "reconcile: %s\n", tarvo_reconcile_getError(r.get()));
        return 1;
    }
    for (size_t i = 0; i < tarvo_reconcile_warningCount(r.get()); ++i)
        fprintf(stderr, "reconcile: warning: %s\n", tarvo_reconcile_warning(r.get(), i));
    if (json)
        write_json(r.get());
    else
        write_listing(r.get());
    return 0;
}

} // namespace tarvotool
