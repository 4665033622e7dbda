// From a checked payload to the modules of its code, with the Swiss cross laid over a
// QR-bill's code as the Swiss guidelines draw it.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <qrencode.h>

#include "draw/symbol.h"
#include "draw/tarvo_qr.h"
#include "tarvo.h"

namespace tarvo::draw {
namespace {

// The cross in millimetres of the 46 mm code: a white square of 7 mm, a black one of 6 mm
// inside it, and the white cross of the flag (arms 6/32 and length 20/32 of the black square).
constexpr double code_mm = 46.0, logo_mm = 7.0, black_mm = 6.0;
constexpr int first_version_without_centre_pattern = 14;
constexpr double arm_mm = black_mm * 6.0 / 32.0, cross_mm = black_mm * 20.0 / 32.0;

void add_cross(Symbol &s) {
    const double unit = s.width / code_mm; // modules a millimetre
    const double centre = s.width / 2.0;
    auto square = [&](double w, double h, bool black) {
        s.overlay.push_back({centre - w * unit / 2, centre - h * unit / 2, w * unit, h * unit, black});
    };
    square(logo_mm, logo_mm, false);
    square(black_mm, black_mm, true);
    square(cross_mm, arm_mm, false);
    square(arm_mm, cross_mm, false);
}

bool check(int kind, const char *payload, size_t length, char *error, size_t size) {
    if (kind == TARVO_QR_QRBILL) {
        tarvo_qrbill_t *bill = nullptr;
        const int ok = tarvo_qrbill_parse(payload, length, &bill, error, size);
        free(bill);
        return ok == 1;
    }
    if (kind == TARVO_QR_EPC) {
        tarvo_epcqr_t *code = nullptr;
        const int ok = tarvo_epcqr_parse(payload, length, &code, error, size);
        free(code);
        return ok == 1;
    }
    if (error != nullptr && size > 0) snprintf(error, size, "kind: must be QR-bill (1) or EPC (2)");
    return false;
}

} // namespace

bool encode(int kind, const char *payload, size_t length, Symbol &s, char *error, size_t size) {
    if (!check(kind, payload, length, error, size)) return false;
    // Versions 7 to 13 have an alignment pattern at the very centre, under the cross, and
    // decoders that look for it there lock onto the cross instead. A QR-bill needs version 7
    // at least, so it starts at 14, which has none there and lies well within the 25 the
    // guidelines allow; the encoder goes higher when the payload needs it.
    const int version = kind == TARVO_QR_QRBILL ? first_version_without_centre_pattern : 0;
    QRcode *code = QRcode_encodeData(static_cast<int>(length), reinterpret_cast<const unsigned char *>(payload),
                                     version, QR_ECLEVEL_M);
    if (code == nullptr) {
        if (error != nullptr && size > 0) snprintf(error, size, "payload: the QR encoder refused it");
        return false;
    }
    s.width = code->width;
    s.dark.resize(static_cast<size_t>(code->width) * code->width);
    for (size_t i = 0; i < s.dark.size(); ++i) s.dark[i] = code->data[i] & 1;
    QRcode_free(code);
    if (kind == TARVO_QR_QRBILL) add_cross(s);
    return true;
}

} // namespace tarvo::draw
