// The rulebook table, the process-wide selection and the library's option entry points.
#include <stdarg.h>
#include <stdio.h>

#include <array>

#include "frame/frame.h"

extern "C" {
std::atomic<int> __tarvo_rulebook = -1;
std::atomic<int> __tarvo_idcount = 0;
const char *const tarvo_version_str = "2.30";
const int tarvo_version_int = 23000;
}

namespace tarvo {
namespace {

using enum NonEeaAddress;

// Rows in rulebook-number order. Columns: id, extended charset, AT charset, COR1 settable,
// COR1 written, tx BIC mandatory, structured address, non-EEA address, mandate ref text,
// pain.008 variant, pain.001 variant, schemaLocation, BICFI, SMNDA in OrgnlDbtrAcct, Dt, Swiss.
constexpr std::array<Rulebook, rulebook_count> rulebooks{{
    {"DE-2.6", false, false, false, true, true, false, None, false,
     "pain.008.002.02", "pain.001.002.03", true, false, false, false, false},
    {"DE-2.7", true, false, true, true, false, false, None, false,
     "pain.008.003.02", "pain.001.003.03", true, false, false, false, false},
    {"AT-6", true, true, true, true, false, false, None, false,
     "pain.008.001.02", "pain.001.001.03", false, false, false, false, false},
    {"NL-6", true, false, true, true, false, false, None, false,
     "pain.008.001.02", "pain.001.001.03", false, false, false, false, false},
    {"DE-2.8", true, false, true, true, false, false, None, false,
     "pain.008.003.02", "pain.001.003.03", true, false, false, false, false},
    {"DE-2.9", true, false, true, true, false, false, None, false,
     "pain.008.003.02", "pain.001.003.03", true, false, false, false, false},
    {"DE-3.0", true, false, false, false, false, false, None, true,
     "pain.008.001.02", "pain.001.001.03", true, false, true, false, false},
    {"DE-3.1", true, false, false, false, false, false, AddressLine, true,
     "pain.008.001.02", "pain.001.001.03", true, false, true, false, false},
    {"DE-3.5", true, false, false, false, false, false, AddressLine, true,
     "pain.008.001.02", "pain.001.001.03", true, false, true, false, false},
    {"DE-3.7", true, false, false, false, false, true, TownAndCountry, true,
     "pain.008.001.08", "pain.001.001.09", true, true, true, true, false},
    {"DE-3.9", true, false, false, false, false, true, TownAndCountry, true,
     "pain.008.001.08", "pain.001.001.09", true, true, true, true, false},
    // No direct-debit variant: the Swiss direct debits are schemes of their own.
    {"CH-SPS", true, false, false, false, false, true, TownAndCountry, true,
     "", "pain.001.001.09", true, true, true, true, true},
}};

constexpr int de_3_5 = 8;
constexpr int de_3_7 = 9;

} // namespace

const Rulebook *rulebook(int number) {
    if (number < 0 || number >= rulebook_count) return nullptr;
    return &rulebooks[static_cast<size_t>(number)];
}

const Rulebook *current_rulebook() { return rulebook(__tarvo_rulebook.load(std::memory_order_relaxed)); }

int rulebook_number(std::string_view id) {
    for (int i = 0; i < rulebook_count; ++i)
        if (rulebooks[static_cast<size_t>(i)].id == id) return i;
    return -1;
}

// "DE-3.7" became mandatory on 2024-04-17; before that "DE-3.5" applied.
int default_rulebook(const struct tm &local) {
    const int year = local.tm_year + 1900;
    const int month = local.tm_mon + 1;
    if (year >= 2025) return de_3_7;
    if (year < 2024 || month < 4) return de_3_5;
    if (month > 4) return de_3_7;
    return local.tm_mday >= 17 ? de_3_7 : de_3_5;
}

void fix_default_rulebook(time_t now) {
    if (__tarvo_rulebook.load(std::memory_order_relaxed) != -1) return;
    struct tm local {};
    if (localtime_r(&now, &local) == nullptr) return;
    int unset = -1;
    __tarvo_rulebook.compare_exchange_strong(unset, default_rulebook(local), std::memory_order_relaxed);
}

const char *format_error(char (&buf)[256], const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

} // namespace tarvo

extern "C" int tarvo_init(int type, const char *value) {
    if (type != TARVO_INIT_RULEBOOK || value == nullptr) return 0;
    const int number = tarvo::rulebook_number(value);
    if (number < 0) return 0;
    __tarvo_rulebook.store(number, std::memory_order_relaxed);
    return 1;
}
