#include "ui/widgets/ReadoutLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

TReadoutLabel::TReadoutLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);  // the theme's group background
}

void TReadoutLabel::FixSize(int width) {
    const QString text0 = text();
    setText(QStringLiteral("Ag\u63D0\u2103"));
    const int height = sizeHint().height();
    setText(text0);
    setFixedSize(width, height);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// One line of plain text drawn at the top-left of the contents, as QLabel draws it.
bool TReadoutLabel::PlainLine() const {
    return textFormat() == Qt::PlainText && alignment() == (Qt::AlignLeft | Qt::AlignTop) &&
           frameWidth() == 0 && margin() == 0 && indent() <= 0 && !wordWrap() && isEnabled() &&
           layoutDirection() == Qt::LeftToRight && !text().contains(QLatin1Char('\n'));
}

void TReadoutLabel::paintEvent(QPaintEvent *event) {
    if (!PlainLine() || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    auto found = fLaidOut.find(text());
    if (found == fLaidOut.end()) {
        if (fLaidOut.size() >= kKeep)
            fLaidOut.clear();
        QStaticText laidOut(text());
        laidOut.setTextFormat(Qt::PlainText);
        found = fLaidOut.insert(text(), laidOut);
    }
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    painter.setPen(option.palette.color(foregroundRole()));
    painter.drawStaticText(contentsRect().topLeft(), *found);
}

void TReadoutLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        fLaidOut.clear();
    QLabel::changeEvent(event);
}
