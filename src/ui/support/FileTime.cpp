#include "ui/support/FileTime.h"

#include "ui/support/Convert.h"

#include <QFileInfo>

namespace {

// The first character of a date or time pattern that is neither a letter, a space
// nor a quote.
QString SeparatorOf(const QString &pattern, const QString &fallback) {
    for (const QChar c : pattern) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return QString(c);
    }
    return fallback;
}

QString TwoDigits(int v) {
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

}  // namespace

QDateTime DateTimeEpoch() {
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
}

QDateTime FGetFileTime(const QString &FileName, int Kind) {
    const QFileInfo info(FileName);
    if (FileName.isEmpty() || !info.exists())
        return DateTimeEpoch();
    QDateTime stamp;
    switch (Kind) {
    case 0:
        stamp = info.birthTime();
        if (!stamp.isValid())  // file systems without a birth time
            stamp = info.metadataChangeTime();
        break;
    case 1: stamp = info.lastModified(); break;
    case 2: stamp = info.lastRead(); break;
    default: return DateTimeEpoch();
    }
    if (!stamp.isValid())
        return DateTimeEpoch();
    stamp = stamp.toLocalTime();
    const QTime t = stamp.time();
    return QDateTime(stamp.date(), QTime(t.hour(), t.minute(), t.second() & ~1));
}

QString LocaleDateSeparator() {
    return SeparatorOf(AppLocale().dateFormat(QLocale::ShortFormat), QStringLiteral("/"));
}

QString LocaleTimeSeparator() {
    return SeparatorOf(AppLocale().timeFormat(QLocale::ShortFormat), QStringLiteral(":"));
}

QString FormatBuildTime(const QDateTime &time) {
    const QDate d = time.date();
    const QTime t = time.time();
    const QString ds = LocaleDateSeparator();
    const QString ts = LocaleTimeSeparator();
    return QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0')) + ds + TwoDigits(d.month()) + ds +
           TwoDigits(d.day()) + QLatin1Char(' ') + TwoDigits(t.hour()) + ts + TwoDigits(t.minute()) + ts +
           TwoDigits(t.second());
}
