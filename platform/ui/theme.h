#pragma once

#include <QString>

class QApplication;

namespace kivora {

// The visual themes embedded in the executable, found by name with letter case ignored.
// A theme is a style sheet ("<name>.qss") with a palette ("<name>.palette": lines of
// "role=#rrggbb") beside it.
class Theme
{
public:
    // Applies the theme to the whole application. When no embedded theme has that name,
    // shows "Style '<name>' not found" with a single Close button and keeps the default look.
    static bool apply(QApplication &application, const QString &name);

    // Answers the resource base path ("…/<name>") of the embedded theme, or an empty text.
    static QString find(const QString &name);
};

} // namespace kivora
