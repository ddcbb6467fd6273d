#include "ui/device/PortList.h"

#include "ui/device/SimPort.h"

#include <QComboBox>
#include <QSerialPortInfo>
#include <QSignalBlocker>

void AddPresentPortItems(QComboBox *cbb_Port) {
    QStringList extra;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (!path.isEmpty() && !extra.contains(path))
            extra << path;
    }
    extra.sort();
    extra << QString::fromLatin1(SimPortName);
    const QSignalBlocker blocker(cbb_Port);
    const QString shown = cbb_Port->currentText();
    cbb_Port->addItems(extra);
    if (cbb_Port->currentText() != shown)
        cbb_Port->setEditText(shown);
}
