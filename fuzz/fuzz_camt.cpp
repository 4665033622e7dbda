// libFuzzer target for the camt reader.
#include "statement_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz_statement::run(TARVO_STMT_FORMAT_CAMT, data, size);
}
