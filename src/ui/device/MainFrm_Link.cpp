// The module link's components and the frame intake: the serial components Comm1
// and nrComm1, their receive handlers, which feed the frame intake of the link
// layer, and the built-in virtual module. Commands are in MainFrm_Commands*.cpp,
// connecting and the module status in MainFrm_Connect*.cpp.

#include "link/MLX90640Sink.h"
#include "link/QtUiDispatcher.h"
#include "serial/SPComm.h"
#include "serial/nrComm.h"
#include "ui/device/MainFrm_ConnectParts.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

TLinkParts::~TLinkParts() {
    // The components go first: after them no receive event reaches the intake. The
    // intake then waits for its workers, and the virtual module stops last.
    delete Comm1;
    Comm1 = nullptr;
    delete nrComm1;
    nrComm1 = nullptr;
    Intake.reset();
    Sim.Stop();
}

void TLinkPartsDeleter::operator()(TLinkParts *parts) const {
    delete parts;
}

void TForm_Main::CreateLinkParts() {
    auto parts = std::make_unique<TLinkParts>();

    // Comm1 as the window holds it: DTR and RTS off; the rest is set on connecting.
    parts->Comm1 = new TComm(this);
    parts->Comm1->setObjectName(QStringLiteral("Comm1"));
    parts->Comm1->SetDtrControl(TDtrControl::DtrDisable);
    parts->Comm1->SetRtsControl(TRtsControl::RtsDisable);
    parts->nrComm1 = new TnrComm(this);
    parts->nrComm1->setObjectName(QStringLiteral("nrComm1"));

    TLinkHooks hooks;
    hooks.Sink = MakeMLX90640Sink(*fMLX90640);
    hooks.Dispatcher = std::make_shared<TQtUiDispatcher>();
    hooks.UpdateSysParsShow = [this](const TUINT16s &pars) {
        Guarded(this, [this, &pars] { UpdateSysParsShow(pars); })();
    };
    hooks.ReadParsAction = Guarded(this, [this] { btn_GetCalibInfoClick(btn_GetCalibInfo); });
    parts->Intake = std::make_unique<TFrameIntake>(WinState, std::move(hooks));

    // The decoder's same-subpage skip follows the (hidden) check box.
    parts->Intake->SetDouFrameUpdate(chk_DouFrameUpdate->isChecked());
    connect(chk_DouFrameUpdate, &QCheckBox::toggled, this, [this](bool checked) {
        if (fLink && fLink->Intake)
            fLink->Intake->SetDouFrameUpdate(checked);
    });

    parts->Comm1->SetOnReceiveData([this](TComm *sender, const uint8_t *buffer, uint16_t length) {
        Guarded(this, [&] { Comm1ReceiveData(sender, buffer, length); })();
    });
    parts->nrComm1->SetOnAfterReceive([this](TnrComm *sender, const uint8_t *buffer, uint32_t received) {
        Guarded(this, [&] { nrComm1AfterReceive(sender, buffer, received); })();
    });
    TLinkParts *raw = parts.get();
    parts->Comm1->SetOnRequestHangup(
        [this, raw](TComm *) { Guarded(this, [this, raw] { Comm1LinkLost(*this, *raw); })(); });

    fLink.reset(parts.release());
    AddPresentPortItems(cbb_Port);
}

// ---- Frame intake: every chunk goes to the link layer's intake, which counts it,
// joins frames and starts the decoding workers.
void TForm_Main::Comm1ReceiveData(QObject *, const uint8_t *Buffer, uint16_t BufferLength) {
    if (fLink && fLink->Intake && Buffer)
        fLink->Intake->Comm1ReceiveData(Buffer, BufferLength);
}

void TForm_Main::nrComm1AfterReceive(QObject *, const uint8_t *Buffer, uint32_t Received) {
    if (fLink && fLink->Intake && Buffer)
        fLink->Intake->nrComm1AfterReceive(Buffer, Received);
}
