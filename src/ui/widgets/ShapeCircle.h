#pragma once
// A filled circle in one colour (connection and traffic indicators).

#include <QColor>
#include <QWidget>

class TShapeCircle : public QWidget {
    Q_OBJECT
public:
    explicit TShapeCircle(QWidget *parent = nullptr);

    QColor BrushColor() const { return fBrush; }
    void SetBrushColor(const QColor &color);

    // Outline colour; an invalid colour (the default) draws no outline.
    void SetPenColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor fBrush{Qt::white};
    QColor fPen;
};
