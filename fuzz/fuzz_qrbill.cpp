// libFuzzer target for the QR-bill reader: any bytes as a payload. What it accepts the writer
// must write, and what the writer writes must read back to a record that writes the same.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tarvo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    tarvo_qrbill_t *bill = nullptr;
    char error[256];
    const int read = tarvo_qrbill_parse(reinterpret_cast<const char *>(data), size, &bill, error, sizeof error);
    if (read != 1) {
        if (bill != nullptr || error[0] == '\0') abort();
        return 0;
    }
    char *written = tarvo_qrbill_make(bill, error, sizeof error);
    if (written == nullptr) {
        fprintf(stderr, "read but not written: %s\n", error);
        abort();
    }
    tarvo_qrbill_t *again = nullptr;
    if (tarvo_qrbill_parse(written, strlen(written), &again, error, sizeof error) != 1) {
        fprintf(stderr, "written but not read again: %s\n", error);
        abort();
    }
    char *rewritten = tarvo_qrbill_make(again, error, sizeof error);
    if (rewritten == nullptr || strcmp(rewritten, written) != 0) abort();
    free(rewritten);
    free(again);
    free(written);
    free(bill);
    return 0;
}
