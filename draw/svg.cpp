// The code as SVG: the dark modules as one path of horizontal runs (small, and without the
// seams that module-sized squares leave in some renderers), then the cross on top.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <charconv>
#include <new>
#include <string>

#include "draw/symbol.h"
#include "draw/tarvo_qr.h"

namespace tarvo::draw {
namespace {

// Every code is drawn 46 mm wide without its quiet zone, the size the Swiss guidelines set
// and ample for an EPC code.
constexpr double symbol_mm = 46.0;

void appendf(std::string &out, const char *fmt, double a, double b, double c, double d) {
    char text[512];
    const int n = snprintf(text, sizeof text, fmt, a, b, c, d);
    out.append(text, static_cast<size_t>(n));
}

void append_number(std::string &out, int value) {
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    out.append(text, static_cast<size_t>(end - text));
}

std::string write_svg(const Symbol &s) {
    std::string out;
    out.reserve(static_cast<size_t>(s.width) * s.width * 4);
    const int side = s.width + 2 * quiet_zone;
    const double mm = symbol_mm * side / s.width;
    appendf(out,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
            "version=\"1.1\" width=\"%.2fmm\" height=\"%.2fmm\" viewBox=\"%g %g ",
            mm, mm, -quiet_zone, -quiet_zone);
    appendf(out, "%g %g\" shape-rendering=\"crispEdges\">\n<rect x=\"%g\" y=\"%g\" ", side, side, -quiet_zone,
            -quiet_zone);
    appendf(out, "width=\"%g\" height=\"%g\" fill=\"#fff\"/>\n<path fill=\"#000\" d=\"", side, side, 0, 0);
    for (int y = 0; y < s.width; ++y) {
        const unsigned char *row = s.dark.data() + static_cast<size_t>(y) * s.width;
        for (int x = 0; x < s.width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int run = 1;
            while (x + run < s.width && row[x + run]) ++run;
            // Thousands of runs per code: printf's format parsing would cost more than the
            // encoder's own work.
            out += 'M';
            append_number(out, x);
            out += ' ';
            append_number(out, y);
            out += 'h';
            append_number(out, run);
            out += "v1h-";
            append_number(out, run);
            out += 'z';
            x += run;
        }
    }
    out += "\"/>\n";
    for (const Square &q : s.overlay) {
        appendf(out, "<rect x=\"%.3f\" y=\"%.3f\" width=\"%.3f\" height=\"%.3f\" ", q.x, q.y, q.width, q.height);
        out += q.black ? "fill=\"#000\"/>\n" : "fill=\"#fff\"/>\n";
    }
    out += "</svg>\n";
    return out;
}

} // namespace
} // namespace tarvo::draw

extern "C" char *tarvo_qr_svg(int kind, const char *payload, size_t length, char *error, size_t errorSize) {
    if (error != nullptr && errorSize > 0) error[0] = '\0';
    try {
        tarvo::draw::Symbol symbol;
        if (!tarvo::draw::encode(kind, payload, length, symbol, error, errorSize)) return nullptr;
        const std::string svg = tarvo::draw::write_svg(symbol);
        char *out = static_cast<char *>(malloc(svg.size() + 1));
        if (out != nullptr) memcpy(out, svg.c_str(), svg.size() + 1);
        return out;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
