#include "ui/support/Fonts.h"

const QStringList &WindowFontFamilies() {
    // The face the layout was made with comes first where a machine has it.
    static const QStringList families{
        QStringLiteral("微软雅黑"),        QStringLiteral("Microsoft YaHei"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
        QStringLiteral("DejaVu Sans"),     QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("Noto Sans CJK SC")};
    return families;
}

QFont WindowFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(WindowFontFamilies());
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
