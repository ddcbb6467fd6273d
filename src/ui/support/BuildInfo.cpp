#include "ui/support/BuildInfo.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <cstring>

#ifndef KORVALE_VERSION
#define KORVALE_VERSION "0.0.0.0"
#endif

// Kept in the binary even though nothing reads it directly: GetBuildInfo finds it
// in the program file.
extern "C" __attribute__((used)) const char KorvaleVersionMarker[] = "KorvaleFileVersion=" KORVALE_VERSION;

namespace {

constexpr qint64 kChunk = 1 << 20;
constexpr int kMaxVersionLen = 4 * 5 + 3;  // four numbers of up to 5 digits and 3 dots

// Parses "a.b.c.d" followed by a NUL byte at `p` (at most `len` bytes available);
// each number must fit in 16 bits.
bool ParseVersion(const char *p, qsizetype len, QString &out) {
    unsigned parts[4] = {0, 0, 0, 0};
    qsizetype i = 0;
    for (int part = 0; part < 4; ++part) {
        int digits = 0;
        unsigned v = 0;
        while (i < len && p[i] >= '0' && p[i] <= '9') {
            if (++digits > 5)
                return false;
            v = v * 10 + static_cast<unsigned>(p[i] - '0');
            ++i;
        }
        if (digits == 0 || v > 0xFFFF)
            return false;
        parts[part] = v;
        const char expected = part < 3 ? '.' : '\0';
        if (i >= len || p[i] != expected)
            return false;
        ++i;
    }
    out = QStringLiteral("%1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
    return true;
}

}  // namespace

QByteArray BuildInfoMarkerPrefix() {
    return QByteArray("KorvaleFileVersion=");
}

QString ProgramVersion() {
    return QString::fromLatin1(KorvaleVersionMarker + std::strlen("KorvaleFileVersion="));
}

QString GetBuildInfo(const QString &FileName) {
    const QString none = QStringLiteral("0.0.0.0");
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return none;
    const QByteArray prefix = BuildInfoMarkerPrefix();
    const qsizetype keep = prefix.size() + kMaxVersionLen + 1;
    QByteArray window;
    while (true) {
        const QByteArray chunk = file.read(kChunk);
        const bool atEnd = chunk.isEmpty();
        window.append(chunk);
        qsizetype from = 0;
        while (true) {
            const qsizetype at = window.indexOf(prefix, from);
            if (at < 0)
                break;
            const qsizetype start = at + prefix.size();
            const qsizetype avail = window.size() - start;
            if (avail < kMaxVersionLen + 1 && !atEnd) {
                from = -1;  // the marker may continue in the next chunk
                window = window.mid(at);
                break;
            }
            QString version;
            if (ParseVersion(window.constData() + start, avail, version))
                return version;
            from = at + 1;
        }
        if (atEnd)
            return none;
        if (from >= 0 && window.size() > keep)
            window = window.right(keep);
    }
}

QString GetBuildInfoCached(const QString &FileName) {
    static QMutex mutex;
    static QString cachedName;
    static qint64 cachedSize = -1;
    static QDateTime cachedTime;
    static QString cachedVersion;
    const QFileInfo info(FileName);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime time = info.exists() ? info.lastModified() : QDateTime();
    QMutexLocker lock(&mutex);
    if (cachedVersion.isEmpty() || cachedName != FileName || cachedSize != size || cachedTime != time) {
        cachedVersion = GetBuildInfo(FileName);
        cachedName = FileName;
        cachedSize = size;
        cachedTime = time;
    }
    return cachedVersion;
}
