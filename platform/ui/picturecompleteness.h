#pragma once

#include <QByteArray>
#include <QSize>

namespace kivora {

// Whether bytes hold a whole PNG (its chunks lead, in bounds, to the closing IEND) or a
// whole JPEG (from its start marker to its end marker), found without decoding. A file cut
// short in copying fails it; so does every other kind of picture, which the caller then
// decodes at once.
bool looksLikeCompletePicture(const QByteArray &bytes);

// The size a PNG's header (its first 24 bytes, signature and IHDR) gives, or an invalid
// size for anything else.
QSize pngHeaderSize(const QByteArray &header);

} // namespace kivora
