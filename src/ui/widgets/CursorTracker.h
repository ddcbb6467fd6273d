#pragma once
// Where the cursor is on the screen, as a window last saw it.
//
// Kept from the mouse events that reach the window or any of its controls (moves,
// presses, entering and leaving), so asking for it costs no round trip to the window
// system, as asking the system for the cursor would at every refreshed picture.
// Unknown once the cursor has left the window (and before it has been over it).

#include <QObject>
#include <QPoint>

#include <optional>

class QWidget;

class TCursorTracker : public QObject {
public:
    // Follows the cursor over `window` (a top-level widget) for as long as both live.
    explicit TCursorTracker(QWidget *window);

    std::optional<QPoint> GlobalPos() const { return fGlobal; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool InWindow(QObject *watched) const;

    QWidget *fWindow;
    std::optional<QPoint> fGlobal;
};
