#pragma once

#include <string>
#include <string_view>

namespace kivora::demo {

// Card colour ("#rrggbb") of a category folder: a fixed colour for each of
// the eleven folders, a stable colour derived from the name for any other.
std::string colourForFolder(std::string_view folder);

} // namespace kivora::demo
