#include "tests/app/scratchprogramdirectory.h"

#include "platform/core/programdirectory.h"

#include <QFile>
#include <QSaveFile>

namespace kivora {

ScratchProgramDirectory::ScratchProgramDirectory()
{
    if (m_folder.isValid())
        setProgramDirectoryForTesting(path().toStdString());
}

ScratchProgramDirectory::~ScratchProgramDirectory()
{
    setProgramDirectoryForTesting(std::string());
}

QString ScratchProgramDirectory::path() const
{
    return QFile::decodeName(m_folder.path().c_str()) + QLatin1Char('/');
}

QString ScratchProgramDirectory::filePath(const QString &name) const
{
    return path() + name;
}

bool ScratchProgramDirectory::write(const QString &name, const QByteArray &content) const
{
    QSaveFile file(filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
}

bool ScratchProgramDirectory::copyPicture(const QString &picture, const QString &name) const
{
    QFile source(QStringLiteral(KIVORA_TEST_PICTURES "/") + picture);
    return source.open(QIODevice::ReadOnly) && write(name, source.readAll());
}

bool ScratchProgramDirectory::layOutPictures() const
{
    return copyPicture(QStringLiteral("10.png"), QStringLiteral("10.png"))
        && copyPicture(QStringLiteral("category_background.png"), QStringLiteral("ipadmain3.png"))
        && copyPicture(QStringLiteral("category_panel.jpg"), QStringLiteral("1003.jpg"))
        && copyPicture(QStringLiteral("10@2x.png"), QStringLiteral("10@2x.png"))
        && copyPicture(QStringLiteral("category_background@2x.png"), QStringLiteral("ipadmain3@2x.png"))
        && copyPicture(QStringLiteral("category_panel@2x.jpg"), QStringLiteral("1003@2x.jpg"));
}

} // namespace kivora
