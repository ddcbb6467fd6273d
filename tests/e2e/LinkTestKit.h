#pragma once
// Helpers of the window's link tests: a pseudo-terminal that plays the module on
// its master side while the window's Comm1 opens the slave, and small steps that
// drive the window as a user would.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

class TComm;
class TWindowUnderTest;

// A pseudo-terminal pair. The window connects to SlavePath(); the test reads what
// the window sends and writes what the module would answer on the master side.
class TPtyModule {
public:
    TPtyModule();
    ~TPtyModule();
    TPtyModule(const TPtyModule &) = delete;
    TPtyModule &operator=(const TPtyModule &) = delete;

    bool IsValid() const { return fMaster >= 0; }
    int MasterFd() const { return fMaster; }
    QString SlavePath() const { return fSlavePath; }

    // Writes all bytes to the master side.
    bool Write(const QByteArray &bytes);
    // Reads what arrives within `ms` milliseconds, handling events meanwhile.
    QByteArray ReadFor(int ms);
    // Reads until `done(bytesSoFar)` holds or `timeoutMs` passes, handling events.
    QByteArray ReadUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs);
    // Reads until at least `count` bytes are in or `timeoutMs` passes.
    QByteArray ReadCount(int count, int timeoutMs);
    // Discards what has arrived so far (after handling pending events once).
    void Drain();
    // The module goes away: the window's side sees a hang-up.
    void CloseMaster();

private:
    QByteArray ReadAvailable();

    int fMaster = -1;
    QString fSlavePath;
};

// The window's serial component.
TComm *Comm1Of(TWindowUnderTest &form);

// Puts `port` into cbb_Port and clicks btn_Connect; true when the window then
// shows itself connected. With `keepTimer3` false the read-parameters step that a
// connect arms is cancelled, so a test sees only the bytes it asks for.
bool ConnectWindow(TWindowUnderTest &form, const QString &port, bool keepTimer3 = false);
// Clicks btn_Connect while connected; true when the window then shows itself
// disconnected.
bool DisconnectWindow(TWindowUnderTest &form);

// Handles events until `done` holds or `timeoutMs` passes; returns done().
bool PumpUntil(const std::function<bool()> &done, int timeoutMs);

// A system-parameter frame ("SYS", 71 bytes) carrying `words` (32 words).
QByteArray SysFrameBytes(const std::array<uint16_t, 32> &words);
