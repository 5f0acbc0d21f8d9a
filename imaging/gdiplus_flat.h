// The flat GDI+ calls the program makes, declared here with opaque handle types: <gdiplus.h>
// would bring the whole C++ wrapper layer along. Every call returns a status, 0 meaning Ok.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "ui/win_handles.h"

struct GpImage;  // also stands for the library's bitmaps, which are images
struct GpGraphics;
struct GpBrush;  // also stands for the solid fill, which is a brush

using GpStatus = int;
inline constexpr GpStatus kGpOk = 0;

struct GpImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};
static_assert(sizeof(void*) != 4 || sizeof(GpImageCodecInfo) == 76);

struct GpEncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;  // 4: 32-bit unsigned values
    void* Value;
};

// The library reads Count entries; one is all the program ever passes.
struct GpEncoderParameters {
    UINT Count;
    GpEncoderParameter Parameter[1];
};

struct GpRect {
    INT X, Y, Width, Height;
};

struct GpBitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;
    void* Scan0;
    UINT_PTR Reserved;
};

extern "C" {

GpStatus WINAPI GdipCreateBitmapFromFile(const WCHAR* path, GpImage** bitmap);
GpStatus WINAPI GdipCreateBitmapFromHICON(HICON icon, GpImage** bitmap);
GpStatus WINAPI GdipCreateBitmapFromStream(IStream* stream, GpImage** bitmap);
GpStatus WINAPI GdipCreateBitmapFromScan0(INT width, INT height, INT stride, INT pixelFormat,
                                          BYTE* scan0, GpImage** bitmap);
GpStatus WINAPI GdipCreateHICONFromBitmap(GpImage* bitmap, HICON* icon);
GpStatus WINAPI GdipCreateHBITMAPFromBitmap(GpImage* bitmap, HBITMAP* result, DWORD background);
GpStatus WINAPI GdipBitmapLockBits(GpImage* bitmap, const GpRect* rect, UINT flags, INT pixelFormat,
                                   GpBitmapData* data);
GpStatus WINAPI GdipBitmapUnlockBits(GpImage* bitmap, GpBitmapData* data);
GpStatus WINAPI GdipDisposeImage(GpImage* image);

GpStatus WINAPI GdipGetImageRawFormat(GpImage* image, GUID* format);
GpStatus WINAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINAPI GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus WINAPI GdipGetImagePixelFormat(GpImage* image, INT* pixelFormat);
GpStatus WINAPI GdipImageGetFrameCount(GpImage* image, const GUID* dimension, UINT* count);
GpStatus WINAPI GdipImageSelectActiveFrame(GpImage* image, const GUID* dimension, UINT index);

GpStatus WINAPI GdipGetImageEncodersSize(UINT* count, UINT* bytes);
GpStatus WINAPI GdipGetImageEncoders(UINT count, UINT bytes, GpImageCodecInfo* encoders);
GpStatus WINAPI GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder,
                                      const GpEncoderParameters* parameters);
GpStatus WINAPI GdipSaveImageToFile(GpImage* image, const WCHAR* path, const CLSID* encoder,
                                    const GpEncoderParameters* parameters);
GpStatus WINAPI GdipSaveAddImage(GpImage* image, GpImage* frame,
                                 const GpEncoderParameters* parameters);
GpStatus WINAPI GdipSaveAdd(GpImage* image, const GpEncoderParameters* parameters);

GpStatus WINAPI GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINAPI GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, float x, float y,
                                  float width, float height);
GpStatus WINAPI GdipDrawImage(GpGraphics* graphics, GpImage* image, float x, float y);

GpStatus WINAPI GdipCreateSolidFill(DWORD argb, GpBrush** brush);
GpStatus WINAPI GdipDeleteBrush(GpBrush* brush);

}  // extern "C"

namespace iconvale {

inline constexpr UINT kGpLockRead = 1;
inline constexpr UINT kGpLockWrite = 2;
inline constexpr INT kPixelFormat1bppIndexed = 0x30101;

// Multi-frame saving: the encoder-parameter identifiers and values.
inline constexpr GUID kEncoderSaveFlag = {
    0x292266fc, 0xac40, 0x47bf, {0x8c, 0xfc, 0xa8, 0x5b, 0x89, 0xa6, 0x55, 0xde}};
inline constexpr ULONG kEncoderValueMultiFrame = 18;
inline constexpr ULONG kEncoderValueFlush = 20;
inline constexpr ULONG kEncoderValueFrameDimensionPage = 23;
inline constexpr GUID kFrameDimensionPage = {
    0x7462dc86, 0x6180, 0x4c7e, {0x8e, 0x3f, 0xee, 0x73, 0x33, 0xa7, 0xa4, 0x83}};

using UniqueGpImage = UniqueHandle<NullHandleTraits<GpImage*, &::GdipDisposeImage>>;
using UniqueGpGraphics = UniqueHandle<NullHandleTraits<GpGraphics*, &::GdipDeleteGraphics>>;
using UniqueGpBrush = UniqueHandle<NullHandleTraits<GpBrush*, &::GdipDeleteBrush>>;

}  // namespace iconvale
