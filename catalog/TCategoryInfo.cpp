#include "catalog/TCategoryInfo.h"

#include "catalog/categorytitles.h"

#include <algorithm>

namespace kivora {

namespace {

constexpr int panelRightEdge = 976;
constexpr int stripTop = 1;
constexpr int stripHeight = 679;

constexpr ListPlacement rightStrip(int width)
{
    return {true, panelRightEdge - width, stripTop, width, stripHeight};
}

constexpr ListPlacement fixedRect(int left, int top, int width, int height)
{
    return {false, left, top, width, height};
}

constexpr TCategoryInfo categoryTable[] = {
    {"TergerForm", "ergerForm", "SpeedButton7", "erger", generated::titles_erger, rightStrip(137)},
    {"Tchengyuform", "chengyuform", "SpeedButton8", "chengyugushi", generated::titles_chengyugushi, rightStrip(153)},
    {"TwanyouxiForm", "wanyouxiForm", "SpeedButton13", "wanyx", generated::titles_wanyx, rightStrip(153)},
    {"Thtgushiform", "htgushiform", "SpeedButton3", "tinggushi", generated::titles_tinggushi, rightStrip(137)},
    {"TgushiForm", "gushiForm", "SpeedButton6", "xgushi", generated::titles_xgushi, rightStrip(176)},
    {"TpinyinForm", "pinyinForm", "SpeedButton9", "xpinyin", generated::titles_xpinyin, rightStrip(129)},
    {"TXchangshiForm", "XchangshiForm", "SpeedButton11", "Xchangshi", generated::titles_Xchangshi,
     fixedRect(800, 0, 177, 681)},
    {"Tdbpingtuform", "dbpingtuform", "SpeedButton14", "dbpintu", generated::titles_dbpintu, rightStrip(161)},
    {"TxyuwenForm", "xyuwenForm", "SpeedButton4", "yuwenyx", generated::titles_yuwenyx, rightStrip(137)},
    {"TxyingyuForm", "xyingyuForm", "SpeedButton12", "xyingyu", generated::titles_xyingyu,
     fixedRect(816, 0, 161, 681)},
    {"TgwergerForm", "gwergerForm", "SpeedButton10", "ywerger", generated::titles_ywerger, rightStrip(257)},
};

} // namespace

std::span<const TCategoryInfo> categories()
{
    return categoryTable;
}

const TCategoryInfo* findCategory(std::string_view windowClass)
{
    const auto found = std::find_if(std::begin(categoryTable), std::end(categoryTable),
                                    [windowClass](const TCategoryInfo& info) { return info.windowClass == windowClass; });
    return found == std::end(categoryTable) ? nullptr : &*found;
}

} // namespace kivora
