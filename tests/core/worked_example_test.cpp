// The toolbar's image group, built byte by byte from the format's description rather than by
// the writer, so that reader and writer are both held to the documented bytes.
#include <gtest/gtest.h>

#include "core/group_file.h"
#include "core/image_list_stream.h"

namespace iconvale {
namespace {

void Append(Bytes& out, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) out.push_back(b);
}

void AppendLe32(Bytes& out, std::uint32_t v) {
    Append(out, {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
}

// Colour of pixel (x, y) of toolbar image i, alpha included; mask set on a diagonal band.
std::uint32_t ToolbarPixel(int i, int x, int y) { return 0xFF000000u | (i * 40) << 16 | x << 8 | y; }
bool ToolbarTransparent(int i, int x, int y) { return (x + y + i) % 5 == 0; }

Bytes ToolbarFile() {
    Bytes file;
    Append(file, {0x4D, 0x49, 0x54, 0x4C, 0x00, 0x00, 0x00, 0xFF});
    Append(file, {0x49, 0x4C, 0x01, 0x01});
    Append(file, {0x06, 0x00, 0x0B, 0x00, 0x04, 0x00});
    Append(file, {0x10, 0x00, 0x10, 0x00});
    Append(file, {0xFF, 0xFF, 0xFF, 0x00});
    Append(file, {0x21, 0x10});
    Append(file, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});

    Append(file, {0x42, 0x4D, 0x36, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0});
    Append(file, {0x28, 0, 0, 0, 0x40, 0, 0, 0, 0x30, 0, 0, 0, 0x01, 0, 0x20, 0, 0, 0, 0, 0,
                  0x00, 0x30, 0, 0});
    file.insert(file.end(), 16, 0);
    Bytes pixels(12288, 0);
    for (int i = 0; i < 6; ++i) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                int row = 47 - ((i / 4) * 16 + y);
                int col = (i % 4) * 16 + x;
                std::uint32_t v = ToolbarPixel(i, x, y);
                for (int b = 0; b < 4; ++b) pixels[row * 256 + col * 4 + b] = std::uint8_t(v >> (8 * b));
            }
        }
    }
    file.insert(file.end(), pixels.begin(), pixels.end());

    Append(file, {0x42, 0x4D, 0x3E, 0, 0, 0, 0, 0, 0, 0, 0x3E, 0, 0, 0});
    Append(file, {0x28, 0, 0, 0, 0x40, 0, 0, 0, 0x30, 0, 0, 0, 0x01, 0, 0x01, 0, 0, 0, 0, 0});
    AppendLe32(file, 384);
    file.insert(file.end(), 16, 0);
    Append(file, {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00});
    Bytes mask(384, 0);
    for (int i = 0; i < 6; ++i) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (!ToolbarTransparent(i, x, y)) continue;
                int row = 47 - ((i / 4) * 16 + y);
                int col = (i % 4) * 16 + x;
                mask[row * 8 + col / 8] |= std::uint8_t(0x80 >> (col % 8));
            }
        }
    }
    file.insert(file.end(), mask.begin(), mask.end());
    file.insert(file.end(), 22, 0);
    return file;
}

TEST(WorkedExample, ToolbarGroupHasTheDocumentedSize) { EXPECT_EQ(ToolbarFile().size(), 12846u); }

TEST(WorkedExample, ReadingGivesTheDocumentedGroup) {
    Bytes file = ToolbarFile();
    auto list = ParseImageListStream(StreamPart(file, true));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count, 6);
    EXPECT_EQ(list->capacity, 11);
    EXPECT_EQ(list->grow, 4);
    EXPECT_EQ(list->width, 16);
    EXPECT_EQ(list->height, 16);
    EXPECT_EQ(list->background, 0x00FFFFFFu);
    EXPECT_EQ(list->flags, 0x1021);
    EXPECT_EQ(list->overlays, (std::array<std::int16_t, 4>{-1, -1, -1, -1}));
    for (int i = 0; i < 6; ++i) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(list->Pixel(i, x, y), ToolbarPixel(i, x, y)) << i << " " << x << "," << y;
                ASSERT_EQ(list->Transparent(i, x, y), ToolbarTransparent(i, x, y));
            }
        }
    }
}

TEST(WorkedExample, WritingAgainGivesTheSameBytesWithoutTheTrailingOnes) {
    Bytes file = ToolbarFile();
    auto list = ParseImageListStream(StreamPart(file, true));
    ASSERT_TRUE(list);
    Bytes written = WithGroupHeader(WriteImageListStream(*list), true);
    Bytes expected(file.begin(), file.end() - 22);
    EXPECT_EQ(written, expected);
}

}  // namespace
}  // namespace iconvale
