// libFuzzer target for payment messages: a message of either kind under any rulebook,
// setters and transactions from random key/value lists, then the document. Every
// document the writer hands out must be well-formed XML, as libxml2 reads it.
#include <fuzzer/FuzzedDataProvider.h>
#include <libxml/parser.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tarvo.h"

namespace {

constexpr std::array rulebooks{"DE-2.6", "DE-2.7", "AT-6",   "NL-6",   "DE-2.8",
                               "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"};

// Every key the transaction lists know, each with a value it accepts in some rulebook,
// and whether the smallest transaction of each kind needs it; so random lists reach the
// writer often.
struct KnownKey {
    const char *key;
    const char *good;
    bool debit_needs;
    bool transfer_needs;
};
constexpr KnownKey known_keys[] = {
    {"name", "M\xC3\xBCller & Co", true, true},
    {"iban", "AT611904300234573201", true, true},
    {"amount", "12.34", true, true},
    {"bic", "BKAUATWWXXX", true, false},
    {"seq", "RCUR", true, false},
    {"mref", "MANDATE-1", true, false},
    {"mdate", "2023-05-01", true, false},
    {"id", "E2E-1", false, true},
    {"ref", "Invoice 4711", false, false},
    {"date", "2031-03-14", false, false},
    {"old_mref", "OLD-1", false, false},
    {"old_iban", "NL91ABNA0417164300", false, false},
    {"smnda", "1", false, false},
    {"purp", "SALA", false, false},
    {"addrCC", "DE", false, false},
    {"addrLine1", "Hauptstr. 1", false, false},
    {"addrLine2", "12345 Berlin", false, false},
    {"addrDept", "Buchhaltung", false, false},
    {"addrSubDept", "Zahlungen", false, false},
    {"addrStreet", "Hauptstr.", false, false},
    {"addrNum", "1", false, false},
    {"addrBldg", "A", false, false},
    {"addrFloor", "2", false, false},
    {"addrPoBox", "12", false, false},
    {"addrRoom", "3", false, false},
    {"addrCode", "12345", false, false},
    {"addrTown", "Berlin", false, false},
    {"addrLoc", "Mitte", false, false},
    {"addrDstrct", "Mitte", false, false},
    {"addrCtrySub", "BE", false, false},
};

// A known good text most of the time, anything otherwise.
std::string value(FuzzedDataProvider &in, const char *good) {
    return in.ConsumeIntegralInRange(0, 3) != 0 ? std::string(good) : in.ConsumeRandomLengthString(80);
}

// The keys the smallest transaction of the kind needs (each may be left out or get any
// value), then further pairs of known or random keys.
void add_transaction(FuzzedDataProvider &in, tarvo_t *m, bool debit) {
    std::vector<std::string> texts;
    for (const KnownKey &k : known_keys) {
        if (!(debit ? k.debit_needs : k.transfer_needs) || in.ConsumeIntegralInRange(0, 7) == 0) continue;
        texts.emplace_back(k.key);
        texts.push_back(value(in, k.good));
    }
    const int pairs = in.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < pairs; ++i) {
        if (in.ConsumeBool()) {
            const KnownKey &k = known_keys[in.ConsumeIntegralInRange<size_t>(0, std::size(known_keys) - 1)];
            texts.emplace_back(k.key);
            texts.push_back(value(in, k.good));
        } else {
            texts.push_back(in.ConsumeRandomLengthString(16));
            texts.push_back(in.ConsumeRandomLengthString(80));
        }
    }
    std::vector<const char *> list;
    for (const std::string &t : texts) list.push_back(t.c_str());
    list.push_back(nullptr);
    tarvo_add(m, list.data());
}

void ignore_libxml_messages(void *, const char *, ...) {}

void expect_well_formed(const char *doc) {
    static const bool quiet = [] {
        xmlSetGenericErrorFunc(nullptr, ignore_libxml_messages);
        return true;
    }();
    (void)quiet;
    const int length = static_cast<int>(strlen(doc));
    xmlDocPtr parsed = xmlReadMemory(doc, length, "message.xml", nullptr, XML_PARSE_NONET);
    if (parsed != nullptr) {
        xmlFreeDoc(parsed);
        return;
    }
    const xmlError *error = xmlGetLastError();
    fprintf(stderr, "not well-formed (%s, line %d):\n%s\n", error != nullptr ? error->message : "?",
            error != nullptr ? error->line : 0, doc);
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    tarvo_init(TARVO_INIT_RULEBOOK, rulebooks[in.ConsumeIntegralInRange<size_t>(0, rulebooks.size() - 1)]);
    const bool debit = in.ConsumeBool();
    tarvo_t *m = tarvo_new(debit ? TARVO_MSGTYPE_DDI : TARVO_MSGTYPE_CTI);
    if (m == nullptr) return 0;
    tarvo_setIBAN(m, value(in, "DE89370400440532013000").c_str());
    tarvo_setBIC(m, value(in, "COBADEFFXXX").c_str());
    tarvo_setName(m, value(in, "Example GmbH").c_str());
    if (debit) {
        tarvo_setCreditorIdentifier(m, value(in, "DE98ZZZ09999999999").c_str());
        tarvo_setDDType(m, in.ConsumeIntegralInRange(-1, 3));
    }
    if (in.ConsumeBool()) tarvo_setDate(m, value(in, "2031-03-14").c_str());
    if (in.ConsumeBool()) tarvo_setMessageId(m, value(in, "MSG-1").c_str());
    if (in.ConsumeBool()) tarvo_setBatchBooking(m, in.ConsumeIntegral<uint8_t>());
    const int transactions = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < transactions; ++i) add_transaction(in, m, debit);
    volatile size_t seen = strlen(tarvo_getError(m) != nullptr ? tarvo_getError(m) : "");
    (void)seen;
    char *doc = tarvo_toXML(m);
    if (doc != nullptr) expect_well_formed(doc);
    free(doc);
    tarvo_free(m);
    return 0;
}
