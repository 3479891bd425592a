#pragma once

#include <functional>

namespace kivora::test {

// A TCP socket bound to a free port on 127.0.0.1; throws when there is none.
// Answers the descriptor and sets `port`.
int bindLoopbackSocket(int &port);

// The raw test servers' loop: takes the connections that reach `listener`, one after
// another, and hands each to `take`, which then owns it, until `stopping` answers true
// (asked at least every 50 ms).
void acceptConnections(int listener, const std::function<bool()> &stopping, const std::function<void(int)> &take);

} // namespace kivora::test
