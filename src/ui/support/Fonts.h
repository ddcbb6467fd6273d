#pragma once
// The window's font: one family list for every text it draws. Latin letters and
// digits come from a narrow sans face (Liberation Sans, metric-compatible with the
// face the window's pixel geometry was laid out for), "℃" from DejaVu Sans (the
// CJK faces here draw it blank), Chinese from a CJK face, glyph by glyph.

#include <QFont>
#include <QStringList>

const QStringList &WindowFontFamilies();
QFont WindowFont(int pixelSize, bool bold = false);
