// Checks a cabinet file (Microsoft CAB) of the installation medium before
// the Setup API extracts anything from it: its header, the size it declares,
// the chain of data blocks of every folder with their checksums, that stored
// and MSZIP data gives the bytes each block claims (DeflateCheck.h), and
// where every member lies. A truncated or damaged cabinet is refused with a reason
// instead of being handed to the platform's extraction, which may copy cut
// files without an error or fail badly on damaged data.
// Plain bytes only; built and tested on the host.
#pragma once

#include <cstddef>
#include <string>

// True when the `size` bytes at `data` are a whole, undamaged cabinet;
// otherwise false, and `problem` says what is wrong ("cut short: 412729 bytes
// declared, 206364 present", "data block 3 of folder 1: checksum ...").
// Members continued in another cabinet are not followed. May throw
// std::bad_alloc (one 8-byte figure per folder).
bool CheckCabinet(const unsigned char* data, size_t size, std::string& problem);
