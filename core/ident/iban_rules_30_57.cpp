// German IBAN rules 0030 to 0057.
#include "ident/iban_rules.h"

#include "account/account.h"

namespace tarvo {

namespace {

// Nine-digit accounts beginning with 8 that the merged mortgage banks cannot place.
bool in_800_million_block(const char *account) {
    return in_range(value(account), 800000000, 899999999);
}

// Rules 0034 and 0035: unplaceable accounts refused, ten-digit accounts mapped by range,
// then the rule's own substitution list.
int mapped_substitution(char *iban, iban_rule_ctx *ctx, const account_subst *list) {
    if (in_800_million_block(ctx->account)) return -1;
    if (leading_zeros(ctx->account) == 0) map_range(ctx);
    return substitute_and_compose(iban, ctx, list, SubstCheck::Result);
}

} // namespace

int iban_rule_0030(char *iban, iban_rule_ctx *ctx) {
    if (listed(iban_exempt_0030, ctx->account)) ctx->check = 1;
    return compose(iban, ctx);
}

int iban_rule_0031(char *iban, iban_rule_ctx *ctx) {
    if (leading_zeros(ctx->account) >= 1 || ctx->check < 0) return -1;
    map_range(ctx);
    return compose(iban, ctx);
}

int iban_rule_0032(char *iban, iban_rule_ctx *ctx) {
    if (in_800_million_block(ctx->account)) return refuse(ctx, IBAN_STATUS_ASK_HOLDER);
    if (ctx->check < 0) return -1;
    if (leading_zeros(ctx->account) == 0) map_range(ctx);
    return compose(iban, ctx);
}

int iban_rule_0033(char *iban, iban_rule_ctx *ctx) {
    if (leading_zeros(ctx->account) == 0) map_range(ctx);
    if (in_800_million_block(ctx->account) && !same_bank(ctx, "70020270")) return -1;
    return substitute_and_compose(iban, ctx, iban_subst_0033, SubstCheck::Result);
}

int iban_rule_0034(char *iban, iban_rule_ctx *ctx) {
    return mapped_substitution(iban, ctx, iban_subst_0034);
}

int iban_rule_0035(char *iban, iban_rule_ctx *ctx) {
    return mapped_substitution(iban, ctx, iban_subst_0035);
}

int iban_rule_0036(char *iban, iban_rule_ctx *ctx) {
    // Account ranges for which the bank cannot tell the IBAN without asking the holder.
    static constexpr struct {
        uint64_t lowest, highest;
    } ask_holder[] = {
        {0, 99999},
        {900000, 29999999},
        {60000000, 99999999},
        {900000000, 999999999},
        {2000000000, 2999999999},
        {7100000000, 8499999999},
        {8600000000, 8999999999},
    };
    if (ctx->check < 0) return -1;
    const uint64_t n = value(ctx->account);
    for (const auto &range : ask_holder)
        if (in_range(n, range.lowest, range.highest)) return refuse(ctx, IBAN_STATUS_ASK_HOLDER);
    if (in_range(n, 100000, 899999)) {
        // Six-digit accounts are kept with three trailing sub-account digits.
        memmove(ctx->account, ctx->account + 3, 7);
        memcpy(ctx->account + 7, "000", 3);
    }
    return move_bank(iban, ctx, "21050000");
}

int iban_rule_0037(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "30010700"); }
int iban_rule_0038(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "28590075"); }
int iban_rule_0039(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "28020050"); }
int iban_rule_0040(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "68052328"); }

int iban_rule_0041(char *iban, iban_rule_ctx *ctx) {
    return take_fixed_iban(iban, ctx, "DE96500604000000011404");
}

int iban_rule_0042(char *iban, iban_rule_ctx *ctx) {
    const char *a = ctx->account;
    const int z = leading_zeros(a);
    if (z == 0) {
        if (a[3] != '4' || a[4] != '4') return -1;
    } else if (z != 2) {
        return -1;
    } else {
        const uint64_t n = value(a);
        if (a[5] != '0' && !in_range(n, 50462000, 50463999) && !in_range(n, 50469000, 50469999))
            return -1;
        if (a[6] == '0') return -1;
    }
    return compose(iban, ctx);
}

int iban_rule_0043(char *iban, iban_rule_ctx *ctx) {
    if (same_bank(ctx, "60651070")) {
        set_bankid(ctx, "66650085");
        ctx->method = 0x06;
        recheck(ctx, 0x06);
        if (ctx->check == -1) ctx->status = IBAN_STATUS_ASK_HOLDER;
    }
    return compose(iban, ctx);
}

int iban_rule_0044(char *iban, iban_rule_ctx *ctx) {
    return substitute_and_compose(iban, ctx, iban_subst_0044, SubstCheck::Passed);
}

int iban_rule_0045(char *iban, iban_rule_ctx *ctx) { return compose(iban, ctx); }

int iban_rule_0046(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "31010833"); }

int iban_rule_0047(char *iban, iban_rule_ctx *ctx) {
    if (leading_zeros(ctx->account) == 2) {
        char sub[11];
        sub_account_form(ctx->account, sub);
        set_account(ctx, sub);
    }
    return compose(iban, ctx);
}

int iban_rule_0048(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "36010200"); }

int iban_rule_0049(char *iban, iban_rule_ctx *ctx) {
    substitute_account(ctx, iban_subst_0049, SubstCheck::Passed);
    if (ctx->account[4] == '9') {
        // The bank's internal form carries its four-digit branch prefix at the end.
        char rotated[11];
        memcpy(rotated, ctx->account + 4, 6);
        memcpy(rotated + 6, ctx->account, 4);
        set_account(ctx, rotated);
    }
    return compose(iban, ctx);
}

int iban_rule_0050(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "28550000"); }

int iban_rule_0051(char *iban, iban_rule_ctx *ctx) {
    return substitute_and_compose(iban, ctx, iban_subst_0051, SubstCheck::Passed);
}

namespace {

// Rules 0052 and 0053: a listed bank code and account move together.
bool apply_move(iban_rule_ctx *ctx, const bank_account_move *list) {
    const bank_account_move *row = find_move(list, ctx);
    if (row == nullptr) return false;
    set_bankid(ctx, row->new_bankid);
    set_account(ctx, row->new_account);
    return true;
}

} // namespace

int iban_rule_0052(char *iban, iban_rule_ctx *ctx) {
    return apply_move(ctx, iban_moves_0052) ? compose(iban, ctx) : -1;
}

int iban_rule_0053(char *iban, iban_rule_ctx *ctx) {
    apply_move(ctx, iban_moves_0053);
    return compose(iban, ctx);
}

int iban_rule_0054(char *iban, iban_rule_ctx *ctx) {
    substitute_account(ctx, iban_subst_0054, SubstCheck::Passed);
    for (const fixed_iban *row = iban_fixed_0054; row->account[0] != '\0'; ++row)
        if (same_account(ctx, row->account)) return take_fixed_iban(iban, ctx, row->iban);
    return compose(iban, ctx);
}

int iban_rule_0055(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "25410200"); }

int iban_rule_0056(char *iban, iban_rule_ctx *ctx) {
    for (const fixed_iban_move *row = iban_fixed_0056; row->account[0] != '\0'; ++row)
        if (same_account(ctx, row->account)) return take_fixed_iban(iban, ctx, row->iban);
    if (leading_zeros(ctx->account) >= 1) return -1;
    return compose(iban, ctx);
}

int iban_rule_0057(char *iban, iban_rule_ctx *ctx) {
    if (same_bank(ctx, "50810900")) set_bankid(ctx, "66010200");
    return compose(iban, ctx);
}

} // namespace tarvo
