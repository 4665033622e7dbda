// German IBAN rules 0000 to 0029.
#include "ident/iban_rules.h"

#include "account/account.h"

namespace tarvo {

int iban_rule_0000(char *iban, iban_rule_ctx *ctx) { return compose(iban, ctx); }

int iban_rule_0001(char *, iban_rule_ctx *ctx) { return refuse(ctx, IBAN_STATUS_NOT_ALLOWED); }

int iban_rule_0002(char *iban, iban_rule_ctx *ctx) {
    const char *a = ctx->account;
    if (a[7] == '6' || (a[7] == '8' && a[8] == '6')) return -1;
    return compose(iban, ctx);
}

int iban_rule_0003(char *iban, iban_rule_ctx *ctx) {
    if (same_account(ctx, "6161604670")) return -1;
    return compose(iban, ctx);
}

int iban_rule_0004(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0004); }

namespace {

// Method 13 banks: the account may be given without its two sub-account digits.
int rule_0005_method_13(iban_rule_ctx *ctx) {
    const int z = leading_zeros(ctx->account);
    if (z <= 1) return core63_valid(ctx->account) ? 1 : -1;
    if ((z == 3 || z == 4) && take_sub_account_if_core63(ctx)) return 1;
    if (core63_valid(ctx->account) || take_sub_account_if_core63(ctx)) return 1;
    return -1;
}

// Method 76 banks: an account valid only without its sub-account digits gets them.
int rule_0005_method_76(iban_rule_ctx *ctx) {
    const int r = tarvo_account_check(ctx->account, 0x76);
    if (r == -1) return -1;
    if (r == 2) {
        char sub[11];
        sub_account_form(ctx->account, sub);
        set_account(ctx, sub);
        ctx->check = 1;
    }
    return 1;
}

} // namespace

int iban_rule_0005(char *iban, iban_rule_ctx *ctx) {
    if (same_bank(ctx, "50040033")) return refuse(ctx, IBAN_STATUS_NOT_ALLOWED);
    if (in_range(value(ctx->account) % 1000000000, 998000000, 999499999) &&
        listed(noiban_4, ctx->bankid))
        return refuse(ctx, IBAN_STATUS_ASK_HOLDER);
    for (const bank_account_subst *row = subst_3; row->bankid[0] != '\0'; ++row) {
        if (memcmp(row->bankid, ctx->bankid, 8) != 0 || memcmp(row->old_account, ctx->account, 10) != 0)
            continue;
        set_account(ctx, row->new_account);
        recheck(ctx, ctx->method);
        return compose(iban, ctx);
    }
    int r = 1;
    if (ctx->method == 0x13) r = rule_0005_method_13(ctx);
    else if (ctx->method == 0x76) r = rule_0005_method_76(ctx);
    return r == 1 ? compose(iban, ctx) : -1;
}

int iban_rule_0006(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0006); }
int iban_rule_0007(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0007); }

int iban_rule_0008(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "50020200"); }

int iban_rule_0009(char *iban, iban_rule_ctx *ctx) {
    set_bankid(ctx, "68351557");
    if (memcmp(ctx->account, "1116", 4) == 0) memcpy(ctx->account, "3047", 4);
    return compose(iban, ctx);
}

int iban_rule_0010(char *iban, iban_rule_ctx *ctx) {
    static constexpr account_subst vouched[] = {
        {"0000002000", "0000222000"}, {"0000800000", "0000180802"}, {"", ""}};
    if (same_bank(ctx, "50050201")) substitute_account(ctx, vouched, SubstCheck::Vouched);
    if (same_bank(ctx, "50050222")) set_bankid(ctx, "50050201");
    return compose(iban, ctx);
}

int iban_rule_0011(char *iban, iban_rule_ctx *ctx) {
    static constexpr account_subst vouched[] = {
        {"0000001000", "0008010001"}, {"0000047800", "0000047803"}, {"", ""}};
    substitute_account(ctx, vouched, SubstCheck::Vouched);
    return compose(iban, ctx);
}

int iban_rule_0012(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "50050000"); }
int iban_rule_0013(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "30050000"); }
int iban_rule_0014(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "30060601"); }

int iban_rule_0015(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0015); }
int iban_rule_0016(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0016); }
int iban_rule_0017(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0017); }
int iban_rule_0018(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0018); }

int iban_rule_0019(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "50120383"); }

namespace {

int rule_0020_method_63(char *iban, iban_rule_ctx *ctx, int z) {
    switch (z) {
    case 1:
    case 2: return ctx->check < 0 ? -1 : compose(iban, ctx);
    case 3: return take_sub_account_if_core63(ctx) || ctx->check == 1 ? compose(iban, ctx) : -1;
    case 4: return take_sub_account_if_core63(ctx) ? compose(iban, ctx) : -1;
    case 5:
        // A valid five-digit account cannot also be a sub-account: ambiguous, refuse.
        if (core63_valid(ctx->account)) return -1;
        return take_sub_account_if_core63(ctx) ? compose(iban, ctx) : -1;
    default: return -1;
    }
}

int rule_0020_method_C7(char *iban, iban_rule_ctx *ctx, int z) {
    if (z >= 1 && core63_valid(ctx->account)) {
        ctx->check = 1;
        return compose(iban, ctx);
    }
    if (z >= 3 && take_sub_account_if_core63(ctx)) return compose(iban, ctx);
    const bool valid_06 = tarvo_account_check(ctx->account, 0x06) == 1;
    if (same_bank(ctx, "76026000")) {
        // This bank's accounts that pass only the second variant have no IBAN.
        ctx->check = -1;
        if (valid_06) ctx->status = IBAN_STATUS_NOT_ALLOWED;
        return -1;
    }
    ctx->check = valid_06 ? 1 : -1;
    return valid_06 ? compose(iban, ctx) : -1;
}

} // namespace

int iban_rule_0020(char *iban, iban_rule_ctx *ctx) {
    static constexpr account_subst replaced[] = {{"0000009999", "0092777202"}, {"", ""}};
    if (same_bank(ctx, "50070010")) substitute_account(ctx, replaced, SubstCheck::Result);
    const int z = leading_zeros(ctx->account);
    switch (ctx->method) {
    case 0x63: return rule_0020_method_63(iban, ctx, z);
    case 0xC7: return rule_0020_method_C7(iban, ctx, z);
    default: return compose(iban, ctx);
    }
}

int iban_rule_0021(char *iban, iban_rule_ctx *ctx) {
    const int z = leading_zeros(ctx->account);
    if (z == 2 || z >= 5) return -1;
    return move_bank(iban, ctx, "36020030");
}

int iban_rule_0022(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0022); }
int iban_rule_0023(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0023); }
int iban_rule_0024(char *iban, iban_rule_ctx *ctx) { return substitute_and_compose(iban, ctx, iban_subst_0024); }

int iban_rule_0025(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "60050101"); }

int iban_rule_0026(char *iban, iban_rule_ctx *ctx) {
    static constexpr char exempt[][11] = {"0000055111", "0008090100", ""};
    if (listed(exempt, ctx->account)) ctx->check = 1;
    return compose(iban, ctx);
}

int iban_rule_0027(char *iban, iban_rule_ctx *ctx) {
    static constexpr char exempt[][11] = {"0000003333", "0000004444", ""};
    if (listed(exempt, ctx->account)) ctx->check = 1;
    return compose(iban, ctx);
}

int iban_rule_0028(char *iban, iban_rule_ctx *ctx) { return move_bank(iban, ctx, "25050180"); }

int iban_rule_0029(char *iban, iban_rule_ctx *ctx) {
    char *a = ctx->account;
    if (a[0] != '0' && a[3] == '0') {
        // The '0' at position 4 gives way: positions 1 to 3 move one place right.
        a[3] = a[2];
        a[2] = a[1];
        a[1] = a[0];
        a[0] = '0';
    }
    return compose(iban, ctx);
}

} // namespace tarvo
