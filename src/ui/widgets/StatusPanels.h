#pragma once
// A status bar of fixed-width text panels addressed by index.

#include <QStatusBar>
#include <QVector>

class QLabel;

class TStatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit TStatusPanels(QWidget *parent = nullptr);

    // Appends a panel of the given width and text; returns its index. A stretching
    // panel is at least that wide and takes the room the others leave.
    int AddPanel(int width, const QString &text, bool stretch = false);
    int PanelCount() const { return int(fPanels.size()); }
    QLabel *Panel(int index) const;
    // Text of a panel; empty for an index out of range.
    QString PanelText(int index) const;
    // Sets a panel's text; an index out of range is ignored. A text that does not fit
    // its panel shows whole as the panel's tooltip.
    void SetPanelText(int index, const QString &text);

private:
    QVector<QLabel *> fPanels;
};
