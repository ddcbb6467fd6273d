#pragma once
// TThreadUpdatePic: the thread-based refresh that myTimer's tick (DoTimer) starts.
// The refresh touches window controls, so the thread runs it on the UI thread and
// waits for it. The thread frees itself when it ends.

#include <QThread>

class TForm_Main;

class TThreadUpdatePic : public QThread {
    Q_OBJECT
public:
    // Created suspended: start() runs it. `form` must outlive the thread.
    explicit TThreadUpdatePic(TForm_Main *form);

    // Runs the window's refresh on the UI thread and waits for it.
    void ThreadUpdatePic();

protected:
    void run() override;  // Execute

private:
    TForm_Main *fForm;
};
