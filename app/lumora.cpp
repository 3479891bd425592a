#include "platform/player/ShockwaveFlash.h"
#include "app/Umain.h"
#include "app/startup.h"
#include "platform/ui/theme.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmapCache>

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <typeinfo>

namespace {

QString failureKind(const std::exception &failure)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(failure).name(), nullptr, nullptr, &status), &std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(failure).name());
}

int failStartUp(const QString &kind, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"),
                    QStringLiteral("Exception %1 in module lumora.\n%2").arg(kind, message), QMessageBox::Ok);
    box.exec();
    return 1;
}

} // namespace

// The program reads no command line, and the toolkit gets none either: its own options
// would change the program (a style, a platform, even the web engine's debugging port).
// The platform can still be chosen through the environment (QT_QPA_PLATFORM).
int main(int, char *[])
{
    kivora::ShockwaveFlash::setUpProcess();
    static char programName[] = "lumora";
    static char *toolkitArguments[] = {programName, nullptr};
    static int toolkitArgumentCount = 1;
    QApplication application(toolkitArgumentCount, toolkitArguments);
    QApplication::setApplicationName(QStringLiteral("Kivora"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.0"));
    kivora::Theme::apply(application, QStringLiteral("Metropolis UI Green"));
    // Eleven category windows start from the same built-in pictures: room for all of them
    // decoded at once (Qt's default of 10 MB holds fewer), so each is decoded only once.
    QPixmapCache::setCacheLimit(32 * 1024);

    try {
        kivora::createWindows();
    } catch (const std::exception &failure) {
        return failStartUp(failureKind(failure), QString::fromUtf8(failure.what()));
    } catch (...) {
        return failStartUp(QStringLiteral("unknown"), QString());
    }

    kivora::mainForm->show();
    kivora::prepareFirstPaint();
    const int status = application.exec();
    kivora::destroyWindows();
    return status;
}
