// JPEG through libjpeg-turbo. Its errors leave by longjmp, so the calls that may fail live in
// small functions that hold only C objects; everything C++ is made before or after them.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "imaging/picture_budget.h"
#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

constexpr int kQuality = 75;  // the usual default of picture libraries

struct JumpingErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JumpingErrors*>(info->err)->jump, 1);
}

// A warning means damaged data (a truncated file reads as grey rows): that is no picture.
void FailOnWarning(j_common_ptr info, int level) {
    if (level < 0) JumpBack(info);
}

void UseJumpingErrors(JumpingErrors& errors) {
    jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpBack;
    errors.manager.emit_message = FailOnWarning;
}

bool Create(jpeg_decompress_struct& info, JumpingErrors& errors) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    return true;
}

// Reads the header and sets the output colour space; false on any error. The size is known
// before the library sizes its own buffers by it, so a huge picture is refused first.
bool ReadHeader(jpeg_decompress_struct& info, JumpingErrors& errors,
                std::span<const std::uint8_t> bytes) {
    if (setjmp(errors.jump)) return false;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    const bool inks = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = inks ? JCS_CMYK : JCS_EXT_BGRA;
    return PictureSizeAllowed(info.image_width, info.image_height);
}

bool Start(jpeg_decompress_struct& info, JumpingErrors& errors) {
    if (setjmp(errors.jump)) return false;
    jpeg_start_decompress(&info);
    return info.output_components == 4;
}

// Decodes every row into `pixels` (output_width * 4 bytes a row); false on any error.
bool ReadRows(jpeg_decompress_struct& info, JumpingErrors& errors, std::uint8_t* pixels) {
    if (setjmp(errors.jump)) return false;
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * 4;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool WriteRows(jpeg_compress_struct& info, JumpingErrors& errors, const RgbaPicture& picture,
               unsigned char** file, unsigned long* size) {
    if (setjmp(errors.jump)) return false;
    jpeg_mem_dest(&info, file, size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        // The library only reads the row, though its type says otherwise.
        auto* row = reinterpret_cast<JSAMPLE*>(const_cast<std::uint32_t*>(picture.argb.data()) +
                                               static_cast<std::size_t>(info.next_scanline) *
                                                   picture.width);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

// CMYK as the usual writers of such files store it (inverted, as Adobe does) to opaque RGB.
void InksToColours(RgbaPicture& picture, bool inverted) {
    for (std::uint32_t& pixel : picture.argb) {
        const auto* ink = reinterpret_cast<const std::uint8_t*>(&pixel);
        std::uint32_t c = ink[0], m = ink[1], y = ink[2], k = ink[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        const std::uint32_t red = c * k / 255, green = m * k / 255, blue = y * k / 255;
        pixel = 0xFF000000u | red << 16 | green << 8 | blue;
    }
}

}  // namespace

RgbaPicture DecodeJpeg(std::span<const std::uint8_t> bytes) {
    jpeg_decompress_struct info{};
    JumpingErrors errors;
    UseJumpingErrors(errors);
    info.err = &errors.manager;
    RgbaPicture picture;
    bool ok = Create(info, errors) && ReadHeader(info, errors, bytes) && Start(info, errors) &&
              info.output_width <= 0x7FFFFFFF && info.output_height <= 0x7FFFFFFF &&
              picture.Allocate(static_cast<int>(info.output_width),
                               static_cast<int>(info.output_height)) &&
              ReadRows(info, errors, reinterpret_cast<std::uint8_t*>(picture.argb.data()));
    if (ok && info.out_color_space == JCS_CMYK) InksToColours(picture, info.saw_Adobe_marker);
    jpeg_destroy_decompress(&info);
    return ok ? std::move(picture) : RgbaPicture{};
}

Bytes EncodeJpeg(const RgbaPicture& picture) {
    if (picture.empty()) return {};
    jpeg_compress_struct info{};
    JumpingErrors errors;
    UseJumpingErrors(errors);
    info.err = &errors.manager;
    jpeg_create_compress(&info);
    unsigned char* file = nullptr;
    unsigned long size = 0;
    const bool ok = WriteRows(info, errors, picture, &file, &size);
    jpeg_destroy_compress(&info);
    Bytes bytes;
    if (ok && file) bytes.assign(file, file + size);
    std::free(file);
    return bytes;
}

}  // namespace iconvale
