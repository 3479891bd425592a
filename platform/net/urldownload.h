#pragma once

#include "platform/core/bindstatus.h"

#include <string_view>

namespace kivora {

// Copies the resource at `url` (http only) to the file `path`, blocking until the transfer
// has ended. The file at `path` is either the complete resource or untouched: data goes
// to a temporary file that takes the name only when complete, and a failed or abandoned
// transfer leaves no litter beside it. When the server names a validator (ETag or
// Last-Modified), that file lives in the program directory's staging area and outlives a
// cut-off transfer, so that the next download of the address asks only for the rest; a
// continued file takes its name only at the whole length the server gave. A body larger
// than the build's title size limit, or one the disk has no room for, leaves nothing
// behind. Characters of the address that a request line cannot carry (spaces, apostrophes,
// Chinese) are percent-encoded as UTF-8.
// `caller` and `reserved` are accepted and ignored; `sink` may be null.
// Answers S_OK on success, a failure code otherwise.
HRESULT URLDownloadToFile(void *caller, std::u16string_view url, std::u16string_view path,
                          std::uint32_t reserved, IBindStatusCallback *sink);

} // namespace kivora
