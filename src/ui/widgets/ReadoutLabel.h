#pragma once
// A label for a one-line reading that changes with every frame (a temperature, a
// voltage).
//
// Its size is fixed, so a new text lays nothing out again, and it keeps its recent
// texts laid out: readings repeat (a temperature with one decimal moves among a few
// values), and a text shown before is drawn again without being shaped again. It
// paints its own background (the group boxes' colour), so the group beneath it is
// not repainted either. Anything beyond plain text at its top-left corner is painted
// as any label would paint it.

#include <QHash>
#include <QLabel>
#include <QStaticText>

class TReadoutLabel : public QLabel {
    Q_OBJECT
public:
    explicit TReadoutLabel(const QString &text, QWidget *parent = nullptr);

    // `width` pixels wide and as tall as a line of Latin, Chinese and the degree sign
    // needs; the text at the top-left corner.
    void FixSize(int width);

    // How many texts are kept laid out (for tests).
    int LaidOutCount() const { return int(fLaidOut.size()); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool PlainLine() const;

    static constexpr int kKeep = 64;  // texts kept laid out; beyond that the store starts afresh
    QHash<QString, QStaticText> fLaidOut;
};
