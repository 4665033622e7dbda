// Internal interface of the German IBAN conversion: the conversion state handed to the
// rule functions, the rules themselves, the mechanics they share and the per-bank tables
// (generated at build time from the Bundesbank's published rule data).
#ifndef TARVO_IBAN_RULES_H
#define TARVO_IBAN_RULES_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "ident/ident.h"

namespace tarvo {

// What tarvo_iban_convert knows about one conversion; the rules read and change it.
struct iban_rule_ctx {
    char account[11]; // ten digits, right-aligned with leading '0', NUL
    char bankid[9];   // eight digits, NUL
    uint8_t method;   // the bank's check-method code
    uint8_t deleted;  // the directory's deletion mark; no rule reads it
    int8_t check;     // low byte of the latest account check: 1, 2, 0 or -1
    uint8_t status;   // 0 or the status a rule or the successor step has set
};

// The status byte of tarvo_iban_convert.
enum iban_status : uint8_t {
    IBAN_STATUS_UNCHANGED = 0,
    IBAN_STATUS_ACCOUNT_REPLACED = 1,
    IBAN_STATUS_BANK_UNKNOWN = 10,
    IBAN_STATUS_ACCOUNT_INVALID = 11,
    IBAN_STATUS_NOT_ALLOWED = 12,
    IBAN_STATUS_SUCCESSOR = 13,
    IBAN_STATUS_MARKED_DELETED = 14,
    IBAN_STATUS_BANK_REPLACED = 15,
    IBAN_STATUS_NO_BIC = 23,
    IBAN_STATUS_ASK_HOLDER = 50,
};

// The work buffer a rule writes the IBAN into ("DE00" + bank code + account, or a
// complete IBAN); zero-filled before each rule runs.
inline constexpr size_t iban_work_size = 36;

// Every rule number the Bundesbank has published; X(n) is expanded once per rule.
#define TARVO_IBAN_RULE_NUMBERS(X)                                                           \
    X(0000) X(0001) X(0002) X(0003) X(0004) X(0005) X(0006) X(0007) X(0008) X(0009)          \
    X(0010) X(0011) X(0012) X(0013) X(0014) X(0015) X(0016) X(0017) X(0018) X(0019)          \
    X(0020) X(0021) X(0022) X(0023) X(0024) X(0025) X(0026) X(0027) X(0028) X(0029)          \
    X(0030) X(0031) X(0032) X(0033) X(0034) X(0035) X(0036) X(0037) X(0038) X(0039)          \
    X(0040) X(0041) X(0042) X(0043) X(0044) X(0045) X(0046) X(0047) X(0048) X(0049)          \
    X(0050) X(0051) X(0052) X(0053) X(0054) X(0055) X(0056) X(0057)

// A rule: 1 when the work buffer holds an IBAN, -1 when it does not (perhaps with a
// status set).
using iban_rule_fn = int (*)(char *iban, iban_rule_ctx *ctx);

#define TARVO_DECLARE_IBAN_RULE(n) int iban_rule_##n(char *iban, iban_rule_ctx *ctx);
TARVO_IBAN_RULE_NUMBERS(TARVO_DECLARE_IBAN_RULE)
#undef TARVO_DECLARE_IBAN_RULE

inline constexpr int iban_rule_count = 58;
// Entry n is iban_rule_<n as four digits>.
extern const iban_rule_fn iban_rules[iban_rule_count];

// tarvo_iban_convert with the directory lookup as a parameter, so that the conversion
// can be exercised on directory records of any shape.
using bank_lookup_fn = int (*)(const char *country, const char *bankcode, bank_record *out);
int iban_convert(const char *country, const char *account, const char *bankid, char *iban,
                 uint8_t *status, bank_lookup_fn lookup);

// ---- Rule tables (rows in the publisher's order, which is the search order) --------

// Ended by a row with an empty old account.
struct account_subst {
    char old_account[11];
    char new_account[11];
};
// subst_3 (rule 0005), ended by a row with an empty bank code.
struct bank_account_subst {
    char bankid[9];
    char old_account[11];
    char new_account[11];
};
// Each row covers the ten million accounts beginning with its three-digit prefix; a row
// with prefix 0 ends the table. Rows ascend by prefix.
struct iban_map_row {
    uint64_t prefix;
    char bankid[9];
    uint64_t lowest;
    uint64_t highest;
    char target[9];
};
// Rules 0052 and 0053; ended by a row with an empty bank code.
struct bank_account_move {
    char bankid[9];
    char account[11];
    char new_bankid[9];
    char new_account[11];
};
// Rule 0054; ended by a row with an empty account.
struct fixed_iban {
    char account[11];
    char iban[23];
};
// Rule 0056; ended by a row with an empty account.
struct fixed_iban_move {
    char account[11];
    char new_account[11];
    char iban[23];
};

extern const account_subst iban_subst_0004[], iban_subst_0006[], iban_subst_0007[],
    iban_subst_0015[], iban_subst_0016[], iban_subst_0017[], iban_subst_0018[],
    iban_subst_0022[], iban_subst_0023[], iban_subst_0024[], iban_subst_0033[],
    iban_subst_0034[], iban_subst_0035[], iban_subst_0044[], iban_subst_0049[],
    iban_subst_0051[], iban_subst_0054[];
extern const bank_account_subst subst_3[];
extern const char noiban_4[][9];             // ended by ""
extern const iban_map_row iban_map_0031[];
extern const size_t iban_map_0031_rows;      // rows before the end row
extern const char iban_exempt_0030[][11];    // ended by ""
extern const bank_account_move iban_moves_0052[], iban_moves_0053[];
extern const fixed_iban iban_fixed_0054[];
extern const fixed_iban_move iban_fixed_0056[];

// ---- Mechanics shared by the rules ---------------------------------------------------

// Writes "DE00" + bank code + account into the work buffer; returns 1.
int compose(char *iban, const iban_rule_ctx *ctx);
// Sets the status and refuses: -1.
int refuse(iban_rule_ctx *ctx, uint8_t status);
// Number of leading '0' characters of the ten-digit account.
int leading_zeros(const char *account);
// Folded sum of positions 7..2 with weights 2,1,2,1,2,1, rule M10, check digit at 8.
bool core63_valid(const char *account);
// The account shifted left by two places with "00" appended.
void sub_account_form(const char *account, char out[11]);
// Replaces the account by its sub-account form when that passes the method-63 core
// check (check becomes 1); false when it does not pass.
bool take_sub_account_if_core63(iban_rule_ctx *ctx);
void set_account(iban_rule_ctx *ctx, const char *account);
void set_bankid(iban_rule_ctx *ctx, const char *bankid);
inline bool same_bank(const iban_rule_ctx *ctx, const char *bankid) {
    return memcmp(ctx->bankid, bankid, 8) == 0;
}
inline bool same_account(const iban_rule_ctx *ctx, const char *account) {
    return memcmp(ctx->account, account, 10) == 0;
}
// The bank code becomes the given one; compose.
int move_bank(char *iban, iban_rule_ctx *ctx, const char *bankid);
// Writes a complete IBAN handed out by a rule. The state takes the IBAN's bank code and
// account, so the status tells what was replaced, and check becomes 1: the IBAN is the
// bank's own answer. Returns 1.
int take_fixed_iban(char *iban, iban_rule_ctx *ctx, const char *fixed);
// check = low byte of the account check of the current account with the given method.
void recheck(iban_rule_ctx *ctx, int method);

// How a substitution list stores the check of the new account.
enum class SubstCheck : uint8_t {
    Result, // the account check's result
    Passed, // 1 when it is 1, else 0: a listed account is never rejected
    Vouched, // 1: the bank vouches for the new account, which need not pass its method
};
// Replaces the account by the list's new account for the first row whose old account
// matches; true when a row matched.
bool substitute_account(iban_rule_ctx *ctx, const account_subst *list, SubstCheck mode);
// substitute_account, then compose.
int substitute_and_compose(char *iban, iban_rule_ctx *ctx, const account_subst *list,
                           SubstCheck mode = SubstCheck::Result);
// The bank code of the first iban_map_0031 row enclosing the account, or null.
const char *mapped_bankid(const char *account);
// Replaces the bank code by its range mapping, if any.
void map_range(iban_rule_ctx *ctx);
// Row of a bank-and-account list matching the current bank code and account, or null.
const bank_account_move *find_move(const bank_account_move *list, const iban_rule_ctx *ctx);
// True when an ""-ended list of codes holds the text (N - 1 characters and a NUL).
template <size_t N> bool listed(const char (*list)[N], const char *text) {
    for (; list[0][0] != '\0'; ++list)
        if (memcmp(*list, text, N) == 0) return true;
    return false;
}

} // namespace tarvo

#endif
