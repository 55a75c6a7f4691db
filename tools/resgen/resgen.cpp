// Draws the modem test's bitmaps and icons and writes them as BMP and ICO
// files. The results are kept in mdmprobe/res; run this tool again only to
// change the pictures:  resgen <output folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb
{
    uint8_t r, g, b;
};

struct Image
{
    int width, height;
    std::vector<Rgb> pixels;  // row 0 is the top row
    std::vector<uint8_t> alpha;

    Image(int w, int h, Rgb fill) : width(w), height(h), pixels(w * h, fill), alpha(w * h, 255) {}
    Rgb& At(int x, int y) { return pixels[y * width + x]; }
};

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// 40-byte BITMAPINFOHEADER.
void PutInfoHeader(std::vector<uint8_t>& out, int w, int h, int bits, uint32_t imageSize,
                   uint32_t colours)
{
    Put32(out, 40);
    Put32(out, w);
    Put32(out, h);
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, colours);
    Put32(out, 0);
}

// 14-byte BITMAPFILEHEADER; `bitsOffset` counts from the start of the file.
void PutFileHeader(std::vector<uint8_t>& out, uint32_t fileSize, uint32_t bitsOffset)
{
    out.push_back('B');
    out.push_back('M');
    Put32(out, fileSize);
    Put32(out, 0);
    Put32(out, bitsOffset);
}

// The pixel rows bottom-up as BGR (or BGRA), each padded to `stride` bytes.
void PutPixelRows(std::vector<uint8_t>& out, const Image& img, bool withAlpha, int stride)
{
    for (int y = img.height - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < img.width; ++x) {
            const Rgb& p = img.pixels[y * img.width + x];
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
            if (withAlpha)
                out.push_back(img.alpha[y * img.width + x]);
        }
        while (out.size() - rowStart < static_cast<size_t>(stride))
            out.push_back(0);
    }
}

// 24-bit bottom-up BMP file.
std::vector<uint8_t> Bmp24(const Image& img)
{
    int stride = (img.width * 3 + 3) & ~3;
    uint32_t imageSize = stride * img.height;
    std::vector<uint8_t> out;
    PutFileHeader(out, 14 + 40 + imageSize, 14 + 40);
    PutInfoHeader(out, img.width, img.height, 24, imageSize, 0);
    PutPixelRows(out, img, false, stride);
    return out;
}

// 8-bit palette BMP (colour-mapped loading needs a colour table).
std::vector<uint8_t> Bmp8(const Image& img)
{
    std::vector<Rgb> palette;
    std::vector<uint8_t> indexes;
    for (const Rgb& p : img.pixels) {
        size_t i = 0;
        while (i < palette.size() && !(palette[i].r == p.r && palette[i].g == p.g && palette[i].b == p.b))
            ++i;
        if (i == palette.size())
            palette.push_back(p);
        indexes.push_back(static_cast<uint8_t>(i));
    }
    int stride = (img.width + 3) & ~3;
    uint32_t imageSize = stride * img.height;
    uint32_t tableSize = 4 * 256;
    std::vector<uint8_t> out;
    PutFileHeader(out, 14 + 40 + tableSize + imageSize, 14 + 40 + tableSize);
    PutInfoHeader(out, img.width, img.height, 8, imageSize, 256);
    for (int i = 0; i < 256; ++i) {
        Rgb c = i < static_cast<int>(palette.size()) ? palette[i] : Rgb{0, 0, 0};
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x)
            out.push_back(indexes[y * img.width + x]);
        for (int pad = img.width; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

// Single-image ICO file with a 32-bit colour image and its AND mask.
std::vector<uint8_t> Ico32(const Image& img)
{
    int maskStride = ((img.width + 31) / 32) * 4;
    uint32_t dataSize = 40 + img.width * img.height * 4 + maskStride * img.height;
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.push_back(static_cast<uint8_t>(img.width));
    out.push_back(static_cast<uint8_t>(img.height));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, dataSize);
    Put32(out, 6 + 16);
    PutInfoHeader(out, img.width, img.height * 2, 32, 0, 0);
    PutPixelRows(out, img, true, img.width * 4);
    for (int y = img.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < img.width; ++x) {
            if (img.alpha[y * img.width + x] < 128)
                row[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Distance of (px, py) from the segment (ax, ay)-(bx, by).
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    double dx = bx - ax, dy = by - ay;
    double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    double cx = ax + t * dx - px, cy = ay + t * dy - py;
    return std::sqrt(cx * cx + cy * cy);
}

void Stroke(Image& img, double ax, double ay, double bx, double by, double width, Rgb colour)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            if (SegmentDistance(x + 0.5, y + 0.5, ax, ay, bx, by) <= width / 2)
                img.At(x, y) = colour;
        }
    }
}

const Rgb kWhite = {255, 255, 255};
const Rgb kBlue = {0, 70, 140};
const Rgb kLightBlue = {90, 150, 210};

// Wave lines like a carrier signal, used on the watermark and the header.
void DrawWaves(Image& img, int count, double amplitude, Rgb colour)
{
    for (int k = 0; k < count; ++k) {
        double baseline = img.height * (0.3 + 0.5 * k / count);
        for (int x = 0; x + 1 < img.width; ++x) {
            double y0 = baseline + amplitude * std::sin((x + 9 * k) * 0.12);
            double y1 = baseline + amplitude * std::sin((x + 1 + 9 * k) * 0.12);
            Stroke(img, x, y0, x + 1, y1, 1.6, colour);
        }
    }
}

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
    return img;
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

Image Mark(int kind)
{
    Image img(16, 16, kWhite);
    if (kind == 0) {  // green tick: passed
        Rgb green = {0, 150, 0};
        Stroke(img, 3, 8, 6.5, 12, 2.4, green);
        Stroke(img, 6.5, 12, 13, 4, 2.4, green);
    } else if (kind == 1) {  // black arrow: current
        Rgb black = {0, 0, 0};
        Stroke(img, 3, 8, 12, 8, 2.2, black);
        Stroke(img, 8, 4, 12.5, 8, 2.2, black);
        Stroke(img, 8, 12, 12.5, 8, 2.2, black);
    } else {  // red cross: failed
        Rgb red = {200, 0, 0};
        Stroke(img, 4, 4, 12, 12, 2.4, red);
        Stroke(img, 12, 4, 4, 12, 2.4, red);
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

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: resgen <output folder>\n");
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/";
    bool ok = Save(dir + "watermark.bmp", Bmp24(Watermark())) &&
              Save(dir + "header.bmp", Bmp24(Header())) &&
              Save(dir + "mark_passed.bmp", Bmp8(Mark(0))) &&
              Save(dir + "mark_current.bmp", Bmp8(Mark(1))) &&
              Save(dir + "mark_failed.bmp", Bmp8(Mark(2))) &&
              Save(dir + "test_success.ico", Ico32(Verdict(true))) &&
              Save(dir + "test_failure.ico", Ico32(Verdict(false)));
    if (!ok) {
        std::fprintf(stderr, "resgen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
