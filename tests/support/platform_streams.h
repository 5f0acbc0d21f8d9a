// Bytes handed to the platform's own image-list reader, for checking our streams against it.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <cstdint>
#include <span>

#include "ui/win_handles.h"

namespace iconvale::testing {

// A memory stream holding `bytes`, positioned at its start; empty when none could be made.
ComPtr<IStream> MemoryStream(std::span<const std::uint8_t> bytes);
// The list the platform reads from `bytes`; empty when it refuses them.
UniqueImageList PlatformRead(std::span<const std::uint8_t> bytes);

}  // namespace iconvale::testing
