#include "tools/demo/categorycolour.h"

#include <array>
#include <cstdint>
#include <utility>

namespace kivora::demo {

std::string colourForFolder(std::string_view folder)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> known{{
        {"erger", "#ffcc33"},        // children's songs
        {"chengyugushi", "#ff9966"}, // idiom stories
        {"wanyx", "#66cc66"},        // games
        {"tinggushi", "#cc99ff"},    // stories to listen to
        {"xgushi", "#cc9966"},       // classical poems
        {"xpinyin", "#66ccff"},      // pinyin
        {"Xchangshi", "#99cc33"},    // general knowledge
        {"dbpintu", "#ff99cc"},      // colouring and puzzles
        {"yuwenyx", "#ff6666"},      // Chinese-language games
        {"xyingyu", "#6699ff"},      // English
        {"ywerger", "#33cccc"},      // foreign-language songs
    }};
    for (const auto &[name, colour] : known) {
        if (name == folder)
            return std::string(colour);
    }
    static constexpr std::array<std::string_view, 6> spare{"#ffb347", "#77dd77", "#aec6cf", "#f49ac2", "#b39eb5", "#fdfd96"};
    // FNV-1a: the same unknown folder always gets the same colour.
    std::uint32_t hash = 2166136261u;
    for (char c : folder)
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return std::string(spare[hash % spare.size()]);
}

} // namespace kivora::demo
