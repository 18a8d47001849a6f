// SPDX-License-Identifier: MIT
#include "Artwork.h"

#include <QtGui/QFont>
#include <QtGui/QFontInfo>
#include <QtGui/QFontMetricsF>
#include <QtGui/QImage>
#include <QtGui/QLinearGradient>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tools {
namespace {

constexpr double kPi = std::numbers::pi;

// splitmix64: small, fast and the same everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [lo, hi).
    double Uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t m_state;
};

std::uint8_t Clamp8(double v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

double Smoothstep(double e0, double e1, double x) {
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

struct Colour {
    double r, g, b;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A float RGB canvas for the photographic backgrounds, blurred with repeated box filters.
struct Canvas {
    int width;
    int height;
    std::vector<Colour> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // Three box passes each way come close to a Gaussian of the same spread.
    void Blur(int radius) {
        std::vector<Colour> line;
        for (int pass = 0; pass < 3; ++pass) {
            for (int y = 0; y < height; ++y) {
                BlurLine(&At(0, y), 1, width, radius, line);
            }
            for (int x = 0; x < width; ++x) {
                BlurLine(&At(x, 0), width, height, radius, line);
            }
        }
    }

    // Adds a soft-edged disc of `colour` (out-of-focus light).
    void Disc(double cx, double cy, double radius, const Colour& colour, double strength) {
        const int x0 = std::max(0, static_cast<int>(cx - radius - 1));
        const int x1 = std::min(width - 1, static_cast<int>(cx + radius + 1));
        const int y0 = std::max(0, static_cast<int>(cy - radius - 1));
        const int y1 = std::min(height - 1, static_cast<int>(cy + radius + 1));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
                if (d < 1) {
                    const double a =
                        strength * std::clamp((1 - d) * 5, 0.0, 1.0) * (0.75 + 0.25 * d);
                    At(x, y) = Mix(At(x, y), colour, a);
                }
            }
        }
    }

    // Rounded to 8 bits with a little noise, so the smooth gradients show no bands.
    Picture ToPicture(std::uint64_t seed) const {
        Random noise(seed);
        Picture out(width, height);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const double n = noise.Uniform(-0.5, 0.5) + noise.Uniform(-0.5, 0.5);
            out.pixels[i] = {Clamp8(pixels[i].r + n), Clamp8(pixels[i].g + n),
                             Clamp8(pixels[i].b + n), 255};
        }
        return out;
    }

  private:
    static void BlurLine(Colour* first, int step, int count, int radius,
                         std::vector<Colour>& line) {
        line.assign(static_cast<std::size_t>(count), {});
        auto at = [&](int i) -> const Colour& {
            return first[static_cast<std::ptrdiff_t>(std::clamp(i, 0, count - 1)) * step];
        };
        Colour sum{0, 0, 0};
        for (int i = -radius; i <= radius; ++i) {
            sum.r += at(i).r;
            sum.g += at(i).g;
            sum.b += at(i).b;
        }
        const double n = 2.0 * radius + 1;
        for (int i = 0; i < count; ++i) {
            line[static_cast<std::size_t>(i)] = {sum.r / n, sum.g / n, sum.b / n};
            const Colour& in = at(i + radius + 1);
            const Colour& out = at(i - radius);
            sum.r += in.r - out.r;
            sum.g += in.g - out.g;
            sum.b += in.b - out.b;
        }
        for (int i = 0; i < count; ++i) {
            first[static_cast<std::ptrdiff_t>(i) * step] = line[static_cast<std::size_t>(i)];
        }
    }
};

QImage NewImage(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage ToImage(const Picture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.At(x, y);
            line[x] = qRgba(p.r, p.g, p.b, p.a);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Picture FromImage(const QImage& image) {
    const QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    Picture picture(straight.width(), straight.height());
    for (int y = 0; y < straight.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb c = line[x];
            picture.At(x, y) = {
                static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
                static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qAlpha(c))};
        }
    }
    return picture;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QFont BannerFont(double pixelSize) {
    QFont font(QString::fromLatin1(kBannerFontFamily));
    font.setPixelSize(static_cast<int>(pixelSize));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// The outlines of `text` with the left end of its baseline at `origin`.
QPainterPath TextPath(const QString& text, const QFont& font, QPointF origin) {
    QPainterPath path;
    path.addText(origin, font, text);
    return path;
}

// Moves `path` so that its bounding box is centred on `centre`.
QPainterPath Centred(const QPainterPath& path, QPointF centre) {
    return path.translated(centre - path.boundingRect().center());
}

// Text with a dark outline behind it; the fill colour also strokes thinly, which thickens
// the light strokes of the Ming face so it stays readable when scaled down.
void OutlinedText(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
                  double outlineWidth) {
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(fill, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

// A four-pointed glint.
void Sparkle(QPainter& p, QPointF c, double size, const QColor& colour) {
    if (size <= 0) {
        return;
    }
    QPainterPath star;
    const double s = size;
    const double w = size * 0.22;
    star.moveTo(c.x(), c.y() - s);
    star.quadTo(c.x() + w, c.y() - w, c.x() + s, c.y());
    star.quadTo(c.x() + w, c.y() + w, c.x(), c.y() + s);
    star.quadTo(c.x() - w, c.y() + w, c.x() - s, c.y());
    star.quadTo(c.x() - w, c.y() - w, c.x(), c.y() - s);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(star);
    p.restore();
}

}  // namespace

bool BannerFontAvailable() {
    const QFontInfo info(BannerFont(30));
    return info.family() == QString::fromLatin1(kBannerFontFamily);
}

// ---------------------------------------------------------------------------------------------
// Backgrounds

Picture DrawMainBackground() {
    constexpr int kW = 960;
    constexpr int kH = 600;
    const Colour dark{5, 12, 36};
    const Colour mid{30, 88, 170};
    const Colour sky{165, 216, 250};
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const double u = (x + 0.5) / kW;
            const double v = (y + 0.5) / kH;
            // Near black-blue at the left edge, opening into mid blue.
            Colour col = Mix(dark, mid, Smoothstep(0.0, 0.36, u));
            // A little darker towards the top and bottom edges.
            col = Mix(col, Mix(dark, mid, 0.55), 0.35 * Smoothstep(0.25, 0.5, std::abs(v - 0.5)));
            // The light sky-blue heart.
            const double dx = (x - 440.0) / 235.0;
            const double dy = (y - 285.0) / 180.0;
            col = Mix(col, sky, 0.95 * std::exp(-(dx * dx + dy * dy)));
            c.At(x, y) = col;
        }
    }
    Random rnd(0x4C4D4149);
    // Faint out-of-focus lights, melted into the gradient by the blur.
    for (int i = 0; i < 30; ++i) {
        const double cx = rnd.Uniform(200, kW);
        const double cy = rnd.Uniform(0, kH);
        const double radius = rnd.Uniform(20, 80);
        const double strength = rnd.Uniform(0.03, 0.11);
        c.Disc(cx, cy, radius, Colour{185, 225, 252}, strength);
    }
    c.Blur(15);
    return c.ToPicture(0x46524D4D);
}

namespace {

struct Leaf {
    QPointF base{64, 522};
    QPointF tip{786, 44};
    double halfWidth = 205;

    QPointF Axis() const { return tip - base; }
    QPointF Normal() const {  // unit, pointing to the lower right
        const QPointF d = Axis();
        const double len = std::hypot(d.x(), d.y());
        return {-d.y() / len, d.x() / len};
    }
    // The midrib bends a little towards the upper left.
    QPointF Mid(double t) const { return base + Axis() * t - Normal() * (38 * std::sin(kPi * t)); }
    double Width(double t) const {
        return halfWidth * std::pow(std::sin(kPi * std::pow(t, 0.72)), 0.9);
    }
    QPointF Edge(double t, double side) const { return Mid(t) + Normal() * (side * Width(t)); }

    QPainterPath Outline() const {
        QPainterPath path;
        constexpr int kSteps = 240;
        path.moveTo(Mid(0));
        for (int i = 1; i <= kSteps; ++i) {
            path.lineTo(Edge(static_cast<double>(i) / kSteps, -1));
        }
        for (int i = kSteps - 1; i >= 1; --i) {
            path.lineTo(Edge(static_cast<double>(i) / kSteps, 1));
        }
        path.closeSubpath();
        return path;
    }
    QPainterPath Half(double side) const {
        QPainterPath path;
        constexpr int kSteps = 240;
        path.moveTo(Mid(0));
        for (int i = 1; i <= kSteps; ++i) {
            path.lineTo(Edge(static_cast<double>(i) / kSteps, side));
        }
        for (int i = kSteps - 1; i >= 1; --i) {
            path.lineTo(Mid(static_cast<double>(i) / kSteps));
        }
        path.closeSubpath();
        return path;
    }
};

void DrawDrop(QPainter& p, QPointF c, double r) {
    p.save();
    p.setPen(Qt::NoPen);
    // The shadow the drop throws on the leaf, away from the light at the upper left.
    QRadialGradient shadow(c + QPointF(r * 0.28, r * 0.36), r * 1.15);
    shadow.setColorAt(0.0, QColor(10, 40, 8, 120));
    shadow.setColorAt(0.75, QColor(10, 40, 8, 70));
    shadow.setColorAt(1.0, QColor(10, 40, 8, 0));
    p.setBrush(shadow);
    p.drawEllipse(c + QPointF(r * 0.28, r * 0.36), r * 1.15, r * 1.1);
    // The body: dark rim at the top, light gathered at the bottom as a lens does.
    QRadialGradient body(c + QPointF(r * 0.15, r * 0.35), r * 1.05, c + QPointF(r * 0.2, r * 0.45));
    body.setColorAt(0.0, QColor(228, 250, 180, 235));
    body.setColorAt(0.45, QColor(140, 200, 80, 170));
    body.setColorAt(0.85, QColor(50, 110, 30, 170));
    body.setColorAt(1.0, QColor(25, 70, 15, 210));
    p.setBrush(body);
    p.drawEllipse(c, r, r * 0.94);
    // The highlight of the light source.
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawEllipse(c + QPointF(-r * 0.38, -r * 0.42), r * 0.26, r * 0.17);
    if (r > 7) {
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawEllipse(c + QPointF(r * 0.42, r * 0.5), r * 0.14, r * 0.09);
    }
    p.restore();
}

}  // namespace

Picture DrawSettingsBackground() {
    constexpr int kW = 805;
    constexpr int kH = 544;
    constexpr int kBand = 28;  // the title strip
    // Out-of-focus foliage behind the leaf.
    Canvas c(kW, kH);
    const Colour deep{12, 40, 18};
    const Colour moss{38, 86, 30};
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const double t = Smoothstep(0, 1, (x * 0.6 + y * 0.8) / (kW * 0.6 + kH * 0.8));
            c.At(x, y) = Mix(moss, deep, t * 0.8);
        }
    }
    Random rnd(0x4C454146);
    for (int i = 0; i < 40; ++i) {
        const double cx = rnd.Uniform(0, kW);
        const double cy = rnd.Uniform(0, kH);
        const double radius = rnd.Uniform(18, 80);
        const Colour light = rnd.Uniform(0, 1) < 0.7 ? Colour{120, 175, 70} : Colour{200, 215, 120};
        c.Disc(cx, cy, radius, light, rnd.Uniform(0.08, 0.3));
    }
    c.Blur(12);
    QImage image = ToImage(c.ToPicture(0x4F505431));

    QPainter p(&image);
    Prepare(p);
    const Leaf leaf;
    const QPainterPath outline = leaf.Outline();
    // The stalk.
    p.setPen(QPen(QColor(70, 120, 35), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(leaf.base + QPointF(-46, 32), leaf.base);
    // The blade, lighter towards the tip, the far half turned a little away from the light.
    QLinearGradient blade(leaf.base, leaf.tip);
    blade.setColorAt(0.0, QColor(50, 112, 28));
    blade.setColorAt(0.5, QColor(86, 158, 40));
    blade.setColorAt(1.0, QColor(142, 196, 66));
    p.setPen(Qt::NoPen);
    p.setBrush(blade);
    p.drawPath(outline);
    p.setBrush(QColor(0, 30, 0, 46));
    p.drawPath(leaf.Half(1));
    QRadialGradient sheen(leaf.Mid(0.55) - leaf.Normal() * 60, 260);
    sheen.setColorAt(0.0, QColor(235, 255, 190, 60));
    sheen.setColorAt(1.0, QColor(235, 255, 190, 0));
    p.setBrush(sheen);
    p.drawPath(outline);
    // Veins from the midrib towards the edge, leaning to the tip.
    p.setClipPath(outline);
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 12; ++k) {
            const double t0 = 0.06 + k * 0.07;
            const double t1 = std::min(1.0, t0 + 0.085);
            const QPointF start = leaf.Mid(t0);
            const QPointF end = leaf.Edge(t1, side * 0.97);
            const QPointF control =
                leaf.Mid(t0 + 0.025) + leaf.Normal() * (side * leaf.Width(t0) * 0.5);
            QPainterPath vein(start);
            vein.quadTo(control, end);
            p.setBrush(Qt::NoBrush);
            p.setPen(
                QPen(QColor(185, 225, 120, 90), 2.2 * (1 - t0) + 0.7, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(vein);
        }
    }
    // The midrib, tapering to the tip.
    QPainterPath rib;
    constexpr int kSteps = 120;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        const QPointF pt = leaf.Mid(t) - leaf.Normal() * (4.5 * (1 - t) + 0.4);
        i == 0 ? rib.moveTo(pt) : rib.lineTo(pt);
    }
    for (int i = kSteps; i >= 0; --i) {
        const double t = static_cast<double>(i) / kSteps;
        rib.lineTo(leaf.Mid(t) + leaf.Normal() * (4.5 * (1 - t) + 0.4));
    }
    rib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(205, 235, 150, 215));
    p.drawPath(rib);
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(28, 70, 18, 170), 1.6));
    p.drawPath(outline);

    // Water drops, many small and a few large, none touching another.
    std::vector<std::array<double, 3>> drops;
    Random dropRnd(0x44524F50);
    for (int attempt = 0; attempt < 400 && drops.size() < 38; ++attempt) {
        const double t = dropRnd.Uniform(0.1, 0.9);
        const double side = dropRnd.Uniform(-0.82, 0.82);
        const double u = dropRnd.Uniform(0, 1);
        const double r = 3.0 + 15.0 * u * u * u;
        const QPointF centre = leaf.Edge(t, side);
        bool free =
            outline.contains(QRectF(centre.x() - r - 2, centre.y() - r - 2, 2 * r + 4, 2 * r + 4));
        for (const auto& d : drops) {
            if (std::hypot(d[0] - centre.x(), d[1] - centre.y()) < d[2] + r + 6) {
                free = false;
            }
        }
        if (free) {
            drops.push_back({centre.x(), centre.y(), r});
        }
    }
    for (const auto& d : drops) {
        DrawDrop(p, QPointF(d[0], d[1]), d[2]);
    }
    p.end();

    Picture picture = FromImage(image);
    // The title strip: the picture seen through frosted grey-green glass.
    const Colour glass{172, 192, 168};
    for (int y = 0; y < kBand; ++y) {
        const double amount = y == kBand - 1 ? 0.5 : 0.62;
        for (int x = 0; x < kW; ++x) {
            Rgba& px = picture.At(x, y);
            const Colour mixed =
                Mix(Colour{double(px.r), double(px.g), double(px.b)}, glass, amount);
            px = {Clamp8(mixed.r), Clamp8(mixed.g), Clamp8(mixed.b), 255};
        }
    }
    return picture;
}

// ---------------------------------------------------------------------------------------------
// The application icon: a blue tile with a white circling arrow (the page kept alive) around a
// padlock (the lock panel). At 16 px only the arrow and a dot remain, so it reads in a tray.

namespace {

QImage IconAt(int s) {
    QImage image = NewImage(s, s);
    QPainter p(&image);
    Prepare(p);
    const double inset = s >= 32 ? 1.0 : 0.0;
    const QRectF tile(inset, inset, s - 2 * inset, s - 2 * inset);
    const double radius = s * 0.22;
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(64, 170, 236));
    fill.setColorAt(1.0, QColor(12, 76, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(6, 48, 104), 1.0));
    p.drawRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    if (s >= 32) {
        p.setPen(QPen(QColor(255, 255, 255, 70), 1.0));
        p.drawLine(QPointF(tile.left() + radius, tile.top() + 1.5),
                   QPointF(tile.right() - radius, tile.top() + 1.5));
    }

    // The circling arrow: an open ring whose end carries the head.
    const QPointF c(s / 2.0, s / 2.0);
    const double ring = s * (s >= 32 ? 0.31 : 0.30);
    const double stroke = s >= 32 ? s * 0.085 : 2.0;
    const double startDeg = 70;  // Qt: degrees counter-clockwise from three o'clock
    const double spanDeg = 285;
    QRectF ringRect(c.x() - ring, c.y() - ring, 2 * ring, 2 * ring);
    p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ringRect, static_cast<int>(startDeg * 16), static_cast<int>(spanDeg * 16));
    // The head points on along the ring, at the arc's end.
    const double endRad = (startDeg + spanDeg) * kPi / 180;
    const QPointF end(c.x() + ring * std::cos(endRad), c.y() - ring * std::sin(endRad));
    const QPointF along(-std::sin(endRad), -std::cos(endRad));  // counter-clockwise tangent
    const QPointF outward(std::cos(endRad), -std::sin(endRad));
    const double head = s >= 32 ? s * 0.15 : 3.2;
    QPainterPath arrow;
    arrow.moveTo(end + outward * head);
    arrow.lineTo(end + along * (head * 1.15));
    arrow.lineTo(end - outward * head);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(arrow);

    if (s >= 32) {
        // The padlock in the middle.
        const double bw = s * 0.26;
        const double bh = s * 0.19;
        const QRectF body(c.x() - bw / 2, c.y() - bh * 0.25, bw, bh);
        const double sw = s * 0.05;
        const double shackle = bw * 0.32;
        p.setPen(QPen(QColor(255, 214, 90), sw, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath bow;
        bow.moveTo(c.x() - shackle, body.top() + 0.5);
        bow.lineTo(c.x() - shackle, body.top() - shackle * 0.6);
        bow.arcTo(QRectF(c.x() - shackle, body.top() - shackle * 1.6, 2 * shackle, 2 * shackle),
                  180, -180);
        bow.lineTo(c.x() + shackle, body.top() + 0.5);
        p.drawPath(bow);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 214, 90));
        p.drawRoundedRect(body, s * 0.03, s * 0.03);
        p.setBrush(QColor(12, 76, 160));
        p.drawEllipse(QPointF(c.x(), body.center().y() - bh * 0.08), s * 0.032, s * 0.032);
        p.drawRect(QRectF(c.x() - s * 0.014, body.center().y() - bh * 0.05, s * 0.028, bh * 0.32));
    } else {
        p.setBrush(QColor(255, 214, 90));
        p.drawEllipse(c, 1.6, 1.6);
    }
    p.end();
    return image;
}

}  // namespace

std::vector<IconImage> DrawIcon() {
    std::vector<IconImage> images;
    for (int bits : {8, 32}) {
        for (int size : {48, 32, 16}) {
            images.push_back({FromImage(IconAt(size)), bits});
        }
    }
    return images;
}

// ---------------------------------------------------------------------------------------------
// Close button pictures

namespace {

// Distance from (px, py) to the segment a-b.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The cross occupies columns 18..26 and rows 7..16 of the 44 x 24 cell: 9 x 10 pixels around
// the cell's centre. Pixels on the strokes' centre lines are the most opaque.
void DrawCross(Picture& cell, Rgba colour, int alphaCore, int alphaEdge) {
    const double x0 = 18.5;
    const double x1 = 26.5;
    const double y0 = 7.5;
    const double y1 = 16.5;
    for (int y = 7; y <= 16; ++y) {
        for (int x = 18; x <= 26; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double d = std::min(SegmentDistance(px, py, x0, y0, x1, y1),
                                      SegmentDistance(px, py, x1, y0, x0, y1));
            if (d <= 0.8) {
                const double t = d / 0.8;
                Rgba p = colour;
                p.a =
                    static_cast<std::uint8_t>(std::lround(alphaCore + (alphaEdge - alphaCore) * t));
                cell.At(x, y) = p;
            }
        }
    }
}

// The separator along the button's left edge: a dark line with a faint light one beside it.
void DrawSeparator(Picture& cell) {
    for (int y = 0; y < cell.height; ++y) {
        const double fade = 1.0 - static_cast<double>(y) / cell.height;
        cell.At(0, y) = {0, 0, 0, Clamp8(78 * fade)};
        cell.At(1, y) = {255, 255, 255, Clamp8(26 * fade)};
    }
}

}  // namespace

Picture DrawCloseMark() {
    Picture cell(44, 24);
    DrawSeparator(cell);
    DrawCross(cell, {255, 255, 255, 0}, 224, 192);
    return cell;
}

Picture DrawCloseButton(ButtonState state) {
    if (state == ButtonState::Up) {
        return DrawCloseMark();
    }
    // Hovered: a warm red field behind a solid cross; pressed: the same, darker and sunk.
    const bool down = state == ButtonState::Down;
    QImage image = NewImage(44, 24);
    QPainter p(&image);
    Prepare(p);
    QLinearGradient field(0, 0, 0, 24);
    if (down) {
        field.setColorAt(0.0, QColor(120, 18, 22, 240));
        field.setColorAt(1.0, QColor(150, 28, 30, 240));
    } else {
        field.setColorAt(0.0, QColor(240, 82, 70, 235));
        field.setColorAt(1.0, QColor(206, 32, 36, 235));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRect(QRectF(2, 0, 42, 24));
    if (!down) {
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(QRectF(2, 0, 42, 1));
    } else {
        p.setBrush(QColor(0, 0, 0, 70));
        p.drawRect(QRectF(2, 0, 42, 2));
    }
    p.end();
    Picture cell = FromImage(image);
    DrawSeparator(cell);
    Picture cross(44, 24);
    DrawCross(cross, down ? Rgba{228, 210, 210, 0} : Rgba{255, 255, 255, 0}, 255, 230);
    // Shift the pressed cross one pixel down and right, as a pushed button does.
    const int shift = down ? 1 : 0;
    for (int y = 0; y + shift < 24; ++y) {
        for (int x = 0; x + shift < 44; ++x) {
            const Rgba& s = cross.At(x, y);
            if (s.a == 0) {
                continue;
            }
            Rgba& d = cell.At(x + shift, y + shift);
            const double a = s.a / 255.0;
            d = {Clamp8(d.r + (s.r - d.r) * a), Clamp8(d.g + (s.g - d.g) * a),
                 Clamp8(d.b + (s.b - d.b) * a), Clamp8(d.a + (255 - d.a) * a)};
        }
    }
    return cell;
}

// ---------------------------------------------------------------------------------------------
// The lock panel's pictures

Picture DrawMonitor() {
    QImage image = NewImage(24, 24);
    QPainter p(&image);
    Prepare(p);
    p.setPen(Qt::NoPen);
    // Bezel, white at the top to light grey at the bottom.
    QLinearGradient bezel(0, 3, 0, 17);
    bezel.setColorAt(0.0, QColor(255, 255, 255));
    bezel.setColorAt(1.0, QColor(222, 222, 222));
    p.setBrush(bezel);
    p.drawRoundedRect(QRectF(2, 3, 20, 14), 1.8, 1.8);
    // The screen: a light grey pane with a diagonal gleam.
    p.setBrush(QColor(196, 196, 196));
    p.drawRect(QRectF(4, 5, 16, 10));
    p.setBrush(QColor(232, 232, 232));
    QPainterPath gleam;
    gleam.moveTo(4, 5);
    gleam.lineTo(11, 5);
    gleam.lineTo(4, 12);
    gleam.closeSubpath();
    p.drawPath(gleam);
    // Neck and foot.
    p.setBrush(QColor(214, 214, 214));
    p.drawRect(QRectF(10, 17, 4, 3));
    p.setBrush(bezel);
    p.drawRoundedRect(QRectF(6, 19.5, 12, 2.5), 1.2, 1.2);
    p.end();
    return FromImage(image);
}

Picture DrawPadlock() {
    QImage image = NewImage(24, 24);
    QPainter p(&image);
    Prepare(p);
    // The shackle.
    p.setPen(QPen(QColor(255, 255, 255), 2.4, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath bow;
    bow.moveTo(7.5, 11.5);
    bow.lineTo(7.5, 8);
    bow.arcTo(QRectF(7.5, 3.2, 9, 9), 180, -180);
    bow.lineTo(16.5, 11.5);
    p.drawPath(bow);
    // The body with a keyhole cut through it.
    p.setPen(Qt::NoPen);
    QLinearGradient body(0, 11, 0, 22);
    body.setColorAt(0.0, QColor(255, 255, 255));
    body.setColorAt(1.0, QColor(238, 238, 238));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(4.5, 10.5, 15, 11.5), 2, 2);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(12, 15), 1.7, 1.7);
    p.drawRect(QRectF(11.2, 15, 1.6, 4));
    p.end();
    Picture picture = FromImage(image);
    // About three quarters opaque throughout: the plate shows through it.
    for (Rgba& px : picture.pixels) {
        px.a = static_cast<std::uint8_t>((px.a * 191 + 127) / 255);
        if (px.a == 0) {
            px.r = px.g = px.b = 0;
        }
    }
    return picture;
}

Picture DrawPlate() {
    constexpr int kW = 460;
    constexpr int kH = 310;
    // Margins of 3 px at the left and top and 7 px at the right and bottom.
    const double left = 3;
    const double top = 3;
    const double right = kW - 7;
    const double bottom = kH - 7;
    const double corner = 9;
    constexpr std::array<std::uint8_t, 3> kEdgeAlpha{13, 41, 69};
    Picture plate(kW, kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            // Depth inside the rounded rectangle, measured from its boundary.
            const double cx = std::clamp(px, left + corner, right - corner);
            const double cy = std::clamp(py, top + corner, bottom - corner);
            double depth;
            if (cx != px && cy != py) {
                depth = corner - std::hypot(px - cx, py - cy);
            } else {
                depth = std::min({px - left, right - px, py - top, bottom - py});
            }
            if (depth <= 0) {
                continue;
            }
            const int ring = static_cast<int>(std::floor(depth));
            if (ring < 3) {
                plate.At(x, y) = {150, 166, 188, kEdgeAlpha[static_cast<std::size_t>(ring)]};
            } else {
                plate.At(x, y) = {249, 249, 249, 83};
            }
        }
    }
    return plate;
}

// ---------------------------------------------------------------------------------------------
// Banners

namespace {

QImage NewBanner(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

void HomeEmblem(QPainter& p, QPointF c, double r) {
    QRadialGradient gold(c + QPointF(-r * 0.3, -r * 0.35), r * 1.3);
    gold.setColorAt(0.0, QColor(255, 236, 160));
    gold.setColorAt(0.6, QColor(238, 180, 60));
    gold.setColorAt(1.0, QColor(190, 125, 30));
    p.setPen(QPen(QColor(255, 246, 210), 2));
    p.setBrush(gold);
    p.drawEllipse(c, r, r);
    // A little house.
    QPainterPath house;
    const double s = r / 26.0;
    house.moveTo(c + QPointF(0, -15 * s));
    house.lineTo(c + QPointF(16 * s, -1 * s));
    house.lineTo(c + QPointF(11 * s, -1 * s));
    house.lineTo(c + QPointF(11 * s, 13 * s));
    house.lineTo(c + QPointF(-11 * s, 13 * s));
    house.lineTo(c + QPointF(-11 * s, -1 * s));
    house.lineTo(c + QPointF(-16 * s, -1 * s));
    house.closeSubpath();
    QPainterPath door;
    door.addRoundedRect(QRectF(c.x() - 3.5 * s, c.y() + 3 * s, 7 * s, 10 * s), 1.5 * s, 1.5 * s);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 84, 60));
    p.drawPath(house.subtracted(door));
}

}  // namespace

Banner DrawBanner101() {
    constexpr int kW = 660;
    constexpr int kH = 81;
    constexpr int kFrames = 10;
    Banner banner;
    banner.options = {kW, kH, 0, false};
    banner.delay = 20;
    const QFont big = BannerFont(36);
    const QFont small = BannerFont(17);
    const QPainterPath title =
        Centred(TextPath(QStringLiteral("欢迎访问论坛首页"), big, {}), {340, 40});
    const QPainterPath enter = Centred(TextPath(QStringLiteral("点击进入"), small, {}), {574, 41});
    for (int f = 0; f < kFrames; ++f) {
        QImage image = NewBanner(kW, kH);
        QPainter p(&image);
        Prepare(p);
        QLinearGradient bg(0, 0, kW, 0);
        bg.setColorAt(0.0, QColor(10, 54, 40));
        bg.setColorAt(0.5, QColor(22, 104, 78));
        bg.setColorAt(1.0, QColor(10, 54, 40));
        p.fillRect(image.rect(), bg);
        QLinearGradient glass(0, 0, 0, kH);
        glass.setColorAt(0.0, QColor(255, 255, 255, 40));
        glass.setColorAt(0.48, QColor(255, 255, 255, 8));
        glass.setColorAt(0.5, QColor(0, 0, 0, 0));
        glass.setColorAt(1.0, QColor(0, 0, 0, 40));
        p.fillRect(image.rect(), glass);
        p.fillRect(QRectF(0, 0, kW, 2), QColor(120, 210, 160));
        p.fillRect(QRectF(0, kH - 2, kW, 2), QColor(120, 210, 160));

        HomeEmblem(p, {52, 40.5}, 27);

        OutlinedText(p, title, QColor(255, 248, 220), QColor(6, 34, 24), 5);
        // The highlight sweeps across the title, one step a frame.
        const double sweep = 150 + f * 48.0;
        QLinearGradient shine(sweep - 46, 0, sweep + 46, 30);
        shine.setColorAt(0.0, QColor(255, 226, 120, 0));
        shine.setColorAt(0.5, QColor(255, 214, 90, 255));
        shine.setColorAt(1.0, QColor(255, 226, 120, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawPath(title);
        Sparkle(p, {sweep + 8, 14}, 6, QColor(255, 250, 225, 230));

        // "Enter" in a pill on the right, with an arrow that nudges forward every other frame.
        p.setPen(QPen(QColor(150, 225, 185), 1.5));
        p.setBrush(QColor(255, 255, 255, 24));
        p.drawRoundedRect(QRectF(522, 26, 124, 30), 15, 15);
        OutlinedText(p, enter, QColor(220, 245, 226), QColor(6, 34, 24), 3);
        const double nudge = (f % 2) * 3.0;
        QPainterPath chevron;
        for (int k = 0; k < 2; ++k) {
            const double x = 618 + nudge + k * 8;
            chevron.moveTo(x, 34);
            chevron.lineTo(x + 6, 41);
            chevron.lineTo(x, 48);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 214, 90), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(chevron);
        p.end();
        banner.frames.push_back(FromImage(image));
    }
    return banner;
}

Banner DrawBanner102() {
    constexpr int kW = 728;
    constexpr int kH = 90;
    Banner banner;
    banner.options = {kW, kH, 0, false};
    banner.delay = 0;
    const QFont big = BannerFont(40);
    const QFontMetricsF metrics(big);
    const QString first = QStringLiteral("论坛版块");
    const QString dot = QStringLiteral(" · ");
    const QString second = QStringLiteral("每日热帖");
    const double total = metrics.horizontalAdvance(first + dot + second);
    const double x0 = 408 - total / 2;
    const double baseline = 59;
    const QPainterPath boards = TextPath(first, big, {x0, baseline});
    const QPainterPath middot =
        TextPath(dot, big, {x0 + metrics.horizontalAdvance(first), baseline});
    const QPainterPath hot =
        TextPath(second, big, {x0 + metrics.horizontalAdvance(first + dot), baseline});
    const double flameX = x0 + total + 30;
    for (int f = 0; f < 2; ++f) {
        QImage image = NewBanner(kW, kH);
        QPainter p(&image);
        Prepare(p);
        QLinearGradient bg(0, 0, 0, kH);
        bg.setColorAt(0.0, QColor(255, 251, 234));
        bg.setColorAt(1.0, QColor(236, 226, 190));
        p.fillRect(image.rect(), bg);
        // The green tab with a list of boards.
        QPainterPath tab;
        tab.moveTo(0, 0);
        tab.lineTo(118, 0);
        tab.lineTo(96, kH);
        tab.lineTo(0, kH);
        tab.closeSubpath();
        QLinearGradient green(0, 0, 0, kH);
        green.setColorAt(0.0, QColor(42, 128, 84));
        green.setColorAt(1.0, QColor(20, 82, 54));
        p.setPen(Qt::NoPen);
        p.setBrush(green);
        p.drawPath(tab);
        for (int k = 0; k < 3; ++k) {
            const double y = 24 + k * 15;
            p.setBrush(QColor(255, 214, 90));
            p.drawEllipse(QPointF(30, y + 3.5), 4, 4);
            p.setBrush(QColor(250, 250, 240));
            p.drawRoundedRect(QRectF(40, y, 38 - k * 6, 7), 3.5, 3.5);
        }
        p.fillRect(QRectF(0, kH - 3, kW, 3), QColor(46, 139, 87));

        OutlinedText(p, boards, QColor(28, 92, 58), QColor(255, 255, 255), 5);
        OutlinedText(p, middot, QColor(120, 150, 120), QColor(255, 255, 255), 5);
        OutlinedText(p, hot, QColor(200, 52, 40), QColor(255, 255, 255), 5);

        // A flame that flickers between the two frames.
        const double lean = f == 0 ? -1.5 : 2.0;
        const double height = f == 0 ? 30 : 33;
        QPainterPath flame;
        const QPointF foot(flameX, 62);
        flame.moveTo(foot + QPointF(0, 0));
        flame.cubicTo(foot + QPointF(-14, 0), foot + QPointF(-15, -14), foot + QPointF(-6, -22));
        flame.cubicTo(foot + QPointF(-5, -14), foot + QPointF(-1, -14),
                      foot + QPointF(lean, -height));
        flame.cubicTo(foot + QPointF(10, -22), foot + QPointF(15, -12), foot + QPointF(12, -6));
        flame.cubicTo(foot + QPointF(11, -2), foot + QPointF(6, 0), foot + QPointF(0, 0));
        QLinearGradient fire(foot, foot + QPointF(0, -height));
        fire.setColorAt(0.0, QColor(214, 48, 30));
        fire.setColorAt(1.0, QColor(255, 150, 40));
        p.setBrush(fire);
        p.setPen(QPen(QColor(255, 255, 255), 2));
        p.drawPath(flame);
        p.setPen(Qt::NoPen);
        p.setBrush(f == 0 ? QColor(255, 214, 90) : QColor(255, 236, 150));
        p.drawEllipse(foot + QPointF(0.5 + lean * 0.2, -7), 5, f == 0 ? 7 : 8);

        // Glints that trade places.
        const std::array<QPointF, 3> spots{QPointF(662, 24), QPointF(690, 58), QPointF(636, 66)};
        const std::array<double, 3> sizeA{7, 4, 3};
        const std::array<double, 3> sizeB{3, 7, 5};
        for (std::size_t k = 0; k < spots.size(); ++k) {
            Sparkle(p, spots[k], f == 0 ? sizeA[k] : sizeB[k], QColor(232, 170, 40));
        }
        p.end();
        banner.frames.push_back(FromImage(image));
    }
    return banner;
}

Banner DrawBanner103() {
    constexpr int kW = 728;
    constexpr int kH = 90;
    Banner banner;
    banner.options = {kW, kH, 0, true};
    banner.delay = 0;
    const QFont big = BannerFont(42);
    const QPainterPath title =
        Centred(TextPath(QStringLiteral("我的个人主页"), big, {}), {352, 45});
    for (int f = 0; f < 2; ++f) {
        QImage image = NewBanner(kW, kH);
        QPainter p(&image);
        Prepare(p);
        QLinearGradient bg(0, 0, kW, 0);
        bg.setColorAt(0.0, QColor(22, 88, 70));
        bg.setColorAt(0.55, QColor(40, 132, 100));
        bg.setColorAt(1.0, QColor(60, 150, 112));
        p.fillRect(image.rect(), bg);
        // Soft rings of light.
        p.setPen(Qt::NoPen);
        const std::array<std::array<double, 3>, 5> bubbles{
            {{168, 18, 22}, {530, 76, 30}, {610, 12, 16}, {250, 82, 14}, {700, 60, 24}}};
        for (const auto& b : bubbles) {
            p.setBrush(QColor(255, 255, 255, 20));
            p.drawEllipse(QPointF(b[0], b[1]), b[2], b[2]);
        }
        p.fillRect(QRectF(0, 0, kW, 2), QColor(168, 230, 200));
        p.fillRect(QRectF(0, kH - 2, kW, 2), QColor(14, 60, 46));

        // The avatar, its ring brightening in the second frame.
        const QPointF c(64, 45);
        p.setBrush(QColor(240, 250, 244));
        p.setPen(QPen(f == 0 ? QColor(150, 220, 190) : QColor(255, 226, 120), 3));
        p.drawEllipse(c, 30, 30);
        QPainterPath person;
        person.addEllipse(c + QPointF(0, -8), 10, 10.5);
        QPainterPath shoulders;
        shoulders.addEllipse(c + QPointF(0, 22), 20, 18);
        QPainterPath clip;
        clip.addEllipse(c, 28.5, 28.5);
        person = person.united(shoulders.intersected(clip));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 132, 100));
        p.drawPath(person);

        OutlinedText(p, title, QColor(255, 255, 255), QColor(10, 52, 40), 5);
        const double underline = f == 0 ? 0.0 : 1.0;
        p.setBrush(QColor(255, 226, 120));
        p.drawRoundedRect(
            QRectF(title.boundingRect().left(), 70 + underline, title.boundingRect().width(), 3),
            1.5, 1.5);

        // Chevrons that step forward: the bright one moves on in the second frame.
        for (int k = 0; k < 3; ++k) {
            const double x = 622 + k * 16 + f * 4;
            QPainterPath chevron;
            chevron.moveTo(x, 33);
            chevron.lineTo(x + 11, 45);
            chevron.lineTo(x, 57);
            const bool bright = k == (f == 0 ? 1 : 2);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(bright ? QColor(255, 236, 150) : QColor(200, 240, 220, 150), 4,
                          Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(chevron);
        }
        p.end();
        banner.frames.push_back(FromImage(image));
    }
    return banner;
}

}  // namespace tools
