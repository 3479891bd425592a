#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace kivora::test {

// Collects what the program logs while it lives, category by category. The filter rules set
// meanwhile (to hear debug messages) are undone with it.
class LogCollector
{
public:
    LogCollector()
    {
        std::lock_guard lock(s_mutex);
        s_messages.clear();
        m_previous = qInstallMessageHandler(&collect);
    }
    ~LogCollector()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    LogCollector(const LogCollector &) = delete;
    LogCollector &operator=(const LogCollector &) = delete;

    static std::vector<std::string> messages(const char *category)
    {
        std::lock_guard lock(s_mutex);
        std::vector<std::string> found;
        for (const auto &[from, text] : s_messages) {
            if (from == category)
                found.push_back(text);
        }
        return found;
    }

private:
    static void collect(QtMsgType, const QMessageLogContext &context, const QString &text)
    {
        std::lock_guard lock(s_mutex);
        s_messages.emplace_back(context.category ? context.category : "", text.toStdString());
    }

    static inline std::mutex s_mutex;
    static inline std::vector<std::pair<std::string, std::string>> s_messages;
    QtMessageHandler m_previous = nullptr;
};

} // namespace kivora::test
