// Draws the program's own pictures and writes them as build outputs:
//   make_art TOOLBAR.eil PROGRAM.ico DOCUMENT.ico
// The toolbar images go through the image-group codec, so the program reads them back with
// the very code that reads users' files.
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/group_file.h"
#include "core/image_list_stream.h"

namespace {

using iconvale::Bytes;

struct Canvas {
    int size;
    std::vector<std::uint32_t> argb;  // top row first; alpha 0 is transparent
    explicit Canvas(int s) : size(s), argb(static_cast<std::size_t>(s) * s, 0) {}
    void Set(int x, int y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < size && y < size) argb[y * size + x] = c;
    }
    void Fill(int x0, int y0, int x1, int y1, std::uint32_t c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, std::uint32_t c) {
        Fill(x0, y0, x1, y0, c);
        Fill(x0, y1, x1, y1, c);
        Fill(x0, y0, x0, y1, c);
        Fill(x1, y0, x1, y1, c);
    }
};

// 16x16 pixel art: each character names a colour, '.' is transparent.
Canvas FromArt(const char* const rows[16]) {
    static const std::map<char, std::uint32_t> kColours = {
        {'k', 0xFF000000}, {'w', 0xFFFFFFFF}, {'g', 0xFF808080}, {'l', 0xFFC8C8C8},
        {'y', 0xFFF0C040}, {'o', 0xFFC08020}, {'b', 0xFF3060C0}, {'s', 0xFF80B0F0},
        {'G', 0xFF40A040}, {'r', 0xFFD04030}, {'d', 0xFF203060},
    };
    Canvas c(16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            auto it = kColours.find(rows[y][x]);
            if (it != kColours.end()) c.Set(x, y, it->second);
        }
    return c;
}

const char* const kBlankPage[16] = {
    "................", "...gggggggg.....", "...gwwwwwwgg....", "...gwwwwwwglg...",
    "...gwwwwwwggggg.", "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.",
    "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.",
    "...gwwwwwwwwwwg.", "...gwwwwwwwwwwg.", "...gggggggggggg.", "................"};
const char* const kOpenFolder[16] = {
    "................", "................", ".oooo...........", "oyyyyo..........",
    "oyyyyyoooooooo..", "oyyyyyyyyyyyyo..", "oyyyoooooooooooo", "oyyoyyyyyyyyyyyo",
    "oyoyyyyyyyyyyyo.", "oyoyyyyyyyyyyyo.", "ooyyyyyyyyyyyo..", "ooyyyyyyyyyyyo..",
    "ooooooooooooo...", "................", "................", "................"};
const char* const kFloppy[16] = {
    "................", ".dddddddddddddd.", ".dbbwwwwwwwwbbd.", ".dbbwwwwwwwwbbd.",
    ".dbbwwwwwwwwbbd.", ".dbbwwwwwwwwbbd.", ".dbbbbbbbbbbbbd.", ".dbbbbbbbbbbbbd.",
    ".dbbllllllllbbd.", ".dbbllggllllbbd.", ".dbbllggllllbbd.", ".dbbllggllllbbd.",
    ".dbbllllllllbbd.", ".ddddddddddddd..", "................", "................"};
const char* const kLandscape[16] = {
    "................", "................", ".gggggggggggggg.", ".gssssssssssssg.",
    ".gsssssssyysssg.", ".gssssssyyyyssg.", ".gsssssssyysssg.", ".gsssGssssssssg.",
    ".gssGGGsssssssg.", ".gsGGGGGssGsssg.", ".gGGGGGGGGGGssg.", ".gGGGGGGGGGGGGg.",
    ".gggggggggggggg.", "................", "................", "................"};
const char* const kLandscapeDotted[16] = {
    "................", "k...............", "..gggggggggggggg", "k.gssssssssssssg",
    "..gsssssssyysssg", "k.gssssssyyyyssg", "..gsssssssyysssg", "k.gsssGssssssssg",
    "..gssGGGsssssssg", "k.gsGGGGGssGsssg", "..gGGGGGGGGGGssg", "k.gGGGGGGGGGGGGg",
    "..gggggggggggggg", "k...............", "................", "................"};
const char* const kCross[16] = {
    "................", "................", "..kk........kk..", "..kkk......kkk..",
    "...kkk....kkk...", "....kkk..kkk....", ".....kkkkkk.....", "......kkkk......",
    "......kkkk......", ".....kkkkkk.....", "....kkk..kkk....", "...kkk....kkk...",
    "..kkk......kkk..", "..kk........kk..", "................", "................"};

Bytes ToolbarGroup() {
    const char* const* art[] = {kBlankPage, kOpenFolder, kFloppy, kLandscape, kLandscapeDotted, kCross};
    iconvale::ImageListData list;
    list.width = list.height = 16;
    list.bitsPerPixel = 32;
    list.flags = 32 | iconvale::kMaskFlag;
    list.count = 6;
    list.capacity = 8;
    list.grow = 4;
    list.background = iconvale::kNoColour;
    list.AllocateImages();
    for (int i = 0; i < 6; ++i) {
        Canvas c = FromArt(art[i]);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                std::uint32_t p = c.argb[y * 16 + x];
                list.SetPixel(i, x, y, p);
                list.SetTransparent(i, x, y, (p >> 24) == 0);
            }
    }
    return iconvale::WithGroupHeader(iconvale::WriteImageListStream(list), true);
}

// The program icon: three overlapping tiles, as an image group is a row of small pictures.
Canvas ProgramIcon(int size) {
    Canvas c(size);
    auto s = [size](int v) { return v * size / 48; };
    const std::uint32_t tiles[] = {0xFF2F6FD0, 0xFF2FA08A, 0xFFE08A2A};
    for (int t = 0; t < 3; ++t) {
        int x0 = s(4 + t * 10), y0 = s(22 - t * 9);
        int x1 = x0 + s(22) - 1, y1 = y0 + s(22) - 1;
        c.Fill(x0, y0, x1, y1, tiles[t]);
        c.Frame(x0, y0, x1, y1, 0xFF1A1A2A);
        c.Fill(x0 + s(4), y0 + s(4), x0 + s(8), y0 + s(8), 0xFFFFFFFF);
    }
    return c;
}

// The document icon of ".eil" files: a page holding a grid of four small pictures.
Canvas DocumentIcon(int size) {
    Canvas c(size);
    auto s = [size](int v) { return v * size / 48; };
    c.Fill(s(8), s(3), s(39), s(44), 0xFFFFFFFF);
    c.Frame(s(8), s(3), s(39), s(44), 0xFF606060);
    const std::uint32_t cells[] = {0xFF2F6FD0, 0xFF2FA08A, 0xFFE08A2A, 0xFFC03A3A};
    for (int i = 0; i < 4; ++i) {
        int x0 = s(13 + (i % 2) * 12), y0 = s(10 + (i / 2) * 13);
        c.Fill(x0, y0, x0 + s(9), y0 + s(9), cells[i]);
    }
    return c;
}

void Put16(Bytes& b, std::uint32_t v) { iconvale::AppendU16(b, v); }
void Put32(Bytes& b, std::uint32_t v) { iconvale::AppendU32(b, v); }

// An icon file with one 32-bit entry per canvas: colour rows bottom-up, then the AND mask.
Bytes IconFile(const std::vector<Canvas>& images) {
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::vector<Bytes> bodies;
    for (const Canvas& c : images) {
        Bytes body;
        Put32(body, 40);
        Put32(body, c.size);
        Put32(body, c.size * 2);
        Put16(body, 1);
        Put16(body, 32);
        for (int i = 0; i < 6; ++i) Put32(body, 0);
        for (int y = c.size - 1; y >= 0; --y)
            for (int x = 0; x < c.size; ++x) Put32(body, c.argb[y * c.size + x]);
        const int maskStride = (c.size + 31) / 32 * 4;
        for (int y = c.size - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < c.size; ++x)
                if ((c.argb[y * c.size + x] >> 24) == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            body.insert(body.end(), row.begin(), row.end());
        }
        bodies.push_back(std::move(body));
    }
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        int size = images[i].size;
        out.push_back(static_cast<std::uint8_t>(size == 256 ? 0 : size));
        out.push_back(static_cast<std::uint8_t>(size == 256 ? 0 : size));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies) out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool WriteFile(const char* path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_art TOOLBAR.eil PROGRAM.ico DOCUMENT.ico\n");
        return 2;
    }
    bool ok = WriteFile(argv[1], ToolbarGroup()) &&
              WriteFile(argv[2], IconFile({ProgramIcon(48), ProgramIcon(32), ProgramIcon(16)})) &&
              WriteFile(argv[3], IconFile({DocumentIcon(48), DocumentIcon(32), DocumentIcon(16)}));
    return ok ? 0 : 1;
}
