#pragma once

#include "platform/player/ShockwaveFlash.h"
#include "category/TCategoryForm.h"
#include "platform/ui/theme.h"

#include <QApplication>
#include <QTest>

// The program's own start-up before any window exists: the player's scheme, the title and
// the theme, so the windows under test look and measure as they do in lumora. The player's
// engine stays down: the launcher's tests have no title to play.
#define KIVORA_WINDOW_TEST_MAIN(TestClass)                                                  \
    int main(int argc, char **argv)                                                         \
    {                                                                                       \
        kivora::ShockwaveFlash::setUpProcess();                                           \
        QApplication application(argc, argv);                                               \
        QApplication::setApplicationName(QStringLiteral("Kivora"));                         \
        kivora::Theme::apply(application, QStringLiteral("Metropolis UI Green"));           \
        kivora::TCategoryForm::setPlayerWarmUpForTesting(false);                            \
        TestClass test;                                                                     \
        return QTest::qExec(&test, argc, argv);                                             \
    }
