// The map hook, in this process's own X connection: it names the one window mapped next after
// nameWindowAtNextMap, and no window before or after it.
#include "RenderSupport.h"
#include "desktop.h"

#include <GL/glx.h>  // after GoogleTest: Xlib defines None and Bool as macros
#include <X11/Xutil.h>

TEST(MapHook, NamesTheNextWindowMappedAndNoOther) {
    Display* display = glXGetCurrentDisplay();
    ASSERT_NE(display, nullptr);
    for (int i = 0; i < 3; ++i) {
        if (i == 1) nameWindowAtNextMap();
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 8, 8, 0, 0, 0);
        XMapWindow(display, window);
        XClassHint hint{};
        const bool named = XGetClassHint(display, window, &hint);  // a round trip: the map went out
        EXPECT_EQ(named ? std::string(hint.res_name) + "." + hint.res_class : "-", i == 1 ? "boneyard.Boneyard" : "-")
            << "window " << i;
        if (named) XFree(hint.res_name), XFree(hint.res_class);
        XDestroyWindow(display, window);
    }
}
