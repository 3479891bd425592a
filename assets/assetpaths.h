#pragma once

#include <QString>

namespace kivora {

// Resource paths of the embedded pictures, so callers need not spell them.
class AssetPaths
{
public:
    static QString frame();              // the launcher's tablet frame, 845 x 628
    static QString scene();              // the island scene, 702 x 513
    static QString highlight(int site);  // site 3, 4 or 6 to 14
    static QString categoryBackground(); // 1200 x 850
    static QString categoryPanel();      // 996 x 682
    static QString icon(int size);       // 16, 24, 32, 48 or 256
    static QString scalableIcon();
};

} // namespace kivora
