#include "ui/support/ErrorHandler.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {
TErrorReporter &Reporter() {
    static TErrorReporter reporter;
    return reporter;
}

// Handlers run on the UI thread only, and so does this state.
bool gDialogOpen = false;
uint64_t gNotShown = 0;
}  // namespace

uint64_t HandlerErrorsNotShown() {
    return gNotShown;
}

void SetErrorReporter(TErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportHandlerError(QWidget *parent, const QString &message) {
    try {
        if (Reporter()) {
            Reporter()(parent, message);
            return;
        }
        // The dialog runs a nested event loop in which timers keep ticking: a handler
        // that fails on every tick would open one dialog over the other. While one
        // is open, further errors are only counted.
        if (gDialogOpen) {
            ++gNotShown;
            return;
        }
        gDialogOpen = true;
        struct TDialogClosed {
            ~TDialogClosed() { gDialogOpen = false; }
        } closed;
        const QString title = QApplication::applicationName().isEmpty() ? QStringLiteral("Korvale")
                                                                        : QApplication::applicationName();
        QMessageBox::critical(parent ? parent->window() : nullptr, title, message);
    } catch (...) {
        // Reporting must never throw into the event loop either.
    }
}
