// quillfen-window: a small X11 helper for the end-to-end tests and the demo.
//
//   quillfen-window close NAME           send WM_DELETE_WINDOW, as a window manager does
//   quillfen-window shot NAME FILE.png   save the window's pixels as PNG
//   quillfen-window find NAME            print the window id (exit 1 when there is none)
//   quillfen-window watch-iconify NAME SECONDS
//                                        wait until the window asks to be minimised
//                                        (there may be no window manager to do it)
//
// NAME is the window title, matched exactly.
#include "tools/PngWriter.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{
Window FindByName(Display* display, Window parent, const std::string& name)
{
    char* title = nullptr;
    if (XFetchName(display, parent, &title) && title)
    {
        const bool match = name == title;
        XFree(title);
        if (match)
            return parent;
    }
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i)
        found = FindByName(display, children[i], name);
    if (children)
        XFree(children);
    return found;
}

int Close(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

int Shot(Display* display, Window window, const char* file)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return 1;
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return 1;
    PngImage png;
    png.width = attributes.width;
    png.height = attributes.height;
    png.channels = 3;
    png.pixels.reserve(static_cast<size_t>(png.width) * png.height * 3);
    for (int y = 0; y < png.height; ++y)
        for (int x = 0; x < png.width; ++x)
        {
            const unsigned long pixel = XGetPixel(image, x, y);
            png.pixels.push_back(static_cast<unsigned char>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask)));
            png.pixels.push_back(static_cast<unsigned char>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask)));
            png.pixels.push_back(static_cast<unsigned char>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask)));
        }
    XDestroyImage(image);
    return WritePng(file, png) ? 0 : 1;
}

// XIconifyWindow sends WM_CHANGE_STATE with IconicState to the root window.
int WatchIconify(Display* display, Window window, double seconds)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    const Atom changeState = XInternAtom(display, "WM_CHANGE_STATE", False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == changeState &&
                event.xclient.window == window && event.xclient.data.l[0] == IconicState)
                return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s close|shot|find|watch-iconify NAME [FILE|SECONDS]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    const std::string command = argv[1];
    const Window window = FindByName(display, DefaultRootWindow(display), argv[2]);
    int status = 1;
    if (!window)
        status = 1;
    else if (command == "find")
    {
        std::printf("%lu\n", static_cast<unsigned long>(window));
        status = 0;
    }
    else if (command == "close")
        status = Close(display, window);
    else if (command == "shot" && argc > 3)
        status = Shot(display, window, argv[3]);
    else if (command == "watch-iconify")
        status = WatchIconify(display, window, argc > 3 ? std::atof(argv[3]) : 30.0);
    else
        status = 2;
    XCloseDisplay(display);
    return status;
}
