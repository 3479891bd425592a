#include "catalogtool/progressline.h"

#include <unistd.h>

namespace kivora::catalogtool {

ProgressLine::ProgressLine(std::FILE *out, bool terminal)
    : m_out(out)
    , m_terminal(terminal)
{
}

bool ProgressLine::isTerminal(std::FILE *out)
{
    return isatty(fileno(out)) == 1;
}

void ProgressLine::refresh(const std::string &text)
{
    if (m_terminal)
        draw(text);
}

void ProgressLine::step(const std::string &text)
{
    if (m_terminal) {
        draw(text);
        return;
    }
    std::fprintf(m_out, "%s\n", text.c_str());
    std::fflush(m_out);
}

void ProgressLine::message(const std::string &text)
{
    const std::string shown = m_shown;
    clear();
    std::fprintf(m_out, "%s\n", text.c_str());
    if (!shown.empty())
        draw(shown);
    std::fflush(m_out);
}

void ProgressLine::close()
{
    if (m_terminal && !m_shown.empty())
        std::fputc('\n', m_out);
    m_shown.clear();
    std::fflush(m_out);
}

void ProgressLine::draw(const std::string &text)
{
    // Return to the line's start and erase what a longer line left behind.
    std::fprintf(m_out, "\r%s\033[K", text.c_str());
    std::fflush(m_out);
    m_shown = text;
}

void ProgressLine::clear()
{
    if (m_terminal && !m_shown.empty())
        std::fputs("\r\033[K", m_out);
    m_shown.clear();
}

} // namespace kivora::catalogtool
