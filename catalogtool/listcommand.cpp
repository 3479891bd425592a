#include "catalogtool/listcommand.h"

#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"

#include <iostream>

namespace kivora::catalogtool {

int runList(std::string_view streamHost, std::string_view downloadHost)
{
    for (const auto &category : categories()) {
        int position = 0;
        for (const auto title : category.titles) {
            ++position;
            std::cout << category.windowClass << '\t' << category.windowName << '\t' << category.folder << '\t'
                      << position << '\t' << toUtf8(title) << '\t' << toUtf8(localPath(u"", category.folder, title))
                      << '\t' << toUtf8(contentAddress(streamHost, category.folder, title)) << '\t'
                      << toUtf8(contentAddress(downloadHost, category.folder, title)) << '\n';
        }
    }
    return std::cout.flush() ? 0 : 1;
}

} // namespace kivora::catalogtool
