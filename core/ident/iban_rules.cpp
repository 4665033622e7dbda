// Mechanics shared by the German IBAN rules, and the table that reaches them by number.
#include "ident/iban_rules.h"

#include <algorithm>

#include "account/account.h"
#include "tarvo.h"

namespace tarvo {

#define TARVO_IBAN_RULE_ENTRY(n) iban_rule_##n,
const iban_rule_fn iban_rules[iban_rule_count] = {TARVO_IBAN_RULE_NUMBERS(TARVO_IBAN_RULE_ENTRY)};
#undef TARVO_IBAN_RULE_ENTRY

int compose(char *iban, const iban_rule_ctx *ctx) {
    memcpy(iban, "DE00", 4);
    memcpy(iban + 4, ctx->bankid, 8);
    memcpy(iban + 12, ctx->account, 10);
    return 1;
}

int refuse(iban_rule_ctx *ctx, uint8_t status) {
    ctx->status = status;
    return -1;
}

int leading_zeros(const char *account) {
    int z = 0;
    while (z < 10 && account[z] == '0') ++z;
    return z;
}

bool core63_valid(const char *account) {
    constexpr Method core63{leftward(7, {2, 1, 2, 1, 2, 1}), Sum::Folded, Rule::M10, 8};
    return check(account, core63) == 1;
}

void sub_account_form(const char *account, char out[11]) {
    memcpy(out, account + 2, 8);
    memcpy(out + 8, "00", 3);
}

bool take_sub_account_if_core63(iban_rule_ctx *ctx) {
    char sub[11];
    sub_account_form(ctx->account, sub);
    if (!core63_valid(sub)) return false;
    set_account(ctx, sub);
    ctx->check = 1;
    return true;
}

void set_account(iban_rule_ctx *ctx, const char *account) {
    memcpy(ctx->account, account, 10);
    ctx->account[10] = '\0';
}

void set_bankid(iban_rule_ctx *ctx, const char *bankid) {
    memcpy(ctx->bankid, bankid, 8);
    ctx->bankid[8] = '\0';
}

int move_bank(char *iban, iban_rule_ctx *ctx, const char *bankid) {
    set_bankid(ctx, bankid);
    return compose(iban, ctx);
}

int take_fixed_iban(char *iban, iban_rule_ctx *ctx, const char *fixed) {
    memcpy(iban, fixed, 22);
    set_bankid(ctx, fixed + 4);
    set_account(ctx, fixed + 12);
    ctx->check = 1;
    return 1;
}

void recheck(iban_rule_ctx *ctx, int method) {
    ctx->check = static_cast<int8_t>(tarvo_account_check(ctx->account, method));
}

bool substitute_account(iban_rule_ctx *ctx, const account_subst *list, SubstCheck mode) {
    for (; list->old_account[0] != '\0'; ++list) {
        if (memcmp(list->old_account, ctx->account, 10) != 0) continue;
        set_account(ctx, list->new_account);
        switch (mode) {
        case SubstCheck::Result: recheck(ctx, ctx->method); break;
        case SubstCheck::Passed:
            recheck(ctx, ctx->method);
            ctx->check = ctx->check == 1 ? 1 : 0;
            break;
        case SubstCheck::Vouched: ctx->check = 1; break;
        }
        return true;
    }
    return false;
}

int substitute_and_compose(char *iban, iban_rule_ctx *ctx, const account_subst *list,
                           SubstCheck mode) {
    substitute_account(ctx, list, mode);
    return compose(iban, ctx);
}

const char *mapped_bankid(const char *account) {
    // Rows ascend by their ranges, so the first row whose upper end reaches the account
    // is the only candidate (a prefix listed twice keeps its first row).
    const uint64_t n = value(account);
    const iban_map_row *end = iban_map_0031 + iban_map_0031_rows;
    const iban_map_row *row = std::lower_bound(
        iban_map_0031, end, n, [](const iban_map_row &r, uint64_t v) { return r.highest < v; });
    if (row == end || row->lowest > n) return nullptr;
    return row->target;
}

void map_range(iban_rule_ctx *ctx) {
    if (const char *target = mapped_bankid(ctx->account)) set_bankid(ctx, target);
}

const bank_account_move *find_move(const bank_account_move *list, const iban_rule_ctx *ctx) {
    for (; list->bankid[0] != '\0'; ++list)
        if (memcmp(list->bankid, ctx->bankid, 8) == 0 && memcmp(list->account, ctx->account, 10) == 0)
            return list;
    return nullptr;
}

} // namespace tarvo
