// Times exec → window mapped for lumora (from a scratch program directory) and for a bare
// Qt window of the same size, alternating, and prints the medians and their ratio.
// "Mapped" is the X server's MapNotify for an 845 × 628 child of the root window, watched
// with SubstructureNotify on the root, so nothing polls. "Drawn" is when the window's centre
// pixel first turns from the black of a window nothing has drawn in yet, polled every
// half millisecond once it is mapped: lumora draws its scene there, the bare window its grey.
//
// Usage: bench_startup [runs]   (needs an X display; bench/startup/run.sh starts one)

#include <xcb/xcb.h>

#include <spawn.h>
#include <sys/wait.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int windowWidth = 845;
constexpr int windowHeight = 628;
constexpr auto mapLimit = std::chrono::seconds(60);

class MapWatcher
{
public:
    MapWatcher()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_ok = true;
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }

    bool ok() const { return m_ok; }

    void drain()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
    }

    struct Mapped
    {
        xcb_window_t window;
        Clock::time_point when;
    };

    // Waits for the first window of the launcher's size to be mapped; answers which and when.
    std::optional<Mapped> waitForMap()
    {
        const auto deadline = Clock::now() + mapLimit;
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const auto now = Clock::now();
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                free(event);
                if (mapped && hasLauncherSize(window))
                    return Mapped{window, now};
            }
            if (xcb_connection_has_error(m_connection))
                return std::nullopt;
            pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&descriptor, 1, 100);
        }
        return std::nullopt;
    }

    // Waits for the window's centre pixel to be drawn; answers when it was.
    std::optional<Clock::time_point> waitForDrawing(xcb_window_t window)
    {
        const auto deadline = Clock::now() + mapLimit;
        while (Clock::now() < deadline) {
            xcb_get_image_reply_t *image = xcb_get_image_reply(
                m_connection,
                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, windowWidth / 2, windowHeight / 2, 1, 1,
                              ~0u),
                nullptr);
            const auto now = Clock::now();
            if (!image)
                return std::nullopt;
            const uint8_t *pixel = xcb_get_image_data(image);
            const bool drawn = xcb_get_image_data_length(image) >= 3 && (pixel[0] | pixel[1] | pixel[2]) != 0;
            free(image);
            if (drawn)
                return now;
            ::usleep(500);
        }
        return std::nullopt;
    }

private:
    bool hasLauncherSize(xcb_window_t window)
    {
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool match = geometry && geometry->width == windowWidth && geometry->height == windowHeight;
        free(geometry);
        return match;
    }

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    bool m_ok = false;
};

struct StartTimes
{
    double mapped;
    double drawn;
};

std::optional<StartTimes> timeStart(MapWatcher &watcher, const std::string &program)
{
    watcher.drain();
    char *const arguments[] = {const_cast<char *>(program.c_str()), nullptr};
    pid_t child = 0;
    const auto start = Clock::now();
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0)
        return std::nullopt;
    const auto mapped = watcher.waitForMap();
    const auto drawn = mapped ? watcher.waitForDrawing(mapped->window) : std::nullopt;
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!mapped || !drawn)
        return std::nullopt;
    const auto since = [start](Clock::time_point moment) {
        return std::chrono::duration<double, std::milli>(moment - start).count();
    };
    return StartTimes{since(mapped->when), since(*drawn)};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    MapWatcher watcher;
    if (!watcher.ok()) {
        std::fprintf(stderr, "bench_startup: no X display\n");
        return 2;
    }

    // lumora runs from a program directory of its own, with the pictures its windows read.
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/kivora-bench-startup-XXXXXX";
    if (!::mkdtemp(pattern))
        return 2;
    const fs::path directory(pattern);
    fs::copy_file(KIVORA_LUMORA, directory / "lumora");
    const fs::path pictures(KIVORA_PICTURES);
    fs::copy_file(pictures / "10.png", directory / "10.png");
    fs::copy_file(pictures / "category_background.png", directory / "ipadmain3.png");
    fs::copy_file(pictures / "category_panel.jpg", directory / "1003.jpg");
    const std::string lumora = (directory / "lumora").string();
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);

    // One unmeasured start of each warms the file cache.
    timeStart(watcher, lumora);
    timeStart(watcher, KIVORA_BARE_WINDOW);

    std::vector<double> lumoraTimes, bareTimes, lumoraDrawn, bareDrawn;
    for (int run = 0; run < runs; ++run) {
        const auto a = timeStart(watcher, lumora);
        const auto b = timeStart(watcher, KIVORA_BARE_WINDOW);
        if (!a || !b) {
            std::fprintf(stderr, "bench_startup: a window was not mapped and drawn within the limit\n");
            fs::remove_all(directory);
            return 1;
        }
        lumoraTimes.push_back(a->mapped);
        bareTimes.push_back(b->mapped);
        lumoraDrawn.push_back(a->drawn);
        bareDrawn.push_back(b->drawn);
        std::printf("run %2d  mapped: lumora %7.1f ms  bare window %7.1f ms   drawn: lumora %7.1f ms  bare window %7.1f ms\n",
                    run + 1, a->mapped, b->mapped, a->drawn, b->drawn);
    }
    fs::remove_all(directory);

    const double lumoraMedian = median(lumoraTimes);
    const double bareMedian = median(bareTimes);
    std::printf("drawn, median over %d runs: lumora %.1f ms, bare window %.1f ms, ratio %.2f\n", runs,
                median(lumoraDrawn), median(bareDrawn), median(lumoraDrawn) / median(bareDrawn));
    std::printf("median over %d runs: lumora %.1f ms, bare window %.1f ms, ratio %.2f (target <= 2)\n", runs,
                lumoraMedian, bareMedian, lumoraMedian / bareMedian);
    return 0;
}
