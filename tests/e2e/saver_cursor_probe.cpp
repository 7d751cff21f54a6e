// Prints "hidden" when the X pointer's current cursor image has no visible pixel, else "visible".
// Used by the saver's end-to-end test to see that the cursor disappears over the show.

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) {
        std::fprintf(stderr, "no cursor image\n");
        return 2;
    }
    bool visible = false;
    const unsigned long count = static_cast<unsigned long>(image->width) * image->height;
    for (unsigned long i = 0; i < count; ++i)
        if ((image->pixels[i] >> 24) & 0xff) visible = true;  // any opaque pixel (ARGB)
    std::printf("%s\n", visible ? "visible" : "hidden");
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
