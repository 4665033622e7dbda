// Texts for the status byte of the IBAN conversion, as the library words them.
#ifndef TARVOTOOL_STATUS_TEXT_H
#define TARVOTOOL_STATUS_TEXT_H

#include <stdint.h>

#include "tarvo.h"

namespace tarvotool {

// The UTF-8 text for a status; "(unbekannter Status" for one the table does not know.
inline const char *status_text(uint8_t status) { return tarvo_iban_status_text(status); }

} // namespace tarvotool

#endif
