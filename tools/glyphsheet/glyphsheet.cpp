// Writes the glyph sheet at a chosen glyph side as a PNG or BMP file, to look
// at the glyphs.
//
// Usage: glyphsheet <glyph side> <output.png|output.bmp> [zoom] [columns]
//   zoom     enlarges every pixel to zoom x zoom (default 1)
//   columns  wraps the 53 glyphs into rows of this many glyphs (default 53),
//            with a one-pixel grey frame around every glyph cell

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "image_writer.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: glyphsheet <glyph side> <output.png|.bmp> [zoom] [columns]\n");
        return 2;
    }
    const int e = std::atoi(argv[1]);
    const int zoom = argc > 3 ? std::atoi(argv[3]) : 1;
    const int columns = argc > 4 ? std::atoi(argv[4]) : quorrin::kGlyphCount;
    if (e <= 0 || e > 2000 || zoom <= 0 || zoom > 64 || columns <= 0 ||
        columns > quorrin::kGlyphCount) {
        std::fprintf(stderr, "glyphsheet: bad glyph side, zoom or columns\n");
        return 2;
    }
    const int stride = quorrin::glyphSheetStride(e);
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(stride) * e);
    quorrin::GlyphRasterizer rasterizer;
    rasterizer.renderSheet(e, stride, sheet.data());

    // Lay the glyphs out in a grid, each cell framed, every pixel zoomed.
    const int rows = (quorrin::kGlyphCount + columns - 1) / columns;
    const int cell = e * zoom + 1;
    const int width = columns * cell + 1;
    const int height = rows * cell + 1;
    const int outStride = 3 * width;
    std::vector<std::uint8_t> image(static_cast<std::size_t>(outStride) * height, 200);
    for (int g = 0; g < quorrin::kGlyphCount; ++g) {
        const int x0 = (g % columns) * cell + 1;
        const int y0 = (g / columns) * cell + 1;
        for (int y = 0; y < e * zoom; ++y) {
            for (int x = 0; x < e * zoom; ++x) {
                const std::uint8_t* src = sheet.data() +
                                          static_cast<std::size_t>(y / zoom) * stride +
                                          3 * (static_cast<std::size_t>(g) * e + x / zoom);
                std::uint8_t* dst = image.data() + static_cast<std::size_t>(y0 + y) * outStride +
                                    3 * static_cast<std::size_t>(x0 + x);
                dst[0] = src[0];
                dst[1] = src[1];
                dst[2] = src[2];
            }
        }
    }
    if (!quorrin::writeImage24(argv[2], width, height, outStride, image.data())) {
        std::fprintf(stderr, "glyphsheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
