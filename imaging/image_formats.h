// The picture library's image-format identifiers, as braced upper-case GUID text.
#pragma once

namespace iconvale {

inline constexpr char kBmpFormat[] = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kEmfFormat[] = "{B96B3CAC-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kJpegFormat[] = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kPngFormat[] = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kGifFormat[] = "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kTiffFormat[] = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
inline constexpr char kIconFormat[] = "{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}";

}  // namespace iconvale
