// A stand-in for a screen-saver host's window: a grey window of the given size and place, whose
// id is printed (in hex) once it is on the screen. It then obeys lines on its standard input,
// answering each with "done": "resize W H" resizes it, "destroy" destroys it (the program stays),
// "quit" ends the program. It also paints the root window dark blue, so a screenshot tells the
// desk, the host's grey and the show's black apart.
// Usage: host_window X Y WIDTH HEIGHT

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void WaitMapped(Display* display, Window window) {
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: host_window X Y WIDTH HEIGHT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    XSetWindowBackground(display, RootWindow(display, screen), 0x203050);
    XClearWindow(display, RootWindow(display, screen));
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x404040;  // grey, told apart from the show's black
    attributes.override_redirect = True;     // placed exactly, with or without a window manager
    attributes.event_mask = StructureNotifyMask;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), std::atoi(argv[1]), std::atoi(argv[2]),
                      static_cast<unsigned>(std::atoi(argv[3])),
                      static_cast<unsigned>(std::atoi(argv[4])), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapWindow(display, window);
    WaitMapped(display, window);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    char line[128];
    bool exists = true;
    while (std::fgets(line, sizeof line, stdin)) {
        unsigned width = 0, height = 0;
        if (std::sscanf(line, "resize %u %u", &width, &height) == 2 && exists) {
            XResizeWindow(display, window, width, height);
        } else if (std::strncmp(line, "destroy", 7) == 0 && exists) {
            XDestroyWindow(display, window);
            exists = false;
        } else if (std::strncmp(line, "quit", 4) == 0) {
            break;
        }
        XSync(display, False);
        std::printf("done\n");
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
