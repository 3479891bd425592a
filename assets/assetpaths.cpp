#include "assets/assetpaths.h"

namespace kivora {

QString AssetPaths::frame()
{
    return QStringLiteral(":/pictures/frame.png");
}

QString AssetPaths::scene()
{
    return QStringLiteral(":/pictures/scene.jpg");
}

QString AssetPaths::highlight(int site)
{
    return QStringLiteral(":/pictures/highlight%1.png").arg(site);
}

QString AssetPaths::categoryBackground()
{
    return QStringLiteral(":/pictures/category_background.png");
}

QString AssetPaths::categoryPanel()
{
    return QStringLiteral(":/pictures/category_panel.jpg");
}

QString AssetPaths::icon(int size)
{
    return QStringLiteral(":/icons/kivora-%1.png").arg(size);
}

QString AssetPaths::scalableIcon()
{
    return QStringLiteral(":/icons/kivora.svg");
}

} // namespace kivora
