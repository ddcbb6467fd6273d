#pragma once
// File time stamps as the title shows them.

#include <QDateTime>
#include <QString>

// The date-time epoch, 1899/12/30 00:00:00: the value of a missing time stamp.
QDateTime DateTimeEpoch();

// A time stamp of FileName in local time with a resolution of two seconds (seconds
// rounded down to an even number, milliseconds dropped). Kind 0 is the creation time,
// 1 the last write, 2 the last access. A file that does not exist, or a kind outside
// 0..2, gives DateTimeEpoch().
QDateTime FGetFileTime(const QString &FileName, int Kind);

// "YYYY/MM/DD HH:MM:SS" (hours 0..23, "MM" after "HH" being minutes), with the
// locale's date separator in place of "/" and its time separator in place of ":".
QString FormatBuildTime(const QDateTime &time);

// The separators of the user's locale ("/" and ":" when the locale has none).
QString LocaleDateSeparator();
QString LocaleTimeSeparator();
