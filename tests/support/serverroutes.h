#pragma once

#include "tests/support/loopbackserver.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace kivora::test {

// The routes that the download tests use, all serving `body` (or a part of it):
//   /fixed         the body with Content-Length
//   /chunked       the body in chunks, no length
//   /empty         an empty body with Content-Length 0
//   /redirect      302 to /fixed
//   /loop          302 to itself
//   /elsewhere     302 to an ftp address
//   /short         Content-Length of the body, half of it, then the connection closes
//   /shortchunked  half of the body in chunks, then the connection closes
//   /stall         Content-Length of the body, half of it, then silence until the stall gate opens
//   /pause         Content-Length of the body, half of it, then the rest once the stall gate opens
//   /silent        no answer at all until the stall gate opens
//   anything else  404
// `requests` counts every request; `halfSent` is set once a stalling route has sent its half.
inline constexpr std::size_t servedPiece = 64 * 1024;

inline void addDownloadRoutes(LoopbackServer &loopback, const std::string &body, std::atomic<int> &requests,
                              std::atomic<bool> &halfSent)
{
    httplib::Server &server = loopback.server();
    Gate *stall = &loopback.stallGate();
    const std::size_t half = body.size() / 2;

    server.set_pre_routing_handler([&requests](const httplib::Request &, httplib::Response &) {
        ++requests;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Get("/fixed", [body](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(body.size(), "application/octet-stream",
                                 [body](std::size_t offset, std::size_t length, httplib::DataSink &sink) {
                                     return sink.write(body.data() + offset, std::min(length, servedPiece));
                                 });
    });
    server.Get("/chunked", [body](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [body](std::size_t offset, httplib::DataSink &sink) {
                                             if (offset >= body.size()) {
                                                 sink.done();
                                                 return true;
                                             }
                                             return sink.write(body.data() + offset,
                                                               std::min(body.size() - offset, servedPiece));
                                         });
    });
    server.Get("/empty", [](const httplib::Request &, httplib::Response &res) {
        res.set_content("", "application/octet-stream");
    });
    server.Get("/redirect", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/fixed"); });
    server.Get("/loop", [](const httplib::Request &, httplib::Response &res) { res.set_redirect("/loop"); });
    server.Get("/elsewhere", [](const httplib::Request &, httplib::Response &res) {
        res.set_redirect("ftp://127.0.0.1/fixed");
    });
    server.Get("/short", [body, half](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(body.size(), "application/octet-stream",
                                 [body, half](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                                     if (offset >= half)
                                         return false;
                                     return sink.write(body.data() + offset, std::min(half - offset, servedPiece));
                                 });
    });
    server.Get("/shortchunked", [body, half](const httplib::Request &, httplib::Response &res) {
        res.set_chunked_content_provider("application/octet-stream",
                                         [body, half](std::size_t offset, httplib::DataSink &sink) {
                                             if (offset >= half)
                                                 return false;
                                             return sink.write(body.data() + offset,
                                                               std::min(half - offset, servedPiece));
                                         });
    });
    server.Get("/stall", [body, half, stall, &halfSent](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(
            body.size(), "application/octet-stream",
            [body, half, stall, &halfSent](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                if (offset < half)
                    return sink.write(body.data() + offset, std::min(half - offset, servedPiece));
                halfSent = true;
                stall->wait();
                return false;
            });
    });
    server.Get("/pause", [body, half, stall, &halfSent](const httplib::Request &, httplib::Response &res) {
        res.set_content_provider(
            body.size(), "application/octet-stream",
            [body, half, stall, &halfSent](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                if (offset == half) {
                    halfSent = true;
                    stall->wait();
                }
                const std::size_t end = offset < half ? half : body.size();
                return sink.write(body.data() + offset, std::min(end - offset, servedPiece));
            });
    });
    server.Get("/silent", [stall](const httplib::Request &, httplib::Response &res) {
        stall->wait();
        res.set_content("late", "text/plain");
    });
}

} // namespace kivora::test
