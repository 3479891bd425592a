#include "tests/resume/rangeserver.h"

#include "tests/support/loopbacksocket.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kivora::test {

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

std::string headerValue(const std::string &head, const std::string &name)
{
    const std::string lower = lowered(head);
    const std::size_t at = lower.find("\r\n" + lowered(name) + ":");
    if (at == std::string::npos)
        return {};
    std::size_t start = at + 2 + name.size() + 1;
    while (start < head.size() && head[start] == ' ')
        ++start;
    return head.substr(start, head.find("\r\n", start) - start);
}

RangeServer::RangeServer(ServedResource resource)
    : m_resource(std::move(resource))
{
    m_listener = bindLoopbackSocket(m_port);
    ::listen(m_listener, 8);
    m_thread = std::thread([this] { run(); });
}

RangeServer::~RangeServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_thread.join();
    ::close(m_listener);
}

std::u16string RangeServer::url() const
{
    const std::string text = "http://127.0.0.1:" + std::to_string(m_port) + "/erge/title.swf";
    return std::u16string(text.begin(), text.end());
}

void RangeServer::setResource(ServedResource resource)
{
    std::lock_guard lock(m_mutex);
    m_resource = std::move(resource);
}

void RangeServer::setQuirks(ServerQuirks quirks)
{
    std::lock_guard lock(m_mutex);
    m_quirks = quirks;
}

void RangeServer::cutNextAfter(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_cut = bytes;
    m_stallNext = false;
}

void RangeServer::stallNextAfter(std::uint64_t bytes)
{
    std::lock_guard lock(m_mutex);
    m_cut = bytes;
    m_stallNext = true;
}

std::uint64_t RangeServer::bodyBytesSent() const
{
    std::lock_guard lock(m_mutex);
    return m_bodyBytesSent;
}

std::vector<std::string> RangeServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool RangeServer::stopping() const
{
    std::lock_guard lock(m_mutex);
    return m_stopping;
}

void RangeServer::run()
{
    acceptConnections(m_listener, [this] { return stopping(); }, [this](int connection) {
        serve(connection);
        ::close(connection);
    });
}

void RangeServer::serve(int connection)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    const Plan plan = planFor(request);
    if (!sendAll(connection, plan.head.data(), plan.head.size(), false))
        return;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(plan.limit, plan.body.size()));
    if (!sendBody(connection, plan, length))
        return;
    if (plan.stall)
        holdUntilClosed(connection);
}

bool RangeServer::sendBody(int connection, const Plan &plan, std::size_t length)
{
    if (!plan.chunked)
        return sendAll(connection, plan.body.data(), length, true);
    constexpr std::size_t piece = 64 * 1024;
    do {
        for (std::size_t at = 0; at < length; at += piece) {
            const std::size_t size = std::min(piece, length - at);
            char sizeLine[32];
            const int lineLength = std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
            if (stopping() || !sendAll(connection, sizeLine, static_cast<std::size_t>(lineLength), false)
                || !sendAll(connection, plan.body.data() + at, size, true) || !sendAll(connection, "\r\n", 2, false))
                return false;
        }
    } while (plan.endless);
    // A cut answer lacks the last chunk, as one whose connection dropped does.
    return length < plan.body.size() || sendAll(connection, "0\r\n\r\n", 5, false);
}

void RangeServer::holdUntilClosed(int connection)
{
    for (;;) {
        if (stopping())
            return;
        pollfd peer{connection, POLLIN, 0};
        if (::poll(&peer, 1, 50) > 0) {
            char byte = 0;
            if (::recv(connection, &byte, 1, 0) <= 0)
                return;
        }
    }
}

RangeServer::Plan RangeServer::planFor(const std::string &request)
{
    std::lock_guard lock(m_mutex);
    m_requests.push_back(request.substr(0, request.find("\r\n\r\n") + 2));
    const std::string &body = m_resource.body;
    std::string status = "200 OK";
    std::string extra;
    std::uint64_t first = 0;
    std::uint64_t end = body.size();
    const std::string range = headerValue(request, "Range");
    const std::string ifRange = headerValue(request, "If-Range");
    const bool validated = m_quirks.ignoreIfRange || ifRange.empty()
        || (!m_resource.etag.empty() && ifRange == m_resource.etag)
        || (!m_resource.lastModified.empty() && ifRange == m_resource.lastModified);
    const bool ranged = !m_quirks.ignoreRanges && range.starts_with("bytes=") && range.ends_with("-") && validated;
    if (ranged) {
        first = std::strtoull(range.c_str() + 6, nullptr, 10);
        if (first >= body.size()) {
            Plan refused;
            refused.head = "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" + std::to_string(body.size())
                + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            return refused;
        }
        first -= std::min(first, m_quirks.startEarlier);
        if (m_quirks.sliceBytes > 0)
            end = std::min(end, first + m_quirks.sliceBytes);
        status = "206 Partial Content";
        extra = "Content-Range: bytes " + std::to_string(first) + "-" + std::to_string(end - 1) + "/"
            + (m_quirks.unknownTotal ? std::string("*") : std::to_string(body.size())) + "\r\n";
    }
    Plan plan;
    plan.body = body.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
    plan.endless = !ranged && m_quirks.endless;
    plan.chunked = !ranged && (m_quirks.chunked || plan.endless);
    plan.head = "HTTP/1.1 " + status + "\r\n"
        + (plan.chunked ? std::string("Transfer-Encoding: chunked") : "Content-Length: " + std::to_string(plan.body.size()))
        + "\r\n" + extra;
    if (!m_resource.etag.empty())
        plan.head += "ETag: " + m_resource.etag + "\r\n";
    if (!m_resource.lastModified.empty())
        plan.head += "Last-Modified: " + m_resource.lastModified + "\r\n";
    if (!m_resource.date.empty())
        plan.head += "Date: " + m_resource.date + "\r\n";
    plan.head += "Accept-Ranges: bytes\r\nConnection: close\r\n\r\n";
    plan.limit = m_cut.value_or(plan.body.size());
    plan.stall = m_stallNext;
    m_cut.reset();
    m_stallNext = false;
    return plan;
}

bool RangeServer::sendAll(int connection, const char *data, std::size_t size, bool countAsBody)
{
    while (size > 0) {
        const ssize_t sent = ::send(connection, data, std::min<std::size_t>(size, 256 * 1024), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
        if (countAsBody) {
            std::lock_guard lock(m_mutex);
            m_bodyBytesSent += static_cast<std::uint64_t>(sent);
        }
    }
    return true;
}

} // namespace kivora::test
