// The one way both front ends write a file: the bytes go to a new temporary file in the target's
// folder, are flushed, and only then take the target's place, so that a failed write leaves the
// old file as it was and no half-written one. Portable; the swap is the platform's own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace iconvale {

enum class AtomicWriteResult {
    kWritten,
    kIsFolder,       // a folder has the target's name
    kExists,         // the target exists and replacing was not asked for
    kProtected,      // the target is marked read-only
    kCannotCreate,   // no temporary file could be made in the folder
    kCannotWrite,    // writing or flushing the temporary file failed (a full disk, say)
    kCannotReplace,  // the finished file could not take the target's place
};

struct AtomicWriteOptions {
    bool replace = true;  // over an existing file; without it the swap itself refuses one
    bool flush = true;    // to the disk before the swap
};

AtomicWriteResult WriteAtomically(const std::filesystem::path& target,
                                  std::span<const std::uint8_t> bytes,
                                  AtomicWriteOptions options = {});

// The temporary file of a write to `target`, try number `serial`: "~", up to eight hex digits
// and ".tmp" in the target's folder, shortened so that it fits wherever the target fits, since
// a target near the path limit leaves little room.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, unsigned serial);

}  // namespace iconvale
