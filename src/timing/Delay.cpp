#include "timing/Delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

void Delay(int32_t ms) {
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    for (;;) {
        const qint64 left = qint64(ms) - clock.elapsed();
        if (left <= 0)
            return;
        if (QCoreApplication::instance() == nullptr) {
            // No event loop to keep running.
            std::this_thread::sleep_for(std::chrono::milliseconds(left));
            return;
        }
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
