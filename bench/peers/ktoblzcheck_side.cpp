// The ktoblzcheck side of `make bench-peers` (bench only, built only by that target): its
// IBAN check and its account check for a bank code, on the inputs tarvo reads.
#include <ktoblzcheck.h>
#include <iban.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "driver.h"

namespace {

void iban_work(const std::string &in, const std::string &out, const char *work) {
    const IbanCheck check;
    const auto ibans = peers::read_lines(in + "/" + work + ".txt");
    std::vector<std::string> verdicts;
    for (const std::string &iban : ibans) {
        const IbanCheck::Result r = check.check(iban);
        verdicts.push_back(r == IbanCheck::OK ? "1" : "0 " + std::to_string(r));
    }
    peers::write_verdicts(out, work, "ktoblzcheck", verdicts);
    long valid = 0;
    const double s = peers::best_seconds(5, [&] {
        for (const std::string &iban : ibans) valid += check.check(iban) == IbanCheck::OK;
    });
    if (valid < 0) abort();
    peers::result(work, "ktoblzcheck", s * 1e9 / static_cast<double>(ibans.size()));
}

void account_work(const std::string &in, const std::string &out) {
    const AccountNumberCheck check;
    const auto lines = peers::read_lines(in + "/accounts.txt");
    std::vector<std::string> codes, accounts;
    for (const std::string &l : lines) {
        codes.push_back(l.substr(0, 8));
        accounts.push_back(l.substr(9));
    }
    const char *const names[] = {"1", "0 unknown method", "0 invalid", "0 unknown bank"};
    std::vector<std::string> verdicts;
    for (size_t i = 0; i < lines.size(); ++i) verdicts.push_back(names[check.check(codes[i], accounts[i])]);
    peers::write_verdicts(out, "accounts", "ktoblzcheck", verdicts);
    long valid = 0;
    const double s = peers::best_seconds(5, [&] {
        for (size_t i = 0; i < lines.size(); ++i) valid += check.check(codes[i], accounts[i]) == AccountNumberCheck::OK;
    });
    if (valid < 0) abort();
    peers::result("accounts", "ktoblzcheck", s * 1e9 / static_cast<double>(lines.size()));
}

} // namespace

int main(int argc, char **argv) {
    using namespace std::placeholders;
    return peers::run_works(argc, argv, {{"ibans_mixed", std::bind(iban_work, _1, _2, "ibans_mixed")},
                                         {"ibans_de", std::bind(iban_work, _1, _2, "ibans_de")},
                                         {"accounts", account_work}});
}
