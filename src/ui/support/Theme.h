#pragma once
// The program's own visual theme, on Qt's Fusion style.

#include <QString>

class QApplication;

// Applies the theme to the whole application. Returns an empty text on success,
// otherwise a description of the failure; the standard look then stays.
QString ApplyKorvaleTheme(QApplication &app);
