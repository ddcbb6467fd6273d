#pragma once
// Where the main window opens.

#include <QRect>
#include <QSize>

// The window opens maximised on a screen at most this many pixels wide.
constexpr int kMaximiseScreenWidth = 1500;

bool ShouldMaximise(int screenWidth);

// A rectangle of `outer` size centred in `available` (the screen's work area);
// integer division truncates.
QRect CentredRect(const QSize &outer, const QRect &available);
