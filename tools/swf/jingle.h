#pragma once

#include <cstdint>
#include <vector>

namespace kivora::swf {

// A soft two-note chime (rising fourth), about half a second of mono samples.
std::vector<std::int16_t> synthesizeJingle(int sampleRate);

} // namespace kivora::swf
