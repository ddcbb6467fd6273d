#include "ui/support/Theme.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace {

// Calm blue-grey surfaces with one warm accent taken from the thermal palettes.
QPalette KorvalePalette() {
    const QColor face(0xE9, 0xED, 0xF2);
    const QColor base(0xFF, 0xFF, 0xFF);
    const QColor text(0x1F, 0x29, 0x33);
    const QColor accent(0xE0, 0x6C, 0x1B);
    QPalette pal;
    pal.setColor(QPalette::Window, face);
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Base, base);
    // Inside group boxes (and behind the readouts, which fill their own background).
    pal.setColor(QPalette::AlternateBase, QColor(0xF1, 0xF4, 0xF8));
    pal.setColor(QPalette::Text, text);
    pal.setColor(QPalette::Button, QColor(0xF5, 0xF7, 0xFA));
    pal.setColor(QPalette::ButtonText, text);
    pal.setColor(QPalette::BrightText, Qt::white);
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(0xDD, 0xE3, 0xEA));
    pal.setColor(QPalette::Mid, QColor(0xB4, 0xBE, 0xC9));
    pal.setColor(QPalette::Dark, QColor(0x8A, 0x96, 0xA3));
    pal.setColor(QPalette::Shadow, QColor(0x4A, 0x55, 0x60));
    pal.setColor(QPalette::Highlight, accent);
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xF8, 0xE7));
    pal.setColor(QPalette::ToolTipText, text);
    pal.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x96, 0xA3));
    pal.setColor(QPalette::Link, QColor(0x1F, 0x6F, 0xB5));
    const QColor disabledText(0x98, 0xA2, 0xAD);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::Base, face);
    pal.setColor(QPalette::Disabled, QPalette::Button, face);
    return pal;
}

// Only borders, radii and the group titles: the control sizes of the window are
// fixed in pixels, so nothing here adds padding that would change them.
const char *const kStyleSheet = R"(
QGroupBox {
    border: 1px solid #B4BEC9;
    border-radius: 5px;
    margin-top: 9px;
    background: palette(alternate-base);
}
QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 9px;
    padding: 0 4px;
    color: #1F4E79;
    font-weight: bold;
}
QToolTip {
    border: 1px solid #E06C1B;
    padding: 3px;
}
QStatusBar::item {
    border: none;
}
)";

}  // namespace

QString ApplyKorvaleTheme(QApplication &app) {
    QStyle *style = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!style)
        return QStringLiteral("The Fusion style is not available; the standard look is used.");
    QApplication::setStyle(style);
    QApplication::setPalette(KorvalePalette());
    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
    return {};
}
