// The modem test's pictures (mdmprobe/res).
#include "Art.h"
#include "ImageFiles.h"

namespace {

const Rgb kWhite = {255, 255, 255};
const Rgb kBlue = {0, 70, 140};
const Rgb kLightBlue = {90, 150, 210};

Image Watermark()
{
    Image img(164, 314, kBlue);
    for (int y = 0; y < img.height; ++y) {
        double t = static_cast<double>(y) / img.height;
        for (int x = 0; x < img.width; ++x) {
            img.At(x, y) = Rgb{static_cast<uint8_t>(0 + 40 * t), static_cast<uint8_t>(60 + 70 * t),
                               static_cast<uint8_t>(130 + 80 * t)};
        }
    }
    DrawWaves(img, 4, 10, kLightBlue);
    // The page is 314 pixels high at 96 dpi with the standard dialog font;
    // taller pages (larger fonts) show the bottom row continued, not the
    // top-left colour the wizard fills the rest with.
    Image tall(img.width, 400, kBlue);
    for (int y = 0; y < tall.height; ++y)
        for (int x = 0; x < tall.width; ++x)
            tall.At(x, y) = img.At(x, y < img.height ? y : img.height - 1);
    return tall;
}

Image Header()
{
    Image img(49, 49, kWhite);
    for (int y = 6; y < 43; ++y)
        for (int x = 6; x < 43; ++x)
            img.At(x, y) = kBlue;
    for (int k = 0; k < 3; ++k)
        Stroke(img, 12, 36 - 4 * k, 36, 16 - 4 * k + 8, 2, kLightBlue);
    return img;
}

// The list draws a mark at x 10 and the item's text at x 25: the drawing
// keeps to the left 13 columns so that it does not touch the text.
Image Mark(int kind)
{
    Image img(16, 16, kWhite);
    if (kind == 0) {  // green tick: passed
        Rgb green = {0, 150, 0};
        Stroke(img, 1.5, 8, 5, 12, 2.4, green);
        Stroke(img, 5, 12, 11.5, 4, 2.4, green);
    } else if (kind == 1) {  // black arrow: current
        Rgb black = {0, 0, 0};
        Stroke(img, 1.5, 8, 10.5, 8, 2.2, black);
        Stroke(img, 6.5, 4, 11, 8, 2.2, black);
        Stroke(img, 6.5, 12, 11, 8, 2.2, black);
    } else {  // red cross: failed
        Rgb red = {200, 0, 0};
        Stroke(img, 3, 4, 11, 12, 2.4, red);
        Stroke(img, 11, 4, 3, 12, 2.4, red);
    }
    return img;
}

Image Verdict(bool success)
{
    Image img(32, 32, kWhite);
    Rgb disc = success ? Rgb{0, 150, 0} : Rgb{200, 0, 0};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            double dx = x + 0.5 - 16, dy = y + 0.5 - 16;
            bool inside = dx * dx + dy * dy <= 15 * 15;
            img.alpha[y * 32 + x] = inside ? 255 : 0;
            img.At(x, y) = inside ? disc : Rgb{0, 0, 0};
        }
    }
    if (success) {
        Stroke(img, 9, 16, 14, 22, 3.5, kWhite);
        Stroke(img, 14, 22, 23, 10, 3.5, kWhite);
    } else {
        Stroke(img, 10, 10, 22, 22, 3.5, kWhite);
        Stroke(img, 22, 10, 10, 22, 3.5, kWhite);
    }
    return img;
}

}  // namespace

// The bitmaps are stored with a palette: each picture has fewer than 256
// colours, so nothing is lost, and the watermark takes 66 KB of the program
// instead of 197 KB.
bool WriteMdmprobeArt(const std::string& dir)
{
    return Save(dir + "watermark.bmp", Bmp8(Watermark())) &&
           Save(dir + "header.bmp", Bmp8(Header())) &&
           Save(dir + "mark_passed.bmp", Bmp8(Mark(0))) &&
           Save(dir + "mark_current.bmp", Bmp8(Mark(1))) &&
           Save(dir + "mark_failed.bmp", Bmp8(Mark(2))) &&
           Save(dir + "test_success.ico", Ico32({Verdict(true)})) &&
           Save(dir + "test_failure.ico", Ico32({Verdict(false)}));
}
