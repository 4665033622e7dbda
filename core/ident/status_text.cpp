// Outcome texts of the IBAN conversion, as bank customers in Germany know them.
#include <stdint.h>

#include "tarvo.h"

namespace {

struct StatusText {
    uint8_t status;
    const char *text;
};

constexpr StatusText status_texts[] = {
    {0, "-"},
    {1, "Kontonummer wurde ersetzt"},
    {10, "Bankleitzahl ungültig"},
    {11, "Kontonummer ungültig"},
    {12, "IBAN-Umrechnung nicht erlaubt"},
    {13, "Bankleitzahl wurde ersetzt (zur Löschung vorgemerkt)"},
    {14, "Bankleitzahl zur Löschung vorgemerkt"},
    {15, "Bankleitzahl wurde durch Nachfolge-BLZ ersetzt"},
    {23, "Für diese Bankleitzahl konnte kein BIC ermittelt werden"},
    {50, "Für diese Bankleitzahl konnte keine IBAN ermittelt werden - bitte Kontoinhaber fragen"},
};

} // namespace

extern "C" const char *tarvo_iban_status_text(uint8_t status) {
    for (const StatusText &s : status_texts)
        if (s.status == status) return s.text;
    return "(unbekannter Status";
}
