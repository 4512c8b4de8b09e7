// window_paint_probe: when a program's window shows its content, as the X server has it.
// Used by window_open.sh to time a window from the click that opens it to the moment its
// pixels match a settled picture of it, for our window and a reference program alike.
//
//   window_paint_probe reference CLASS FILE [SETTLE_MS]
//       waits for a viewable top-level window whose WM_CLASS names CLASS, lets it settle,
//       and writes to FILE the picture and a mask of the pixels that changed across five
//       grabs one second apart (live values: counters, rates), widened by a few pixels
//       because the next value's glyphs cover pixels the last ones did not.
//   window_paint_probe wait CLASS FILE START_NS [TIMEOUT_MS]
//       polls the window until every pixel outside the mask matches the picture (a few
//       stray pixels allowed) and prints the milliseconds since START_NS (CLOCK_REALTIME,
//       as `date +%s%N` gives it), measured after the matching grab, and those to the
//       first sight of the window (mapped). Exit 1 on timeout.
//       With WINDOW_PAINT_PROBE_TRACE set, every grab's time and mismatch go to stderr.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <strings.h>
#include <thread>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

bool HasClass(Display* display, Window window, const char* wanted)
{
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return false;
    const bool match = (hint.res_name && strcasecmp(hint.res_name, wanted) == 0) ||
                       (hint.res_class && strcasecmp(hint.res_class, wanted) == 0);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

// The first viewable top-level window of the class (the server has no window manager,
// so top-level windows are the root's children).
std::optional<Window> FindWindow(Display* display, const char* wanted)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return std::nullopt;
    std::optional<Window> found;
    for (unsigned i = count; i-- > 0 && !found;) { // topmost first
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.width > 1 &&
            HasClass(display, children[i], wanted))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0; // a window that went away between finding and grabbing it
}

std::optional<Picture> Grab(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        return std::nullopt;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return std::nullopt;
    Picture picture{attributes.width, attributes.height, {}};
    picture.pixels.resize(static_cast<std::size_t>(picture.width) *
                          static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x)
            picture.pixels[static_cast<std::size_t>(y * picture.width + x)] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xffffffu;
    }
    XDestroyImage(image);
    return picture;
}

std::optional<Window> WaitForWindow(Display* display, const char* wanted, std::int64_t deadlineNs)
{
    while (NowNs() < deadlineNs) {
        if (auto window = FindWindow(display, wanted))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int Reference(Display* display, const char* wanted, const char* file, int settleMs)
{
    const auto window = WaitForWindow(display, wanted, NowNs() + 60'000'000'000);
    if (!window) {
        std::fprintf(stderr, "window_paint_probe: no %s window\n", wanted);
        return 1;
    }
    Sleep(settleMs);
    std::vector<Picture> grabs;
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            Sleep(1000);
        auto picture = Grab(display, *window);
        if (!picture)
            return 1;
        grabs.push_back(std::move(*picture));
    }
    const Picture& first = grabs.front();
    std::vector<std::uint8_t> live(first.pixels.size(), 0);
    for (const Picture& other : grabs) {
        if (other.width != first.width || other.height != first.height) {
            std::fprintf(stderr, "window_paint_probe: the window changed its size\n");
            return 1;
        }
        for (std::size_t i = 0; i < live.size(); ++i)
            live[i] = live[i] || other.pixels[i] != first.pixels[i];
    }
    constexpr int kWiden = 4;
    const std::vector<std::uint8_t> changed = live;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            if (!changed[static_cast<std::size_t>(y * first.width + x)])
                continue;
            for (int dy = std::max(0, y - kWiden); dy <= std::min(first.height - 1, y + kWiden);
                 ++dy) {
                for (int dx = std::max(0, x - kWiden); dx <= std::min(first.width - 1, x + kWiden);
                     ++dx)
                    live[static_cast<std::size_t>(dy * first.width + dx)] = 1;
            }
        }
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&first.width), sizeof first.width);
    out.write(reinterpret_cast<const char*>(&first.height), sizeof first.height);
    out.write(reinterpret_cast<const char*>(first.pixels.data()),
              static_cast<std::streamsize>(first.pixels.size() * sizeof(std::uint32_t)));
    out.write(reinterpret_cast<const char*>(live.data()),
              static_cast<std::streamsize>(live.size()));
    std::size_t liveCount = 0;
    for (const std::uint8_t bit : live)
        liveCount += bit;
    std::fprintf(stderr, "window_paint_probe: %s %dx%d, %zu live pixels\n", wanted, first.width,
                 first.height, liveCount);
    return out ? 0 : 1;
}

int Wait(Display* display, const char* wanted, const char* file, std::int64_t startNs,
         int timeoutMs)
{
    std::ifstream in(file, std::ios::binary);
    Picture reference;
    in.read(reinterpret_cast<char*>(&reference.width), sizeof reference.width);
    in.read(reinterpret_cast<char*>(&reference.height), sizeof reference.height);
    const std::size_t size =
        static_cast<std::size_t>(reference.width) * static_cast<std::size_t>(reference.height);
    reference.pixels.resize(size);
    std::vector<std::uint8_t> live(size);
    in.read(reinterpret_cast<char*>(reference.pixels.data()),
            static_cast<std::streamsize>(size * sizeof(std::uint32_t)));
    in.read(reinterpret_cast<char*>(live.data()), static_cast<std::streamsize>(size));
    if (!in) {
        std::fprintf(stderr, "window_paint_probe: cannot read %s\n", file);
        return 1;
    }
    // Anti-aliased edges may land a pixel apart between two runs; a page without its
    // values differs in thousands.
    const std::size_t allowed = size / 2000;
    const std::int64_t deadline = startNs + static_cast<std::int64_t>(timeoutMs) * 1'000'000;
    std::size_t lastMismatch = size;
    std::int64_t mapped = 0;
    const bool trace = std::getenv("WINDOW_PAINT_PROBE_TRACE") != nullptr;
    while (NowNs() < deadline) {
        const auto window = FindWindow(display, wanted);
        if (!window) {
            Sleep(2);
            continue;
        }
        if (mapped == 0)
            mapped = NowNs();
        const auto picture = Grab(display, *window);
        const std::int64_t grabbed = NowNs();
        if (!picture || picture->width != reference.width || picture->height != reference.height) {
            Sleep(2);
            continue;
        }
        std::size_t mismatch = 0;
        for (std::size_t i = 0; i < size; ++i)
            mismatch += !live[i] && picture->pixels[i] != reference.pixels[i];
        lastMismatch = mismatch;
        if (trace)
            std::fprintf(stderr, "%.1f ms: %zu pixels off\n",
                         static_cast<double>(grabbed - startNs) / 1e6, mismatch);
        if (mismatch <= allowed) {
            std::printf("%.1f %.1f\n", static_cast<double>(grabbed - startNs) / 1e6,
                        static_cast<double>(mapped - startNs) / 1e6);
            return 0;
        }
    }
    std::fprintf(stderr, "window_paint_probe: %s never matched (last grab: %zu pixels off)\n",
                 wanted, lastMismatch);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "reference" && (argc == 4 || argc == 5)) ||
          (mode == "wait" && (argc == 5 || argc == 6)))) {
        std::fprintf(stderr, "usage: window_paint_probe reference CLASS FILE [SETTLE_MS]\n"
                             "       window_paint_probe wait CLASS FILE START_NS [TIMEOUT_MS]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "window_paint_probe: no display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    const int status =
        mode == "reference"
            ? Reference(display, argv[2], argv[3], argc == 5 ? std::atoi(argv[4]) : 4000)
            : Wait(display, argv[2], argv[3], std::strtoll(argv[4], nullptr, 10),
                   argc == 6 ? std::atoi(argv[5]) : 30000);
    XCloseDisplay(display);
    return status;
}
