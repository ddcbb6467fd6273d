#pragma once
// Maps a port name as the user or the window gives it to a device path:
//   "//./COM4" and "\\.\COM4" lose their prefix; "COMn" (n >= 1, any letter case)
//   is /dev/ttyS(n-1); a name beginning with "/" is already a device path; any
//   other non-empty name is looked up in /dev ("ttyUSB0" -> "/dev/ttyUSB0").
//   An empty name stays empty (it cannot be opened).

#include <QString>

QString CommNameToDevicePath(const QString &commName);
