#include "ui/widgets/ReadoutLabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

TReadoutLabel::TReadoutLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::AlternateBase);  // the theme's group background
}

int AnyLineHeight(QLabel *label) {
    const QString shown = label->text();
    label->setText(QStringLiteral("Ag\u63D0\u2103"));
    const int height = label->sizeHint().height();
    label->setText(shown);
    return height;
}

void TReadoutLabel::FixSize(int width) {
    setFixedSize(width, AnyLineHeight(this));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

// One line of plain text drawn at the top-left of the contents, as QLabel draws it,
// on an opaque background.
bool TReadoutLabel::PlainLine() const {
    return textFormat() == Qt::PlainText && alignment() == (Qt::AlignLeft | Qt::AlignTop) &&
           frameWidth() == 0 && margin() == 0 && indent() <= 0 && !wordWrap() && isEnabled() &&
           autoFillBackground() && palette().brush(backgroundRole()).style() == Qt::SolidPattern &&
           palette().color(backgroundRole()).alpha() == 255 && devicePixelRatio() == 1.0 &&
           layoutDirection() == Qt::LeftToRight && !text().contains(QLatin1Char('\n'));
}

// The whole label with `text`, as the label's own painting draws it.
QImage TReadoutLabel::Draw(const QString &text) const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(backgroundRole()));
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(&image);
    painter.setFont(font());
    painter.setPen(option.palette.color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()), text);
    return image;
}

void TReadoutLabel::paintEvent(QPaintEvent *event) {
    if (!PlainLine()) {
        QLabel::paintEvent(event);
        return;
    }
    auto found = fDrawn.constFind(text());
    if (found == fDrawn.cend() || found->size() != size()) {
        if (fDrawn.size() >= kKeep)
            fDrawn.clear();
        found = fDrawn.insert(text(), Draw(text()));
    }
    QPainter painter(this);
    painter.drawImage(0, 0, *found);
}

void TReadoutLabel::changeEvent(QEvent *event) {
    // What the pictures were drawn with has changed.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange || event->type() == QEvent::ActivationChange)
        fDrawn.clear();
    QLabel::changeEvent(event);
}
