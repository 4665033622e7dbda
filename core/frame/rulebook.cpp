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

// Rows in rulebook-number order; a new guideline is one more row. Each row names every
// column up to the execution date and then only what its guideline adds to the defaults
// of the later columns. The German schemas take creditor identifiers of 8 characters
// and more.
constexpr std::array<Rulebook, rulebook_count> rulebooks{{
    {.id = "DE-2.6", .extended_charset = false, .at_charset = false, .cor1_settable = false, .cor1_written = true,
     .tx_bic_mandatory = true, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.002.02", .cti_variant = "pain.001.002.03", .schema_location = true, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false, .creditor_id_min = 8},
    {.id = "DE-2.7", .extended_charset = true, .at_charset = false, .cor1_settable = true, .cor1_written = true,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.003.02", .cti_variant = "pain.001.003.03", .schema_location = true, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false, .creditor_id_min = 8},
    {.id = "AT-6", .extended_charset = true, .at_charset = true, .cor1_settable = true, .cor1_written = true,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.001.02", .cti_variant = "pain.001.001.03", .schema_location = false, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false},
    {.id = "NL-6", .extended_charset = true, .at_charset = false, .cor1_settable = true, .cor1_written = true,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.001.02", .cti_variant = "pain.001.001.03", .schema_location = false, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false},
    {.id = "DE-2.8", .extended_charset = true, .at_charset = false, .cor1_settable = true, .cor1_written = true,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.003.02", .cti_variant = "pain.001.003.03", .schema_location = true, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false, .creditor_id_min = 8},
    {.id = "DE-2.9", .extended_charset = true, .at_charset = false, .cor1_settable = true, .cor1_written = true,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = false,
     .ddi_variant = "pain.008.003.02", .cti_variant = "pain.001.003.03", .schema_location = true, .bicfi = false,
     .smnda_in_debtor_account = false, .execution_date_dt = false, .creditor_id_min = 8},
    {.id = "DE-3.0", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = None, .mandate_ref_text = true,
     .ddi_variant = "pain.008.001.02", .cti_variant = "pain.001.001.03", .schema_location = true, .bicfi = false,
     .smnda_in_debtor_account = true, .execution_date_dt = false, .creditor_id_min = 8},
    {.id = "DE-3.1", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = AddressLine,
     .mandate_ref_text = true, .ddi_variant = "pain.008.001.02", .cti_variant = "pain.001.001.03",
     .schema_location = true, .bicfi = false, .smnda_in_debtor_account = true, .execution_date_dt = false,
     .creditor_id_min = 8},
    {.id = "DE-3.5", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = false, .non_eea_address = AddressLine,
     .mandate_ref_text = true, .ddi_variant = "pain.008.001.02", .cti_variant = "pain.001.001.03",
     .schema_location = true, .bicfi = false, .smnda_in_debtor_account = true, .execution_date_dt = false,
     .creditor_id_min = 8},
    {.id = "DE-3.7", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = true, .non_eea_address = TownAndCountry,
     .mandate_ref_text = true, .ddi_variant = "pain.008.001.08", .cti_variant = "pain.001.001.09",
     .schema_location = true, .bicfi = true, .smnda_in_debtor_account = true, .execution_date_dt = true,
     .creditor_id_min = 8, .instant = true, .ultimate_parties = true, .creditor_reference = true,
     .creditor_agent_optional = true},
    {.id = "DE-3.9", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = true, .non_eea_address = TownAndCountry,
     .mandate_ref_text = true, .ddi_variant = "pain.008.001.08", .cti_variant = "pain.001.001.09",
     .schema_location = true, .bicfi = true, .smnda_in_debtor_account = true, .execution_date_dt = true,
     .creditor_id_min = 8, .hybrid_address = true, .instant = true, .ultimate_parties = true,
     .creditor_reference = true, .creditor_agent_optional = true},
    // No direct-debit variant: the Swiss direct debits are schemes of their own.
    {.id = "CH-SPS", .extended_charset = true, .at_charset = false, .cor1_settable = false, .cor1_written = false,
     .tx_bic_mandatory = false, .structured_address = true, .non_eea_address = TownAndCountry,
     .mandate_ref_text = true, .ddi_variant = "", .cti_variant = "pain.001.001.09", .schema_location = true,
     .bicfi = true, .smnda_in_debtor_account = true, .execution_date_dt = true, .ultimate_parties = true,
     .creditor_reference = true, .reference_and_text = true, .swiss = true},
}};

constexpr int de_3_5 = 8;
constexpr int de_3_7 = 9;
constexpr int de_3_9 = 10;

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

namespace {

// The days each guideline came into force, newest first; before the last, "DE-3.5".
struct InForce {
    int date; // yyyymmdd
    int number;
};
constexpr InForce in_force[] = {{20251005, de_3_9}, {20240417, de_3_7}};

} // namespace

int default_rulebook(const struct tm &local) {
    const int date = (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
    for (const InForce &row : in_force)
        if (date >= row.date) return row.number;
    return de_3_5;
}

int rulebook_number(const Rulebook &rb) { return static_cast<int>(&rb - rulebooks.data()); }

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
