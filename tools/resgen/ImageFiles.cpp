#include "ImageFiles.h"

#include <cstdio>

namespace {

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

}  // namespace

bool Save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

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

std::vector<uint8_t> Bmp32(const Image& img)
{
    uint32_t imageSize = img.width * 4 * img.height;
    std::vector<uint8_t> out;
    PutFileHeader(out, 14 + 40 + imageSize, 14 + 40);
    PutInfoHeader(out, img.width, img.height, 32, imageSize, 0);
    PutPixelRows(out, img, true, img.width * 4);
    return out;
}

std::vector<uint8_t> Bmp8(const Image& img)
{
    std::vector<Rgb> palette;
    std::vector<uint8_t> indexes;
    for (const Rgb& p : img.pixels) {
        size_t i = 0;
        while (i < palette.size() && !(palette[i].r == p.r && palette[i].g == p.g && palette[i].b == p.b))
            ++i;
        if (i == palette.size()) {
            if (palette.size() == 256) {
                std::fprintf(stderr, "resgen: more than 256 colours in an 8-bit bitmap\n");
                return {};
            }
            palette.push_back(p);
        }
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

std::vector<uint8_t> Ico32(const std::vector<Image>& images)
{
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    std::vector<uint8_t> data;
    for (const Image& img : images) {
        int maskStride = ((img.width + 31) / 32) * 4;
        uint32_t dataSize = 40 + img.width * img.height * 4 + maskStride * img.height;
        out.push_back(static_cast<uint8_t>(img.width));
        out.push_back(static_cast<uint8_t>(img.height));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, dataSize);
        Put32(out, offset);
        offset += dataSize;

        PutInfoHeader(data, img.width, img.height * 2, 32, 0, 0);
        PutPixelRows(data, img, true, img.width * 4);
        for (int y = img.height - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < img.width; ++x) {
                if (img.alpha[y * img.width + x] < 128)
                    row[x / 8] |= 0x80 >> (x % 8);
            }
            data.insert(data.end(), row.begin(), row.end());
        }
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
