// libFuzzer target for the EPC QR reader: any bytes as a payload. What it accepts the writer
// must write (unless its UTF-8 form outgrows the code), and what the writer writes must read back to a record that writes the same.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tarvo_epcqr_t *code = nullptr;
    char error[256];
    const int read = tarvo_epcqr_parse(reinterpret_cast<const char *>(data), size, &code, error, sizeof error);
    if (read != 1) {
        if (code != nullptr || error[0] == '\0') abort();
        return 0;
    }
    char *written = tarvo_epcqr_make(code, error, sizeof error);
    // A payload in a single-byte set may fill 331 bytes that its texts in UTF-8, the only set
    // the writer writes, exceed: that refusal, and only that one, is expected.
    if (written == nullptr && code->charset != 1 && strcmp(error, "payload: more than 331 bytes") == 0) {
        free(code);
        return 0;
    }
    if (written == nullptr) {
        fprintf(stderr, "read but not written: %s\n", error);
        abort();
    }
    tarvo_epcqr_t *again = nullptr;
    if (tarvo_epcqr_parse(written, strlen(written), &again, error, sizeof error) != 1) {
        fprintf(stderr, "written but not read again: %s\n", error);
        abort();
    }
    char *rewritten = tarvo_epcqr_make(again, error, sizeof error);
    if (rewritten == nullptr || strcmp(rewritten, written) != 0) abort();
    free(rewritten);
    free(again);
    free(written);
    free(code);
    return 0;
}
