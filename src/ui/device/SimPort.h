#pragma once
// "SIM": the virtual thermal module built into the program.
//
// Connecting to the port named "SIM" starts the virtual module (TPtySimulator of
// korvale-sim) inside the program on a pseudo-terminal; the window then opens that
// device with its ordinary serial component, so everything from the serial reading
// thread to the picture runs exactly as with real hardware. Disconnecting stops it.
//
// Threads: created, started and stopped on the UI thread; the module runs on a
// thread of its own.

#include <QString>

#include <cstdint>
#include <memory>

class TPtySimulator;
struct TSimOptions;

// The item of cbb_Port that selects the virtual module.
inline constexpr char SimPortName[] = "SIM";

// True when the port text names the virtual module ("SIM", blanks around it and
// letter case ignored).
bool IsSimPortName(const QString &portText);

class TSimPort {
public:
    TSimPort();
    ~TSimPort();  // stops the module
    TSimPort(const TSimPort &) = delete;
    TSimPort &operator=(const TSimPort &) = delete;

    // Starts a fresh module (power-on state) with the default options, or with
    // `options`. Returns the device path to open, or an empty text with the reason
    // in `error`. A module that is running is stopped first.
    QString Start(QString *error);
    QString Start(const TSimOptions &options, QString *error);
    // Stops the module and removes its device; nothing happens when none runs.
    void Stop();

    bool IsRunning() const { return fSim != nullptr; }
    QString DevicePath() const;
    // Live frames the module has put on the line since it started (0 when stopped).
    uint64_t FramesSent() const;

private:
    std::unique_ptr<TPtySimulator> fSim;
};
