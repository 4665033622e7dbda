// Commands that read statement files (or standard input) and list their records.
#include <errno.h>
#include <langinfo.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>

#include <memory>
#include <string>

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

// Statement texts are the file's bytes. A UTF-8 terminal gets them as UTF-8 (Latin-1
// files converted); under any other locale they are printed as they are.
class Terminal {
public:
    Terminal() {
        const char *codeset = nl_langinfo(CODESET);
        utf8_ = codeset != nullptr && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
    }
    const char *operator()(const char *text) {
        if (!utf8_ || text == nullptr) return text;
        converted_.resize(2 * strlen(text) + 1);
        converted_.resize(tarvo_stmt_text_utf8(text, converted_.data()));
        return converted_.c_str();
    }
    template <size_t N> const char *operator()(const char (&field)[N]) {
        bounded_.assign(field, strnlen(field, N));
        const char *out = (*this)(bounded_.c_str());
        return out;
    }

private:
    bool utf8_ = false;
    std::string converted_;
    std::string bounded_;
};

void print_transaction(const tarvo_stmt_tx_t &t, Terminal &term) {
    printf("         GVC:     %03d\n", static_cast<int>(t.gvc));
    printf("         Bank:    %s\n", term(t.bank));
    printf("         Account: %s\n", term(t.account));
    printf("         Name:    %s\n", term(t.name));
    printf("         Amount:  %.02f\n", t.amount);
    // An entry not booked must not look booked.
    if (t.status[0] != '\0' && strcmp(t.status, "BOOK") != 0) printf("         Status:  %s\n", term(t.status));
    if (t.details != 0) printf("         Details: %u\n", t.details);
    if (t.returnReason != nullptr) printf("         Return:  %s\n", term(t.returnReason));
    if (t.txtext != nullptr) printf("         TX-Text: %s\n", term(t.txtext));
    if (t.purpose != nullptr) printf("         Purpose: %s\n", term(t.purpose));
    for (const Labelled &k : keyword_fields)
        if (t.*k.field != nullptr) printf("         %s:    %s\n", k.label, term(t.*k.field));
    putchar('\n');
}

// A balance the file does not state is left out rather than shown as 0.00.
void print_balance(const char *label, const char *text, double saldo, const char (&currency)[4], Terminal &term) {
    if (text != nullptr) printf("%s %.02f %s\n", label, saldo, term(currency));
}

void print_statement(const tarvo_stmt_t &s, Terminal &term) {
    if (s.ref != nullptr) printf("    Ref: %s\n", term(s.ref));
    if (s.account != nullptr) printf("Account: %s\n", term(s.account));
    if (s.number != 0) printf(" Number: %u\n", s.number);
    if (s.page != 0) printf("   Page: %u\n", s.page);
    print_balance("   open:", s.openSaldoText, s.openSaldo, s.openCurrency, term);
    for (const tarvo_stmt_tx_t *t = s.tx; t != nullptr; t = t->next) print_transaction(*t, term);
    print_balance("  close:", s.closeSaldoText, s.closeSaldo, s.closeCurrency, term);
    if (s.incomplete != 0) printf("Warning: the statement breaks off at a line that cannot be read\n");
    putchar('\n');
}

// 1 when a statement broke off, 0 otherwise.
int incomplete(tarvo_stmt_parser_t *parser) {
    for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(parser); s != nullptr; s = s->next)
        if (s->incomplete != 0) return 1;
    return 0;
}

// label names the format in the first line.
int list_statements(tarvo_stmt_parser_t *parser, const char *label) {
    printf("loaded %s...\n", label);
    Terminal term;
    for (const tarvo_stmt_t *s = tarvo_stmt_parser_getStatement(parser); s != nullptr; s = s->next)
        print_statement(*s, term);
    return incomplete(parser);
}

int write_json(tarvo_stmt_parser_t *parser) {
    write_statements_json(tarvo_stmt_parser_getStatement(parser), stdout);
    return incomplete(parser);
}

// Standard input, read to its end: a statement arrives whole or not at all.
bool read_stdin(std::string &data) {
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, stdin)) > 0) data.append(buffer, n);
    return ferror(stdin) == 0;
}

int load(tarvo_stmt_parser_t *parser, int format, const char *path) {
    if (strcmp(path, "-") != 0) return tarvo_stmt_parser_load(parser, format, path);
    std::string data;
    if (!read_stdin(data)) return -1;
    return tarvo_stmt_parser_loadMemory(parser, format, data.data(), data.size());
}

// "<file>" or "--json <file>" (either order); "-" reads standard input; wrong_usage
// otherwise.
int read_statements(int format, const char *label, char **args) {
    bool json = false;
    const char *path = nullptr;
    int paths = 0;
    for (char **word = args; *word != nullptr; ++word) {
        if (strcmp(*word, "--json") == 0 && !json) {
            json = true;
        } else {
            path = *word;
            ++paths;
        }
    }
    if (paths != 1) return wrong_usage;
    FILE *errors = json ? stderr : stdout;
    const std::unique_ptr<tarvo_stmt_parser_t, FreeParser> parser(tarvo_stmt_parser_new());
    if (parser == nullptr) {
        fprintf(errors, "%s: out of memory\n", label);
        return 1;
    }
    const int loaded = load(parser.get(), format, path);
    if (loaded < 0) {
        fprintf(errors, "%s: Error while reading from standard input: %s\n", label, strerror(errno));
        return 1;
    }
    if (loaded != 1) {
        fprintf(errors, "%s: %s\n", label, tarvo_stmt_parser_getError(parser.get()));
        return 1;
    }
    return json ? write_json(parser.get()) : list_statements(parser.get(), label);
}

} // namespace

int cmd_mt940(char **args) { return read_statements(TARVO_STMT_FORMAT_MT940, "MT940", args); }

int cmd_camt053(char **args) { return read_statements(TARVO_STMT_FORMAT_CAMT, "camt", args); }

} // namespace tarvotool
