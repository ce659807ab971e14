// make_icon: writes the desktop icon, "boneyard.svg", into the folder given as the only
// argument. The output is the same bytes on every run. The picture itself is in src/icon/,
// which also draws it as the game window's pixel icons.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string contents = iconSvg();
    const std::string path = std::string(argv[1]) + "/boneyard.svg";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "make_icon: %s: cannot open: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    const int  writeError = errno;
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_icon: %s: cannot write: %s\n", path.c_str(),
                     std::strerror(written ? errno : writeError));
        return 1;
    }
    return 0;
}
