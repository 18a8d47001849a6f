// SPDX-License-Identifier: MIT
#include "gif/clsGifs.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <stdexcept>
#include <system_error>

#include "gif/Mod_IntImg.h"
#include "platform/Kernel.h"
#include "platform/Runtime.h"

namespace core {

namespace gdi = platform::gdi;

namespace {

// A canvas larger than this either way, or with more pixels than this (4 MB, sixteen times the
// banners'), is not made: making and clearing it at every file would hold up the user interface.
constexpr int kMaxCanvasSide = 16384;
constexpr std::int64_t kMaxCanvasPixels = std::int64_t{1} << 20;
// Taken names of frame files are passed over this many times before the walk gives up.
constexpr int kNameAttempts = 16;
// All frame pictures of one file together hold at most this many pixels (8 MB, four times the
// largest banner's): a small file can declare many large frames, and each is decoded while the
// user interface waits.
constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 21;

// Runs one statement of a routine that skips the statements that fail: a frame the tables have
// no entry for, or work bitmaps that do not fit in memory. Anything else is no failure of the
// drawing and goes on to the caller.
template <typename F>
void Step(F&& statement) {
    try {
        statement();
    } catch (const std::out_of_range&) {
    } catch (const std::bad_alloc&) {
    }
}

template <typename T>
auto At(const std::vector<T>& column, std::int64_t k) {
    if (k < 0 || static_cast<std::uint64_t>(k) >= column.size()) {
        throw std::out_of_range("frame index");
    }
    return column[static_cast<std::size_t>(k)];
}

gdi::COLORREF Packed(const std::uint8_t* rgb) {
    return gdi::RGB(rgb[0], rgb[1], rgb[2]);
}

// Positions in the file are 32-bit signed, with room for the few bytes the walk looks ahead.
static_assert(clsGifs::kMaxFileBytes < std::numeric_limits<std::int32_t>::max() - 16);

// The whole file, unless it is larger than kMaxFileBytes. The size is looked at before anything
// is read, and the read stops at the limit as well: the file may grow meanwhile, or be no
// regular file at all.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > clsGifs::kMaxFileBytes) {
        return false;
    }
    bytes.clear();
    bytes.reserve(ec ? 0 : static_cast<std::size_t>(size));
    std::array<char, 1 << 16> chunk;
    while (in.read(chunk.data(), chunk.size()) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk.data(), chunk.data() + in.gcount());
        if (bytes.size() > clsGifs::kMaxFileBytes) {
            return false;
        }
    }
    return !in.bad();
}

// Deletes a frame file when its load is over, also when the load ends by an exception.
class FrameFile {
  public:
    explicit FrameFile(std::string name) : m_name(std::move(name)) {}
    ~FrameFile() {
        if (!m_name.empty()) {
            platform::DeleteFileA(m_name.c_str());
        }
    }
    FrameFile(const FrameFile&) = delete;
    FrameFile& operator=(const FrameFile&) = delete;
    const std::string& Name() const { return m_name; }
    bool Delete() { return platform::DeleteFileA(std::exchange(m_name, {}).c_str()); }

  private:
    std::string m_name;
};

}  // namespace

clsGifs::clsGifs() {
    m_hCanvasBmp = nullptr;
    m_hMemDC = gdi::CreateCompatibleDC(nullptr);
    m_LastFrame = 0;
}

clsGifs::~clsGifs() {
    EndDC();
}

// --- Reading the file ---------------------------------------------------------------------------

bool clsGifs::InFile(std::int64_t p) const {
    return p >= 1 && p <= static_cast<std::int64_t>(m_FileBytes.size());
}

bool clsGifs::ReadByte(std::int64_t p, std::uint8_t& out) const {
    if (!InFile(p)) {
        return false;
    }
    out = m_FileBytes[static_cast<std::size_t>(p - 1)];
    return true;
}

bool clsGifs::ReadWord(std::int64_t p, std::int16_t& out) const {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!ReadByte(p, low) || !ReadByte(p + 1, high)) {
        return false;
    }
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    return true;
}

bool clsGifs::SkipChain(std::int64_t q, std::int64_t& terminator) const {
    std::int64_t r = q;
    std::uint8_t size = 0;
    while (ReadByte(r, size) && size != 0) {
        r = r + size + 1;
    }
    if (!InFile(r)) {
        return false;
    }
    terminator = r;
    return true;
}

// --- The walk -----------------------------------------------------------------------------------

bool clsGifs::fGifBreakOutFrames() {
    m_WalkComplete = false;
    // The duplicate check's running colour counts within one file only.
    m_SecondColor = 0;
    CleanUp();
    // The last file's canvas goes now: a file that cannot be walked to its end shows nothing,
    // rather than what the last file left.
    ReleaseCanvas();
    if (strGifFileNames.empty()) {
        return false;
    }
    try {
        Walk();
    } catch (const std::bad_alloc&) {
        // A file whose tables, frames or canvas do not fit in memory is not played; what was
        // built before stays, as when the file ends too early.
    }
    return false;
}

// The walk ends at the first step that says so; the frames are written and loaded once the
// file's blocks are over.
void clsGifs::Walk() {
    if (ReadFile() == WalkStep::Stop) {
        return;
    }
    std::int64_t p = 0;
    if (ReadHeader(p) == WalkStep::Stop) {
        return;
    }
    p = p + 1;
    std::int64_t frameStart = p;
    std::size_t i = 0;
    m_FramePics.clear();
    m_LastFrame = 0;
    // A frame without a graphic control extension has disposal 0 and no transparency, also
    // when the last file on this object had more frames.
    EmptyColumns();

    const auto n = static_cast<std::int64_t>(m_FileBytes.size());
    WalkStep step = WalkStep::GoOn;
    while (step == WalkStep::GoOn && p <= n) {
        GrowColumns(i);
        step = ReadExtensions(i, p);
        if (step == WalkStep::GoOn) {
            step = ReadImage(i, p);
        }
        if (step == WalkStep::GoOn) {
            step = RecordFrame(i, frameStart, p);
        }
        if (step == WalkStep::GoOn) {
            step = NextFrame(p);
            frameStart = p;
            i = i + 1;
        }
    }
    if (step == WalkStep::Stop || WriteAndLoadFrames() == WalkStep::Stop) {
        return;
    }
    fCreateBitMap();
    m_WalkComplete = true;
}

clsGifs::WalkStep clsGifs::ReadFile() {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(strGifFileNames, bytes) || bytes.empty()) {
        return WalkStep::Stop;
    }
    m_FileBytes = std::move(bytes);
    return WalkStep::GoOn;
}

// The signature, the logical screen descriptor and the global colour table; p is left on the
// table's last byte (the descriptor's last without a table).
clsGifs::WalkStep clsGifs::ReadHeader(std::int64_t& p) {
    static constexpr std::uint8_t kSignature[] = {0x47, 0x49, 0x46, 0x38};  // "GIF8"
    for (std::int64_t k = 0; k < 4; ++k) {
        std::uint8_t b = 0;
        if (!ReadByte(1 + k, b) || b != kSignature[k]) {
            return WalkStep::Stop;
        }
    }

    std::uint8_t screenPacked = 0;
    if (!ReadWord(7, m_ScreenWidth) || !ReadWord(9, m_ScreenHeight) ||
        !ReadByte(11, screenPacked)) {
        return WalkStep::Stop;
    }
    m_HasGlobalTable = (screenPacked & 0x80) != 0;
    m_GlobalTableBits = screenPacked & 0x07;
    if (!ReadByte(12, m_BackIndex)) {
        return WalkStep::Stop;
    }
    p = 13;

    if (m_HasGlobalTable) {
        const std::int64_t size = 3LL << (m_GlobalTableBits + 1);
        if (!InFile(13 + size)) {  // the whole table must be there
            return WalkStep::Stop;
        }
        std::memcpy(m_GlobalTable.data(), m_FileBytes.data() + 13, static_cast<std::size_t>(size));
        p = p + size;
    }
    return WalkStep::GoOn;
}

// Steps over the extensions up to frame i's image descriptor, keeping what its graphic control
// extension says. Bytes that start no block are passed over one at a time.
clsGifs::WalkStep clsGifs::ReadExtensions(std::size_t i, std::int64_t& p) {
    const auto n = static_cast<std::int64_t>(m_FileBytes.size());
    std::uint8_t b = 0;
    for (;;) {
        if (!ReadByte(p, b)) {
            return WalkStep::Stop;
        }
        if (b == 0x2C) {
            break;
        }
        if (b == 0x21 && ReadExtension(i, p) == WalkStep::Stop) {
            return WalkStep::Stop;
        }
        p = p + 1;
        // The file ends right after a whole block: it lacks only its trailer.
        if (p == n + 1) {
            return WalkStep::BlocksOver;
        }
        if (!ReadByte(p, b)) {
            return WalkStep::Stop;
        }
        if (b == 0x3B || p >= n) {
            break;
        }
    }
    if (!ReadByte(p, b)) {
        return WalkStep::Stop;
    }
    return b == 0x3B || p >= n ? WalkStep::BlocksOver : WalkStep::GoOn;
}

// The extension whose introducer is at p; p is left on its last byte.
clsGifs::WalkStep clsGifs::ReadExtension(std::size_t i, std::int64_t& p) {
    std::uint8_t label = 0;
    if (!ReadByte(p + 1, label)) {
        return WalkStep::Stop;
    }
    std::int64_t chain = 0;
    switch (label) {
        case 0xFF:  // application extension: an 11-byte block, then sub-blocks
            chain = p + 14;
            break;
        case 0xFE:  // comment extension
            chain = p + 2;
            break;
        case 0xF9:  // graphic control extension, taken as 4 bytes long
            if (ReadGraphicControl(i, p) == WalkStep::Stop) {
                return WalkStep::Stop;
            }
            p = p + 7;
            return WalkStep::GoOn;
        case 0x01:  // plain text extension: a 12-byte block, then sub-blocks
            chain = p + 15;
            break;
        default:  // unknown: the scan looks at the next byte
            return WalkStep::GoOn;
    }
    return SkipChain(chain, p) ? WalkStep::GoOn : WalkStep::Stop;
}

clsGifs::WalkStep clsGifs::ReadGraphicControl(std::size_t i, std::int64_t p) {
    std::uint8_t packed = 0;
    if (!ReadByte(p + 3, packed)) {
        return WalkStep::Stop;
    }
    m_Disposal[i] = static_cast<std::uint8_t>((packed & 0x1C) >> 2);
    m_HasTransparency[i] = (packed & 0x01) != 0;
    std::uint8_t delayLow = 0;
    std::uint8_t delayHigh = 0;
    if (!ReadByte(p + 6, m_TransIndex[i]) || !ReadByte(p + 4, delayLow) ||
        !ReadByte(p + 5, delayHigh)) {
        return WalkStep::Stop;
    }
    m_Delay[i] = delayLow | (delayHigh << 8);
    return WalkStep::GoOn;
}

// Frame i's image descriptor at p, its local colour table and its image data; p is left on the
// data's terminator.
clsGifs::WalkStep clsGifs::ReadImage(std::size_t i, std::int64_t& p) {
    constexpr std::int64_t kGlobalTablePos = 14;
    std::uint8_t packed = 0;
    if (!ReadWord(p + 1, m_FrameLeft[i]) || !ReadWord(p + 3, m_FrameTop[i]) ||
        !ReadWord(p + 5, m_FrameWidth[i]) || !ReadWord(p + 7, m_FrameHeight[i]) ||
        !ReadByte(p + 9, packed)) {
        return WalkStep::Stop;
    }
    m_HasLocalTable[i] = (packed & 0x80) != 0;
    m_LocalTableBits[i] = packed & 0x07;

    std::int64_t tablePos = kGlobalTablePos;
    if (m_HasLocalTable[i]) {
        const std::int64_t size = 3LL << (m_LocalTableBits[i] + 1);
        if (!InFile(p + 9 + size)) {
            return WalkStep::Stop;
        }
        std::memcpy(m_LocalTable.data(), m_FileBytes.data() + (p + 9),
                    static_cast<std::size_t>(size));
        tablePos = p + 10;
        p = p + size;
    }

    // p + 10 holds the LZW minimum code size; the data sub-blocks follow.
    if (!SkipChain(p + 11, p)) {
        return WalkStep::Stop;
    }

    if (m_HasTransparency[i]) {
        if (DuplicateCheck(i, tablePos) == WalkStep::Stop) {
            return WalkStep::Stop;
        }
        if (m_HasLocalTable[i]) {
            m_LocalKey[i] = Packed(&m_LocalTable[3u * m_TransIndex[i]]);
        }
    }
    return WalkStep::GoOn;
}

clsGifs::WalkStep clsGifs::RecordFrame(std::size_t i, std::int64_t frameStart,
                                       std::int64_t frameEnd) {
    if (i == 0) {
        m_FrameStart.assign(1, static_cast<std::int32_t>(frameStart));
        m_FrameEnd.assign(1, static_cast<std::int32_t>(frameEnd));
        m_FrameCount = 0;
        return WalkStep::GoOn;
    }
    if (m_FrameStart.size() >= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
        return WalkStep::Stop;  // more frames than the counter holds
    }
    m_FrameStart.push_back(static_cast<std::int32_t>(frameStart));
    m_FrameEnd.push_back(static_cast<std::int32_t>(frameEnd));
    m_FrameCount = static_cast<std::int16_t>(m_FrameStart.size());
    return WalkStep::GoOn;
}

// From the last frame's terminator at p to where the next frame starts.
clsGifs::WalkStep clsGifs::NextFrame(std::int64_t& p) const {
    p = p + 1;
    if (p == static_cast<std::int64_t>(m_FileBytes.size()) + 1) {
        return WalkStep::BlocksOver;  // the last image is whole; only the trailer is missing
    }
    std::uint8_t b = 0;
    if (!ReadByte(p, b)) {
        return WalkStep::Stop;
    }
    return b == 0x3B ? WalkStep::BlocksOver : WalkStep::GoOn;
}

void clsGifs::GrowColumns(std::size_t i) {
    const std::size_t size = i + 1;
    m_FrameLeft.resize(size);
    m_FrameTop.resize(size);
    m_FrameWidth.resize(size);
    m_FrameHeight.resize(size);
    m_HasLocalTable.resize(size);
    m_LocalTableBits.resize(size);
    m_Disposal.resize(size);
    m_HasTransparency.resize(size);
    m_TransIndex.resize(size);
    m_Delay.resize(size);
    m_LocalKey.resize(size);
}

void clsGifs::EmptyColumns() {
    m_FrameLeft.clear();
    m_FrameTop.clear();
    m_FrameWidth.clear();
    m_FrameHeight.clear();
    m_HasLocalTable.clear();
    m_LocalTableBits.clear();
    m_Disposal.clear();
    m_HasTransparency.clear();
    m_TransIndex.clear();
    m_Delay.clear();
    m_LocalKey.clear();
}

// A transparent colour that also appears at another entry would make those pixels transparent
// too: the transparent entry gets a colour of its own, in the table and in the file bytes.
clsGifs::WalkStep clsGifs::DuplicateCheck(std::size_t i, std::int64_t tablePos) {
    const bool local = m_HasLocalTable[i];
    std::array<std::uint8_t, 768>& table = local ? m_LocalTable : m_GlobalTable;
    const int bits = local ? m_LocalTableBits[i] : m_GlobalTableBits;
    const int entries = 2 << bits;
    const int t = m_TransIndex[i];

    std::copy_n(&table[3u * static_cast<unsigned>(t)], 3, m_TransRGB.begin());
    const gdi::COLORREF key = Packed(m_TransRGB.data());
    bool duplicate = false;
    for (int k = 0; k <= 3 * entries - 3; k += 3) {
        if (Packed(&table[static_cast<std::size_t>(k)]) == key && k != 3 * t) {
            duplicate = true;
        }
    }
    if (!duplicate) {
        return WalkStep::GoOn;
    }

    std::int32_t largest = 0;
    for (int k = 0; k < entries; ++k) {
        const auto c = static_cast<std::int32_t>(Packed(&table[3u * static_cast<unsigned>(k)]));
        if (c > largest) {
            m_SecondColor = largest;
            largest = c;
        } else if (c > m_SecondColor) {
            m_SecondColor = c;
        }
    }
    const double exact = static_cast<double>(largest) -
                         (static_cast<double>(largest) - static_cast<double>(m_SecondColor) / 2);
    const auto v = static_cast<std::int32_t>(std::nearbyint(exact));  // halves to even
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(v & 0xFF),
                                 static_cast<std::uint8_t>((v >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((v >> 16) & 0xFF)};
    for (int c = 0; c < 3; ++c) {
        table[3u * static_cast<unsigned>(t) + static_cast<unsigned>(c)] = rgb[c];
    }
    for (int c = 0; c < 3; ++c) {
        const std::int64_t at = tablePos + 3 * t + c;
        if (!InFile(at)) {
            return WalkStep::Stop;
        }
        m_FileBytes[static_cast<std::size_t>(at - 1)] = rgb[c];
    }
    return WalkStep::GoOn;
}

clsGifs::WalkStep clsGifs::WriteAndLoadFrames() {
    if (m_FrameStart.size() > kMaxFrameFiles) {
        return WalkStep::Stop;
    }
    // Sizes in the file go up to 65535 either way.
    const auto screenWidth = static_cast<std::uint16_t>(m_ScreenWidth);
    const auto screenHeight = static_cast<std::uint16_t>(m_ScreenHeight);
    std::int64_t pixels = 0;
    for (std::size_t k = 0; k < m_FrameStart.size(); ++k) {
        // The decoder gives each frame its own rectangle.
        if (k < m_FrameWidth.size() && k < m_FrameHeight.size()) {
            const auto width = static_cast<std::uint16_t>(m_FrameWidth[k]);
            const auto height = static_cast<std::uint16_t>(m_FrameHeight[k]);
            if (width > screenWidth || height > screenHeight) {
                // Larger than the screen it is drawn on: never decoded, a frame without a
                // picture.
                m_FramePics.resize(k + 1);
                m_LastFrame = static_cast<std::int16_t>(k);
                continue;
            }
            pixels += std::int64_t{width} * height;
        }
        if (pixels > kMaxPicturePixels || WriteAndLoadFrame(k) == WalkStep::Stop) {
            return WalkStep::Stop;
        }
    }
    return WalkStep::GoOn;
}

// Frame k as a GIF file of its own in the temporary directory, decoded and deleted again.
clsGifs::WalkStep clsGifs::WriteAndLoadFrame(std::size_t k) {
    const std::int64_t n = static_cast<std::int64_t>(m_FileBytes.size());
    char buffer[256];
    const std::uint32_t length = platform::GetTempPathA(sizeof buffer, buffer);
    if (length >= sizeof buffer) {
        return WalkStep::Stop;  // a temporary directory too long for the buffer
    }
    const std::string dir(buffer, length);
    const std::string prefix = " " + std::to_string(k);

    // The frame's bytes: header, body, then the four closing bytes.
    const std::int64_t headerEnd = m_FrameStart[0] - 1;
    const std::int64_t bodyStart = m_FrameStart[k];
    const std::int64_t bodyEnd = m_FrameEnd[k] - 1;
    if (headerEnd < 0 || headerEnd > n || bodyStart < 1 || bodyEnd > n || bodyEnd < bodyStart - 1) {
        return WalkStep::Stop;
    }
    static constexpr std::uint8_t kEnd[] = {0x00};
    static constexpr std::uint8_t kExtension[] = {0x21, 0xF9};
    static constexpr std::uint8_t kTrailer[] = {0x3B};

    // A name that is taken (by a file, a link, anything) is never written through.
    platform::NewFile file;
    std::string name;
    for (int attempt = 0; attempt < kNameAttempts && !file.IsOpen(); ++attempt) {
        name = MakeTempFileName(dir, prefix, "GIF");
        if (name.empty()) {
            return WalkStep::Stop;
        }
        file = platform::NewFile(name);
        if (!file.IsOpen() && file.Error() != EEXIST) {
            return WalkStep::Stop;
        }
    }
    if (!file.IsOpen()) {
        return WalkStep::Stop;
    }
    FrameFile frameFile(name);
    // A frame file cut short (a full disk) is never handed to the decoder.
    const bool written = file.Write(m_FileBytes.data(), static_cast<std::size_t>(headerEnd)) &&
                         file.Write(m_FileBytes.data() + (bodyStart - 1),
                                    static_cast<std::size_t>(bodyEnd - bodyStart + 1)) &&
                         file.Write(kEnd, sizeof kEnd) &&
                         file.Write(kExtension, sizeof kExtension) &&
                         file.Write(kTrailer, sizeof kTrailer);
    if (!file.Close() || !written) {
        return WalkStep::Stop;
    }

    m_FramePics.resize(k + 1);
    m_LastFrame = static_cast<std::int16_t>(k);
    try {
        m_FramePics[k] = LoadImageFile(frameFile.Name());
    } catch (const std::runtime_error&) {
        // The runtime's loader found no picture in it either: the walk ends at this frame.
        return WalkStep::Stop;
    }

    return frameFile.Delete() ? WalkStep::GoOn : WalkStep::Stop;
}

bool clsGifs::IsFrameFileName(std::string_view name) {
    // " " + frame number gives a prefix of up to three characters; the serial is 1 to FFFF.
    if (name.size() < 2 || name[0] != ' ') {
        return false;
    }
    std::string_view rest = name.substr(1);
    if (!rest.ends_with(".GIF") && !rest.ends_with(".TMP")) {
        return false;
    }
    rest.remove_suffix(4);
    std::size_t digits = 0;
    while (digits < rest.size() && digits < 2 && rest[digits] >= '0' && rest[digits] <= '9') {
        ++digits;
    }
    if (digits == 0) {
        return false;
    }
    // The serial follows the digits; with two digits the second may have been its start.
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    const std::string_view tail = rest.substr(1);
    if (tail.empty() || tail.size() > 5) {
        return false;
    }
    for (const char c : tail) {
        if (!isHex(c)) {
            return false;
        }
    }
    return tail.size() <= 4 || (digits == 2);
}

std::string clsGifs::MakeTempFileName(std::string path, const std::string& prefix,
                                      const std::string& extension) {
    if (path.empty()) {
        path = ".";
    }
    char buffer[platform::MAX_PATH] = {};
    if (platform::GetTempFileNameA(path.c_str(), prefix.c_str(), 0, buffer) == 0) {
        return {};  // no name at all rather than one outside the temporary directory
    }
    std::string name(buffer, strnlen(buffer, sizeof buffer));
    platform::DeleteFileA(name.c_str());
    if (!extension.empty()) {
        const std::size_t dot = name.rfind('.');
        name = dot == std::string::npos ? extension : name.substr(0, dot + 1) + extension;
    }
    return name;
}

std::int32_t clsGifs::GetDelayTime(std::vector<std::int32_t>& lngTime) {
    if (m_FrameCount <= 0 && !fIsStill()) {
        return 0;
    }
    const auto last = static_cast<std::int32_t>(m_FrameStart.size()) - 1;
    Step([&] { lngTime.assign(static_cast<std::size_t>(last + 1), 0); });
    for (std::int32_t j = 0; j <= last; ++j) {
        Step([&] { lngTime.at(static_cast<std::size_t>(j)) = At(m_Delay, j); });
    }
    return last;
}

void clsGifs::CleanUp() {
    if (m_LastFrame <= 0) {
        return;
    }
    for (platform::PicturePtr& picture : m_FramePics) {
        picture.reset();
    }
    EmptyColumns();
}

// A file with one image is a still picture: it is drawn once the walk has loaded it.
bool clsGifs::fIsStill() const {
    return m_FrameCount <= 0 && m_WalkComplete && m_FrameStart.size() == 1;
}

// --- Drawing ------------------------------------------------------------------------------------

void clsGifs::InitDC(gdi::HDC hDC, const std::string& gifFileName, gdi::COLORREF lngBackColor) {
    m_hDC = hDC;
    strGifFileNames = gifFileName;
    m_BackColor = NearestSolidColor(lngBackColor);
}

gdi::COLORREF clsGifs::NearestSolidColor(gdi::COLORREF colour) {
    if (colour & 0x80000000u) {
        colour = gdi::GetSysColor(static_cast<int>(colour & 0xFFFFFF));
    }
    gdi::HDC screen = gdi::GetDC(0);
    if (screen == nullptr) {
        return 0;
    }
    const gdi::COLORREF nearest = gdi::GetNearestColor(screen, colour);
    gdi::ReleaseDC(0, screen);
    return nearest;
}

void clsGifs::ReleaseCanvas() {
    if (m_hCanvasBmp != nullptr) {
        if (gdi::SelectObject(m_hMemDC, m_hOldBmp) == nullptr) {
            // Nothing to put in its place: a new context lets go of the canvas as well.
            gdi::DeleteDC(m_hMemDC);
            m_hMemDC = gdi::CreateCompatibleDC(nullptr);
        }
        gdi::DeleteObject(m_hCanvasBmp);
        m_hCanvasBmp = nullptr;
    }
    m_CanvasWidth = 0;
    m_CanvasHeight = 0;
}

bool clsGifs::fCreateBitMap() {
    // Only one canvas is in use at a time: the last file's goes first.
    ReleaseCanvas();
    if (m_ScreenWidth > kMaxCanvasSide || m_ScreenHeight > kMaxCanvasSide) {
        return false;  // too large to allocate: no canvas, nothing is drawn
    }
    // Rounded up to a multiple of 32 pixels in 16 bits, as the canvas rows are laid out.
    const int sum = m_ScreenWidth + 31;
    if (sum > std::numeric_limits<std::int16_t>::max()) {
        return false;
    }
    const int width = static_cast<std::int16_t>(sum) & ~31;
    if (std::int64_t{width} * m_ScreenHeight > kMaxCanvasPixels) {
        return false;
    }
    m_CanvasWidth = width;
    m_CanvasHeight = m_ScreenHeight;
    m_hCanvasBmp = gdi::CreateCompatibleBitmap(m_hDC, m_CanvasWidth, m_CanvasHeight);
    m_hOldBmp = static_cast<gdi::HBITMAP>(gdi::SelectObject(m_hMemDC, m_hCanvasBmp));
    const gdi::RECT all{0, 0, m_CanvasWidth, m_CanvasHeight};
    gdi::HBRUSH brush = gdi::CreateSolidBrush(m_BackColor);
    gdi::FillRect(m_hMemDC, &all, brush);
    gdi::DeleteObject(brush);
    return false;
}

std::int32_t clsGifs::RenderGif(std::int32_t& intFrameNum) {
    if (m_FrameCount <= 0 && !fIsStill()) {
        return -1;
    }
    const gdi::HDC target = m_hDC;
    // Kept in a local as well: the message-loop yield below may run another drawing.
    const gdi::HDC frameDC = gdi::CreateCompatibleDC(m_hDC);
    m_hFrameDC = frameDC;

    const auto last = static_cast<std::int32_t>(m_FrameStart.size()) - 1;
    const bool next = intFrameNum == -1;
    std::int32_t k = 0;
    if (next) {
        if (m_CurFrame > last) {
            m_CurFrame = 0;
        }
        k = m_CurFrame;
    } else {
        if (intFrameNum < 0) {
            intFrameNum = 0;
        }
        if (intFrameNum > last) {
            intFrameNum = last;
        }
        k = intFrameNum;
    }

    // The picture is held while its bitmap is selected: a new walk started during the yield
    // may release the frame pictures meanwhile.
    platform::PicturePtr picture;
    Step([&] {
        picture = At(m_FramePics, k);
        if (picture == nullptr) {
            return;  // nothing to select: the copy reads the frame context's own bitmap
        }
        // A selection that fails displaces nothing, and the bitmap to put back stays the same.
        if (gdi::HGDIOBJ displaced = gdi::SelectObject(frameDC, picture->Handle())) {
            m_hOldBmp = static_cast<gdi::HBITMAP>(displaced);
        }
    });

    m_RGB = {0, 0, 0};
    Step([&] {
        if (At(m_HasTransparency, k)) {
            // The frame's own table gives its key colour.
            gdi::COLORREF key = 0;
            if (At(m_HasLocalTable, k)) {
                key = At(m_LocalKey, k);
            } else {
                key = Packed(&m_GlobalTable[3u * At(m_TransIndex, k)]);
            }
            m_RGB = {gdi::GetRValue(key), gdi::GetGValue(key), gdi::GetBValue(key)};
        }
    });

    Step([&] {
        m_DrawRect = {At(m_FrameLeft, k), At(m_FrameTop, k), At(m_FrameWidth, k),
                      At(m_FrameHeight, k)};
    });

    Step([&] {
        if (At(m_Disposal, k) == 2) {
            const gdi::RECT all{0, 0, m_CanvasWidth, m_CanvasHeight};
            gdi::HBRUSH brush = gdi::CreateSolidBrush(m_BackColor);
            gdi::FillRect(m_hMemDC, &all, brush);
            gdi::DeleteObject(brush);
        }
    });

    Step([&] {
        if (At(m_HasTransparency, k)) {
            MaskedTransparentBlt(m_hMemDC, target, frameDC, m_DrawRect,
                                 static_cast<std::int16_t>(m_DrawRect[0]),
                                 static_cast<std::int16_t>(m_DrawRect[1]), Packed(m_RGB.data()));
        } else {
            gdi::BitBlt(m_hMemDC, m_DrawRect[0], m_DrawRect[1], m_DrawRect[2], m_DrawRect[3],
                        frameDC, 0, 0, gdi::SRCCOPY);
            gdi::BitBlt(target, 0, 0, m_CanvasWidth, m_CanvasHeight, m_hMemDC, 0, 0, gdi::SRCCOPY);
            platform::DoEvents();
        }
    });

    gdi::SelectObject(frameDC, m_hOldBmp);
    if (next) {
        m_CurFrame = m_CurFrame + 1;
    }
    gdi::ReleaseDC(0, target);
    gdi::DeleteDC(frameDC);
    picture.reset();
    return k;
}

gdi::COLORREF clsGifs::KeyColour() const {
    return Packed(m_RGB.data());
}

void clsGifs::MaskedTransparentBlt(gdi::HDC dest, gdi::HDC reference, gdi::HDC source,
                                   const std::array<std::int32_t, 4>& rect, std::int16_t x,
                                   std::int16_t y, gdi::COLORREF key) {
    const auto w = static_cast<std::int16_t>(rect[2]);
    const auto h = static_cast<std::int16_t>(rect[3]);

    // Only the part of the frame that lies on the canvas can change it, so the masks and the
    // two work bitmaps cover that part alone: a frame declared far larger than its screen
    // costs no more than the canvas.
    const gdi::Bitmap* canvas = gdi::SelectedBitmap(dest);
    const int x0 = std::max<int>(x, 0);
    const int y0 = std::max<int>(y, 0);
    const int x1 = std::min<int>(x + w, canvas != nullptr ? canvas->Width() : 0);
    const int y1 = std::min<int>(y + h, canvas != nullptr ? canvas->Height() : 0);
    if (x0 < x1 && y0 < y1) {
        const int cw = x1 - x0;
        const int ch = y1 - y0;
        const int sx = x0 - x;  // where that part starts in the frame
        const int sy = y0 - y;

        // A: the result, B: the frame's part, M: the mask, I: the inverse mask.
        gdi::HDC a = gdi::CreateCompatibleDC(reference);
        gdi::HDC b = gdi::CreateCompatibleDC(reference);
        gdi::HDC m = gdi::CreateCompatibleDC(reference);
        gdi::HDC inv = gdi::CreateCompatibleDC(reference);
        gdi::HBITMAP maskBmp = gdi::CreateBitmap(cw, ch, 1, 1, nullptr);
        gdi::HBITMAP inverseBmp = gdi::CreateBitmap(cw, ch, 1, 1, nullptr);
        gdi::HBITMAP resultBmp = gdi::CreateCompatibleBitmap(reference, cw, ch);
        gdi::HBITMAP partBmp = gdi::CreateCompatibleBitmap(reference, cw, ch);
        gdi::HGDIOBJ oldM = gdi::SelectObject(m, maskBmp);
        gdi::HGDIOBJ oldI = gdi::SelectObject(inv, inverseBmp);
        gdi::HGDIOBJ oldA = gdi::SelectObject(a, resultBmp);
        gdi::HGDIOBJ oldB = gdi::SelectObject(b, partBmp);

        // Pixels of the key colour become 1 (white) in the mask, all others 0.
        const gdi::COLORREF oldBack = gdi::SetBkColor(source, key);
        gdi::BitBlt(m, 0, 0, cw, ch, source, sx, sy, gdi::SRCCOPY);
        gdi::SetBkColor(source, oldBack);

        gdi::BitBlt(inv, 0, 0, cw, ch, m, 0, 0, gdi::NOTSRCCOPY);
        // The canvas under the frame, kept only where the frame is transparent.
        gdi::BitBlt(a, 0, 0, cw, ch, dest, x0, y0, gdi::SRCCOPY);
        gdi::BitBlt(a, 0, 0, cw, ch, m, 0, 0, gdi::SRCAND);
        // The frame, kept only where it is opaque.
        gdi::BitBlt(b, 0, 0, cw, ch, source, sx, sy, gdi::SRCCOPY);
        gdi::BitBlt(b, 0, 0, cw, ch, inv, 0, 0, gdi::SRCAND);
        // Merged, and back onto the canvas.
        gdi::BitBlt(a, 0, 0, cw, ch, b, 0, 0, gdi::SRCINVERT);
        gdi::BitBlt(dest, x0, y0, cw, ch, a, 0, 0, gdi::SRCCOPY);

        gdi::SelectObject(m, oldM);
        gdi::SelectObject(inv, oldI);
        gdi::SelectObject(a, oldA);
        gdi::SelectObject(b, oldB);
        gdi::DeleteObject(maskBmp);
        gdi::DeleteObject(inverseBmp);
        gdi::DeleteObject(resultBmp);
        gdi::DeleteObject(partBmp);
        gdi::DeleteDC(m);
        gdi::DeleteDC(inv);
        gdi::DeleteDC(a);
        gdi::DeleteDC(b);
    }
    // The canvas goes to the target.
    gdi::BitBlt(m_hDC, 0, 0, m_CanvasWidth, m_CanvasHeight, m_hMemDC, 0, 0, gdi::SRCCOPY);
}

void clsGifs::EndDC() {
    for (platform::PicturePtr& picture : m_FramePics) {
        picture.reset();
    }
    gdi::HGDIOBJ canvas = gdi::SelectObject(m_hMemDC, m_hOldBmp);
    gdi::DeleteDC(m_hMemDC);
    gdi::DeleteObject(canvas);
    // Whatever the selection gave back, the canvas does not outlive the object.
    gdi::DeleteObject(m_hCanvasBmp);
    m_hMemDC = nullptr;
    m_hCanvasBmp = nullptr;
    m_hOldBmp = nullptr;
    m_CanvasWidth = 0;
    m_CanvasHeight = 0;
    m_LastFrame = 0;
}

void clsGifs::SetUserDelay(std::int32_t lngDelay) {
    m_UserDelay = std::clamp(lngDelay, 1, 1000);
}

}  // namespace core
