// SPDX-License-Identifier: MIT
// The window effects on screen: the shape, the blended panels, the outlined title drawn by Qt.
#include <QImage>
#include <QPixmap>

#include <algorithm>

#include "BindingFixture.h"
#include "binding/QtText.h"
#include "effects/Mod_PicBoxAplha.h"
#include "forms/Layouts.h"

namespace {

namespace gdi = platform::gdi;

// The binding with Qt drawing the text as the program has it.
class EffectsBindingTest : public testing_support::BindingTest {
  protected:
    EffectsBindingTest() : m_textScope(WithQtText(m_text)) {}

    static platform::Services WithQtText(binding::QtTextRasteriser& text) {
        platform::Services s = platform::CurrentServices();
        s.text = &text;
        return s;
    }

    QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    binding::QtTextRasteriser m_text;
    platform::ServicesScope m_textScope;
};

QRgb Rgb(gdi::Pixel p) {
    return 0xFF000000u | (p & 0x00FFFFFFu);
}

TEST_F(EffectsBindingTest, WindowShapeCutsTheFourCorners) {
    core::FrmMain& main = Start();
    const QRegion mask = m_windows.WidgetOf(main)->mask();
    ASSERT_FALSE(mask.isEmpty());
    for (const QPoint p : {QPoint(0, 0), QPoint(741, 0), QPoint(0, 543), QPoint(741, 543),
                           QPoint(4, 0), QPoint(0, 4), QPoint(742, 272), QPoint(371, 544)}) {
        EXPECT_FALSE(mask.contains(p)) << p.x() << "," << p.y();
    }
    for (const QPoint p : {QPoint(5, 0), QPoint(736, 0), QPoint(0, 5), QPoint(741, 538),
                           QPoint(371, 272), QPoint(100, 530)}) {
        EXPECT_TRUE(mask.contains(p)) << p.x() << "," << p.y();
    }
}

TEST_F(EffectsBindingTest, LockPanelShowsItsBlendOfTheBackground) {
    core::FrmMain& main = Start();
    h.clock.Advance(3000);  // the panel has slid in to (-3, 50)
    main.Activate.Raise();
    QApplication::processEvents();
    const QImage shown = Grab(m_windows.WidgetOf(main));
    // A point of the panel that none of its controls covers, left of the plate.
    const QPoint at(50, 100);
    const gdi::Pixel panel = main.Picture2.Image()->At(at.x() + 3, at.y() - 50);
    const gdi::Pixel background = main.Image()->At(at.x(), at.y());
    EXPECT_EQ(shown.pixel(at), Rgb(panel));
    EXPECT_NE(panel, background);
    EXPECT_NE(panel, 0xFFF0F0F0u);  // not the box's own grey either
    for (int shift : {0, 8, 16}) {
        const int p = (panel >> shift) & 0xFF;
        const int b = (background >> shift) & 0xFF;
        EXPECT_GE(p, std::min(b, 240)) << shift;  // between the background and the grey
        EXPECT_LE(p, std::max(b, 240)) << shift;
    }
    // The title strip shows the window's surface.
    EXPECT_EQ(shown.pixel(300, 30), Rgb(main.Image()->At(300, 30)));
}

TEST_F(EffectsBindingTest, TitleIsWhiteWithABlackOutlineAroundIt) {
    core::FrmMain& main = Start();
    const gdi::Bitmap& surface = *main.Image();
    const auto background = core::LayoutPicture("FrmMain.bmp");
    ASSERT_NE(background, nullptr);
    const QRect box(0, 0, 160, 40);
    const auto changed = [&](int x, int y) {
        return (surface.At(x, y) | 0xFF000000u) != (background->At(x, y) | 0xFF000000u);
    };
    int white = 0;
    int black = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (!changed(x, y)) {
                continue;
            }
            const gdi::Pixel p = surface.At(x, y) | 0xFF000000u;
            // Crisp text: only the two colours, nothing in between.
            ASSERT_TRUE(p == 0xFFFFFFFFu || p == 0xFF000000u) << x << "," << y;
            (p == 0xFFFFFFFFu ? white : black)++;
        }
    }
    EXPECT_GT(white, 40);
    EXPECT_GT(black, white);
    // The outline lies around the strokes: scanning any row or column, the first and the last
    // pixel that the text changed are black.
    const auto edgesAreBlack = [&](bool rows) {
        const int outer = rows ? box.height() : box.width();
        const int inner = rows ? box.width() : box.height();
        for (int i = 0; i < outer; ++i) {
            int first = -1;
            int last = -1;
            for (int j = 0; j < inner; ++j) {
                if (rows ? changed(j, i) : changed(i, j)) {
                    first = first < 0 ? j : first;
                    last = j;
                }
            }
            if (first < 0) {
                continue;
            }
            for (int j : {first, last}) {
                const gdi::Pixel p = rows ? surface.At(j, i) : surface.At(i, j);
                if ((p | 0xFF000000u) != 0xFF000000u) {
                    ADD_FAILURE() << (rows ? "row " : "column ") << i << " starts or ends white";
                    return;
                }
            }
        }
    };
    edgesAreBlack(true);
    edgesAreBlack(false);
    // The text starts at (13, 8): its outline one pixel further out.
    bool nearOrigin = false;
    for (int y = 7; y < 12; ++y) {
        for (int x = 12; x < 20; ++x) {
            nearOrigin = nearOrigin || changed(x, y);
        }
    }
    EXPECT_TRUE(nearOrigin);
    for (int y = 0; y < 40; ++y) {
        ASSERT_FALSE(changed(11, y)) << "nothing left of the outline, row " << y;
    }
    // And the window shows it.
    QApplication::processEvents();
    const QImage shown = Grab(m_windows.WidgetOf(main));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 160; ++x) {
            ASSERT_EQ(shown.pixel(x, y), Rgb(surface.At(x, y))) << x << "," << y;
        }
    }
}

TEST_F(EffectsBindingTest, ControlsInsideABlendedBoxAreDrawnOverIt) {
    platform::Form window("Window");
    platform::PictureBox box("Box");
    platform::PictureBox inner("Inner");
    window.Move(0, 0, 40 * 15, 30 * 15);
    window.SetCenteredOnLoad(false);
    window.Add(box);
    box.Add(inner);
    box.Move(5 * 15, 5 * 15, 30 * 15, 20 * 15);
    inner.Move(10 * 15, 5 * 15, 6 * 15, 4 * 15);
    inner.SetBackColor(gdi::RGB(255, 0, 0));
    window.SetPicture(core::LayoutPicture("FrmMain.bmp"));
    window.Load();
    core::BlendPictureBox(window, box, 150);
    core::BlendPictureBox(window, box, 150);
    QApplication::processEvents();
    const QImage shown = Grab(m_windows.WidgetOf(window));
    for (int y = 10; y < 14; ++y) {
        for (int x = 15; x < 21; ++x) {
            ASSERT_EQ(shown.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
        }
    }
    EXPECT_EQ(shown.pixel(7, 7), Rgb(box.Image()->At(2, 2)));
    EXPECT_NE(shown.pixel(7, 7), Rgb(window.Image()->At(7, 7)));
    window.Unload();
}

}  // namespace
