// Draws the programs' bitmaps and icons and writes them as BMP and ICO
// files. The results are kept in mdmprobe/res and setup/res; run this tool
// again only to change the pictures:
//   resgen mdmprobe|setup <output folder>
#include "Art.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "mdmprobe") != 0 && std::strcmp(argv[1], "setup") != 0)) {
        std::fprintf(stderr, "usage: resgen mdmprobe|setup <output folder>\n");
        return 2;
    }
    std::string dir = std::string(argv[2]) + "/";
    bool ok = std::strcmp(argv[1], "mdmprobe") == 0 ? WriteMdmprobeArt(dir) : WriteSetupArt(dir);
    if (!ok) {
        std::fprintf(stderr, "resgen: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
