// The setup program's pictures (setup/res): the watermark of the exterior
// pages, the strip of small images and the program icon. Each picture is
// drawn twice where the program has a low-colour variant: hard-edged with
// few colours for screens of 256 colours, smooth for the rest.
#include "Art.h"
#include "ImageFiles.h"

#include <algorithm>
#include <cmath>

namespace {

const Rgb kWhite = {255, 255, 255};
const Rgb kMagenta = {255, 0, 255};  // mask colour of the masked strips
const Rgb kSilver = {196, 205, 218};
const Rgb kSilverEdge = {140, 154, 176};
const Rgb kSilverShine = {232, 237, 244};
const Rgb kNoteBlue = {0, 92, 184};
const Rgb kTileBlue = {0, 84, 166};

using PaintFn = void (*)(Image&, const Shape&, Rgb);

PaintFn Painter(bool smooth)
{
    return smooth ? Paint : PaintSolid;
}

Shape RoundedBox(double left, double top, double right, double bottom, double radius)
{
    return [=](double x, double y) {
        if (x < left || x >= right || y < top || y >= bottom)
            return false;
        double cx = std::clamp(x, left + radius, right - radius);
        double cy = std::clamp(y, top + radius, bottom - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

// A compact disc centred at (cx, cy) with outer radius r.
void DrawDisc(Image& img, double cx, double cy, double r, bool smooth)
{
    PaintFn paint = Painter(smooth);
    paint(img, Ring(cx, cy, r * 0.18, r), kSilverEdge);
    paint(img, Ring(cx, cy, r * 0.22, r * 0.94), kSilver);
    paint(img, Ring(cx, cy, r * 0.40, r * 0.58), kSilverShine);
}

// Top to bottom from deep blue to a lighter sea blue; `steps` 0 is smooth,
// otherwise the number of bands.
Image Gradient(int width, int height, int steps)
{
    Image img(width, height, kWhite);
    for (int y = 0; y < height; ++y) {
        double t = static_cast<double>(y) / (height - 1);
        if (steps > 0)
            t = std::floor(t * steps) / steps;
        Rgb colour = {static_cast<uint8_t>(8 + 36 * t), static_cast<uint8_t>(44 + 86 * t),
                      static_cast<uint8_t>(104 + 76 * t)};
        for (int x = 0; x < width; ++x)
            img.At(x, y) = colour;
    }
    return img;
}

// 164 x 314 pixels, the Wizard 97 watermark size; the classic pages show
// it at 95 x 179 dialog units, which is the same at the usual font.
Image Watermark(bool smooth)
{
    Image img = Gradient(164, 314, smooth ? 0 : 24);
    PaintFn paint = Painter(smooth);
    // Arrow into the disc: the software goes onto the computer.
    paint(img, Box(73, 64, 91, 122), kWhite);
    paint(img, Polygon({{55, 120}, {109, 120}, {82, 150}}), kWhite);
    DrawDisc(img, 82, 212, 54, smooth);
    // Hole of the disc: the background shows through.
    Image hole = Gradient(164, 314, smooth ? 0 : 24);
    Shape inside = Disc(82, 212, 54 * 0.18);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            if (inside(x + 0.5, y + 0.5))
                img.At(x, y) = hole.At(x, y);
    return img;
}

// Two 16 x 16 images: 0 an information mark (beside notes on the pages),
// 1 a compact disc. `alpha` draws on transparency for the alpha strip,
// otherwise on the magenta mask colour.
Image IconStrip(bool alpha, bool smooth)
{
    Image img(32, 16, alpha ? Rgb{0, 0, 0} : kMagenta);
    std::fill(img.alpha.begin(), img.alpha.end(), alpha ? 0 : 255);
    PaintFn paint = Painter(smooth);
    paint(img, Disc(8, 8, 7.5), kNoteBlue);
    paint(img, Box(7, 3, 9, 5), kWhite);
    paint(img, Box(7, 6.5, 9, 13), kWhite);
    DrawDisc(img, 24, 8, 7.5, smooth);
    return img;
}

// The program icon: a blue tile with an arrow into a tray, `size` pixels.
Image ProgramIcon(int size)
{
    Image img(size, size, Rgb{0, 0, 0});
    std::fill(img.alpha.begin(), img.alpha.end(), 0);
    double s = size / 32.0;
    Paint(img, RoundedBox(1 * s, 1 * s, 31 * s, 31 * s, 6 * s), kTileBlue);
    Paint(img, Box(13 * s, 5 * s, 19 * s, 15 * s), kWhite);
    Paint(img, Polygon({{7.5 * s, 14 * s}, {24.5 * s, 14 * s}, {16 * s, 22.5 * s}}), kWhite);
    double w = std::max(1.5, 2.5 * s);
    Paint(img, Line(7 * s, 20 * s, 7 * s, 26 * s, w), kWhite);
    Paint(img, Line(7 * s, 26 * s, 25 * s, 26 * s, w), kWhite);
    Paint(img, Line(25 * s, 26 * s, 25 * s, 20 * s, w), kWhite);
    return img;
}

}  // namespace

bool WriteSetupArt(const std::string& dir)
{
    return Save(dir + "watermark_256.bmp", Bmp8(Watermark(false))) &&
           Save(dir + "watermark.bmp", Bmp24(Watermark(true))) &&
           Save(dir + "icons_256.bmp", Bmp8(IconStrip(false, false))) &&
           Save(dir + "icons.bmp", Bmp24(IconStrip(false, false))) &&
           Save(dir + "icons_alpha.bmp", Bmp32(IconStrip(true, true))) &&
           Save(dir + "setup.ico", Ico32({ProgramIcon(32), ProgramIcon(16)}));
}
