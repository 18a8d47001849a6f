// SPDX-License-Identifier: MIT
// Kernel stand-ins for files: the temporary directory and temporary file names, deleting files,
// and creating a file only where nothing (no file, no link) is in the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

constexpr std::uint32_t MAX_PATH = 260;

// Writes the temporary directory ($TMPDIR when it is an absolute path, else /tmp), ending in
// '/', with a NUL into `buffer` and returns its length without the NUL. When it does not fit,
// nothing is written and the result is the size the buffer would need, NUL included.
std::uint32_t GetTempPathA(std::uint32_t bufferLength, char* buffer);

// With `unique` 0: creates an empty file "<pathName>/<prefix><number>.TMP" (at most the first
// three characters of `prefixString`, the number in upper-case hexadecimal, one not in use),
// owner-only and without following links, writes its name with a NUL into `tempFileName`
// (MAX_PATH characters) and returns the number. With another `unique`, only the name is built
// from it. Returns 0 when no file can be made there (a missing or read-only directory, a name
// longer than MAX_PATH).
std::uint32_t GetTempFileNameA(const char* pathName, const char* prefixString, std::uint32_t unique,
                               char* tempFileName);

// Removes a file (not a directory); a link is removed, never what it points to.
bool DeleteFileA(const char* fileName);

// Whether a regular file is found at `path`.
bool FileExists(const std::string& path);

// A file that did not exist before: created for writing, readable and writable by its owner
// alone, never through an existing file or link, and not inherited by child processes.
class NewFile {
  public:
    NewFile() = default;
    explicit NewFile(const std::string& path);
    ~NewFile();
    NewFile(NewFile&& other) noexcept;
    NewFile& operator=(NewFile&& other) noexcept;
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // Why the creation failed (an errno value; EEXIST when the name is taken), 0 when it did not.
    int Error() const { return m_error; }
    // Writes all `size` bytes; false when they could not all be written.
    bool Write(const void* data, std::size_t size);
    bool Close();

  private:
    int m_fd = -1;
    int m_error = 0;
};

}  // namespace platform
