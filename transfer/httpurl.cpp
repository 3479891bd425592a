#include "transfer/httpurl.h"

#include "transfer/httpsyntax.h"
#include "platform/text/percentencoding.h"

#include <algorithm>

namespace kivora {

namespace {

bool isAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool isHostNameChar(char c) { return isAlnum(c) || c == '-' || c == '.' || c == '_'; }

std::string encodeTarget(std::string_view raw)
{
    std::string out;
    appendPercentEncoded(out, raw, requestTarget);
    return out;
}

bool parsePort(std::string_view text, std::uint16_t &port)
{
    if (text.empty()) {
        port = 80;
        return true;
    }
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int value = std::stoi(std::string(text));
    if (value < 1 || value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

} // namespace

std::string HttpUrl::hostField() const
{
    std::string field = hostIsIpv6 ? "[" + host + "]" : host;
    if (port != 80) {
        field += ':';
        field += std::to_string(port);
    }
    return field;
}

bool parseHttpUrl(std::string_view text, HttpUrl &url, std::string &error)
{
    url = HttpUrl{};
    const std::size_t schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos) {
        error = "not an absolute address: " + std::string(text);
        return false;
    }
    const std::string_view scheme = text.substr(0, schemeEnd);
    if (!httpsyntax::equalsIgnoringCase(scheme, "http")) {
        error = "unsupported scheme \"" + std::string(scheme) + "\": only http addresses can be fetched";
        return false;
    }
    std::string_view rest = text.substr(schemeEnd + 3);
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view target = rest.substr(authorityEnd);
    target = target.substr(0, target.find('#'));

    if (authority.find('@') != std::string_view::npos) {
        error = "user information in an address is not supported";
        return false;
    }
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            error = "unterminated IPv6 address";
            return false;
        }
        url.host = std::string(authority.substr(1, close - 1));
        url.hostIsIpv6 = true;
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty() && after.front() != ':') {
            error = "malformed host";
            return false;
        }
        portText = after.empty() ? after : after.substr(1);
        const bool valid = !url.host.empty() && std::all_of(url.host.begin(), url.host.end(), [](char c) {
            return isHex(c) || c == ':' || c == '.';
        });
        if (!valid) {
            error = "malformed IPv6 address";
            return false;
        }
    } else {
        const std::size_t colon = authority.find(':');
        url.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos)
            portText = authority.substr(colon + 1);
        if (url.host.empty() || !std::all_of(url.host.begin(), url.host.end(), isHostNameChar)) {
            error = "malformed host name: \"" + url.host + "\"";
            return false;
        }
    }
    if (!parsePort(portText, url.port)) {
        error = "malformed port: \"" + std::string(portText) + "\"";
        return false;
    }
    url.target = encodeTarget(target);
    if (url.target.empty() || url.target.front() == '?')
        url.target.insert(0, "/");
    return true;
}

std::string buildGetRequest(const HttpUrl &url)
{
    std::string request;
    request += "GET " + url.target + " HTTP/1.1\r\n";
    request += "Host: " + url.hostField() + "\r\n";
    request += "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n";
    request += "Accept-Encoding: identity\r\n";
    request += "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n";
    request += "\r\n";
    return request;
}

} // namespace kivora
