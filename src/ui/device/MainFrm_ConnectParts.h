#pragma once
// The module link's components of the main window: the serial component Comm1, the
// alternative component nrComm1, the frame intake that their receive handlers feed,
// and the built-in virtual module "SIM".
//
// Comm1 and nrComm1 are children of the window under their own object names; the
// parts destroy them first, so no receive event arrives once the intake is gone.
// Created by FormCreate (CreateLinkParts) after the sensor image object and
// destroyed before it.

#include "link/FrameIntake.h"
#include "ui/device/SimPort.h"

#include <memory>

class QComboBox;
class TComm;
class TForm_Main;
class TnrComm;

struct TLinkParts {
    TLinkParts() = default;
    ~TLinkParts();
    TLinkParts(const TLinkParts &) = delete;
    TLinkParts &operator=(const TLinkParts &) = delete;

    TComm *Comm1 = nullptr;
    TnrComm *nrComm1 = nullptr;
    std::unique_ptr<TFrameIntake> Intake;
    TSimPort Sim;
};

// OnRequestHangup of Comm1: the device went away or the line failed. The window
// closes the port (and stops the virtual module), shows itself disconnected and
// says in panel 6 that the connection was lost; the user can connect again.
void Comm1LinkLost(TForm_Main &form, TLinkParts &parts);

// Adds to cbb_Port, after "COM1" ... "COM16", the serial devices present on the
// machine (by device path) and "SIM"; the shown text stays as it is.
void AddPresentPortItems(QComboBox *cbb_Port);
