// SPDX-License-Identifier: MIT
#include "platform/Profile.h"

#include "platform/Files.h"
#include "platform/ProfileText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// One physical line of the file: its text and the terminator that ended it ("" for the last
// line when the file does not end in a line break).
struct Line {
    std::string text;
    std::string eol;
};

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed, quotes not yet removed
};

Parsed ParseLine(std::string_view text) {
    Parsed p;
    std::string_view s = Trim(text);
    if (s.empty()) {
        p.kind = Kind::Blank;
        return p;
    }
    if (s.front() == ';') {
        p.kind = Kind::Comment;
        return p;
    }
    if (s.front() == '[') {
        const size_t close = s.rfind(']');
        if (close != std::string_view::npos) {
            p.kind = Kind::Section;
            p.name = Trim(s.substr(1, close - 1));
            return p;
        }
        // No closing bracket: not a header; it may still read as a key line.
    }
    const size_t eq = s.find('=');
    if (eq == std::string_view::npos) {
        return p;  // a line without '=' is no key
    }
    p.kind = Kind::Key;
    p.name = Trim(s.substr(0, eq));
    p.value = Trim(s.substr(eq + 1));
    return p;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

struct FileText {
    std::string bom;
    std::vector<Line> lines;
};

struct FileContent {
    ProfileFile state = ProfileFile::Missing;
    std::string data;  // what a Read file holds
};

FileContent Unreadable() {
    return {ProfileFile::Unreadable, {}};
}

// Nothing is read from anything but a regular file of a sane size. The type is looked at
// before opening (opening a device may do something) and again on the descriptor, and the
// open does not block, so a FIFO swapped in between cannot hold the program at start-up.
FileContent ReadProfileFile(const char* path) {
    struct stat st {};
    if (::stat(path, &st) != 0) {
        if (errno == ENOTDIR) {
            return {};  // a file on the way where a directory should be: no such file either
        }
        if (errno == ENOENT) {
            // A link to nothing is not the same as no file: what it names may only be gone
            // for now (an unmounted disk).
            struct stat link {};
            return ::lstat(path, &link) == 0 ? Unreadable() : FileContent{};
        }
        return Unreadable();
    }
    if (!S_ISREG(st.st_mode)) {
        return Unreadable();
    }
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return errno == ENOENT ? FileContent{} : Unreadable();
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > kMaxProfileFileSize) {
        ::close(fd);
        return Unreadable();
    }
    FileContent f{ProfileFile::Read, {}};
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(fd);
            return Unreadable();
        }
        if (n == 0) {
            break;
        }
        f.data.append(chunk, static_cast<size_t>(n));
        if (f.data.size() > kMaxProfileFileSize) {
            ::close(fd);
            return Unreadable();  // it grew while being read
        }
    }
    ::close(fd);
    return f;
}

FileText SplitLines(std::string_view data) {
    FileText f;
    std::string_view rest = data;
    if (rest.substr(0, kBom.size()) == kBom) {
        f.bom = std::string(kBom);
        rest.remove_prefix(kBom.size());
    }
    while (!rest.empty()) {
        const size_t brk = rest.find_first_of("\r\n");
        if (brk == std::string_view::npos) {
            f.lines.push_back({std::string(rest), ""});
            break;
        }
        size_t len = 1;
        if (rest[brk] == '\r' && brk + 1 < rest.size() && rest[brk + 1] == '\n') {
            len = 2;
        }
        f.lines.push_back({std::string(rest.substr(0, brk)), std::string(rest.substr(brk, len))});
        rest.remove_prefix(brk + len);
    }
    return f;
}

// Index range [begin, end) of the lines that belong to the first section called `name`
// (begin is the header line), or nothing.
struct SectionRange {
    size_t header;
    size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == Kind::Section && SameName(p.name, name)) {
            size_t end = i + 1;
            while (end < lines.size() && ParseLine(lines[end].text).kind != Kind::Section) {
                ++end;
            }
            return SectionRange{i, end};
        }
    }
    return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, SectionRange r,
                              std::string_view key) {
    for (size_t i = r.header + 1; i < r.end; ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == Kind::Key && SameName(p.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

uint32_t CopyOut(std::string_view value, char* buffer, uint32_t size) {
    if (size == 0 || buffer == nullptr) {
        return 0;
    }
    const size_t n = std::min<size_t>(value.size(), size - 1);
    if (n > 0) {
        std::memcpy(buffer, value.data(), n);
    }
    buffer[n] = '\0';
    return static_cast<uint32_t>(n);
}

// A list of NUL-terminated names ending in an extra NUL; cut to the buffer like the real call
// (a cut list still ends in two NULs and reports size - 2).
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
    if (size == 0 || buffer == nullptr) {
        return 0;
    }
    std::string all;
    for (const std::string& n : names) {
        all.append(n);
        all.push_back('\0');
    }
    if (all.size() + 1 <= size) {
        std::memcpy(buffer, all.data(), all.size());
        buffer[all.size()] = '\0';
        return static_cast<uint32_t>(all.size());
    }
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, all.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// The text a value is stored as, so that reading returns exactly `value`: blanks at either end
// or a matching pair of outer quotes would otherwise be eaten by the reader.
std::string StoredForm(std::string_view value) {
    const bool blankEdge = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    const bool quotedLook =
        value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
    if (blankEdge || quotedLook) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

std::string DetectEol(const FileText& f) {
    for (const Line& l : f.lines) {
        if (!l.eol.empty()) {
            return l.eol;
        }
    }
    return "\n";
}

std::string Join(const FileText& f) {
    std::string out = f.bom;
    for (const Line& l : f.lines) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

// The file the name stands for: a link is written through, so the link itself stays.
std::optional<std::string> ResolveTarget(const char* file) {
    struct stat st {};
    if (::lstat(file, &st) != 0) {
        return errno == ENOENT ? std::optional<std::string>(file) : std::nullopt;
    }
    if (!S_ISLNK(st.st_mode)) {
        return std::string(file);
    }
    char real[PATH_MAX];
    if (::realpath(file, real) == nullptr) {
        return std::nullopt;  // dangling or looping link: refuse rather than replace it
    }
    return std::string(real);
}

bool ValidName(std::string_view name) {
    return !HasLineBreak(name);
}

bool ValidKey(std::string_view key) {
    const std::string_view k = Trim(key);
    // A key that could not be found again as written is refused rather than stored.
    return !k.empty() && !HasLineBreak(k) && k.find('=') == std::string_view::npos &&
           k.front() != ';' && k.front() != '[';
}

}  // namespace

namespace profile {

std::optional<std::string> Lookup(std::string_view content, std::string_view section,
                                  std::string_view key) {
    const FileText f = SplitLines(content);
    const std::optional<SectionRange> range = FindSection(f.lines, Trim(section));
    if (!range) {
        return std::nullopt;
    }
    const std::optional<size_t> at = FindKey(f.lines, *range, Trim(key));
    if (!at) {
        return std::nullopt;
    }
    return std::string(Unquote(ParseLine(f.lines[*at].text).value));
}

std::vector<std::string> SectionNames(std::string_view content) {
    const FileText f = SplitLines(content);
    std::vector<std::string> names;
    for (const Line& l : f.lines) {
        const Parsed p = ParseLine(l.text);
        if (p.kind == Kind::Section) {
            names.emplace_back(p.name);
        }
    }
    return names;
}

std::vector<std::string> KeyNames(std::string_view content, std::string_view section) {
    const FileText f = SplitLines(content);
    std::vector<std::string> names;
    if (const std::optional<SectionRange> range = FindSection(f.lines, Trim(section))) {
        for (size_t i = range->header + 1; i < range->end; ++i) {
            const Parsed p = ParseLine(f.lines[i].text);
            if (p.kind == Kind::Key) {
                names.emplace_back(p.name);
            }
        }
    }
    return names;
}

std::optional<std::string> Store(std::string_view content, const char* section, const char* key,
                                 const char* value) {
    if (section == nullptr || !ValidName(section)) {
        return std::nullopt;
    }
    if (key != nullptr && !ValidKey(key)) {
        return std::nullopt;
    }
    if (value != nullptr && HasLineBreak(value)) {
        return std::nullopt;
    }
    FileText f = SplitLines(content);
    const std::string eol = DetectEol(f);
    const std::string_view sectionName = Trim(section);
    const std::optional<SectionRange> range = FindSection(f.lines, sectionName);

    auto insertAt = [&](size_t pos, std::string text) {
        // The line before the new one must end in a line break; the new line ends like it.
        std::string lineEol = eol;
        if (pos > 0) {
            if (f.lines[pos - 1].eol.empty()) {
                f.lines[pos - 1].eol = eol;
            }
            lineEol = f.lines[pos - 1].eol;
        }
        f.lines.insert(f.lines.begin() + static_cast<std::ptrdiff_t>(pos),
                       Line{std::move(text), std::move(lineEol)});
    };

    if (key == nullptr) {
        if (range) {
            f.lines.erase(f.lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                          f.lines.begin() + static_cast<std::ptrdiff_t>(range->end));
        }
        return Join(f);
    }
    const std::string_view keyName = Trim(key);
    if (!range) {
        if (value != nullptr) {
            insertAt(f.lines.size(), "[" + std::string(sectionName) + "]");
            insertAt(f.lines.size(), std::string(keyName) + "=" + StoredForm(value));
        }
    } else if (const std::optional<size_t> at = FindKey(f.lines, *range, keyName)) {
        if (value == nullptr) {
            f.lines.erase(f.lines.begin() + static_cast<std::ptrdiff_t>(*at));
        } else {
            // The key keeps its line, its spelling and whatever stands before the '='.
            std::string& text = f.lines[*at].text;
            text = text.substr(0, text.find('=') + 1) + StoredForm(value);
        }
    } else if (value != nullptr) {
        // After the section's last key, or right after its header when it has none, so that
        // blank lines and comments leading into the next section stay where they are.
        size_t pos = range->header + 1;
        for (size_t i = range->header + 1; i < range->end; ++i) {
            if (ParseLine(f.lines[i].text).kind == Kind::Key) {
                pos = i + 1;
            }
        }
        insertAt(pos, std::string(keyName) + "=" + StoredForm(value));
    }
    return Join(f);
}

}  // namespace profile

ProfileString GetPrivateProfileStringChecked(const char* section, const char* key, const char* def,
                                             char* buffer, uint32_t size, const char* file) {
    std::string_view defView = def != nullptr ? std::string_view(def) : std::string_view();
    while (!defView.empty() && defView.back() == ' ') {
        defView.remove_suffix(1);
    }
    const FileContent content = file != nullptr ? ReadProfileFile(file) : FileContent{};
    if (size == 0 || buffer == nullptr) {
        return {0, content.state};
    }
    if (section == nullptr) {
        return {CopyList(profile::SectionNames(content.data), buffer, size), content.state};
    }
    if (key == nullptr) {
        return {CopyList(profile::KeyNames(content.data, section), buffer, size), content.state};
    }
    const std::optional<std::string> value = profile::Lookup(content.data, section, key);
    return {CopyOut(value ? std::string_view(*value) : defView, buffer, size), content.state};
}

uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* def,
                                  char* buffer, uint32_t size, const char* file) {
    return GetPrivateProfileStringChecked(section, key, def, buffer, size, file).count;
}

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* file) {
    if (file == nullptr) {
        return false;
    }
    const std::optional<std::string> target = ResolveTarget(file);
    if (!target) {
        return false;
    }
    const FileContent before = ReadProfileFile(target->c_str());
    if (before.state == ProfileFile::Unreadable) {
        return false;  // never overwrite what could not be read
    }
    const std::optional<std::string> after = profile::Store(before.data, section, key, value);
    if (!after) {
        return false;
    }
    const bool exists = before.state == ProfileFile::Read;
    if (*after == before.data && (exists || after->empty())) {
        // Nothing to change, unless others may still read the file: then it is written anew.
        struct stat st {};
        if (!exists || (::stat(target->c_str(), &st) == 0 && (st.st_mode & 07777) == 0600)) {
            return true;
        }
    }
    return ReplaceAtomically(*target, *after, FileMode::OwnerOnly);
}

}  // namespace platform
