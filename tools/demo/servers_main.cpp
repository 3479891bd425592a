// kivora-demo-servers: the streaming, download and update servers of a demo
// installation, on loopback ports.
//
//   kivora-demo-servers --content DIR --update-dir DIR
//       [--stream-port 18081] [--download-port 18082] [--update-port 18083]
//       [--download-rate 200k]
//
// Port 0 picks a free port. Prints "listening NAME http://127.0.0.1:PORT" for
// each server, then "ready"; logs one line per request; stops on SIGINT/SIGTERM.
// The update server answers "/erge/update.txt" from DIR/erge/update.txt, or
// from DIR/update.txt when that is missing.

#include "tools/demo/demofileserver.h"
#include "tools/demo/transferrate.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

struct Options {
    std::string content;
    std::string updateDir;
    int streamPort = 18081;
    int downloadPort = 18082;
    int updatePort = 18083;
    std::uint64_t downloadRate = 0;
};

bool parsePort(const char *text, int &port)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

bool parseOptions(int argc, char *argv[], Options &options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const char *value = argv[++i];
        if (arg == "--content") {
            options.content = value;
        } else if (arg == "--update-dir") {
            options.updateDir = value;
        } else if (arg == "--stream-port") {
            if (!parsePort(value, options.streamPort))
                return false;
        } else if (arg == "--download-port") {
            if (!parsePort(value, options.downloadPort))
                return false;
        } else if (arg == "--update-port") {
            if (!parsePort(value, options.updatePort))
                return false;
        } else if (arg == "--download-rate") {
            const auto rate = kivora::demo::parseTransferRate(value);
            if (!rate)
                return false;
            options.downloadRate = *rate;
        } else {
            return false;
        }
    }
    return !options.content.empty() && !options.updateDir.empty();
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: kivora-demo-servers --content DIR --update-dir DIR [--stream-port N]\n"
                     "       [--download-port N] [--update-port N] [--download-rate RATE (e.g. 200k)]\n");
        return 2;
    }

    // Every thread started from here on inherits the blocked signals, so
    // only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::mutex outputMutex;
    auto log = [&outputMutex](const std::string &line) {
        const std::lock_guard<std::mutex> lock(outputMutex);
        std::cout << line << std::endl;
    };

    using kivora::demo::DemoFileServer;
    DemoFileServer stream("stream", options.content, log);
    DemoFileServer download("download", options.content, log);
    DemoFileServer update("update", options.updateDir, log);
    download.setRate(options.downloadRate);
    update.addFallback("/erge/update.txt", std::filesystem::path(options.updateDir) / "update.txt");

    struct Entry {
        const char *name;
        DemoFileServer *server;
        int port;
    };
    std::vector<Entry> servers{{"stream", &stream, options.streamPort},
                               {"download", &download, options.downloadPort},
                               {"update", &update, options.updatePort}};
    for (Entry &entry : servers) {
        const int port = entry.server->bind("127.0.0.1", entry.port);
        if (port < 0) {
            std::fprintf(stderr, "kivora-demo-servers: cannot listen on 127.0.0.1:%d for %s\n", entry.port, entry.name);
            return 1;
        }
        log(std::string("listening ") + entry.name + " http://127.0.0.1:" + std::to_string(port));
    }

    std::vector<std::thread> threads;
    for (Entry &entry : servers)
        threads.emplace_back([server = entry.server]() { server->run(); });
    log("ready");

    int signal = 0;
    sigwait(&stopSignals, &signal);
    log(std::string("stopping on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    for (Entry &entry : servers)
        entry.server->stop();
    for (std::thread &thread : threads)
        thread.join();
    return 0;
}
