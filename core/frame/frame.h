// Internal interface of the library frame: rulebooks, text buffer, amounts, regular
// expressions and field checks. Every other layer of the core builds on it.
#ifndef TARVO_FRAME_H
#define TARVO_FRAME_H

#include <regex.h>
#include <stddef.h>
#include <stdint.h>
#include <time.h>

#include <atomic>
#include <string_view>

#include "tarvo.h"

extern "C" {
// Process-wide state shared with the front ends; any thread may read or change it.
extern std::atomic<int> __tarvo_rulebook; // -1 until a rulebook is chosen
extern std::atomic<int> __tarvo_idcount;  // message identifications generated so far

// The C library's regular-expression functions, bound at run time.
extern int (*libc_regcomp)(regex_t *, const char *, int);
extern int (*libc_regexec)(const regex_t *, const char *, size_t, regmatch_t *, int);
extern void (*libc_regfree)(regex_t *);
void libc_regex_init(void);
}

// ---- Text buffer -------------------------------------------------------------------

// used counts the terminating NUL; 0 means nothing was appended yet.
struct buffer_t {
    char *data;
    uint64_t used;
    uint64_t size;
};

int buffer_strappend(buffer_t *buf, const char *src);
// Appends each text until the first null pointer.
int buffer_strcatn(buffer_t *buf, const char *first, ...);
void buffer_strcat_xmlescape(buffer_t *buf, const char *str);

namespace tarvo {

// ---- Rulebooks ---------------------------------------------------------------------

// Which debtor address a direct debit needs when the debtor's BIC lies outside the EEA.
enum class NonEeaAddress : uint8_t { None, AddressLine, TownAndCountry };

// Everything that differs between rulebooks. Callers ask the table; they never compare
// rulebook numbers themselves.
struct Rulebook {
    std::string_view id;
    bool extended_charset;       // names and texts may use $ % & * and German umlauts
    bool at_charset;             // the additional characters of the Austrian guideline
    bool cor1_settable;          // tarvo_setDDType accepts COR1
    bool cor1_written;           // the direct-debit writer writes COR1 (else CORE)
    bool tx_bic_mandatory;       // a direct-debit transaction needs a debtor BIC
    bool structured_address;     // addrDept ... addrCtrySub instead of addrLine1/2
    NonEeaAddress non_eea_address;
    bool mandate_ref_text;       // mandate reference in the text set (space allowed)
    std::string_view ddi_variant; // e.g. "pain.008.001.02"
    std::string_view cti_variant; // e.g. "pain.001.001.03"
    bool schema_location;        // root element carries xsi:schemaLocation
    bool bicfi;                  // agents identified by <BICFI> instead of <BIC>
    bool smnda_in_debtor_account; // amendment marker in OrgnlDbtrAcct (else OrgnlDbtrAgt)
    bool execution_date_dt;      // credit-transfer execution date wrapped in <Dt>
    // The columns below default to the older guidelines' answer, so that a row states
    // only what its guideline adds.
    uint8_t creditor_id_min = 7;   // shortest creditor identifier its schema takes
    bool hybrid_address = false;   // address lines beside the structured parts
    bool instant = false;          // credit transfers may be sent as instant (INST)
    bool ultimate_parties = false; // ultimate debtor and creditor names
    bool creditor_reference = false; // structured creditor reference (SCOR)
    bool reference_and_text = false; // creditor reference and remittance text together
    bool creditor_agent_optional = false; // a direct debit's creditor may go without BIC
    // The Swiss Payment Standards: credit transfers only, in CHF or EUR, QR references,
    // the Swiss character set, and SIX's edition of the document.
    bool swiss = false;
};

inline constexpr int rulebook_count = 12;

// The row of a rulebook number, or null outside the table.
const Rulebook *rulebook(int number);
// The row of the process-wide selection, or null when none is valid.
const Rulebook *current_rulebook();
// Number of an identifier (exact comparison), or -1.
int rulebook_number(std::string_view id);
// The number of a row of the table.
int rulebook_number(const Rulebook &rb);
// The rulebook a message created at this local calendar date gets by default.
int default_rulebook(const struct tm &local);
// Chooses the default rulebook for the instant now when none is selected yet; a choice
// made meanwhile by tarvo_init is kept.
void fix_default_rulebook(time_t now);

// ---- Amounts in cents ---------------------------------------------------------------

// An optional sign of an amount text; p moves past it. True for '-'.
inline bool read_sign(const char *&p) {
    if (*p == '-') {
        ++p;
        return true;
    }
    if (*p == '+') ++p;
    return false;
}

// The scheme's largest single amount, 999999999.99, in cents.
inline constexpr int64_t max_amount_cents = 99'999'999'999;

enum class AmountText : uint8_t {
    Ok,       // *cents holds the amount, rounded half away from zero to whole cents
    Invalid,  // no number, characters after it, or an exponent beyond the parser's range
    Empty,    // the empty text, or a number that is zero
    Negative, // below zero
    TooLarge, // above max_amount_cents once rounded
};
// Reads an amount in the amount parser's syntax (leading blanks, sign, digits with at
// most one point, optional exponent) exactly, without binary floating point.
AmountText parse_cents(const char *text, int64_t *cents);

// Room for any int64_t amount as text: sign, 17 digits, point, 2 decimals and a NUL.
inline constexpr size_t cents_text_size = 24;
// Writes the amount as units, a point and two decimals ("0.05", "1234.50"); returns the length.
size_t format_cents(int64_t cents, char (&out)[cents_text_size]);

// ---- Error texts -------------------------------------------------------------------

// Formats into an object's 256-byte error buffer, cutting to fit; returns buf.
const char *format_error(char (&buf)[256], const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// ---- Input -------------------------------------------------------------------------

// read() that repeats calls a signal interrupted; at most 1 GiB per call, the most one
// read() hands over on every kernel.
long read_some(int fd, void *into, size_t count);

// ---- Regular expressions and field checks ------------------------------------------

// Binds the C library's functions unless bound; true when all three are there to call.
bool regex_functions_bound();

// Releases every compiled pattern of the frame (the BIC pattern); the IBAN layer
// registers its own release with on_cleanup.
void release_format_patterns();
using cleanup_fn = void (*)();
void on_cleanup(cleanup_fn fn);

// True when value is a BIC. The pattern is compiled on first use, also for a null
// value; false when the C library's matcher cannot be bound.
bool bic_pattern_matches(const char *value);

enum FormatKind { FORMAT_BIC = 0, FORMAT_MAX70 = 1, FORMAT_MAX16 = 2, FORMAT_MAX35 = 3 };
enum CharsetMode { CHARSET_IDENT = 0, CHARSET_TEXT = 1, CHARSET_EXTENDED = 2 };

// True when text holds only characters of the Swiss payment character set: printable
// Basic Latin, the Latin-1 Supplement and Latin Extended-A, the euro sign and the four
// Romanian comma letters, no control or format character. Sets *bad to the first byte
// of the first refused character.
bool swiss_text(const char *text, unsigned char *bad);

} // namespace tarvo

int format_check(int kind, const char *value);
int check_string(const char *value, unsigned char *bad, int mode);
namespace tarvo {
// check_string under a given rulebook instead of the process-wide one (null: none valid).
int check_string_under(const char *value, unsigned char *bad, int mode, const Rulebook *rb);
} // namespace tarvo

#endif
