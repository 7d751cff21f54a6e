// Another program on the desk, for the end-to-end tests of the show's hold on it.
//   desk_probe grabs                  prints "keyboard held|free pointer held|free": whether some
//                                     other client holds the keyboard and pointer grabs
//   desk_probe keys <seconds>         a window named "DESK PROBE" that takes the input focus and
//                                     prints how many keys reached it in that time
//   desk_probe hold <seconds>         takes the keyboard and pointer grabs and keeps them that
//   long;
//                                     prints "holding" once it has both
//   desk_probe intrude <x> <y> <w> <h> <seconds>
//                                     a red window mapped above everything, outside the window
//                                     manager's hands, as notifications often are
//   desk_probe close <window>         sends the window a close request (WM_DELETE_WINDOW), as a
//                                     window manager's close button does
//   desk_probe destroy <window>       destroys another program's window
//   desk_probe reparent <window> <seconds>
//                                     puts another program's window into an unmapped window of
//                                     its own and keeps it there that long

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const char* HeldOrFree(int status) {
    return status == AlreadyGrabbed || status == GrabFrozen ? "held" : "free";
}

int Grabs(Display* display) {
    const Window root = DefaultRootWindow(display);
    const int keyboard =
        XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
    const int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);
    XSync(display, False);
    std::printf("keyboard %s pointer %s\n", HeldOrFree(keyboard), HeldOrFree(pointer));
    return 0;
}

int Hold(Display* display, double seconds) {
    const Window root = DefaultRootWindow(display);
    const int keyboard =
        XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    const int pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync,
                                     GrabModeAsync, None, None, CurrentTime);
    if (keyboard != GrabSuccess || pointer != GrabSuccess) {
        std::printf("not holding\n");
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 0;
}

// Runs the window's events until the time is up; returns the keys that arrived.
int RunFor(Display* display, Window window, double seconds, bool takeFocus) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int keys = 0;
    bool mapped = false;
    while (Clock::now() < end) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == KeyPress) ++keys;
            if (event.type == MapNotify && !mapped) {
                mapped = true;
                if (takeFocus) XSetInputFocus(display, window, RevertToParent, CurrentTime);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return keys;
}

int Keys(Display* display, double seconds) {
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 50, 50, 300, 100, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, "DESK PROBE");
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapRaised(display, window);
    std::printf("%d\n", RunFor(display, window, seconds, true));
    return 0;
}

int Intrude(Display* display, int x, int y, int w, int h, double seconds) {
    const int screen = DefaultScreen(display);
    XColor red;
    XAllocNamedColor(display, DefaultColormap(display, screen), "red", &red, &red);
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.background_pixel = red.pixel;
    const Window window =
        XCreateWindow(display, RootWindow(display, screen), x, y, static_cast<unsigned>(w),
                      static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel, &attributes);
    XStoreName(display, window, "DESK INTRUDER");
    XSelectInput(display, window, StructureNotifyMask);
    XMapRaised(display, window);
    RunFor(display, window, seconds, false);
    return 0;
}

int Close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int Destroy(Display* display, Window window) {
    XDestroyWindow(display, window);
    XSync(display, False);
    return 0;
}

int Reparent(Display* display, Window window, double seconds) {
    const Window pocket =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XReparentWindow(display, window, pocket, 0, 0);
    XSync(display, False);
    // The pocket, and whatever is still in it, goes when this program ends.
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const char* mode = argc > 1 ? argv[1] : "";
    int status = 2;
    if (std::strcmp(mode, "grabs") == 0)
        status = Grabs(display);
    else if (std::strcmp(mode, "keys") == 0 && argc > 2)
        status = Keys(display, std::atof(argv[2]));
    else if (std::strcmp(mode, "hold") == 0 && argc > 2)
        status = Hold(display, std::atof(argv[2]));
    else if (std::strcmp(mode, "intrude") == 0 && argc > 6)
        status = Intrude(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         std::atoi(argv[5]), std::atof(argv[6]));
    else if (std::strcmp(mode, "close") == 0 && argc > 2)
        status = Close(display, std::strtoul(argv[2], nullptr, 0));
    else if (std::strcmp(mode, "destroy") == 0 && argc > 2)
        status = Destroy(display, std::strtoul(argv[2], nullptr, 0));
    else if (std::strcmp(mode, "reparent") == 0 && argc > 3)
        status = Reparent(display, std::strtoul(argv[2], nullptr, 0), std::atof(argv[3]));
    else
        std::fprintf(stderr,
                     "usage: desk_probe grabs | keys <s> | hold <s> | intrude <x> <y> <w> <h> <s>"
                     " | close <window> | destroy <window> | reparent <window> <s>\n");
    XCloseDisplay(display);
    return status;
}
