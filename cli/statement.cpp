// Commands that read statement files and list their records.
#include <stdio.h>
#include <string.h>

#include <memory>

#include "commands.h"
#include "statement_json.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

struct FreeParser {
    void operator()(tarvo_stmt_parser_t *p) const { tarvo_stmt_parser_free(p); }
};

struct Labelled {
    const char *label;
    char *tarvo_stmt_tx_t::*field;
};

// Keyword fields in the order they are listed; the purpose code is left out.
constexpr Labelled keyword_fields[] = {
    {"EREF", &tarvo_stmt_tx_t::eref}, {"KREF", &tarvo_stmt_tx_t::kref}, {"MREF", &tarvo_stmt_tx_t::mref},
    {"CRED", &tarvo_stmt_tx_t::cred}, {"DEBT", &tarvo_stmt_tx_t::debt}, {"COAM", &tarvo_stmt_tx_t::coam},
    {"OAMT", &tarvo_stmt_tx_t::oamt}, {"SVWZ", &tarvo_stmt_tx_t::svwz}, {"ABWA", &tarvo_stmt_tx_t::abwa},
    {"ABWE", &tarvo_stmt_tx_t::abwe},
};

void print_transaction(const tarvo_stmt_tx_t &t) {
    printf("         GVC:     %03d\n", static_cast<int>(t.gvc));
    printf("         Bank:    %s\n", t.bank);
    printf("         Account: %s\n", t.account);
    printf("         Name:    %s\n", t.name);
    printf("         Amount:  %.02f\n", t.amount);
    if (t.txtext != nullptr) printf("         TX-Text: %s\n", t.txtext);
    if (t.purpose != nullptr) printf("         Purpose: %s\n", t.purpose);
    for (const Labelled &k : keyword_fields)
        if (t.*k.field != nullptr) printf("         %s:    %s\n", k.label, t.*k.field);
    putchar('\n');
}

void print_statement(const tarvo_stmt_t &s) {
    if (s.ref != nullptr) printf("    Ref: %s\n", s.ref);
    if (s.account != nullptr) printf("Account: %s\n", s.account);
    if (s.number != 0) printf(" Number: %u\n", s.number);
    if (s.page != 0) printf("   Page: %u\n", s.page);
    printf("   open: %.02f %s\n", s.openSaldo, s.openCurrency);
    for (const tarvo_stmt_tx_t *t = s.tx; t != nullptr; t = t->next) print_transaction(*t);
    printf("  close: %.02f %s\n", s.closeSaldo, s.closeCurrency);
    putchar('\n');
}

// Statement texts are printed as the bank wrote them, without conversion; label names
// the format in the first line.
int list_statements(tarvo_stmt_parser_t *parser, const char *label) {
    printf("loaded %s...\n", label);
    for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(parser); s != nullptr; s = s->next)
        print_statement(*s);
    return 0;
}

int write_json(tarvo_stmt_parser_t *parser) {
    write_statements_json(tarvo_stmt_parser_getStatement(parser), stdout);
    return 0;
}

// "<file>" or "--json <file>" (either order); wrong_usage otherwise.
int read_statements(int format, const char *label, char **args) {
    bool json = false;
    const char *path = nullptr;
    int words = 0;
    for (char **word = args; *word != nullptr; ++word, ++words) {
        if (strcmp(*word, "--json") == 0 && args[1] != nullptr)
            json = true;
        else
            path = path == nullptr ? *word : nullptr;
    }
    if (path == nullptr || words != (json ? 2 : 1)) return wrong_usage;
    const std::unique_ptr<tarvo_stmt_parser_t, FreeParser> parser(tarvo_stmt_parser_new());
    if (parser == nullptr) {
        fprintf(json ? stderr : stdout, "%s: out of memory\n", label);
        return 1;
    }
    if (tarvo_stmt_parser_load(parser.get(), format, path) != 1) {
        fprintf(json ? stderr : stdout, "%s: %s\n", label, tarvo_stmt_parser_getError(parser.get()));
        return 1;
    }
    return json ? write_json(parser.get()) : list_statements(parser.get(), label);
}

} // namespace

int cmd_mt940(char **args) { return read_statements(TARVO_STMT_FORMAT_MT940, "MT940", args); }

int cmd_camt053(char **args) { return read_statements(TARVO_STMT_FORMAT_CAMT, "camt", args); }

} // namespace tarvotool
