// libFuzzer target for the IBAN check: any text, with the verdict of the exported and the
// internal entry point compared and every accepted IBAN re-checked by MOD 97-10.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "iban_oracle.h"
#include "ident/ident.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string iban(reinterpret_cast<const char *>(data), size); // cut at a NUL below
    const int exported = tarvo_iban_check(iban.c_str());
    const char *message = nullptr;
    const int internal = tarvo::iban_check(iban.c_str(), &message);
    if ((exported == 1) != (internal == 1) || (exported != 1 && exported != -1)) {
        fprintf(stderr, "tarvo_iban_check %d, iban_check %d\n", exported, internal);
        abort();
    }
    if (internal != 1 && message == nullptr) {
        fprintf(stderr, "refused without a message\n");
        abort();
    }
    if (exported == 1) fuzz::expect_iban(iban.c_str(), "tarvo_iban_check accepted");
    return 0;
}
