#include "ui/liveview/LiveViewThread.h"

#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"

TThreadUpdatePic::TThreadUpdatePic(TForm_Main *form) : fForm(form) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TThreadUpdatePic::run() {
    ThreadUpdatePic();
}

void TThreadUpdatePic::ThreadUpdatePic() {
    TForm_Main *form = fForm;
    // The window is the call's context: should it be gone before the UI thread gets
    // to the call, the call is dropped and this thread is released.
    QMetaObject::invokeMethod(
        form, [form] { Guarded(form, [form] { form->UpdatePicture(false); })(); },
        Qt::BlockingQueuedConnection);
}
