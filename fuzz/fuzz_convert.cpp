// libFuzzer target for the German IBAN conversion: any country, account and bank code.
// Every IBAN it produces, and every one the check accepts, must pass MOD 97-10 as
// computed here.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "iban_oracle.h"
#include "tarvo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly German, where the rules apply.
    const std::string country = in.ConsumeBool() ? std::string("DE") : in.ConsumeRandomLengthString(4);
    const std::string bankid = in.ConsumeRandomLengthString(12);
    const std::string account = in.ConsumeRemainingBytesAsString();
    char iban[35];
    memset(iban, 'x', sizeof iban);
    uint8_t status = 0xEE;
    const int converted = tarvo_iban_convert(country.c_str(), account.c_str(), bankid.c_str(), iban, &status);
    if (converted != 1 && converted != 0 && converted != -1 && converted != -3) {
        fprintf(stderr, "tarvo_iban_convert gave %d\n", converted);
        abort();
    }
    if (converted == 1) {
        if (strnlen(iban, sizeof iban) == sizeof iban) {
            fprintf(stderr, "converted IBAN not terminated\n");
            abort();
        }
        fuzz::expect_iban(iban, "tarvo_iban_convert produced");
        if (tarvo_iban_check(iban) == 1) fuzz::expect_iban(iban, "tarvo_iban_check accepted");
    }
    // The inputs read as an IBAN of their own.
    const std::string joined = country + bankid + account;
    if (tarvo_iban_check(joined.c_str()) == 1) fuzz::expect_iban(joined.c_str(), "tarvo_iban_check accepted");
    return 0;
}
