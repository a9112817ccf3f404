#pragma once
// The pixels of an 8-bit RGB or RGBA PNG (what gnuplot's cairo terminal and Chromium write), to check
// that parts of a figure are drawn on.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace smwave::plot::testing {

struct Pixels {
    unsigned width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> bytes;  // rows of width * channels bytes

    // The share of pixels in the box (fractions of the width and height) that differ from white, or
    // with `coloured` that are neither white, grey nor black (data, not frames, grids and text).
    double inked(double left, double top, double right, double bottom, bool coloured = false) const {
        std::size_t inked = 0, all = 0;
        for (auto y = unsigned(top * height); y < unsigned(bottom * height); ++y) {
            for (auto x = unsigned(left * width); x < unsigned(right * width); ++x, ++all) {
                const std::uint8_t* p = &bytes[(std::size_t(y) * width + x) * channels];
                const auto [low, high] = std::minmax({p[0], p[1], p[2]});
                inked += coloured ? high - low > 60 : low < 240;
            }
        }
        return all == 0 ? 0 : double(inked) / double(all);
    }
};

// Decodes the PNG, or gives no pixels (width 0) for another kind of file.
inline Pixels decode_png(const std::string& png) {
    Pixels image;
    const auto word = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(png[at])) << 24 | std::uint32_t(std::uint8_t(png[at + 1])) << 16 |
               std::uint32_t(std::uint8_t(png[at + 2])) << 8 | std::uint8_t(png[at + 3]);
    };
    if (png.size() < 33 || png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return image;
    std::string compressed;
    for (std::size_t at = 8; at + 8 <= png.size();) {
        const std::uint32_t length = word(at);
        const std::string type = png.substr(at + 4, 4);
        if (type == "IHDR") {
            image.width = word(at + 8);
            image.height = word(at + 12);
            const int depth = png[at + 16], colour = png[at + 17];
            if (depth != 8 || (colour != 2 && colour != 6) || png[at + 20] != 0) return {};
            image.channels = colour == 6 ? 4 : 3;
        } else if (type == "IDAT") {
            compressed += png.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const std::size_t stride = std::size_t(image.width) * image.channels;
    std::vector<std::uint8_t> raw((stride + 1) * image.height);
    uLongf size = raw.size();
    if (image.channels == 0 ||
        uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(compressed.data()), compressed.size()) != Z_OK ||
        size != raw.size()) {
        return {};
    }
    image.bytes.resize(stride * image.height);
    for (std::size_t y = 0; y < image.height; ++y) {
        const std::uint8_t filter = raw[y * (stride + 1)];
        for (std::size_t x = 0; x < stride; ++x) {
            const int a = x >= image.channels ? image.bytes[y * stride + x - image.channels] : 0;
            const int b = y > 0 ? image.bytes[(y - 1) * stride + x] : 0;
            const int c = x >= image.channels && y > 0 ? image.bytes[(y - 1) * stride + x - image.channels] : 0;
            const int paeth_p = a + b - c, pa = std::abs(paeth_p - a), pb = std::abs(paeth_p - b), pc = std::abs(paeth_p - c);
            const int predictor = filter == 1   ? a
                                  : filter == 2 ? b
                                  : filter == 3 ? (a + b) / 2
                                  : filter == 4 ? (pa <= pb && pa <= pc ? a : pb <= pc ? b : c)
                                                : 0;
            image.bytes[y * stride + x] = std::uint8_t(raw[y * (stride + 1) + 1 + x] + predictor);
        }
    }
    return image;
}

}  // namespace smwave::plot::testing
