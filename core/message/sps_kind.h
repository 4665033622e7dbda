// Payment kinds of the Swiss Payment Standards, shared by the transfer checks and the
// Swiss document writer.
#ifndef TARVO_MESSAGE_SPS_KIND_H
#define TARVO_MESSAGE_SPS_KIND_H

#include <stdint.h>

#include "message/message.h"

namespace tarvo {

enum class SwissKind : uint8_t {
    QrBill,   // to a QR-IBAN, with a QR reference
    Domestic, // to another Swiss or Liechtenstein IBAN, CHF or EUR
    Sepa,     // EUR to an IBAN outside Switzerland and Liechtenstein
    Foreign,  // CHF to an IBAN outside Switzerland and Liechtenstein
};

SwissKind swiss_kind(const cti_tx &tx);

} // namespace tarvo

#endif
