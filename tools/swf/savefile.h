#pragma once

#include "tools/swf/bytes.h"

class QString;

namespace kivora::swf {

// Writes the bytes under a temporary name and renames it into place, so a
// reader (or a content server) never sees a half-written file. Creates
// missing parent folders. Returns false and sets `error` on failure.
bool saveFile(const QString &path, const Bytes &bytes, QString *error);

} // namespace kivora::swf
