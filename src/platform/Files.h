// SPDX-License-Identifier: MIT
// Replacing a whole file so that nobody ever sees half of it, and directories only their owner
// may look into.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
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

// Whether `name` is one of the new files ReplaceAtomically writes beside a file named
// `targetName` (a dot, the name, a dot and six random letters or digits): one a killed run left.
bool IsReplacementFileOf(std::string_view name, std::string_view targetName);

// Removes from `dir` the regular files of the effective user that `leftover` recognises by
// name and that nobody has written for `minAge` (a live writer holds its file for moments
// only). Links and everything of other users stay. Returns how many went.
int RemoveOwnLeftovers(const std::filesystem::path& dir,
                       const std::function<bool(std::string_view)>& leftover,
                       std::chrono::seconds minAge);

// Makes `dir` a directory that only its owner can enter (0700): the directories missing on the
// way are created owner-only, and one that is there already has its mode narrowed. False when
// something other than a directory stands at `dir` or a directory cannot be made or changed.
bool EnsurePrivateDirectory(const std::filesystem::path& dir);

}  // namespace platform
