#pragma once
// The program's three long-lived parts, made in order and destroyed in reverse: the
// one sensor image object, the session with the module (its decoding workers feed
// the object), and the window (it shows the object's pictures and drives the
// session). The program entry and the tests make them through this one type.

#include "pipeline/MLX90640.h"
#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"

struct TKorvaleProgram {
    TMLX90640 Image;
    TModuleSession Session{Image};
    TForm_Main Form{Session, Image};
};
