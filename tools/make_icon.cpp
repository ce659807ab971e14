// make_icon: draws the icon whose picture is in src/icon/, the same bytes on every run.
//   make_icon FOLDER               writes the desktop icon, "boneyard.svg", into FOLDER
//   make_icon --window-icon FILE   writes the window's pixel icons as a C++ source file (the
//                                  build does this, for the game to link; see windowicon.h)

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "icon.h"
#include "windowicon.h"

namespace {

// The icon's sizes as one array of unsigned longs, eight pixels to a line.
std::string windowIconSource() {
    std::string text = "// Made by tools/make_icon when the game is built, from src/icon/icon.cpp: edit that.\n"
                       "#include \"windowicon.h\"\n\nconst unsigned long WINDOW_ICON[] = {\n";
    char value[16];
    for (int size : WINDOW_ICON_SIZES) {
        text += std::to_string(size) + ", " + std::to_string(size) + ",\n";
        const std::vector<std::uint32_t> pixels = iconPixels(size);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            std::snprintf(value, sizeof value, "0x%08x,", static_cast<unsigned>(pixels[i]));
            text += value;
            text += i % 8 == 7 ? "\n" : " ";
        }
    }
    return text + "};\nconst std::size_t WINDOW_ICON_LENGTH = sizeof WINDOW_ICON / sizeof WINDOW_ICON[0];\n";
}

int write(const std::string& path, const std::string& contents) {
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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && argv[1][0] != '-') return write(std::string(argv[1]) + "/boneyard.svg", iconSvg());
    if (argc == 3 && std::strcmp(argv[1], "--window-icon") == 0) return write(argv[2], windowIconSource());
    std::fprintf(stderr, "usage: make_icon OUTPUT_FOLDER\n       make_icon --window-icon OUTPUT_FILE\n");
    return 2;
}
