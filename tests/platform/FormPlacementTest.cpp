// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "Doubles.h"
#include "platform/Form.h"

namespace {

// The windows are placed at 15 twips to the pixel whatever the desktop's logical dpi, so the
// centring has to work in those same pixels: a window is centred on the screen at every dpi.
TEST(FormPlacement, CentredOnTheScreenAtEveryLogicalDpi) {
    struct Window {
        const char* name;
        platform::Twips width, height;  // client area
        int screenWidth, screenHeight;
        int left, top;  // pixels
    };
    const Window windows[] = {
        // (1280 - 743) / 2 = 268.5 and (800 - 545) / 2 = 127.5 round to even.
        {"FrmMain", 11145, 8175, 1280, 800, 268, 128},
        {"FrmOption", 11595, 7905, 1280, 800, 254, 136},
        {"FrmOption", 11595, 7905, 1920, 1080, 574, 276},
        // Larger than the screen: the window reaches out on both sides.
        {"FrmMain", 11145, 8175, 640, 480, -52, -32},
    };
    for (const int dpi : {72, 96, 100, 108, 110, 112, 120, 125, 130, 144, 150, 168, 192, 288}) {
        for (const Window& w : windows) {
            testing_support::Harness h;
            h.screen.SetLogicalDpi(dpi);
            h.screen.width = w.screenWidth;
            h.screen.height = w.screenHeight;
            platform::Form form(w.name);
            form.Move(0, 0, w.width, w.height);
            form.Load();
            const auto where = ::testing::Message() << w.name << " on " << w.screenWidth << "x"
                                                    << w.screenHeight << " at " << dpi << " dpi";
            EXPECT_EQ(platform::TwipsToPixels(form.Left()), w.left) << where;
            EXPECT_EQ(platform::TwipsToPixels(form.Top()), w.top) << where;
            // On whole pixels, as the window system places windows.
            EXPECT_FLOAT_EQ(form.Left(), w.left * 15.0f) << where;
            EXPECT_FLOAT_EQ(form.Top(), w.top * 15.0f) << where;
        }
    }
}

}  // namespace
