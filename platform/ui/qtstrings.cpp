#include "platform/ui/qtstrings.h"

#include "platform/core/programdirectory.h"

namespace kivora {

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar *>(text.data()), static_cast<qsizetype>(text.size()));
}

QString programFile(const char *name)
{
    return QString::fromStdString(programDirectory()) + QString::fromLatin1(name);
}

} // namespace kivora
