// The classic wizard's pages get a layout close to the Wizard 97 look: the
// exterior pages (welcome, finish, removal) a watermark bitmap on the left,
// the interior pages a header with title, subtitle and a separator line.
// Works on template bytes (see DialogTemplate.h); positions in dialog units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Control ids of the header that interior pages get.
constexpr uint32_t kHeaderTitleId = 65520;
constexpr uint32_t kHeaderSubtitleId = 65521;

// Exterior page: every control 7 up, the dialog 14 lower, and a static
// bitmap control (id -1) at 0,0 of 95 x 179 showing bitmap `bitmapId`.
std::vector<uint8_t> MakeWelcomePageTemplate(const uint8_t* data, size_t size, uint16_t bitmapId);

// Interior page: every control 36 down, the dialog 36 higher, and the
// header title (65520), subtitle (65521) and separator line (id -1) added.
std::vector<uint8_t> MakeInteriorPageTemplate(const uint8_t* data, size_t size,
                                              const std::u16string& title,
                                              const std::u16string& subtitle);
