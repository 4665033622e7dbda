// libFuzzer target for the directory lookups: BICs, national bank codes and IBANs, each
// result block read whole and released.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <string>

#include "tarvo.h"

namespace {

[[noreturn]] void fail(const char *call, const std::string &argument, int result) {
    fprintf(stderr, "%s('%s') gave %d\n", call, argument.c_str(), result);
    abort();
}

// Reads every text of the block, so that the sanitizers see a stray pointer.
void read_and_free(tarvo_bank_t *bank) {
    volatile size_t seen = 0;
    for (const char *text : {bank->name, bank->zip, bank->city, bank->country, bank->bic})
        if (text != nullptr) seen = seen + strlen(text);
    free(bank);
}

std::string ascii_upper(std::string s) {
    for (char &c : s) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return s;
}

void bic(const std::string &text) {
    tarvo_bank_t *bank = nullptr;
    const int found = tarvo_bic_getBank(text.c_str(), &bank);
    if (found != tarvo_bic_getBank(text.c_str(), nullptr)) fail("tarvo_bic_getBank without a block", text, found);
    if (found != 1) {
        if (found != -2 && found != -3) fail("tarvo_bic_getBank", text, found);
        return;
    }
    // The key is the BIC in capitals, an eight-character BIC with the branch XXX.
    std::string key = ascii_upper(text.c_str());
    if (key.size() == 8) key += "XXX";
    if (bank->bic == nullptr || key != bank->bic || bank->country == nullptr || key.substr(4, 2) != bank->country)
        fail("tarvo_bic_getBank block", text, found);
    read_and_free(bank);
}

void bank_code(const std::string &country, const std::string &code) {
    tarvo_bank_t *bank = nullptr;
    const int found = tarvo_bankid_check(country.c_str(), code.c_str(), &bank);
    if (found == 1)
        read_and_free(bank);
    else if (found != 0 && found != -2 && found != -3)
        fail("tarvo_bankid_check", country + " " + code, found);
}

void iban(const std::string &text) {
    tarvo_bank_t *bank = nullptr;
    const int found = tarvo_iban_getBank(text.c_str(), &bank);
    if (found == 1)
        read_and_free(bank);
    else if (found < -3 || found > 0)
        fail("tarvo_iban_getBank", text, found);
    char out[12];
    memset(out, 'x', sizeof out);
    const int bic_found = tarvo_iban_getBIC(text.c_str(), out);
    if (bic_found < -3 || bic_found > 1 || (bic_found == 1 && strnlen(out, sizeof out) == sizeof out))
        fail("tarvo_iban_getBIC", text, bic_found);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string country = in.ConsumeRandomLengthString(4);
    const std::string code = in.ConsumeRandomLengthString(16);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    bic(code);
    bic(rest);
    bank_code(country, code);
    iban(rest);
    iban(country + code);
    return 0;
}
