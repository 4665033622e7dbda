// A QR-bill's fields as views into a payload or a caller's record.
#ifndef TARVO_QR_QRBILL_H
#define TARVO_QR_QRBILL_H

#include "qr/qr.h"

namespace tarvo::qr {

struct BillAddress {
    std::string_view type, name, street, building, postal, town, country;
};

struct Bill {
    std::string_view iban;
    BillAddress creditor;
    BillAddress ultimate_creditor; // reserved by the scheme: always empty
    int64_t amount = -1;           // cents; -1 leaves the amount to the payer
    std::string_view currency;
    BillAddress ultimate_debtor;
    std::string_view reference_type, reference, message, trailer, bill_information;
    std::string_view alternative_schemes[2];
    int alternative_count = 0;
};

// The payment part's rules; false with the refusal set.
bool check_bill(const Bill &bill, Refusal &r);

} // namespace tarvo::qr

#endif
