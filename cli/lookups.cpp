// Commands that check and look up account identifiers.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <memory>

#include "commands.h"
#include "locale_text.h"
#include "status_text.h"
#include "tarvo.h"

namespace tarvotool {

namespace {

struct FreeBank {
    void operator()(tarvo_bank_t *bank) const { free(bank); }
};
using Bank = std::unique_ptr<tarvo_bank_t, FreeBank>;

const char *or_empty(const char *text) { return text != nullptr ? text : ""; }

// Why a lookup or conversion gave no answer, by the library's result code. The first words
// of each failure line stay as they were, since scripts look for them; the reason follows
// after a colon.
struct Reason {
    int result;
    const char *text;
};

// tarvo_bankid_check and tarvo_iban_getBank.
constexpr Reason bank_reasons[] = {
    {0, "no bank directory for this country"},
    {-1, "IBAN malformed"},
    {-2, "bank code not in the directory"},
    {-3, "out of memory"},
};

// tarvo_iban_getBIC, whose -3 is the unknown bank.
constexpr Reason bic_of_iban_reasons[] = {
    {0, "no bank directory for this country"},
    {-1, "IBAN of the wrong length for its country"},
    {-3, "bank code not in the directory"},
};

constexpr Reason bic_reasons[] = {
    {-2, "BIC malformed or not in the directory"},
    {-3, "out of memory"},
};

constexpr Reason convert_reasons[] = {
    {0, "only German accounts are converted (country DE)"},
    {-1, "bank code of 8 digits and account of up to 10 digits expected"},
    {-3, "bank code not in the directory"},
};

template <size_t N> const char *reason(const Reason (&table)[N], int result) {
    for (const Reason &r : table)
        if (r.result == result) return r.text;
    return "unexpected result of the library";
}

void print_failure(const char *first_words, const char *why) { printf("%s: %s\n", first_words, why); }

// The bank-code directory keeps the country that SIX gives, which it names for foreign
// institutions only: an empty one is a Swiss institution's.
const char *country_of(const tarvo_bank_t &bank) {
    if (bank.country == nullptr) return "";
    return bank.country[0] == '\0' ? "CH" : bank.country;
}

// Names and cities come from the directory in UTF-8; codes are plain ASCII.
void print_address(const tarvo_bank_t &bank) {
    printf("     Name: '%s'\n", or_empty(in_locale(bank.name)));
    printf("      ZIP: '%s'\n", or_empty(bank.zip));
    printf("     City: '%s'\n", or_empty(in_locale(bank.city)));
    printf("  Country: '%s'\n", country_of(bank));
}

// The IBAN with its BIC and bank; false, with the failure printed, when a lookup fails.
bool print_iban(const char *iban, const char *bic_failure) {
    char bic[16] = "";
    if (const int result = tarvo_iban_getBIC(iban, bic); result != 1) {
        print_failure(bic_failure, reason(bic_of_iban_reasons, result));
        return false;
    }
    tarvo_bank_t *found = nullptr;
    if (const int result = tarvo_iban_getBank(iban, &found); result != 1) {
        print_failure("Bank lookup failed", reason(bank_reasons, result));
        return false;
    }
    const Bank bank(found);
    printf("     IBAN: '%s'\n", iban);
    printf("      BIC: '%s'\n", bic);
    print_address(*bank);
    return true;
}

} // namespace

int cmd_bankid(char **args) {
    tarvo_bank_t *found = nullptr;
    if (const int result = tarvo_bankid_check(args[0], args[1], &found); result != 1) {
        print_failure("lookup failed", reason(bank_reasons, result));
        return 1;
    }
    const Bank bank(found);
    print_address(*bank);
    printf("      BIC: '%s'\n", or_empty(bank->bic));
    return 0;
}

int cmd_convert(char **args) {
    char iban[64] = "";
    uint8_t status = 0;
    if (const int result = tarvo_iban_convert(args[0], args[2], args[1], iban, &status); result != 1) {
        // A status names the reason already, in the words bank customers know.
        if (status != 0)
            printf("conversion failed (%s)\n", or_empty(in_locale(status_text(status))));
        else
            print_failure("conversion failed", reason(convert_reasons, result));
        return 1;
    }
    if (!print_iban(iban, "BIC lookup failed")) return 1;
    printf("   Status: %d (%s)\n", static_cast<int>(static_cast<int8_t>(status)), or_empty(in_locale(status_text(status))));
    return 0;
}

int cmd_getbic(char **args) {
    const char *iban = args[0];
    tarvo_iban_info_t info;
    if (tarvo_iban_inspect(iban, &info) != 1) {
        print_failure("Invalid IBAN", or_empty(info.error));
        return 1;
    }
    return print_iban(iban, "lookup failed") ? 0 : 1;
}

// The IBAN as typed ("de89 3704 ..."); what does not normalise is checked as given.
int cmd_check(char **args) {
    char iban[35];
    tarvo_iban_info_t info;
    if (tarvo_iban_inspect(tarvo_iban_normalize(args[0], iban) == 1 ? iban : args[0], &info) == 1) {
        puts("IBAN ok.");
        return 0;
    }
    print_failure("Invalid IBAN", or_empty(info.error));
    return 1;
}

int cmd_bic(char **args) {
    tarvo_bank_t *found = nullptr;
    if (const int result = tarvo_bic_getBank(args[0], &found); result != 1) {
        print_failure("Bank lookup failed", reason(bic_reasons, result));
        return 1;
    }
    const Bank bank(found);
    const auto yes_no = [&](uint16_t flag) { return (bank->flags & flag) != 0 ? "YES" : "NO"; };
    printf("      BIC: '%s'\n", or_empty(bank->bic));
    printf("     Name: '%s'\n", or_empty(in_locale(bank->name)));
    printf("  Country: '%s'\n", or_empty(bank->country));
    printf("      SCL: SCT  (cash transfer): %s\n", yes_no(TARVO_SCL_SCT));
    printf("           SDD  (direct debit): %s\n", yes_no(TARVO_SCL_SDD));
    printf("           COR1 (direct debit COR1): %s\n", yes_no(TARVO_SCL_COR1));
    printf("           B2B  (direct debit B2B): %s\n", yes_no(TARVO_SCL_B2B));
    return 0;
}

// Exit 0 only for an account its bank's method accepts.
int cmd_account(char **args) {
    switch (tarvo_account_check_bank(args[0], args[1])) {
    case 1: puts("Account ok."); return 0;
    case 2: puts("Account ok (second reading of the method)."); return 0;
    case 0: puts("Account not checkable"); return 1;
    case -3: puts("Unknown bank ID"); return 1;
    default: puts("Invalid account"); return 1;
    }
}

} // namespace tarvotool
