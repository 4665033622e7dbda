// The code as a PNG: one bit a pixel, eight pixels a module, so that the cross's edges fall
// within a module's eighth of where the guidelines put them.
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <new>
#include <vector>

#include "draw/symbol.h"
#include "draw/tarvo_qr.h"

namespace tarvo::draw {
namespace {

constexpr int pixels_per_module = 8;

// Rows of packed bits, 1 for white as PNG's grey scale has it.
std::vector<unsigned char> raster(const Symbol &s, int side, size_t stride) {
    std::vector<unsigned char> image(stride * side, 0xFF);
    auto set = [&](int x, int y, bool black) {
        unsigned char &byte = image[static_cast<size_t>(y) * stride + x / 8];
        const unsigned char bit = static_cast<unsigned char>(0x80 >> (x % 8));
        byte = black ? (byte & ~bit) : (byte | bit);
    };
    // A module is eight pixels, one byte of a row: each module row is written once, as a
    // row of bytes, and copied to the seven pixel rows below it.
    static_assert(pixels_per_module == 8);
    const int offset = quiet_zone * pixels_per_module;
    for (int my = 0; my < s.width; ++my) {
        unsigned char *first = image.data() + static_cast<size_t>(offset + my * pixels_per_module) * stride;
        for (int mx = 0; mx < s.width; ++mx)
            if (s.dark[static_cast<size_t>(my) * s.width + mx]) first[quiet_zone + mx] = 0x00;
        for (int y = 1; y < pixels_per_module; ++y) memcpy(first + static_cast<size_t>(y) * stride, first, stride);
    }
    for (const Square &q : s.overlay) {
        const int x0 = offset + static_cast<int>(q.x * pixels_per_module + 0.5);
        const int y0 = offset + static_cast<int>(q.y * pixels_per_module + 0.5);
        const int x1 = offset + static_cast<int>((q.x + q.width) * pixels_per_module + 0.5);
        const int y1 = offset + static_cast<int>((q.y + q.height) * pixels_per_module + 0.5);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, q.black);
    }
    return image;
}

void append(png_structp png, png_bytep data, png_size_t length) {
    auto *out = static_cast<std::vector<unsigned char> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush(png_structp) {}

// libpng reports failures by longjmp; nothing with a destructor lives in this frame, and the
// output vector is the caller's.
bool write_png(const std::vector<unsigned char> &image, int side, size_t stride, std::vector<unsigned char> *out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, append, flush);
    png_set_IHDR(png, info, side, side, 1, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Two-colour pictures compress well without row filters and at the fastest level: a
    // code is a few kilobytes either way, and drawing it must stay within a millisecond.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 1);
    // Pixel rows repeat eight at a time, each a hundred bytes at most: a small window finds
    // them, and deflate's state then stays small enough not to be mapped afresh per code.
    png_set_compression_window_bits(png, 11);
    png_set_compression_mem_level(png, 4);
    png_write_info(png, info);
    for (int y = 0; y < side; ++y) png_write_row(png, const_cast<png_bytep>(image.data() + static_cast<size_t>(y) * stride));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace
} // namespace tarvo::draw

extern "C" unsigned char *tarvo_qr_png(int kind, const char *payload, size_t length, size_t *pngSize, char *error,
                                       size_t errorSize) {
    using namespace tarvo::draw;
    if (error != nullptr && errorSize > 0) error[0] = '\0';
    if (pngSize != nullptr) *pngSize = 0;
    try {
        Symbol symbol;
        if (!encode(kind, payload, length, symbol, error, errorSize)) return nullptr;
        const int side = (symbol.width + 2 * quiet_zone) * pixels_per_module;
        const size_t stride = (static_cast<size_t>(side) + 7) / 8;
        const std::vector<unsigned char> image = raster(symbol, side, stride);
        std::vector<unsigned char> png;
        png.reserve(8192);
        if (!write_png(image, side, stride, &png)) {
            if (error != nullptr && errorSize > 0) snprintf(error, errorSize, "picture: the PNG writer failed");
            return nullptr;
        }
        auto *out = static_cast<unsigned char *>(malloc(png.size()));
        if (out == nullptr) return nullptr;
        memcpy(out, png.data(), png.size());
        if (pngSize != nullptr) *pngSize = png.size();
        return out;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}
