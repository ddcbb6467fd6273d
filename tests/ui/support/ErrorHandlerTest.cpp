// The program-wide error dialog when a handler fails on every tick of a timer.

#include "ui/support/ErrorHandler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

namespace {

QList<QMessageBox *> OpenDialogs() {
    QList<QMessageBox *> boxes;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

void CloseDialogs() {
    for (QMessageBox *box : OpenDialogs())
        box->reject();
}

}  // namespace

class TstErrorHandler : public QObject {
    Q_OBJECT

private slots:
    void aHandlerFailingOnEveryTickOpensOneDialogAtATime() {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The live-view timer's period, and a handler that fails every time. Qt does
        // not let a timer's own event recur while its handler waits in the dialog,
        // but calls the ticks queue do run inside the dialog's event loop, as the
        // port's notices and the refresh thread's calls to the window do.
        QTimer ticker;
        ticker.setInterval(5);
        int calls = 0;
        connect(&ticker, &QTimer::timeout, &window,
                Guarded(&window,
                        [&] {
                            ++calls;
                            throw std::runtime_error("the tick failed");
                        }),
                Qt::QueuedConnection);
        // After the first dialog has been open for 300 ms: no more ticks, and every
        // dialog is closed from then on.
        bool stopped = false;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [] { CloseDialogs(); });
        QTimer stop;
        stop.setSingleShot(true);
        stop.setInterval(300);
        connect(&stop, &QTimer::timeout, [&] {
            stopped = true;
            ticker.stop();
            closer.start();
        });
        // Counts the dialogs while they are open (in the first dialog's event loop).
        int mostDialogs = 0;
        QTimer watcher;
        watcher.setInterval(10);
        connect(&watcher, &QTimer::timeout, [&] {
            const int open = int(OpenDialogs().size());
            mostDialogs = std::max(mostDialogs, open);
            if (open > 0 && !stopped && !stop.isActive())
                stop.start();
        });

        const uint64_t notShownBefore = HandlerErrorsNotShown();
        watcher.start();
        ticker.start();
        QTRY_VERIFY_WITH_TIMEOUT(stopped && OpenDialogs().isEmpty(), 20000);
        QTest::qWait(100);  // calls queued before the stop have run
        QVERIFY(OpenDialogs().isEmpty());
        closer.stop();
        QCOMPARE(mostDialogs, 1);
        // The timer kept ticking (every 5 ms for 300 ms) while the dialog was open;
        // those errors were only counted. One dialog, perhaps a second for a call
        // queued as the first closed.
        const int notShown = int(HandlerErrorsNotShown() - notShownBefore);
        QVERIFY2(calls > 10, qPrintable(QString::number(calls)));
        QVERIFY2(calls - notShown >= 1 && calls - notShown <= 2,
                 qPrintable(QStringLiteral("%1 calls, %2 not shown").arg(calls).arg(notShown)));

        // Once the dialog is closed, the next error has a dialog of its own.
        mostDialogs = 0;
        bool closedAgain = false;
        QTimer::singleShot(0, &window, Guarded(&window, [] { throw std::runtime_error("once more"); }));
        QTimer::singleShot(150, &window, [&] {
            CloseDialogs();
            closedAgain = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(closedAgain && OpenDialogs().isEmpty(), 20000);
        watcher.stop();
        QCOMPARE(mostDialogs, 1);
        QCOMPARE(int(HandlerErrorsNotShown() - notShownBefore), notShown);
    }
};

QTEST_MAIN(TstErrorHandler)
#include "ErrorHandlerTest.moc"
