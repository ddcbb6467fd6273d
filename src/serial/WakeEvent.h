#pragma once
// An event that a thread waiting in poll() can watch next to a port: an eventfd.
//
// As a manual-reset event (the close event) it is set once and stays readable for
// every watcher. As an auto-reset wake-up the watcher calls Consume after waking.

class TWakeEvent {
public:
    TWakeEvent() = default;
    ~TWakeEvent();
    TWakeEvent(const TWakeEvent &) = delete;
    TWakeEvent &operator=(const TWakeEvent &) = delete;

    bool Create();  // false when no descriptor can be made
    void Close();
    bool IsValid() const { return fFd >= 0; }
    int Fd() const { return fFd; }

    void Set();          // safe from any thread
    bool IsSet() const;  // looks without waiting
    void Consume();      // clears a set event

private:
    int fFd = -1;
};
