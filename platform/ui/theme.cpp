#include "platform/ui/theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace kivora {

namespace {

const QString themeFolder = QStringLiteral(":/themes");

QByteArray readResource(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QPalette paletteFrom(const QByteArray &text, QPalette palette)
{
    static const QHash<QByteArray, QPalette::ColorRole> roles = {
        {"window", QPalette::Window},         {"windowtext", QPalette::WindowText},
        {"base", QPalette::Base},             {"alternatebase", QPalette::AlternateBase},
        {"text", QPalette::Text},             {"button", QPalette::Button},
        {"buttontext", QPalette::ButtonText}, {"highlight", QPalette::Highlight},
        {"highlightedtext", QPalette::HighlightedText}, {"light", QPalette::Light},
        {"midlight", QPalette::Midlight},     {"mid", QPalette::Mid},
        {"dark", QPalette::Dark},             {"shadow", QPalette::Shadow},
        {"tooltipbase", QPalette::ToolTipBase}, {"tooltiptext", QPalette::ToolTipText},
    };
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        const int equals = line.indexOf('=');
        if (line.isEmpty() || line.startsWith('#') || equals < 0)
            continue;
        const auto role = roles.constFind(line.left(equals).trimmed().toLower());
        const QColor colour(QString::fromLatin1(line.mid(equals + 1).trimmed()));
        if (role != roles.constEnd() && colour.isValid())
            palette.setColor(*role, colour);
    }
    return palette;
}

} // namespace

QString Theme::find(const QString &name)
{
    const QStringList files = QDir(themeFolder).entryList({QStringLiteral("*.qss")}, QDir::Files);
    for (const QString &file : files) {
        const QString base = QFileInfo(file).completeBaseName();
        if (base.compare(name, Qt::CaseInsensitive) == 0)
            return themeFolder + u'/' + base;
    }
    return QString();
}

bool Theme::apply(QApplication &application, const QString &name)
{
    const QString base = find(name);
    if (base.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                        QStringLiteral("Style '%1' not found").arg(name), QMessageBox::Close);
        box.exec();
        return false;
    }
    // Fusion draws every control from the palette, so the sheet only adds the flat faces.
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    application.setPalette(paletteFrom(readResource(base + QStringLiteral(".palette")), application.style()->standardPalette()));
    application.setStyleSheet(QString::fromUtf8(readResource(base + QStringLiteral(".qss"))));
    return true;
}

} // namespace kivora
