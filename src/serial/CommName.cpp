#include "serial/CommName.h"

QString CommNameToDevicePath(const QString &commName) {
    QString name = commName;
    if (name.startsWith(QLatin1String("//./")) || name.startsWith(QLatin1String("\\\\.\\")))
        name = name.mid(4);
    if (name.isEmpty())
        return name;
    if (name.startsWith(QLatin1Char('/')))
        return name;

    if (name.size() > 3 && name.left(3).compare(QLatin1String("COM"), Qt::CaseInsensitive) == 0) {
        const QString digits = name.mid(3);
        bool allDigits = true;
        for (QChar c : digits)
            allDigits = allDigits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        bool ok = false;
        const int number = allDigits ? digits.toInt(&ok) : 0;
        if (ok && number >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    }
    return QStringLiteral("/dev/") + name;
}
