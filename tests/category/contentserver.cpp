#include "tests/category/contentserver.h"

#include <algorithm>

namespace kivora::test {

ContentServer::ContentServer()
{
    m_loopback.server().Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        answer(request, response);
    });
}

void ContentServer::serve(const std::string &path, const std::string &body, Answer answer)
{
    std::lock_guard lock(m_mutex);
    m_entries[path] = Entry{body, answer};
}

void ContentServer::setFallback(const std::string &body)
{
    std::lock_guard lock(m_mutex);
    m_fallback = body;
}

int ContentServer::requests(const std::string &path) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_requests.find(path);
    return found == m_requests.end() ? 0 : found->second;
}

int ContentServer::totalRequests() const
{
    std::lock_guard lock(m_mutex);
    int total = 0;
    for (const auto &[path, count] : m_requests)
        total += count;
    return total;
}

void ContentServer::answer(const httplib::Request &request, httplib::Response &response)
{
    Entry entry;
    {
        std::lock_guard lock(m_mutex);
        ++m_requests[request.path];
        const auto found = m_entries.find(request.path);
        if (found != m_entries.end())
            entry = found->second;
        else if (!m_fallback.empty())
            entry = Entry{m_fallback, Answer::Body};
        else
            entry = Entry{std::string(), Answer::NotFound};
    }
    const std::string body = entry.body;
    const std::size_t half = body.size() / 2;
    switch (entry.answer) {
    case Answer::Body:
        response.set_content(body, "application/x-shockwave-flash");
        break;
    case Answer::NotFound:
        response.status = 404;
        response.set_content("not here", "text/plain");
        break;
    case Answer::CloseEarly:
        response.set_content_provider(body.size(), "application/x-shockwave-flash",
                                      [body, half](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                                          if (offset >= half)
                                              return false;
                                          return sink.write(body.data() + offset, half - offset);
                                      });
        break;
    case Answer::PauseHalf: {
        Gate *gate = &m_loopback.stallGate();
        std::atomic<bool> *halfSent = &m_halfSent;
        response.set_content_provider(
            body.size(), "application/x-shockwave-flash",
            [body, half, gate, halfSent](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                if (offset == half) {
                    *halfSent = true;
                    gate->wait();
                }
                const std::size_t end = offset < half ? half : body.size();
                return sink.write(body.data() + offset, end - offset);
            });
        break;
    }
    }
}

} // namespace kivora::test
