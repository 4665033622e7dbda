// A payment code's symbol: its modules from the QR encoder, and where the Swiss cross lies.
#ifndef TARVO_DRAW_SYMBOL_H
#define TARVO_DRAW_SYMBOL_H

#include <stddef.h>

#include <vector>

namespace tarvo::draw {

constexpr int quiet_zone = 4; // modules of white around the symbol

// The parts of the Swiss cross as squares in module units, from the symbol's top left corner.
struct Square {
    double x, y, width, height;
    bool black;
};

struct Symbol {
    int width = 0;                    // modules a side, without the quiet zone
    std::vector<unsigned char> dark;  // width * width, row by row
    std::vector<Square> overlay;      // drawn over the modules, in order
};

// Checks the payload as the kind demands and encodes it (level M); false with error set.
bool encode(int kind, const char *payload, size_t length, Symbol &symbol, char *error, size_t size);

} // namespace tarvo::draw

#endif
