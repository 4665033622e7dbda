// German IBAN conversion: bank code and account number to IBAN by the bank's IBAN rule.
#include <string.h>

#include "account/account.h"
#include "ident/iban_rules.h"
#include "ident/ident.h"
#include "tarvo.h"

namespace tarvo {
namespace {

// The directory has no successor chains longer than one step; anything beyond this is
// bad data (perhaps a cycle), and the bank code counts as unknown.
constexpr int max_successor_steps = 4;

// Writes the check digits into positions 3 and 4 of the work IBAN; false when it holds
// a character other than a digit or a letter.
bool set_check_digits(char *iban) {
    iban[2] = iban[3] = '0';
    const size_t len = strnlen(iban, iban_work_size);
    if (len < 5) return false;
    const int remainder = iban_mod97(iban, len);
    if (remainder < 0) return false;
    const unsigned digits = 98 - static_cast<unsigned>(remainder);
    iban[2] = static_cast<char>('0' + digits / 10);
    iban[3] = static_cast<char>('0' + digits % 10);
    return true;
}

// The state a conversion starts from at a bank: nothing checked, no status yet.
iban_rule_ctx fresh_ctx(const char *account, const char *bankid) {
    iban_rule_ctx ctx{};
    set_account(&ctx, account);
    set_bankid(&ctx, bankid);
    return ctx;
}

// The status a conversion reports when no rule set one of its own.
uint8_t derived_status(const iban_rule_ctx &ctx, const char *input_account, const char *input_bankid) {
    if (ctx.check == -1) return IBAN_STATUS_ACCOUNT_INVALID;
    if (!same_account(&ctx, input_account)) return IBAN_STATUS_ACCOUNT_REPLACED;
    if (!same_bank(&ctx, input_bankid)) return IBAN_STATUS_BANK_REPLACED;
    return IBAN_STATUS_UNCHANGED;
}

} // namespace

int iban_convert(const char *country, const char *account, const char *bankid, char *iban,
                 uint8_t *status, bank_lookup_fn lookup) {
    if (iban != nullptr) iban[0] = '\0';
    if (status != nullptr) *status = 0;
    if (country == nullptr) return -1;
    if (strcmp(country, "DE") != 0) return 0;
    if (bankid == nullptr || strnlen(bankid, 9) != 8) return -1;
    // A non-digit would reach the account checks and the rules' position tests as if it
    // were a digit, so such an account is refused before anything runs.
    char input_account[11];
    if (!normalise_account(account, input_account)) return -1;

    iban_rule_ctx ctx = fresh_ctx(input_account, bankid);

    char work[iban_work_size];
    int result = 0;
    for (int successor_steps = 0;; ++successor_steps) {
        bank_record record;
        if (!lookup("DE", ctx.bankid, &record)) {
            if (status != nullptr) *status = IBAN_STATUS_BANK_UNKNOWN;
            return -3;
        }
        ctx.method = record.method;
        ctx.deleted = record.deleted;
        ctx.check = static_cast<int8_t>(tarvo_account_check2(ctx.account, ctx.bankid, ctx.method));
        memset(work, 0, sizeof work);
        const int rule = record.iban_rule / 100;
        result = rule >= 0 && rule < iban_rule_count ? iban_rules[rule](work, &ctx) : 0;

        if (record.successor == nullptr || strlen(record.successor) != 8) break;
        if (successor_steps == max_successor_steps) {
            if (status != nullptr) *status = IBAN_STATUS_BANK_UNKNOWN;
            return -3;
        }
        // The successor converts the caller's account afresh: whatever the deleted
        // bank's rule made of it does not apply to the successor's rule.
        ctx = fresh_ctx(input_account, record.successor);
        ctx.status = IBAN_STATUS_SUCCESSOR;
    }

    if (ctx.status == 0) ctx.status = derived_status(ctx, input_account, bankid);
    if (status != nullptr) *status = ctx.status;
    if (result != 1) return result;
    if (ctx.check == -1) return -1;
    if (!set_check_digits(work)) return -3;
    if (iban != nullptr) memcpy(iban, work, 35);
    return 1;
}

} // namespace tarvo

extern "C" int tarvo_iban_convert(const char *country, const char *account, const char *bankid,
                                  char *iban, uint8_t *status) {
    return tarvo::iban_convert(country, account, bankid, iban, status, tarvo::lookup_bank);
}
