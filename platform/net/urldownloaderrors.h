#pragma once

#include "platform/core/bindstatus.h"

namespace kivora {

// Failure codes of the URL-to-file service, one per kind of failure.

// The address is not an http or https address, or cannot be encoded (broken UTF-16).
constexpr HRESULT INET_E_INVALID_URL = static_cast<HRESULT>(0x800C0002u);
// No connection to the server (refused, unreachable, unknown host).
constexpr HRESULT INET_E_CANNOT_CONNECT = static_cast<HRESULT>(0x800C0004u);
// The server answered with an HTTP status of 400 or above, or with no 2xx status at all.
constexpr HRESULT INET_E_RESOURCE_NOT_FOUND = static_cast<HRESULT>(0x800C0005u);
// The transfer broke off: a body shorter than announced, a dropped connection.
constexpr HRESULT INET_E_DOWNLOAD_FAILURE = static_cast<HRESULT>(0x800C0008u);
// Connecting took too long, or the transfer stalled.
constexpr HRESULT INET_E_CONNECTION_TIMEOUT = static_cast<HRESULT>(0x800C000Bu);
// Too many redirections, or a redirection to another scheme.
constexpr HRESULT INET_E_REDIRECT_FAILED = static_cast<HRESULT>(0x800C0014u);
// An https server whose certificate is not trusted, or whose TLS handshake fails.
constexpr HRESULT INET_E_SECURITY_PROBLEM = static_cast<HRESULT>(0x800C000Eu);
// The destination cannot be written: missing folder, no permission, disk full.
constexpr HRESULT STG_E_WRITEFAULT = static_cast<HRESULT>(0x8003001Du);
// The body is larger than the build lets a title be (ERROR_FILE_TOO_LARGE as an HRESULT).
constexpr HRESULT E_FILE_TOO_LARGE = static_cast<HRESULT>(0x800700DFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

} // namespace kivora
