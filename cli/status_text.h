// Texts for the status byte of the IBAN conversion.
#ifndef TARVOTOOL_STATUS_TEXT_H
#define TARVOTOOL_STATUS_TEXT_H

#include <stdint.h>

namespace tarvotool {

// The UTF-8 text for a status; "(unbekannter Status" for one the table does not know.
const char *status_text(uint8_t status);

} // namespace tarvotool

#endif
