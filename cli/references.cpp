// The payment references on invoices: checked as typed, or made from a base with their
// check digits.
#include <stdio.h>
#include <string.h>

#include "commands.h"
#include "tarvo.h"

namespace tarvotool {
namespace {

struct ReferenceKind {
    const char *label;
    const char *valid;
    int (*check)(const char *);
    int (*make)(const char *, char *, size_t);
};

constexpr ReferenceKind creditor_reference{"creditor reference", "Creditor reference ok.", tarvo_creditor_reference_check,
                                           tarvo_creditor_reference_make};
constexpr ReferenceKind qr_reference{"QR reference", "QR reference ok.", tarvo_qrr_check, tarvo_qrr_make};

// "<ref>" checks, "--make <base>" prints the reference for the base.
int run(const ReferenceKind &kind, char **args) {
    const bool make = args[0] != nullptr && strcmp(args[0], "--make") == 0;
    const char *text = args[make ? 1 : 0];
    if (text == nullptr || args[make ? 2 : 1] != nullptr) return wrong_usage;
    if (make) {
        char reference[32];
        if (kind.make(text, reference, sizeof reference) != 1) {
            printf("Invalid base for a %s: '%s'\n", kind.label, text);
            return 1;
        }
        puts(reference);
        return 0;
    }
    if (kind.check(text) == 1) {
        puts(kind.valid);
        return 0;
    }
    printf("Invalid %s\n", kind.label);
    return 1;
}

} // namespace

int cmd_rf(char **args) { return run(creditor_reference, args); }
int cmd_qrr(char **args) { return run(qr_reference, args); }

} // namespace tarvotool
