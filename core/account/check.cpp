// Entry points of the German account check and the building blocks the methods share.
#include <string.h>

#include "account/account.h"

using namespace tarvo;

namespace {

constexpr size_t account_digits = 10;
constexpr size_t bankid_digits = 8;

bool valid_bankid(const char *bankid) {
    return bankid && strnlen(bankid, bankid_digits + 1) == bankid_digits &&
           all_digits(bankid, bankid_digits);
}

// A code is one byte; a larger number is no code, not the code of its low byte.
bool valid_method(int method) { return method >= 0 && method <= 0xFF; }

Weights weights_of(int w10, int w9, int w8, int w7, int w6, int w5, int w4, int w3, int w2,
                   int w1) {
    return leftward(10, {w10, w9, w8, w7, w6, w5, w4, w3, w2, w1});
}

// Method B6: newer account ranges use method 20, the rest method 53.
int bank_rule_B6(const char *a, const char *bankid) {
    if (digit(a, 1) > 0 || (starts_with(a, "0269") && digit(a, 5) > 0)) return account_rule_20(a);
    return account_bank_rule_53(a, bankid);
}

// Method C0: short accounts may carry a method 52 check digit; method 20 gets its chance
// whenever that reading rejects the account.
int bank_rule_C0(const char *a, const char *bankid) {
    if (digit(a, 1) == 0 && digit(a, 2) == 0 && digit(a, 3) != 0) {
        int r = account_bank_rule_52(a, bankid);
        if (r >= 0) return r;
    }
    return account_rule_20(a);
}

int dispatch(const char *acct, unsigned code) {
    account_rule_fn fn = rules[code];
    return fn ? fn(acct) : 0;
}

} // namespace

// One pass over the digits, and fixed-size stores: bulk checks call this for every account.
bool tarvo::normalise_account(const char *account, char (&out)[account_digits + 1]) {
    if (!account) return false;
    size_t len = 0;
    while (len <= account_digits && account[len] >= '0' && account[len] <= '9') ++len;
    if (len == 0 || len > account_digits || account[len] != '\0') return false;
    memset(out, '0', account_digits);
    for (size_t i = 0; i < len; ++i) out[account_digits - len + i] = account[i];
    out[account_digits] = '\0';
    return true;
}

int account_algo_00(const char *acct, int modulus, int check_index, int w10, int w9, int w8,
                    int w7, int w6, int w5, int w4, int w3, int w2, int w1) {
    int s = weighted_sum(acct, weights_of(w10, w9, w8, w7, w6, w5, w4, w3, w2, w1), Sum::Folded);
    int r = s % modulus;
    int p = r == 0 ? 0 : modulus - r;
    return verdict(acct[check_index] - '0' == p);
}

int account_algo_06(const char *acct, int modulus, int check_index, int w10, int w9, int w8,
                    int w7, int w6, int w5, int w4, int w3, int w2, int w1) {
    int s = weighted_sum(acct, weights_of(w10, w9, w8, w7, w6, w5, w4, w3, w2, w1), Sum::Plain);
    int r = s % modulus;
    int p = r == 0 ? 0 : (modulus - r) % 10;
    return verdict(acct[check_index] - '0' == p);
}

int account_algo_02(const char *acct, int w3, int w2, int w1) {
    return check(acct, plain(from_d9({2, 3, 4, 5, 6, 7, w3, w2, w1}), Rule::M11X));
}

int account_algo_51ex(const char *acct) {
    return variants(acct, plain(from_d9({2, 3, 4, 5, 6, 7, 8}), Rule::M11),
                    plain(weights_10, Rule::M11));
}

extern "C" int tarvo_account_check(const char *account, int method) {
    char acct[account_digits + 1];
    if (!normalise_account(account, acct) || !valid_method(method)) return -1;
    return dispatch(acct, static_cast<unsigned>(method));
}

int tarvo::check_normalised(const char (&acct)[account_digits + 1], const char *bankid, int method) {
    switch (static_cast<unsigned>(method) & 0xFFu) {
    case 0x52: return account_bank_rule_52(acct, bankid);
    case 0x53: return account_bank_rule_53(acct, bankid);
    case 0xB6: return bank_rule_B6(acct, bankid);
    case 0xC0: return bank_rule_C0(acct, bankid);
    default: return dispatch(acct, static_cast<unsigned>(method) & 0xFFu);
    }
}

extern "C" int tarvo_account_check2(const char *account, const char *bankid, int method) {
    char acct[account_digits + 1];
    if (!normalise_account(account, acct) || !valid_bankid(bankid) || !valid_method(method)) return -1;
    return check_normalised(acct, bankid, method);
}
