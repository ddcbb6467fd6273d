#include "ui/device/SimPort.h"

#include "sim/SimOptions.h"
#include "sim/SimPty.h"

#include <string>

bool IsSimPortName(const QString &portText) {
    return portText.trimmed().compare(QLatin1String(SimPortName), Qt::CaseInsensitive) == 0;
}

TSimPort::TSimPort() = default;

TSimPort::~TSimPort() {
    Stop();
}

QString TSimPort::Start(QString *error) {
    return Start(TSimOptions{}, error);
}

QString TSimPort::Start(const TSimOptions &options, QString *error) {
    Stop();
    auto sim = std::make_unique<TPtySimulator>(options);
    std::string why;
    if (!sim->Start(&why)) {
        if (error)
            *error = QString::fromStdString(why);
        return QString();
    }
    fSim = std::move(sim);
    return DevicePath();
}

void TSimPort::Stop() {
    if (!fSim)
        return;
    fSim->Stop();
    fSim.reset();
}

QString TSimPort::DevicePath() const {
    return fSim ? QString::fromStdString(fSim->DevicePath()) : QString();
}

uint64_t TSimPort::FramesSent() const {
    return fSim ? fSim->FramesSent() : 0;
}
