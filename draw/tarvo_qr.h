/*
 * tarvo-qr: the payment QR codes of tarvo drawn as pictures (libtarvo-qr, linked beside
 * libtarvo; needs libqrencode and libpng).
 *
 * The payload is checked first (tarvo_qrbill_parse or tarvo_epcqr_parse): a refused payload
 * gives no picture, and error (errorSize bytes, may be NULL) names the field. Codes use error
 * correction level M. Results are malloc'ed and released with free().
 */
#ifndef TARVO_QR_DRAW_H
#define TARVO_QR_DRAW_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TARVO_QR_QRBILL 1 /* Swiss QR-bill: the Swiss cross (7 mm of 46 mm) at the centre */
#define TARVO_QR_EPC 2    /* EPC code ("GiroCode") */

/* An SVG document, NUL-terminated. A QR-bill's code measures 46 x 46 mm without its quiet
 * zone; an EPC code is sized in modules. */
char *tarvo_qr_svg(int kind, const char *payload, size_t length, char *error, size_t errorSize);
/* A PNG image (black and white, 8 pixels a module, a quiet zone of 4 modules); its size in
 * *pngSize. */
unsigned char *tarvo_qr_png(int kind, const char *payload, size_t length, size_t *pngSize, char *error,
                            size_t errorSize);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_QR_DRAW_H */
