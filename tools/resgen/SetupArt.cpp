// The setup program's pictures (setup/res): the watermark of the exterior
// pages, the Wizard 97 header, the strip of small images, the component
// list's images and the program icon. Each picture is
// drawn twice where the program has a low-colour variant: hard-edged with
// few colours for screens of 256 colours, smooth for the rest.
#include "Art.h"
#include "ImageFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

// The Wizard 97 header picture, 49 x 49 pixels on the header's white: the
// program icon's arrow into a tray above a disc.
Image Header(bool smooth)
{
    Image img(49, 49, kWhite);
    PaintFn paint = Painter(smooth);
    paint(img, RoundedBox(2, 2, 47, 47, 8), kTileBlue);
    paint(img, Box(20, 7, 29, 19), kWhite);
    paint(img, Polygon({{13.5, 18}, {35.5, 18}, {24.5, 29}}), kWhite);
    DrawDisc(img, 24.5, 37, 8, smooth);
    return img;
}

// The 16-colour palette the component images keep to (their image list
// has 16 colours); teal is the mask colour and not used in a picture.
const Rgb kTeal = {0, 128, 128};
const Rgb kBlack = {0, 0, 0};
const Rgb kGrey = {128, 128, 128};
const Rgb kSilverVga = {192, 192, 192};
const Rgb kNavy = {0, 0, 128};
const Rgb kBlue = {0, 0, 255};
const Rgb kGreen = {0, 128, 0};
const Rgb kLime = {0, 255, 0};
const Rgb kMaroon = {128, 0, 0};
const Rgb kRed = {255, 0, 0};
const Rgb kOlive = {128, 128, 0};
const Rgb kYellow = {255, 255, 0};
const Rgb kAqua = {0, 255, 255};

// An outlined box: `fill` inside a one-pixel `edge`.
void Framed(Image& img, double left, double top, double right, double bottom, Rgb edge, Rgb fill)
{
    PaintSolid(img, Box(left, top, right, bottom), edge);
    PaintSolid(img, Box(left + 1, top + 1, right - 1, bottom - 1), fill);
}

// The images of the component list, 16 x 16 each, drawn hard-edged on the
// teal mask colour: 0 software package, 1 modem, 2 disc, 3 document,
// 4 tools, 5 driver chip, 6 globe, 7 folder, 8 monitor, 9 key, 10 shield,
// 11 telephone line, 12 manual, 13 checked box, 14 unchecked box.
Image ComponentImages()
{
    Image img(16 * 15, 16, kTeal);
    auto at = [](int index) { return 16.0 * index; };
    double x = at(0);  // package: a closed box with its flaps
    PaintSolid(img, Polygon({{x + 1, 5}, {x + 8, 2}, {x + 15, 5}, {x + 8, 8}}), kYellow);
    PaintSolid(img, Polygon({{x + 1, 5}, {x + 8, 8}, {x + 8, 15}, {x + 1, 12}}), kOlive);
    PaintSolid(img, Polygon({{x + 8, 8}, {x + 15, 5}, {x + 15, 12}, {x + 8, 15}}), kMaroon);
    x = at(1);  // modem: a flat case with lamps
    Framed(img, x + 1, 6, x + 15, 12, kBlack, kSilverVga);
    PaintSolid(img, Box(x + 3, 8, x + 5, 10), kLime);
    PaintSolid(img, Box(x + 6, 8, x + 8, 10), kLime);
    PaintSolid(img, Box(x + 9, 8, x + 11, 10), kRed);
    PaintSolid(img, Box(x + 2, 12, x + 4, 14), kBlack);
    PaintSolid(img, Box(x + 12, 12, x + 14, 14), kBlack);
    x = at(2);  // disc
    PaintSolid(img, Disc(x + 8, 8, 7.5), kGrey);
    PaintSolid(img, Disc(x + 8, 8, 6.5), kSilverVga);
    PaintSolid(img, Ring(x + 8, 8, 2.5, 4.5), kWhite);
    PaintSolid(img, Disc(x + 8, 8, 1.5), kTeal);
    x = at(3);  // document
    Framed(img, x + 3, 1, x + 13, 15, kBlack, kWhite);
    for (int line = 0; line < 5; ++line)
        PaintSolid(img, Box(x + 5, 4 + 2 * line, x + 11, 5 + 2 * line), kNavy);
    x = at(4);  // tools: a screwdriver across a wrench
    PaintSolid(img, Line(x + 3, 13, x + 11, 5, 2.5), kGrey);
    PaintSolid(img, Ring(x + 12, 4, 1.5, 3.5), kGrey);
    PaintSolid(img, Line(x + 4, 4, x + 9, 9, 1.5), kSilverVga);
    PaintSolid(img, Line(x + 9, 9, x + 14, 14, 3), kRed);
    x = at(5);  // driver chip with its pins
    for (int pin = 0; pin < 4; ++pin) {
        PaintSolid(img, Box(x + 4 + 2.5 * pin, 1, x + 5 + 2.5 * pin, 15), kSilverVga);
        PaintSolid(img, Box(x + 1, 4 + 2.5 * pin, x + 15, 5 + 2.5 * pin), kSilverVga);
    }
    Framed(img, x + 3, 3, x + 13, 13, kBlack, kGrey);
    x = at(6);  // globe
    PaintSolid(img, Disc(x + 8, 8, 7), kBlue);
    PaintSolid(img, Polygon({{x + 4, 4}, {x + 8, 3}, {x + 9, 7}, {x + 6, 9}, {x + 4, 7}}), kLime);
    PaintSolid(img, Polygon({{x + 10, 9}, {x + 13, 8}, {x + 12, 13}, {x + 9, 12}}), kLime);
    x = at(7);  // folder
    PaintSolid(img, Box(x + 1, 3, x + 7, 5), kOlive);
    Framed(img, x + 1, 4, x + 15, 14, kOlive, kYellow);
    x = at(8);  // monitor
    Framed(img, x + 1, 1, x + 15, 12, kBlack, kSilverVga);
    PaintSolid(img, Box(x + 3, 3, x + 13, 10), kNavy);
    PaintSolid(img, Box(x + 6, 12, x + 10, 14), kGrey);
    PaintSolid(img, Box(x + 4, 14, x + 12, 15), kBlack);
    x = at(9);  // key
    PaintSolid(img, Ring(x + 5, 6, 1.5, 4), kOlive);
    PaintSolid(img, Line(x + 8, 9, x + 14, 15, 2), kOlive);
    PaintSolid(img, Line(x + 11, 12, x + 13, 10, 1.5), kOlive);
    x = at(10);  // shield
    PaintSolid(img, Polygon({{x + 2, 2}, {x + 14, 2}, {x + 14, 8}, {x + 8, 15}, {x + 2, 8}}), kNavy);
    PaintSolid(img, Polygon({{x + 8, 3}, {x + 13, 3}, {x + 13, 8}, {x + 8, 13.5}}), kAqua);
    x = at(11);  // telephone line: a plug on its cable
    PaintSolid(img, Line(x + 1, 14, x + 6, 9, 1.5), kBlack);
    Framed(img, x + 5, 4, x + 12, 11, kBlack, kSilverVga);
    PaintSolid(img, Box(x + 12, 5, x + 15, 6), kGreen);
    PaintSolid(img, Box(x + 12, 9, x + 15, 10), kRed);
    x = at(12);  // manual: a closed book
    Framed(img, x + 2, 1, x + 14, 15, kBlack, kMaroon);
    PaintSolid(img, Box(x + 4, 1, x + 5, 15), kBlack);
    PaintSolid(img, Box(x + 7, 4, x + 12, 6), kYellow);
    for (int checked = 1; checked >= 0; --checked) {
        x = at(14 - checked);  // 13 checked, 14 unchecked
        Framed(img, x + 1, 1, x + 14, 14, kGrey, kWhite);
        if (checked) {
            PaintSolid(img, Line(x + 4, 7.5, x + 6.5, 10, 2), kBlack);
            PaintSolid(img, Line(x + 6.5, 10, x + 11, 4.5, 2), kBlack);
        }
    }
    return img;
}

}  // namespace

// The smooth watermark is stored with a palette too: its edges blend into
// the gradient in 338 shades, and merging the closest of them down to 256
// moves no pixel by more than a few levels of one channel (printed), while
// the bitmap takes 52 KB of the program instead of 155 KB.
bool WriteSetupArt(const std::string& dir)
{
    Image watermark = Watermark(true);
    std::printf("smooth watermark: each pixel within %d levels of its drawn colour\n", ReduceColours(watermark, 256));
    return Save(dir + "watermark_256.bmp", Bmp8(Watermark(false))) &&
           Save(dir + "watermark.bmp", Bmp8(watermark)) &&
           Save(dir + "header_256.bmp", Bmp8(Header(false))) && Save(dir + "header.bmp", Bmp24(Header(true))) &&
           Save(dir + "components.bmp", Bmp8(ComponentImages())) &&
           Save(dir + "icons_256.bmp", Bmp8(IconStrip(false, false))) &&
           Save(dir + "icons.bmp", Bmp24(IconStrip(false, false))) &&
           Save(dir + "icons_alpha.bmp", Bmp32(IconStrip(true, true))) &&
           Save(dir + "setup.ico", Ico32({ProgramIcon(32), ProgramIcon(16)}));
}
