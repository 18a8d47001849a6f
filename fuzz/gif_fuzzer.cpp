// SPDX-License-Identifier: MIT
// Any file may be handed to the GIF player: walking it and drawing every frame must never read
// outside the file, fail, leak a raster object or leave a frame file in the temporary directory.
// The decoder is the toolkit-free stand-in of the tests.
#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "GdiSurface.h"
#include "GifTestDecoder.h"
#include "gif/clsGifs.h"
#include "platform/Services.h"

namespace {

struct Place {
    std::string tmp;    // the temporary directory the frame files go to
    std::string input;  // where each input is written
};

std::string MakeDir() {
    char pattern[] = "/tmp/loomhaven-gif-fuzz-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::abort();
    }
    return pattern;
}

const Place& ThePlace() {
    static const Place place = [] {
        Place p{MakeDir(), MakeDir() + "/input.gif"};
        ::setenv("TMPDIR", p.tmp.c_str(), 1);
        return p;
    }();
    // Both directories go when the run ends.
    static const bool cleanUp = [] {
        std::atexit([] {
            const Place& p = ThePlace();
            ::unlink(p.input.c_str());
            ::rmdir(p.input.substr(0, p.input.rfind('/')).c_str());
            ::rmdir(p.tmp.c_str());
        });
        return true;
    }();
    (void)cleanUp;
    return place;
}

bool IsEmpty(const std::string& dir) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return false;
    }
    bool empty = true;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            empty = false;
            std::fprintf(stderr, "left behind: %s\n", name.c_str());
        }
    }
    ::closedir(d);
    return empty;
}

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Place& place = ThePlace();
    {
        std::ofstream out(place.input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    testing_support::GifTestDecoder decoder;
    platform::ServicesScope services{platform::Services{.pictures = &decoder}};
    const std::size_t live = platform::gdi::LiveObjectCount();
    {
        testing_support::GdiSurface target(97, 41);
        core::clsGifs gif;
        gif.InitDC(target.Dc(), place.input, 0x8000000F);
        gif.fGifBreakOutFrames();

        // The tables hold positions inside the file, in order.
        const auto& starts = gif.FrameStart();
        const auto& ends = gif.FrameEnd();
        Check(starts.size() == ends.size(), "start and end columns differ");
        for (std::size_t k = 0; k < starts.size(); ++k) {
            Check(starts[k] >= 1 && starts[k] <= ends[k] &&
                      ends[k] <= static_cast<std::int64_t>(size),
                  "frame outside the file");
            Check(k == 0 || starts[k] == ends[k - 1] + 1, "frames not in a row");
        }
        std::vector<std::int32_t> delays;
        const std::int32_t last = gif.GetDelayTime(delays);
        Check(last == 0 || delays.size() == static_cast<std::size_t>(last) + 1, "delays");

        // Every frame that can have a picture, and round to the first again. (A file with more
        // frames loads none, and the player draws one frame per tick, never all in one go.)
        const std::int32_t drawn = std::min<std::int32_t>(last, core::clsGifs::kMaxFrameFiles);
        for (std::int32_t k = 0; k <= drawn + 1; ++k) {
            gif.RenderGif();
        }
        std::int32_t beyond = last + 7;
        if (gif.RenderGif(beyond) >= 0) {
            Check(beyond == static_cast<std::int32_t>(starts.size()) - 1, "frame correction");
        }
        // A second file on the same object, as the player does: this one again.
        gif.fGifBreakOutFrames();
        gif.RenderGif();
        gif.CleanUp();
        gif.RenderGif();
    }
    Check(platform::gdi::LiveObjectCount() == live, "raster objects leaked");
    Check(IsEmpty(place.tmp), "frame files left behind");
    return 0;
}
