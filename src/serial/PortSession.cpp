#include "serial/PortSession.h"

#include "serial/PortDevice.h"

TPortSession::~TPortSession() {
    ClosePortDevice(Fd);
}
