#pragma once
// The program's version, embedded in the executable and read back from a program file.
//
// The version lives in the binary as a marker: BuildInfoMarkerPrefix() followed by
// four decimal numbers joined by "." and a NUL byte. GetBuildInfo scans a file's
// bytes for the first such marker, so it reports the version of whatever program file
// it is given, not of the running code.

#include <QByteArray>
#include <QString>

// The bytes that introduce the version marker.
QByteArray BuildInfoMarkerPrefix();

// The version compiled into this program, "major.minor.patch.build".
QString ProgramVersion();

// The file version of FileName as four unsigned 16-bit numbers joined by ".";
// "0.0.0.0" for a file without a version marker or a file that cannot be read.
QString GetBuildInfo(const QString &FileName);

// As GetBuildInfo, but scans a file again only when its path, size or last write
// time changed since the previous call (the title asks at every resize).
QString GetBuildInfoCached(const QString &FileName);
