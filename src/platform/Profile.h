// SPDX-License-Identifier: MIT
// Private-profile (INI) files: the two calls the settings store is written against.
#pragma once

#include <cstdint>

namespace platform {

// A profile file larger than this is taken as damaged and is not read.
inline constexpr std::uint64_t kMaxProfileFileSize = std::uint64_t{1} << 20;

// What a profile call found under the file's name.
enum class ProfileFile {
    Read,        // a regular file, read whole
    Missing,     // nothing there: every value reads as its default
    Unreadable,  // something there that could not be read: not a regular file (a directory, a
                 // FIFO, a device, a dangling link), no permission, an I/O error, or a file over
                 // kMaxProfileFileSize
};

struct ProfileString {
    uint32_t count;    // as GetPrivateProfileStringA returns it
    ProfileFile file;  // whether the value came from the file, or the default stands in for it
};

// Copies the value of `key` in `section` of `file` into `buffer` (at most size - 1 bytes, always
// NUL-terminated when size > 0) and returns the number of bytes copied. Section and key names
// match without regard to ASCII case; blanks around names and values are ignored; a value wrapped
// in a matching pair of quotes comes back without them. A missing file, section or key yields
// `def` without its trailing spaces. A null `section` lists the section names, a null `key` the
// key names of the section (each NUL-terminated, the list ending in an extra NUL).
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                                  char* buffer, uint32_t size, const char* file);

// The same, also saying what was found at `file`, so that a caller can tell a file that is not
// there (the defaults count) from one that cannot be read (the defaults must not count). An
// unreadable file reads like an empty one. The file is opened without blocking and checked to
// be a regular file before anything is read, so a FIFO or a device there never holds the caller.
ProfileString GetPrivateProfileStringChecked(const char* section, const char* key, const char* def,
                                             char* buffer, uint32_t size, const char* file);

// Stores `value` for `key` in `section` of `file`, creating file, section and key as needed and
// keeping every other line byte for byte. A null `value` deletes the key, a null `key` the whole
// section. The file is replaced atomically and is afterwards readable and writable by its owner
// only, whatever it was before (it may hold a password). Returns false, leaving the old file
// untouched, when the write fails, when the file that is there cannot be read (see
// ProfileFile::Unreadable), or when a name or the value contains a line break.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* file);

}  // namespace platform
