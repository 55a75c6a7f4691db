// BMP and ICO file contents of pictures.
#pragma once

#include "Image.h"

#include <string>
#include <vector>

// 24-bit bottom-up BMP.
std::vector<uint8_t> Bmp24(const Image& img);
// 8-bit palette BMP; fails (empty result) on more than 256 colours.
std::vector<uint8_t> Bmp8(const Image& img);
// 32-bit BMP whose fourth byte is the alpha channel (not premultiplied).
std::vector<uint8_t> Bmp32(const Image& img);
// ICO with one 32-bit image and AND mask per picture, in the given order.
std::vector<uint8_t> Ico32(const std::vector<Image>& images);

// Writes `bytes` to `path`; false when it fails or `bytes` is empty.
bool Save(const std::string& path, const std::vector<uint8_t>& bytes);
