#pragma once

#include "transfer/fetcherror.h"

#include <optional>
#include <string_view>

namespace kivora {

// Receives the body of a successful response, piece by piece, in order.
class BodySink
{
public:
    virtual ~BodySink() = default;
    // An error ends the fetch with that error.
    virtual std::optional<FetchError> write(std::string_view bytes) = 0;
};

} // namespace kivora
