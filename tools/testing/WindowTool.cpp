// quillfen-window: a small X11 helper for the end-to-end tests and the demo.
//
//   quillfen-window close NAME           send WM_DELETE_WINDOW, as a window manager does
//   quillfen-window shot NAME FILE.png   save the window's pixels as PNG
//   quillfen-window find NAME            print the window id (exit 1 when there is none)
//   quillfen-window watch-iconify NAME SECONDS
//                                        wait until a window of that name, there now or
//                                        made later, asks to be minimised (there may be
//                                        no window manager to do it); prints "watching"
//                                        on standard error once it listens
//   quillfen-window size NAME            print the window's width and height
//   quillfen-window colour NAME X Y      print the pixel's red, green and blue (0..255)
//   quillfen-window pixels NAME X Y W H [R G B TOL]
//                                        print "COUNT MINX MINY MAXX MAXY" of the pixels
//                                        of the rectangle that lie within TOL of the
//                                        colour on every channel (without a colour: that
//                                        are not black); the box is -1 -1 -1 -1 when none
//   quillfen-window watch-titles SECONDS print every title that a window created from now
//                                        on takes, one a line, in order (NAME is not used)
//
// NAME is the window title, matched exactly.
#include "tools/PngWriter.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{
int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

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

// Every channel of a pixel as 0..255.
struct Rgb
{
    int r, g, b;
};

Rgb PixelColour(XImage* image, unsigned long pixel)
{
    return Rgb{static_cast<int>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask)),
               static_cast<int>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask)),
               static_cast<int>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask))};
}

int Size(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return 1;
    std::printf("%d %d\n", attributes.width, attributes.height);
    return 0;
}

// Dark pixels count as black: the scaled and blended edges of drawn shapes are dim.
const int NOT_BLACK = 48;

int Pixels(Display* display, Window window, int argc, char** argv)
{
    if (argc != 7 && argc != 11)
        return 2;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return 1;
    // Clipped to the window: a rectangle partly outside it is allowed.
    const int x0 = std::max(0, std::atoi(argv[3]));
    const int y0 = std::max(0, std::atoi(argv[4]));
    const int x1 = std::min(attributes.width, std::atoi(argv[3]) + std::atoi(argv[5]));
    const int y1 = std::min(attributes.height, std::atoi(argv[4]) + std::atoi(argv[6]));
    const bool anyColour = argc == 7;
    const Rgb wanted = anyColour ? Rgb{0, 0, 0} : Rgb{std::atoi(argv[7]), std::atoi(argv[8]), std::atoi(argv[9])};
    const int tolerance = anyColour ? 0 : std::atoi(argv[10]);
    long count = 0;
    int minX = -1, minY = -1, maxX = -1, maxY = -1;
    if (x1 > x0 && y1 > y0)
    {
        XImage* image = XGetImage(display, window, x0, y0, x1 - x0, y1 - y0, AllPlanes, ZPixmap);
        if (!image)
            return 1;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
            {
                const Rgb c = PixelColour(image, XGetPixel(image, x - x0, y - y0));
                const bool match = anyColour ? std::max({c.r, c.g, c.b}) > NOT_BLACK
                                             : std::abs(c.r - wanted.r) <= tolerance &&
                                                   std::abs(c.g - wanted.g) <= tolerance &&
                                                   std::abs(c.b - wanted.b) <= tolerance;
                if (!match)
                    continue;
                if (count == 0)
                {
                    minX = maxX = x;
                    minY = y;
                }
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                maxY = y;  // rows are read from the top
                ++count;
            }
        XDestroyImage(image);
    }
    std::printf("%ld %d %d %d %d\n", count, minX, minY, maxX, maxY);
    return 0;
}

int Colour(Display* display, Window window, int x, int y)
{
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 1;
    const Rgb c = PixelColour(image, XGetPixel(image, 0, 0));
    XDestroyImage(image);
    std::printf("%d %d %d\n", c.r, c.g, c.b);
    return 0;
}

// Listens to the creation of every window from now on, and says so on standard
// error ("watching"), so that a caller can start the game only then.
void StartWatchingWindows(Display* display)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::fprintf(stderr, "watching\n");
}

// Follows every new window from its creation, so that a title it holds only for a
// moment is seen as often as the timing allows; it prints "watching" on standard
// error once it listens. A title replaced before it could be read is missed.
int WatchTitles(Display* display, double seconds)
{
    StartWatchingWindows(display);
    const Atom wmName = XInternAtom(display, "WM_NAME", False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string last;
    auto report = [&](Window window) {
        char* title = nullptr;
        if (XFetchName(display, window, &title) && title)
        {
            if (last != title)
            {
                last = title;
                std::printf("%s\n", title);
                std::fflush(stdout);
            }
            XFree(title);
        }
    };
    while (std::chrono::steady_clock::now() < deadline)
    {
        if (!XPending(display))
        {
            // Wake as soon as the server has something for us.
            pollfd connection{ConnectionNumber(display), POLLIN, 0};
            poll(&connection, 1, 50);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == CreateNotify)
        {
            XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
            // The title may have been set before the selection took effect.
            report(event.xcreatewindow.window);
        }
        else if (event.type == PropertyNotify && event.xproperty.atom == wmName)
            report(event.xproperty.window);
    }
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
            const Rgb c = PixelColour(image, XGetPixel(image, x, y));
            png.pixels.push_back(static_cast<unsigned char>(c.r));
            png.pixels.push_back(static_cast<unsigned char>(c.g));
            png.pixels.push_back(static_cast<unsigned char>(c.b));
        }
    XDestroyImage(image);
    return WritePng(file, png) ? 0 : 1;
}

// XIconifyWindow sends WM_CHANGE_STATE with IconicState to the root window.
bool HasName(Display* display, Window window, const std::string& name)
{
    char* title = nullptr;
    if (!XFetchName(display, window, &title) || !title)
        return false;
    const bool match = name == title;
    XFree(title);
    return match;
}

int WatchIconify(Display* display, const std::string& name, double seconds)
{
    StartWatchingWindows(display);
    const Atom changeState = XInternAtom(display, "WM_CHANGE_STATE", False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline)
    {
        while (XPending(display))
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && event.xclient.message_type == changeState &&
                event.xclient.data.l[0] == IconicState && HasName(display, event.xclient.window, name))
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
        std::fprintf(stderr, "usage: %s close|shot|find|size|colour|pixels|watch-iconify NAME [FILE|SECONDS|X Y|X Y W H [R G B TOL]]\n       %s watch-titles SECONDS\n", argv[0], argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "cannot open the X display\n");
        return 2;
    }
    // Windows come and go while the game starts and ends: a failed request on one
    // must not end this program, it only means "not there".
    XSetErrorHandler(IgnoreErrors);
    const std::string command = argv[1];
    if (command == "watch-titles" || command == "watch-iconify")
    {
        const int status = command == "watch-titles" ? WatchTitles(display, std::atof(argv[2]))
                                                     : WatchIconify(display, argv[2], argc > 3 ? std::atof(argv[3]) : 30.0);
        XCloseDisplay(display);
        return status;
    }
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
    else if (command == "size")
        status = Size(display, window);
    else if (command == "colour" && argc == 5)
        status = Colour(display, window, std::atoi(argv[3]), std::atoi(argv[4]));
    else if (command == "pixels")
        status = Pixels(display, window, argc, argv);
    else
        status = 2;
    XCloseDisplay(display);
    return status;
}
