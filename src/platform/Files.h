// SPDX-License-Identifier: MIT
// Replacing a whole file so that nobody ever sees half of it, and directories only their owner
// may look into.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// What the file written by ReplaceAtomically may be opened by.
enum class FileMode {
    KeepExisting,  // a file that stood there keeps its permissions; a new one is owner-only
    OwnerOnly,     // readable and writable by its owner only (0600), whatever it was before
};

// Writes `data` to a new owner-only file beside `target` and renames it over `target`: readers
// see the old file or the new one, never part of one, and a failure leaves the old file as it
// was. A link at `target` is replaced, not written through. False when the directory refuses
// the new file or the disk is full.
bool ReplaceAtomically(const std::string& target, std::string_view data,
                       FileMode mode = FileMode::KeepExisting);
inline bool ReplaceAtomically(const std::string& target, std::span<const std::uint8_t> bytes,
                              FileMode mode = FileMode::KeepExisting) {
    return ReplaceAtomically(
        target, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), mode);
}

// Makes `dir` a directory that only its owner can enter (0700): the directories missing on the
// way are created owner-only, and one that is there already has its mode narrowed. False when
// something other than a directory stands at `dir` or a directory cannot be made or changed.
bool EnsurePrivateDirectory(const std::filesystem::path& dir);

}  // namespace platform
