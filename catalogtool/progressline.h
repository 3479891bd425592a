#pragma once

#include <cstdio>
#include <string>

namespace kivora::catalogtool {

// The one progress line of a long command. On a terminal it is redrawn in place and
// messages scroll above it; elsewhere (a log, a pipe) every step and message is a plain
// line of its own and the in-between refreshes are dropped.
class ProgressLine
{
public:
    ProgressLine(std::FILE *out, bool terminal);

    static bool isTerminal(std::FILE *out);

    // A refresh between steps (a new rate, more bytes): drawn on a terminal only.
    void refresh(const std::string &text);
    // A step worth a line of its own (a title done).
    void step(const std::string &text);
    // A message that stays, above the line.
    void message(const std::string &text);
    // Leaves the line as it stands and moves below it.
    void close();

private:
    void draw(const std::string &text);
    void clear();

    std::FILE *m_out;
    bool m_terminal;
    std::string m_shown; // on a terminal, the line under the cursor
};

} // namespace kivora::catalogtool
