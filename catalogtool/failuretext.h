#pragma once

#include "platform/core/bindstatus.h"

#include <string>

namespace kivora::catalogtool {

// A parent's words for a failure code of the URL-to-file service.
std::string describeFailure(HRESULT result);

} // namespace kivora::catalogtool
