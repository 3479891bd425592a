#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kivora::test {

// The one resource a RangeServer serves, with the validators it announces.
struct ServedResource
{
    std::string body;
    std::string etag;         // sent as is when not empty
    std::string lastModified; // sent when not empty
    std::string date{};       // the answers' Date, sent when not empty
};

// Ways in which the server departs from a static file server, each as servers were seen to.
struct ServerQuirks
{
    bool ignoreRanges = false;    // every request gets the whole resource
    bool ignoreIfRange = false;   // a range is answered whatever If-Range names
    bool chunked = false;         // whole answers come in chunks, without a length
    bool endless = false;         // whole answers come in chunks that never end
    std::uint64_t sliceBytes = 0; // a range answer carries at most this many bytes; 0: the rest
    bool unknownTotal = false;    // range answers give "*" as the whole length
    std::uint64_t startEarlier = 0; // range answers start this many bytes before the asked byte
};

// A loopback HTTP server of one resource that answers range requests as a static file
// server does (unless told otherwise by its quirks): 206 for "Range: bytes=N-" when
// If-Range matches, 200 otherwise, 416 when N is past the end. The next answer can be cut
// off, or held open, after a given number of body bytes; it counts every body byte it sends.
class RangeServer
{
public:
    explicit RangeServer(ServedResource resource);
    ~RangeServer();
    RangeServer(const RangeServer &) = delete;
    RangeServer &operator=(const RangeServer &) = delete;

    std::u16string url() const;

    void setResource(ServedResource resource);
    void setQuirks(ServerQuirks quirks);
    // The next answer closes the connection after `bytes` of its body.
    void cutNextAfter(std::uint64_t bytes);
    // The next answer sends `bytes` of its body, then nothing until the client goes away.
    void stallNextAfter(std::uint64_t bytes);

    std::uint64_t bodyBytesSent() const;
    // Request heads, one per request, in order.
    std::vector<std::string> requests() const;

private:
    struct Plan
    {
        std::string head;
        std::string body;
        std::uint64_t limit = 0;
        bool stall = false;
        bool chunked = false;
        bool endless = false;
    };

    void run();
    bool stopping() const;
    void serve(int connection);
    bool sendBody(int connection, const Plan &plan, std::size_t length);
    void holdUntilClosed(int connection);
    Plan planFor(const std::string &request);
    bool sendAll(int connection, const char *data, std::size_t size, bool countAsBody);

    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    bool m_stopping = false;
    ServedResource m_resource;
    ServerQuirks m_quirks;
    std::optional<std::uint64_t> m_cut;
    bool m_stallNext = false;
    std::uint64_t m_bodyBytesSent = 0;
    std::vector<std::string> m_requests;
};

// The value of header `name` in a request head; empty when missing.
std::string headerValue(const std::string &head, const std::string &name);

} // namespace kivora::test
