#pragma once
// A label for a one-line reading that changes with every frame (a temperature, a
// voltage).
//
// Its size is fixed, so a new text lays nothing out again, and it keeps its recent
// texts as finished pictures of itself: readings repeat (a temperature with one
// decimal moves among a few values), and a text shown before is copied to the screen
// instead of being shaped and drawn glyph by glyph again. It paints its own
// background (the group boxes' colour), so the group beneath it is not repainted
// either. Anything but one plain line at its top-left corner is painted as any label
// would paint it.

#include <QHash>
#include <QImage>
#include <QLabel>

// The height `label` needs for one line of text in any of the program's scripts
// (Latin, Chinese, the degree sign), whatever it shows now: for labels whose text
// changes often and whose size must not follow it.
int AnyLineHeight(QLabel *label);

class TReadoutLabel : public QLabel {
    Q_OBJECT
public:
    explicit TReadoutLabel(const QString &text, QWidget *parent = nullptr);

    // `width` pixels wide and as tall as a line of Latin, Chinese and the degree sign
    // needs; the text at the top-left corner.
    void FixSize(int width);

    // How many texts are kept drawn (for tests).
    int DrawnCount() const { return int(fDrawn.size()); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool PlainLine() const;
    QImage Draw(const QString &text) const;

    static constexpr int kKeep = 48;  // texts kept drawn; beyond that the store starts afresh
    QHash<QString, QImage> fDrawn;
};
