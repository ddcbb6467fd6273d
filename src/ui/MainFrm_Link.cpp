// Handlers of the module link (serial intake, commands, connection and module
// status), the live view and snapshots. The window connects them to their controls
// (MainFrm_Wiring.cpp); their behaviour is built together with the link layer.

#include "MainFrm.h"

// The serial components and the frame intake of the window.
struct TLinkParts {};

void TLinkPartsDeleter::operator()(TLinkParts *parts) const {
    delete parts;
}

void TForm_Main::CreateLinkParts() {
    fLink.reset(new TLinkParts);
}

// ---- Frame intake: built with the serial components.
void TForm_Main::Comm1ReceiveData(QObject *, const uint8_t *, uint16_t) {}
void TForm_Main::nrComm1AfterReceive(QObject *, const uint8_t *, uint32_t) {}

// ---- Commands: built with the serial components.
void TForm_Main::CommSendStr(const QString &) {}
void TForm_Main::CommSendBytes(const uint8_t *, int32_t) {}
void TForm_Main::btn_GetCalibInfoClick(QObject *) {}
void TForm_Main::btn_ReadOnePhotoClick(QObject *) {}
void TForm_Main::btn_SaveOnePhotoClick(QObject *) {}
void TForm_Main::btn_ReadLastPhotoClick(QObject *) {}
void TForm_Main::btn_ReadPrivPhotoClick(QObject *) {}
void TForm_Main::btn_ReadNextPhotoClick(QObject *) {}
void TForm_Main::btn_ClearAllPhotoClick(QObject *) {}
void TForm_Main::btn_RebootClick(QObject *) {}
void TForm_Main::btn_SetParsDefClick(QObject *) {}
void TForm_Main::btn_SetDTClick(QObject *) {}
void TForm_Main::btn_SendCmdClick(QObject *) {}
void TForm_Main::cbb_ADCResolutionChange(QObject *) {}
void TForm_Main::cbb_ArrangeModeChange(QObject *) {}
void TForm_Main::cbb_OutBaudChange(QObject *) {}
void TForm_Main::cbb_OutPortNumChange(QObject *) {}
void TForm_Main::cbb_RefreshRateChange(QObject *) {}
void TForm_Main::chk_AutoSendClick(QObject *) {}
void TForm_Main::chk_FrmHalfClick(QObject *) {}
void TForm_Main::chk_LedENClick(QObject *) {}
void TForm_Main::edt_DelayMsChange(QObject *) {}
void TForm_Main::edt_CurrentPhotoNumChange(QObject *) {}

// ---- Connection and module status: built with the serial components.
void TForm_Main::btn_ConnectClick(QObject *) {}
void TForm_Main::btn_Connect2Click(QObject *) {}
void TForm_Main::Timer2Timer(QObject *) {}
void TForm_Main::Timer3Timer(QObject *) {}
void TForm_Main::edt_ComTimeoutChange(QObject *) {}
void TForm_Main::UpdateSysParsShow(const TUINT16s &) {}
