// What a Swiss or Liechtenstein IBAN says about its bank: the institution id (IID) in
// positions 5 to 9, which the Swiss clearing system knows the bank by, and whether the
// account is a QR-IBAN, which takes payments only with a QR reference.
#include <stdlib.h>
#include <string.h>

#include "ident/ident.h"

namespace tarvo {
namespace {

constexpr long qr_iid_first = 30000;
constexpr long qr_iid_last = 31999;

} // namespace

bool swiss_institution_id(const char *iban, char (&out)[6]) {
    out[0] = '\0';
    char electronic[35];
    if (iban == nullptr || iban_normalize(iban, electronic) != 1 || strlen(electronic) != 21) return false;
    if (strncmp(electronic, "CH", 2) != 0 && strncmp(electronic, "LI", 2) != 0) return false;
    for (int i = 4; i < 9; ++i)
        if (electronic[i] < '0' || electronic[i] > '9') return false;
    memcpy(out, electronic + 4, 5);
    out[5] = '\0';
    return true;
}

bool is_qr_iban(const char *iban) {
    char iid[6];
    if (!swiss_institution_id(iban, iid)) return false;
    const long number = strtol(iid, nullptr, 10);
    return number >= qr_iid_first && number <= qr_iid_last;
}

} // namespace tarvo
