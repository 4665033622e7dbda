// libFuzzer target for the MT940 reader.
#include "statement_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz_statement::run(TARVO_STMT_FORMAT_MT940, data, size);
}
