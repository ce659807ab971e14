// The render tests' entry point: one GLUT window per process, opened lazily so that
// listing the tests needs no display.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <tuple>

#include "RenderSupport.h"

// After GoogleTest, whose names Xlib's macros (None, Bool) would take.
#include <GL/glx.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

namespace {

auto globals() {
    return std::tie(zoom, transX, transY, transZ, angleUpDown, angleLeftRight, initialTime, seconds, started, won,
                    blimpView, help, shadow, mouseTrans, mouseRot, startTransX, startTransY, startRotX, startRotY,
                    startZoomY, light4_pos[0], light4_pos[1], light4_pos[2]);
}
template <class... T>
std::tuple<T...> values(std::tuple<T&...> refs) { return refs; }
decltype(values(globals())) initial;  // taken as main starts

}  // namespace

void frame() {
    displayCallback();
    glFinish();
    GLint got[4];
    const GLenum names[] = {GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH, GL_MATRIX_MODE};
    for (int i = 0; i < 3; ++i) glGetIntegerv(names[i], &got[i]);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &got[3]);
    EXPECT_EQ(std::vector<GLint>(got, got + 4), (std::vector<GLint>{1, 1, GL_MODELVIEW, GL_MODULATE}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ((std::vector<GLboolean>{glIsEnabled(GL_TEXTURE_2D), glIsEnabled(GL_BLEND), glIsEnabled(GL_LIGHTING)}),
              (std::vector<GLboolean>{GL_FALSE, GL_FALSE, GL_TRUE}));
}

// What the window shows after the swap, as the X server holds it: anything drawn after the
// swap, or a swap left out, shows here as the player would see it.
std::vector<unsigned char> readFrame() {
    Display* display = glXGetCurrentDisplay();
    XWindowAttributes window;
    glFinish();
    XGetWindowAttributes(display, glXGetCurrentDrawable(), &window);
    // The frame fills the bottom-left w x h of the window; X counts rows from the top.
    XImage* image = XGetImage(display, glXGetCurrentDrawable(), 0, window.height - h, w, h, AllPlanes, ZPixmap);
    std::vector<unsigned char> rgb;
    for (int row = h - 1; image != nullptr && row >= 0; --row)
        for (int column = 0; column < w; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            for (unsigned long mask : {image->red_mask, image->green_mask, image->blue_mask})
                rgb.push_back(static_cast<unsigned char>((pixel & mask) / (mask & -mask)));
        }
    if (image != nullptr) XDestroyImage(image);
    EXPECT_EQ(rgb.size(), size_t(w) * h * 3) << "cannot read the window's pixels";
    rgb.resize(size_t(w) * h * 3);  // so that a frame not read still compares, and differs
    return rgb;
}

void resetShellState() {
    globals() = initial;
    dog.~Dog();
    new (&dog) Dog(0.0f, 0.0f, 0.0f);
    scene.~Scene();
    new (&scene) Scene(20);
}

bool png(bool write, const std::string& path, int width, int height, std::vector<unsigned char>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.format = PNG_FORMAT_RGB;
    image.width = width, image.height = height;
    if (write) return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), -width * 3, nullptr);
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(width * height * 3);
    if (int(image.width) == width && int(image.height) == height) {
        return png_image_finish_read(&image, nullptr, rgb.data(), -width * 3, nullptr);
    }
    png_image_free(&image);
    return false;
}

void press(unsigned char key, int times) {
    for (int i = 0; i < times; ++i) keyCallback(key, 0, 0);
}

void aimCamera(float x, float y, float z, float yaw, float pitch, float distance) {
    std::tie(transX, transY, transZ, angleLeftRight, angleUpDown, zoom) = std::tie(x, y, z, yaw, pitch, distance);
}

int main(int argc, char** argv) {
    initial = globals();
    testing::InitGoogleTest(&argc, argv);
    // Without a display nothing can be drawn: a failed run, never a passed or skipped one.
    if (!GTEST_FLAG_GET(list_tests)) {
        if (std::getenv("DISPLAY") == nullptr) {
            std::fprintf(stderr, "render_tests: no display (DISPLAY is unset): run under Xvfb, as scripts/test does\n");
            return 1;
        }
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
        glutInitWindowSize(1024, 768);
        glutCreateWindow("Assignment 3 - Pellowin");
        // The server keeps the window's pixels whole off screen, so test windows side by side
        // (or a desktop's windows) never cover the frame readFrame reads.
        int event, error;
        if (!XCompositeQueryExtension(glXGetCurrentDisplay(), &event, &error)) {
            std::fprintf(stderr, "render_tests: the X server has no Composite extension\n");
            return 1;
        }
        XCompositeRedirectWindow(glXGetCurrentDisplay(), glXGetCurrentDrawable(), CompositeRedirectAutomatic);
        init();
        myReshape(1024, 768);
    }
    return RUN_ALL_TESTS();
}
