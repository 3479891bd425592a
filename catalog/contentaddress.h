#pragma once

#include "platform/text/utf.h"

#include <string>
#include <string_view>

namespace kivora {

// The path and address rules of a title. Plain concatenation: the title goes in
// unchanged (no trimming, no case change, no escaping); any encoding on the wire
// is the business of whoever sends the request.

// programDir + folder + "/" + title + ".swf". Precondition: programDir ends with '/'.
std::u16string localPath(std::u16string_view programDir, std::string_view folder, std::u16string_view title);

// contentScheme() + "://" + host + "/" + folder + "/" + title + ".swf"; host is "host" or
// "host:port", or either after "http://" or "https://" to name the scheme itself.
std::u16string contentAddress(std::string_view host, std::string_view folder, std::u16string_view title);

// contentAddress() on the streaming server.
std::u16string streamingAddress(std::string_view folder, std::u16string_view title);

// contentAddress() on the download server.
std::u16string downloadAddress(std::string_view folder, std::u16string_view title);

// executablePath + "A123.swf": names no file; giving it to the player stops it.
std::u16string stopPath(std::u16string_view executablePath);

// "http://" + updateHost() + "/erge/update.txt"
std::u16string updateAddress();

} // namespace kivora
