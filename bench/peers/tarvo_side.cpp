// tarvo's side of `make bench-peers`: the same works as the peers, on the same inputs,
// through the public C interface. Verdicts carry the reason, so the report can class
// the disagreements.
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "driver.h"
#include "ident/ident.h"
#include "tarvo.h"

namespace {

using peers::best_seconds;
using peers::result;

void iban_work(const std::string &in, const std::string &out, const char *work) {
    const auto ibans = peers::read_lines(in + "/" + work + ".txt");
    std::vector<std::string> verdicts;
    for (const std::string &iban : ibans) {
        const char *message = nullptr;
        verdicts.push_back(tarvo::iban_check(iban.c_str(), &message) == 1 ? "1" : std::string("0 ") + message);
    }
    peers::write_verdicts(out, work, "tarvo", verdicts);
    long valid = 0;
    const double s = best_seconds(5, [&] {
        for (const std::string &iban : ibans) valid += tarvo_iban_check(iban.c_str()) == 1;
    });
    if (valid < 0) abort();
    result(work, "tarvo", s * 1e9 / static_cast<double>(ibans.size()));
}

void account_work(const std::string &in, const std::string &out) {
    const auto lines = peers::read_lines(in + "/accounts.txt");
    std::vector<std::string> codes, accounts;
    for (const std::string &l : lines) {
        codes.push_back(l.substr(0, 8));
        accounts.push_back(l.substr(9));
    }
    std::vector<std::string> verdicts;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int r = tarvo_account_check_bank(accounts[i].c_str(), codes[i].c_str());
        char method[8];
        snprintf(method, sizeof method, "%02X", tarvo::german_method(codes[i].c_str()) & 0xFF);
        verdicts.push_back(std::string(r >= 1 ? "1" : r == 0 ? "0 not checkable" : r == -3 ? "0 unknown bank" : "0 invalid") +
                           " method " + method);
    }
    peers::write_verdicts(out, "accounts", "tarvo", verdicts);
    long valid = 0;
    const double s = best_seconds(5, [&] {
        for (size_t i = 0; i < lines.size(); ++i)
            valid += tarvo_account_check_bank(accounts[i].c_str(), codes[i].c_str()) >= 1;
    });
    if (valid < 0) abort();
    result("accounts", "tarvo", s * 1e9 / static_cast<double>(lines.size()));
}

std::vector<std::string> split_tabs(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

// Building the document with tarvo_add and writing it with tarvo_toXML, as a caller does.
void payment_work(const std::string &in, bool direct_debit) {
    const char *work = direct_debit ? "pain008" : "pain001";
    std::vector<std::vector<std::string>> rows;
    for (const std::string &line : peers::read_lines(in + "/payments.tsv")) rows.push_back(split_tabs(line));
    std::vector<std::vector<const char *>> lists;
    for (const auto &f : rows) {
        std::vector<const char *> kv{"name", f[0].c_str(), "iban", f[1].c_str(), "bic", f[2].c_str(),
                                     "amount", f[3].c_str(), "id", f[4].c_str(), "ref", f[9].c_str()};
        if (direct_debit)
            for (const char *extra : {"mref", f[5].c_str(), "mdate", f[6].c_str(), "seq", f[7].c_str(), "date", f[8].c_str()})
                kv.push_back(extra);
        else
            for (const char *extra : {"date", f[8].c_str()}) kv.push_back(extra);
        kv.push_back(nullptr);
        lists.push_back(std::move(kv));
    }
    tarvo_init(TARVO_INIT_RULEBOOK, "DE-3.7");
    size_t bytes = 0;
    bool failed = false;
    const double s = best_seconds(5, [&] {
        tarvo_t *h = tarvo_new(direct_debit ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI);
        tarvo_setIBAN(h, "DE89370400440532013000");
        tarvo_setBIC(h, "COBADEFFXXX");
        tarvo_setName(h, "Stadtwerke Musterstadt GmbH");
        if (direct_debit) tarvo_setCreditorIdentifier(h, "DE98ZZZ09999999999");
        tarvo_setMessageId(h, "PEERS-2026-12-08");
        for (const auto &kv : lists)
            if (tarvo_add(h, kv.data()) != 1 && !failed) {
                fprintf(stderr, "%s: tarvo_add: %s\n", work, tarvo_getError(h));
                failed = true;
            }
        char *xml = tarvo_toXML(h);
        if (xml == nullptr && !failed) {
            fprintf(stderr, "%s: tarvo_toXML: %s\n", work, tarvo_getError(h));
            failed = true;
        }
        bytes = xml != nullptr ? strlen(xml) : 0;
        free(xml);
        tarvo_free(h);
    });
    if (failed) return;
    result(work, "tarvo", s * 1e6 / static_cast<double>(rows.size()));
    fprintf(stderr, "%s: %zu transactions, %zu bytes of XML\n", work, rows.size(), bytes);
}

void statement_work(const std::string &in) {
    const std::string path = in + "/statements.sta";
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return;
    bool failed = false;
    const double s = best_seconds(5, [&] {
        tarvo_stmt_parser_t *p = tarvo_stmt_parser_new();
        if (tarvo_stmt_parser_load(p, TARVO_STMT_FORMAT_MT940, path.c_str()) != 1 && !failed) {
            fprintf(stderr, "mt940: %s\n", tarvo_stmt_parser_getError(p));
            failed = true;
        }
        tarvo_stmt_parser_free(p);
    });
    if (!failed) result("mt940", "tarvo", static_cast<double>(st.st_size) / (1 << 20) / s);
}

} // namespace

int main(int argc, char **argv) {
    using namespace std::placeholders;
    return peers::run_works(argc, argv, {{"ibans_mixed", std::bind(iban_work, _1, _2, "ibans_mixed")},
                                         {"ibans_de", std::bind(iban_work, _1, _2, "ibans_de")},
                                         {"accounts", account_work},
                                         {"pain008", std::bind(payment_work, _1, true)},
                                         {"pain001", std::bind(payment_work, _1, false)},
                                         {"mt940", std::bind(statement_work, _1)}});
}
