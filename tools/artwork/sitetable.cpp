#include "tools/artwork/sitetable.h"

#include <stdexcept>

namespace kivora {

const QList<Site> &SiteTable::all()
{
    static const QList<Site> sites = {
        {3, {88, 296, 105, 115}, {88, 296, 105, 115}, QStringLiteral("好听故事")},
        {4, {289, 390, 98, 91}, {289, 390, 98, 86}, QStringLiteral("学语文")},
        {5, {456, 408, 94, 86}, {456, 408, 94, 86}, QStringLiteral("更新")},
        {6, {32, 210, 93, 96}, {32, 210, 93, 96}, QStringLiteral("古诗")},
        {7, {96, 8, 104, 104}, {96, 8, 104, 104}, QStringLiteral("儿歌")},
        {8, {147, 118, 88, 102}, {147, 118, 88, 102}, QStringLiteral("成语")},
        {9, {272, 88, 106, 89}, {272, 88, 106, 89}, QStringLiteral("拼音")},
        {10, {520, 32, 107, 108}, {520, 32, 107, 108}, QStringLiteral("国外儿歌")},
        {11, {435, 131, 106, 89}, {435, 131, 106, 89}, QStringLiteral("小常识")},
        {12, {547, 176, 86, 90}, {546, 177, 83, 90}, QStringLiteral("学英语")},
        {13, {561, 272, 106, 102}, {561, 278, 105, 96}, QStringLiteral("玩游戏")},
        {14, {336, 216, 110, 102}, {336, 210, 110, 108}, QStringLiteral("打扮拼图")},
    };
    return sites;
}

const Site &SiteTable::site(int number)
{
    for (const Site &site : all()) {
        if (site.number == number)
            return site;
    }
    throw std::out_of_range("no such site");
}

} // namespace kivora
