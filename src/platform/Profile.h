// SPDX-License-Identifier: MIT
// Private-profile (INI) files: the two calls the settings store is written against.
#pragma once

#include <cstdint>

namespace platform {

// Copies the value of `key` in `section` of `file` into `buffer` (at most size - 1 bytes, always
// NUL-terminated when size > 0) and returns the number of bytes copied. Section and key names
// match without regard to ASCII case; blanks around names and values are ignored; a value wrapped
// in a matching pair of quotes comes back without them. A missing file, section or key yields
// `def` without its trailing spaces. A null `section` lists the section names, a null `key` the
// key names of the section (each NUL-terminated, the list ending in an extra NUL).
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                                  char* buffer, uint32_t size, const char* file);

// Stores `value` for `key` in `section` of `file`, creating file, section and key as needed and
// keeping every other line byte for byte. A null `value` deletes the key, a null `key` the whole
// section. The file is replaced atomically; a new file is readable and writable by its owner
// only. Returns false, leaving the old file untouched, when the write fails or when a name or
// the value contains a line break.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* file);

}  // namespace platform
