// SPDX-License-Identifier: MIT
// The GIF player's two costs, each against a peer in the same run:
// - breaking a banner out into frame pictures (the walk, the frame files and decoding each one
//   with Qt) against Qt decoding every frame of the same file itself;
// - drawing one frame with RenderGif against a plain copy of the canvas to the same target.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

#include <filesystem>
#include <string>

#include "binding/QtPictureDecoder.h"
#include "gif/clsGifs.h"
#include "platform/Services.h"
#include "platform/gdi/Gdi.h"

namespace {

namespace gdi = platform::gdi;

const std::filesystem::path kAssets = std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "assets";
const char* const kBanners[] = {"101.gif", "102.gif", "103.gif"};

std::string Banner(const benchmark::State& state) {
    return (kAssets / kBanners[state.range(0)]).string();
}

// A memory context with a 32-bit bitmap, as the player's surface.
class Surface {
  public:
    Surface(int w, int h)
        : m_dc(gdi::CreateCompatibleDC(nullptr)),
          m_bitmap(gdi::CreateCompatibleBitmap(nullptr, w, h)),
          m_old(gdi::SelectObject(m_dc, m_bitmap)) {}
    ~Surface() {
        gdi::SelectObject(m_dc, m_old);
        gdi::DeleteObject(m_bitmap);
        gdi::DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    gdi::HDC Dc() const { return m_dc; }

  private:
    gdi::HDC m_dc;
    gdi::HBITMAP m_bitmap;
    gdi::HGDIOBJ m_old;
};

void BreakOut(benchmark::State& state) {
    binding::QtPictureDecoder decoder;
    platform::ServicesScope services{platform::Services{.pictures = &decoder}};
    Surface target(644, 78);
    const std::string file = Banner(state);
    std::int64_t frames = 0;
    for (auto _ : state) {
        core::clsGifs gif;
        gif.InitDC(target.Dc(), file, gdi::RGB(240, 240, 240));
        gif.fGifBreakOutFrames();
        frames = static_cast<std::int64_t>(gif.FramePics().size());
        benchmark::DoNotOptimize(gif.Canvas());
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.SetLabel(kBanners[state.range(0)]);
}

void QtDecodesEveryFrame(benchmark::State& state) {
    QFile in(QString::fromStdString(Banner(state)));
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    std::int64_t frames = 0;
    for (auto _ : state) {
        // From the file, as the player reads it.
        QImageReader reader(QString::fromStdString(Banner(state)));
        frames = 0;
        while (reader.canRead()) {
            const QImage frame = reader.read();
            if (frame.isNull()) {
                break;
            }
            benchmark::DoNotOptimize(frame.constBits());
            ++frames;
        }
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["bytes"] = static_cast<double>(bytes.size());
    state.SetLabel(kBanners[state.range(0)]);
}

// A banner broken out onto a banner-sized surface, ready to be drawn frame after frame.
struct BrokenOutBanner {
    explicit BrokenOutBanner(const benchmark::State& state) {
        gif.InitDC(target.Dc(), Banner(state), gdi::RGB(240, 240, 240));
        gif.fGifBreakOutFrames();
    }
    binding::QtPictureDecoder decoder;
    platform::ServicesScope services{platform::Services{.pictures = &decoder}};
    Surface target{644, 78};
    core::clsGifs gif;
};

void RenderGifPerFrame(benchmark::State& state) {
    BrokenOutBanner banner(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(banner.gif.RenderGif());
    }
    state.counters["canvas_px"] =
        static_cast<double>(banner.gif.CanvasWidth() * banner.gif.CanvasHeight());
    state.SetLabel(kBanners[state.range(0)]);
}

void PlainCanvasCopy(benchmark::State& state) {
    BrokenOutBanner banner(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(gdi::BitBlt(banner.target.Dc(), 0, 0, banner.gif.CanvasWidth(),
                                             banner.gif.CanvasHeight(), banner.gif.CanvasDC(), 0, 0,
                                             gdi::SRCCOPY));
    }
    state.SetLabel(kBanners[state.range(0)]);
}

BENCHMARK(BreakOut)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(QtDecodesEveryFrame)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(RenderGifPerFrame)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(PlainCanvasCopy)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
