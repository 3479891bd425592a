#pragma once

#include <span>
#include <string_view>

namespace kivora {

// Where a category's title list sits, in the coordinates of the window's panel
// (977 x 681 with a 1-pixel bevel). A right strip is aligned to the right edge
// inside the bevel; a fixed list keeps its rectangle and covers the panel picture.
struct ListPlacement {
    bool rightStrip;
    int left, top, width, height;
};

// The fixed record of one content category. All texts point into static data.
struct TCategoryInfo {
    std::string_view windowClass;                 // "TergerForm"
    std::string_view windowName;                  // "ergerForm", also the caption
    std::string_view hotSpot;                     // launcher hot-spot that shows the window
    std::string_view folder;                      // folder beside the executable and server path segment
    std::span<const std::u16string_view> titles;  // display order; never sorted at run time
    ListPlacement placement;
};

// The eleven categories in their fixed order, children's songs first and
// foreign-language songs last.
std::span<const TCategoryInfo> categories();

// nullptr when no category has that window class.
const TCategoryInfo* findCategory(std::string_view windowClass);

} // namespace kivora
