#include "ui/support/ErrorHandler.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace {
TErrorReporter &Reporter() {
    static TErrorReporter reporter;
    return reporter;
}
}  // namespace

void SetErrorReporter(TErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

void ReportHandlerError(QWidget *parent, const QString &message) {
    try {
        if (Reporter()) {
            Reporter()(parent, message);
            return;
        }
        const QString title = QApplication::applicationName().isEmpty() ? QStringLiteral("Korvale")
                                                                        : QApplication::applicationName();
        QMessageBox::critical(parent ? parent->window() : nullptr, title, message);
    } catch (...) {
        // Reporting must never throw into the event loop either.
    }
}
