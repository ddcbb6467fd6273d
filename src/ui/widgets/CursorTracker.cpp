#include "ui/widgets/CursorTracker.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

TCursorTracker::TCursorTracker(QWidget *window) : QObject(window), fWindow(window) {
    // Mouse events go to the control under the cursor, or only to the native window
    // when no control tracks the mouse: the program-wide filter sees both.
    QCoreApplication::instance()->installEventFilter(this);
}

bool TCursorTracker::InWindow(QObject *watched) const {
    if (watched->isWidgetType())
        return static_cast<QWidget *>(watched)->window() == fWindow;
    return watched->isWindowType() && watched == fWindow->windowHandle();
}

bool TCursorTracker::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::Enter:
        if (InWindow(watched))
            fGlobal = static_cast<QEnterEvent *>(event)->globalPosition().toPoint();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (InWindow(watched))
            fGlobal = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        break;
    case QEvent::Leave:
        if (watched == fWindow || (fWindow->windowHandle() && watched == fWindow->windowHandle()))
            fGlobal.reset();
        break;
    default: break;
    }
    return false;
}
