// Many threads whose first calls into the library come at the same moment, as in a fresh
// worker of a threaded host: IBAN and BIC checks, lookups, conversions, account checks
// and payment messages of each thread's own. Afterwards the main thread makes the same
// calls alone; every thread must have seen what it sees. Each generated message
// identification is printed on a line "msgid <id>" for the caller to look for repeats.
//
//   first_calls THREADS MESSAGES_PER_THREAD
//
// Exit status 0 when every thread agreed with the main thread, 1 otherwise, 2 on bad
// arguments.
#include <stdio.h>
#include <stdlib.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "tarvo.h"

namespace {

struct Run {
    std::vector<std::string> verdicts; // one line per call
    std::vector<std::string> msgids;
};

void note(Run &run, const char *call, const char *argument, int result, const char *detail = "") {
    run.verdicts.push_back(std::string(call) + "(" + argument + ") = " + std::to_string(result) + " " + detail);
}

void bank_lookups(Run &run) {
    tarvo_bank_t *bank = nullptr;
    // Upper and lower case, eight and eleven characters, a branch, misses.
    for (const char *bic : {"COBADEFFXXX", "cobadeff", "aacsde33", "BIWBDE33303", "AACSDE34", "BKAUATWW", "xyz"}) {
        const int r = tarvo_bic_getBank(bic, &bank);
        note(run, "bic_getBank", bic, r, r == 1 ? bank->name : "");
        if (r == 1) free(bank);
    }
    const char *codes[][2] = {{"DE", "37040044"}, {"DE", "00000000"}, {"AT", "19043"}, {"CH", "762"}, {"FR", "1"}};
    for (const auto &code : codes) {
        const int r = tarvo_bankid_check(code[0], code[1], &bank);
        note(run, "bankid_check", code[1], r, r == 1 ? bank->name : "");
        if (r == 1) free(bank);
    }
    for (const char *iban : {"DE89370400440532013000", "AT611904300234573201", "NL91ABNA0417164300"}) {
        const int r = tarvo_iban_getBank(iban, &bank);
        note(run, "iban_getBank", iban, r, r == 1 ? bank->name : "");
        if (r == 1) free(bank);
        char bic[12] = "";
        note(run, "iban_getBIC", iban, tarvo_iban_getBIC(iban, bic), bic);
    }
}

void checks_and_conversions(Run &run) {
    for (const char *iban : {"DE89370400440532013000", "DE88370400440532013000", "de89370400440532013000",
                             "GB82WEST12345698765432", "AT611904300234573201", "CH9300762011623852957",
                             "NO9386011117947", "XX89370400440532013000"})
        note(run, "iban_check", iban, tarvo_iban_check(iban));
    const char *accounts[][2] = {{"532013000", "37040044"}, {"1234567890", "10020030"}, {"0648489890", "50010517"}};
    for (const auto &account : accounts) {
        char iban[35] = "";
        uint8_t status = 0;
        const int r = tarvo_iban_convert("DE", account[0], account[1], iban, &status);
        note(run, "iban_convert", account[0], r, (std::string(iban) + " " + std::to_string(status)).c_str());
        note(run, "account_check2", account[0], tarvo_account_check2(account[0], account[1], 0x00));
    }
    for (int method : {0x00, 0x06, 0x13, 0x76, 0xA1})
        note(run, "account_check", std::to_string(method).c_str(), tarvo_account_check("0532013000", method));
}

// The text of the first element `tag`, or "".
std::string element(const std::string &doc, const std::string &tag) {
    const auto open = doc.find("<" + tag + ">");
    if (open == std::string::npos) return "";
    const auto start = open + tag.size() + 2;
    const auto close = doc.find("</" + tag + ">", start);
    return close == std::string::npos ? "" : doc.substr(start, close - start);
}

// Removes the parts that differ between two renderings of the same message: the
// generated identification (also inside PmtInfId) and the creation time.
std::string without_generated(std::string doc, const std::string &msgid) {
    const std::string created = element(doc, "CreDtTm");
    for (const std::string &generated : {msgid, created}) {
        if (generated.empty()) continue;
        for (auto at = doc.find(generated); at != std::string::npos; at = doc.find(generated, at))
            doc.erase(at, generated.size());
    }
    return doc;
}

void message(Run &run, int number) {
    const bool debit = number % 2 == 0;
    tarvo_t *m = tarvo_new(debit ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI);
    if (m == nullptr) {
        note(run, "tarvo_new", debit ? "DDI" : "CTI", 0);
        return;
    }
    std::string results = std::to_string(tarvo_setIBAN(m, "DE89370400440532013000")) +
                          std::to_string(tarvo_setBIC(m, number % 3 == 0 ? "cobadeffxxx" : "COBADEFF")) +
                          std::to_string(tarvo_setName(m, "Thread Test GmbH")) + std::to_string(tarvo_setDate(m, "2031-03-14"));
    const std::string amount = std::to_string(number % 997 + 1) + ".25";
    const std::string id = "T-" + std::to_string(number);
    if (debit) {
        results += std::to_string(tarvo_setCreditorIdentifier(m, "DE98ZZZ09999999999"));
        const char *tx[] = {"name", "Debtor",     "iban", "AT611904300234573201", "bic", "bkauatww", "seq", "RCUR",
                            "amount", amount.c_str(), "mref", id.c_str(),          "mdate", "2023-05-01", nullptr};
        results += std::to_string(tarvo_add(m, tx));
    } else {
        const char *tx[] = {"name", "Creditor",    "iban", "NL91ABNA0417164300", "amount", amount.c_str(),
                            "id",   id.c_str(),    nullptr};
        results += std::to_string(tarvo_add(m, tx));
    }
    char *doc = tarvo_toXML(m);
    const char *error = tarvo_getError(m);
    std::string text = doc != nullptr ? doc : std::string("no document: ") + (error != nullptr ? error : "");
    free(doc);
    tarvo_free(m);
    const std::string msgid = element(text, "MsgId");
    if (!msgid.empty()) run.msgids.push_back(msgid);
    run.verdicts.push_back("message " + std::to_string(number) + ": " + results + "\n" + without_generated(text, msgid));
}

void everything(Run &run, int messages, int first_number) {
    checks_and_conversions(run);
    bank_lookups(run);
    for (int i = 0; i < messages; ++i) message(run, first_number + i);
}

} // namespace

int main(int argc, char **argv) {
    const int threads = argc == 3 ? atoi(argv[1]) : 0;
    const int messages = argc == 3 ? atoi(argv[2]) : -1;
    if (threads < 1 || threads > 256 || messages < 0) {
        fprintf(stderr, "usage: first_calls THREADS MESSAGES_PER_THREAD\n");
        return 2;
    }
    std::vector<Run> runs(static_cast<size_t>(threads));
    {
        std::latch start(threads);
        std::vector<std::jthread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([&, t] {
                start.arrive_and_wait();
                everything(runs[static_cast<size_t>(t)], messages, t * messages);
            });
    }
    int disagreements = 0;
    for (int t = 0; t < threads; ++t) {
        Run alone;
        everything(alone, messages, t * messages);
        const Run &seen = runs[static_cast<size_t>(t)];
        for (size_t i = 0; i < alone.verdicts.size(); ++i) {
            const std::string got = i < seen.verdicts.size() ? seen.verdicts[i] : "(nothing)";
            if (got == alone.verdicts[i]) continue;
            if (++disagreements <= 5)
                fprintf(stderr, "thread %d saw:\n%s\nalone:\n%s\n", t, got.c_str(), alone.verdicts[i].c_str());
        }
        for (const std::string &id : seen.msgids) printf("msgid %s\n", id.c_str());
    }
    if (disagreements > 0) fprintf(stderr, "%d calls differed from the same calls made alone\n", disagreements);
    return disagreements == 0 ? 0 : 1;
}
