// Checks that compressed data decodes as deflate (RFC 1951) to exactly the
// size it claims, without producing it: every block type, Huffman table,
// symbol, length and distance is checked, and every distance must point into
// what was decoded before (the window). Damaged data that still fits its
// checksum is found this way before the platform's decompressor meets it.
// Plain bytes only; built and tested on the host.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the deflate blocks at `data` until a block ends with `expected`
// bytes decoded, or the final block ends. `windowBytes` is how much decoded
// data lies before (distances may reach up to 32768 bytes back into it).
// True when that gives exactly `expected` bytes within `size` input bytes.
bool DeflateDecodesTo(const unsigned char* data, size_t size, size_t expected, uint64_t windowBytes);
