// What a Swiss or Liechtenstein IBAN tells about its bank: the institution id and whether
// the account is a QR-IBAN. The range bounds are where an off-by-one would send a QR-bill
// payment without its reference or refuse an ordinary one.
#include <gtest/gtest.h>

#include "ident/ident.h"

namespace tarvo {
namespace {

TEST(SwissIban, InstitutionIdAndQrRange) {
    struct Case {
        const char *iban;
        const char *iid; // "" when the IBAN has none
        bool qr;
    };
    const Case cases[] = {
        {"CH4431999123000889012", "31999", true},  // last id of the range
        {"CH6430000000000000000", "30000", true},  // first id of the range
        {"CH6429999000000000000", "29999", false}, // just below it
        {"CH9432000000000000000", "32000", false}, // just above it
        {"CH9300762011623852957", "00762", false},
        {"LI2130000000000000000", "30000", true},  // Liechtenstein accounts take QR-bills too
        {"ch44 3199 9123 0008 8901 2", "31999", true},
        {"DE89370400440532013000", "", false},
        {"AT611904300234573201", "", false},
        {"CH443199912300088901", "", false},       // one digit short
        {"CH44319A9123000889012", "", false},      // a letter in the institution id
        {"", "", false},
        {nullptr, "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.iban != nullptr ? c.iban : "(null)");
        char iid[6] = "x";
        EXPECT_EQ(swiss_institution_id(c.iban, iid), c.iid[0] != '\0');
        EXPECT_STREQ(iid, c.iid);
        EXPECT_EQ(is_qr_iban(c.iban), c.qr);
    }
}

} // namespace
} // namespace tarvo
