#pragma once
// Program-wide handling of errors raised inside window handlers.
//
// Every handler connection goes through Guarded(): an exception thrown by the handler
// is caught there, its message is shown in an error dialog and the program goes on.
// No exception ever reaches Qt's event loop.

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

// Shows the message of an error that a handler did not catch. The default shows a
// critical message box over `parent`; tests install their own reporter. While such a
// box is open, further errors open no other box: they are counted
// (HandlerErrorsNotShown) and the program goes on. UI thread only.
using TErrorReporter = std::function<void(QWidget *parent, const QString &message)>;
void SetErrorReporter(TErrorReporter reporter);  // empty: back to the message box
void ReportHandlerError(QWidget *parent, const QString &message);
uint64_t HandlerErrorsNotShown();  // since the program started

// Wraps `handler` (a callable without arguments; it reads the control's state
// itself, as the window's handlers do) so that nothing escapes. The wrapper can be
// connected to any signal: the signal's arguments are not passed on.
template <class F>
auto Guarded(QWidget *parent, F handler) {
    return [parent, handler = std::move(handler)]() {
        try {
            handler();
        } catch (const std::exception &e) {
            ReportHandlerError(parent, QString::fromUtf8(e.what()));
        } catch (...) {
            ReportHandlerError(parent, QStringLiteral("Unknown error"));
        }
    };
}
