// libFuzzer target for the German account checks: any method code (also outside one
// byte), any bank code and any account through both entry points.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "tarvo.h"

namespace {

void expect_result(int result, int method, const char *entry) {
    const bool known = result == -1 || result == 0 || result == 1 || result == 2;
    const bool outside = method < 0 || method > 0xFF;
    if (known && (!outside || result == -1)) return;
    fprintf(stderr, "%s: method %d gave %d\n", entry, method, result);
    abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Mostly real codes, sometimes any number.
    const int method = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 0xFF) : in.ConsumeIntegral<int>();
    const std::string bankid = in.ConsumeRandomLengthString(12);
    const std::string account = in.ConsumeRemainingBytesAsString();
    const int one = tarvo_account_check(account.c_str(), method);
    expect_result(one, method, "tarvo_account_check");
    const int two = tarvo_account_check2(account.c_str(), bankid.c_str(), method);
    expect_result(two, method, "tarvo_account_check2");
    return 0;
}
