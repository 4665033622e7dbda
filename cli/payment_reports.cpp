// Commands that read payment files and the bank's status reports on them.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

using json = nlohmann::ordered_json;

// "<file>" or "--json <file>" (either order), "-" for standard input; false otherwise.
bool read_options(char **args, bool &json_out, const char *&path) {
    int words = 0;
    json_out = false;
    path = nullptr;
    for (char **word = args; *word != nullptr; ++word, ++words) {
        if (strcmp(*word, "--json") == 0 && !json_out)
            json_out = true;
        else
            path = path == nullptr ? *word : nullptr;
    }
    return path != nullptr && words == (json_out ? 2 : 1);
}

bool read_stdin(std::string &out) {
    char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, stdin)) > 0) out.append(buffer, n);
    return ferror(stdin) == 0;
}

// Loads path ("-": standard input) through load or load_memory; 1 with the reason on
// standard error (the text listing: standard output) when refused.
template <class Parser>
int load(Parser *parser, const char *path, bool json_out, const char *label, int (*load_file)(Parser *, const char *),
         int (*load_memory)(Parser *, const char *, size_t), const char *(*error)(Parser *)) {
    FILE *report = json_out ? stderr : stdout;
    if (parser == nullptr) {
        fprintf(report, "%s: out of memory\n", label);
        return 1;
    }
    int ok;
    if (strcmp(path, "-") == 0) {
        std::string input;
        if (!read_stdin(input)) {
            fprintf(report, "%s: Error while reading from standard input: %s\n", label, strerror(errno));
            return 1;
        }
        ok = load_memory(parser, input.data(), input.size());
    } else {
        ok = load_file(parser, path);
    }
    if (ok != 1) {
        fprintf(report, "%s: %s\n", label, error(parser));
        return 1;
    }
    return 0;
}

template <class Record> struct Text {
    const char *key;
    char *Record::*field;
};

template <class Record, size_t N> void put_texts(json &out, const Record &r, const Text<Record> (&texts)[N]) {
    for (const Text<Record> &t : texts)
        if (r.*t.field != nullptr) out[t.key] = r.*t.field;
}

void put_line(const json &line) {
    const std::string text = line.dump(-1, ' ', false, json::error_handler_t::replace);
    fputs(text.c_str(), stdout);
    fputc('\n', stdout);
}

// ---- Status reports ----------------------------------------------------------------

constexpr const char *level_names[] = {"", "group", "payment", "transaction"};

using Status = tarvo_status_t;

constexpr Text<Status> status_ids[] = {
    {"originalMessageId", &Status::originalMessageId},
    {"originalPaymentInformationId", &Status::originalPaymentInformationId},
    {"originalEndToEndId", &Status::originalEndToEndId},
    {"originalInstructionId", &Status::originalInstructionId},
    {"status", &Status::status},
};

json status_json(const Status &r, const char *version) {
    json out = json::object();
    out["level"] = level_names[r.level];
    put_texts(out, r, status_ids);
    if (r.reasonCount > 0) out["reasons"] = json(std::vector<std::string>(r.reasons, r.reasons + r.reasonCount));
    if (r.additionalInfo != nullptr) out["additionalInfo"] = r.additionalInfo;
    if (r.countCount > 0) {
        json counts = json::object();
        for (size_t i = 0; i < r.countCount; ++i) counts[r.counts[i].status] = strtoull(r.counts[i].count, nullptr, 10);
        out["counts"] = std::move(counts);
    }
    if (r.originalUETR != nullptr) out["originalUETR"] = r.originalUETR;
    out["version"] = version;
    return out;
}

constexpr Text<Status> status_listing[] = {
    {"Message", &Status::originalMessageId},
    {"Message name", &Status::originalMessageName},
    {"Payment info", &Status::originalPaymentInformationId},
    {"Instruction", &Status::originalInstructionId},
    {"End-to-end", &Status::originalEndToEndId},
    {"UETR", &Status::originalUETR},
    {"Transactions", &Status::originalNumberOfTransactions},
    {"Control sum", &Status::originalControlSum},
    {"Status", &Status::status},
    {"Info", &Status::additionalInfo},
    {"Amount", &Status::amount},
    {"Name", &Status::name},
    {"IBAN", &Status::iban},
    {"Payee's bank", &Status::payeeBankName},
};

template <class Record, size_t N> void print_texts(const Record &r, const Text<Record> (&texts)[N], int indent) {
    for (const Text<Record> &t : texts)
        if (r.*t.field != nullptr) printf("%*s%-14s %s\n", indent, "", t.key, r.*t.field);
}

void print_status(const Status &r) {
    printf("%s\n", level_names[r.level]);
    print_texts(r, status_listing, 2);
    for (size_t i = 0; i < r.reasonCount; ++i) printf("  %-14s %s\n", "Reason", r.reasons[i]);
    for (size_t i = 0; i < r.countCount; ++i) printf("  %-14s %s %s\n", "Count", r.counts[i].status, r.counts[i].count);
    putchar('\n');
}

// ---- Payment files -------------------------------------------------------------------

using Block = tarvo_pain_block_t;
using Tx = tarvo_pain_tx_t;

constexpr Text<Block> block_texts[] = {
    {"paymentInformationId", &Block::paymentInformationId},
    {"method", &Block::method},
    {"batchBooking", &Block::batchBooking},
    {"numberOfTransactions", &Block::numberOfTransactions},
    {"controlSum", &Block::controlSum},
    {"serviceLevel", &Block::serviceLevel},
    {"localInstrument", &Block::localInstrument},
    {"sequenceType", &Block::sequenceType},
    {"date", &Block::date},
    {"name", &Block::name},
    {"iban", &Block::iban},
    {"bic", &Block::bic},
    {"creditorId", &Block::creditorId},
};

constexpr Text<Tx> tx_texts[] = {
    {"instructionId", &Tx::instructionId},
    {"endToEndId", &Tx::endToEndId},
    {"uetr", &Tx::uetr},
    {"amount", &Tx::amount},
    {"name", &Tx::name},
    {"iban", &Tx::iban},
    {"bic", &Tx::bic},
    {"ultimateName", &Tx::ultimateName},
    {"mandateId", &Tx::mandateId},
    {"mandateDate", &Tx::mandateDate},
    {"originalMandateId", &Tx::originalMandateId},
    {"originalIban", &Tx::originalIban},
    {"creditorId", &Tx::creditorId},
    {"purpose", &Tx::purpose},
    {"remittance", &Tx::remittance},
    {"creditorRef", &Tx::creditorRef},
};

json block_json(const Block &b, tarvo_pain_parser_t *parser) {
    json out = json::object();
    out["version"] = tarvo_pain_parser_getVersion(parser);
    if (const char *id = tarvo_pain_parser_getMessageId(parser)) out["messageId"] = id;
    put_texts(out, b, block_texts);
    json txs = json::array();
    for (const Tx *t = b.tx; t != nullptr; t = t->next) {
        json tx = json::object();
        put_texts(tx, *t, tx_texts);
        if (t->currency[0] != '\0') tx["currency"] = t->currency;
        txs.push_back(std::move(tx));
    }
    out["transactions"] = std::move(txs);
    return out;
}

void print_block(const Block &b) {
    printf("Payment information\n");
    for (const Text<Block> &t : block_texts)
        if (b.*t.field != nullptr) printf("  %-22s %s\n", t.key, b.*t.field);
    for (const Tx *t = b.tx; t != nullptr; t = t->next) {
        printf("  Transaction\n");
        for (const Text<Tx> &x : tx_texts)
            if (t->*x.field != nullptr) printf("    %-20s %s%s%s\n", x.key, t->*x.field, x.field == &Tx::amount ? " " : "",
                                              x.field == &Tx::amount ? t->currency : "");
    }
    putchar('\n');
}

struct FreeStatus {
    void operator()(tarvo_status_parser_t *p) const { tarvo_status_parser_free(p); }
};
struct FreePain {
    void operator()(tarvo_pain_parser_t *p) const { tarvo_pain_parser_free(p); }
};

} // namespace

int cmd_pain002(char **args) {
    bool json_out;
    const char *path;
    if (!read_options(args, json_out, path)) return wrong_usage;
    const std::unique_ptr<tarvo_status_parser_t, FreeStatus> parser(tarvo_status_parser_new());
    if (int refused = load(parser.get(), path, json_out, "pain.002", tarvo_status_parser_load,
                           tarvo_status_parser_loadMemory, tarvo_status_parser_getError))
        return refused;
    const char *version = tarvo_status_parser_getVersion(parser.get());
    if (!json_out) printf("loaded %s...\n", version);
    for (const Status *r = tarvo_status_parser_getRecord(parser.get()); r != nullptr; r = r->next) {
        if (json_out)
            put_line(status_json(*r, version));
        else
            print_status(*r);
    }
    return 0;
}

int cmd_pain(char **args) {
    bool json_out;
    const char *path;
    if (!read_options(args, json_out, path)) return wrong_usage;
    const std::unique_ptr<tarvo_pain_parser_t, FreePain> parser(tarvo_pain_parser_new());
    if (int refused = load(parser.get(), path, json_out, "pain", tarvo_pain_parser_load, tarvo_pain_parser_loadMemory,
                           tarvo_pain_parser_getError))
        return refused;
    if (!json_out) {
        printf("loaded %s...\n", tarvo_pain_parser_getVersion(parser.get()));
        if (const char *id = tarvo_pain_parser_getMessageId(parser.get())) printf("Message: %s\n\n", id);
    }
    for (const Block *b = tarvo_pain_parser_getBlock(parser.get()); b != nullptr; b = b->next) {
        if (json_out)
            put_line(block_json(*b, parser.get()));
        else
            print_block(*b);
    }
    return 0;
}

} // namespace tarvotool
