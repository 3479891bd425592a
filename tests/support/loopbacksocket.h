#pragma once

namespace kivora::test {

// A TCP socket bound to a free port on 127.0.0.1; throws when there is none.
// Answers the descriptor and sets `port`.
int bindLoopbackSocket(int &port);

} // namespace kivora::test
