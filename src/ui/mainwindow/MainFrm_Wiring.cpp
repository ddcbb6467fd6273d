// Every handler connection of the window. Each goes through Guarded(), the
// program-wide error handler: an error a handler raises is shown in a dialog and the
// program continues.
//
// How the controls report a change:
// - edit boxes on every text change, text set from code included (textChanged);
// - check boxes whenever their state changes, from the user or from code (toggled);
// - drop-down lists when the user picks an item or types, never when code selects
//   an index (ConnectComboChange);
// - buttons when clicked.

#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/PictureBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

using THandler = void (TForm_Main::*)(QObject *);

void OnClick(TForm_Main *form, QAbstractButton *button, THandler handler) {
    QObject::connect(button, &QAbstractButton::clicked, form,
                     Guarded(form, [form, button, handler] { (form->*handler)(button); }));
}

void OnToggle(TForm_Main *form, QCheckBox *box, THandler handler) {
    QObject::connect(box, &QCheckBox::toggled, form,
                     Guarded(form, [form, box, handler] { (form->*handler)(box); }));
}

void OnTextChange(TForm_Main *form, QLineEdit *edit, THandler handler) {
    QObject::connect(edit, &QLineEdit::textChanged, form,
                     Guarded(form, [form, edit, handler] { (form->*handler)(edit); }));
}

// A list whose typed text matches no item returns to its last item when editing
// ends. A display list runs its handler again then, so the picture follows the list;
// a device list sends nothing (its handler sent nothing for the typed text).
enum class TOnRevert { RunHandler, Nothing };

void OnListChange(TForm_Main *form, QComboBox *box, THandler handler,
                  TOnRevert onRevert = TOnRevert::RunHandler) {
    auto run = Guarded(form, [form, box, handler] { (form->*handler)(box); });
    ConnectComboChange(box, form, run);
    if (auto *list = qobject_cast<TEditableList *>(box); list && onRevert == TOnRevert::RunHandler)
        QObject::connect(list, &TEditableList::RevertedToLastItem, form, run);
}

void OnTimeout(TForm_Main *form, QTimer *timer, THandler handler) {
    QObject::connect(timer, &QTimer::timeout, form,
                     Guarded(form, [form, timer, handler] { (form->*handler)(timer); }));
}

}  // namespace

void TForm_Main::ConnectDisplayHandlers() {
    OnListChange(this, cbb_PixsType, &TForm_Main::cbb_PixsTypeChange);
    OnToggle(this, chk_Mirror_LR, &TForm_Main::chk_Mirror_LRClick);
    OnTextChange(this, edt_Emissivity, &TForm_Main::edt_EmissivityChange);
    OnListChange(this, cbb_GrayColor_SubMeth, &TForm_Main::cbb_GrayColor_SubMethChange);
    OnListChange(this, cbb_InterMethodFirst, &TForm_Main::cbb_InterMethodFirstChange);
    OnListChange(this, cbb_InterMethodSecond, &TForm_Main::cbb_InterMethodSecondChange);
    OnToggle(this, chk_Temperature_UpLowAuto, &TForm_Main::chk_Temperature_UpLowAutoClick);
    OnToggle(this, chk_DouFrameUpdate, &TForm_Main::chk_Temperature_UpLowAutoClick);
    OnTextChange(this, edt_Temperature_Lower, &TForm_Main::edt_Temperature_LowerChange);
    OnTextChange(this, edt_Temperature_Upper, &TForm_Main::edt_Temperature_UpperChange);
    OnToggle(this, chk_brokenPixelsCorr, &TForm_Main::chk_brokenPixelsCorrClick);
    OnToggle(this, chk_Filter, &TForm_Main::chk_FilterClick);
    OnListChange(this, cbb_FilterMethod, &TForm_Main::cbb_FilterMethodChange);
    OnTextChange(this, edt_FilterPixCount, &TForm_Main::edt_FilterPixCountChange);
    OnTextChange(this, edt_Sigma, &TForm_Main::edt_SigmaChange);
    OnToggle(this, chk_ShowTarget, &TForm_Main::chk_ShowTargetClick);
    OnToggle(this, chk_ShowTarget_Text, &TForm_Main::chk_ShowTarget_TextClick);
    OnToggle(this, chk_Slugg, &TForm_Main::chk_SluggClick);
    OnToggle(this, chk_HideMaignInter, &TForm_Main::chk_HideMaignInterClick);
    OnListChange(this, cbb_Scale, &TForm_Main::cbb_ScaleChange);

    // A temperature file on show is drawn again with the option changed (after the
    // option's own handler): no frame comes to show it.
    auto redraw = Guarded(this, [this] { RedrawTemperatureFile(); });
    for (QCheckBox *box : {chk_Temperature_UpLowAuto, chk_Filter, chk_ShowTarget, chk_ShowTarget_Text})
        connect(box, &QCheckBox::toggled, this, redraw);
    for (QLineEdit *edit : {edt_Temperature_Lower, edt_Temperature_Upper, edt_FilterPixCount, edt_Sigma})
        connect(edit, &QLineEdit::textChanged, this, redraw);
    for (QComboBox *box :
         {cbb_PixsType, cbb_GrayColor_SubMeth, cbb_InterMethodFirst, cbb_InterMethodSecond, cbb_FilterMethod})
        ConnectComboChange(box, this, redraw);

    OnClick(this, btn_Analysis, &TForm_Main::btn_AnalysisClick);
}

void TForm_Main::ConnectLinkHandlers() {
    // Live view and snapshots.
    OnTimeout(this, Timer1, &TForm_Main::Timer1Timer);
    // myTimer's tick handler DoTimer is set by FormCreate, which creates the timer.
    connect(Image1, &TPictureBox::MouseEntered, this, Guarded(this, [this] { Image1MouseEnter(Image1); }));
    connect(Image1, &TPictureBox::MouseLeft, this, Guarded(this, [this] { Image1MouseLeave(Image1); }));
    connect(Image1, &TPictureBox::DoubleClicked, this, Guarded(this, [this] { Image1DblClick(Image1); }));

    // Connection and module status.
    OnClick(this, btn_Connect, &TForm_Main::btn_ConnectClick);
    OnClick(this, btn_Connect2, &TForm_Main::btn_Connect2Click);
    OnTimeout(this, Timer2, &TForm_Main::Timer2Timer);
    OnTimeout(this, Timer3, &TForm_Main::Timer3Timer);
    OnTextChange(this, edt_ComTimeout, &TForm_Main::edt_ComTimeoutChange);

    // Commands.
    OnClick(this, btn_GetCalibInfo, &TForm_Main::btn_GetCalibInfoClick);
    OnClick(this, btn_SendCmd, &TForm_Main::btn_SendCmdClick);
    OnClick(this, btn_SaveOnePhoto, &TForm_Main::btn_SaveOnePhotoClick);
    OnClick(this, btn_ReadOnePhoto, &TForm_Main::btn_ReadOnePhotoClick);
    OnClick(this, btn_ReadLastPhoto, &TForm_Main::btn_ReadLastPhotoClick);
    OnClick(this, btn_ReadPrivPhoto, &TForm_Main::btn_ReadPrivPhotoClick);
    OnClick(this, btn_ReadNextPhoto, &TForm_Main::btn_ReadNextPhotoClick);
    OnClick(this, btn_ClearAllPhoto, &TForm_Main::btn_ClearAllPhotoClick);
    OnClick(this, btn_Reboot, &TForm_Main::btn_RebootClick);
    OnClick(this, btn_SetParsDef, &TForm_Main::btn_SetParsDefClick);
    OnClick(this, btn_SetDT, &TForm_Main::btn_SetDTClick);
    OnListChange(this, cbb_ADCResolution, &TForm_Main::cbb_ADCResolutionChange, TOnRevert::Nothing);
    OnListChange(this, cbb_RefreshRate, &TForm_Main::cbb_RefreshRateChange, TOnRevert::Nothing);
    OnListChange(this, cbb_ArrangeMode, &TForm_Main::cbb_ArrangeModeChange, TOnRevert::Nothing);
    OnListChange(this, cbb_OutPortNum, &TForm_Main::cbb_OutPortNumChange, TOnRevert::Nothing);
    OnListChange(this, cbb_OutBaud, &TForm_Main::cbb_OutBaudChange, TOnRevert::Nothing);
    OnToggle(this, chk_AutoSend, &TForm_Main::chk_AutoSendClick);
    OnToggle(this, chk_LedEN, &TForm_Main::chk_LedENClick);
    OnToggle(this, chk_FrmHalf, &TForm_Main::chk_FrmHalfClick);
    OnTextChange(this, edt_DelayMs, &TForm_Main::edt_DelayMsChange);
    OnTextChange(this, edt_CurrentPhotoNum, &TForm_Main::edt_CurrentPhotoNumChange);

    // The session's reports. The decoding worker waits while a "SYS" block is shown;
    // the guard keeps an error from reaching it.
    connect(&fSession, &TModuleSession::LinkLost, this, Guarded(this, [this] { Comm1LinkLost(); }));
    connect(&fSession, &TModuleSession::AlternativeLinkLost, this,
            Guarded(this, [this] { nrComm1LinkLost(); }));
    connect(&fSession, &TModuleSession::SysParsReceived, this,
            [this](const TUINT16s &pars) { Guarded(this, [this, &pars] { UpdateSysParsShow(pars); })(); });
    connect(&fSession, &TModuleSession::TypeReplyReceived, this,
            Guarded(this, [this] { btn_GetCalibInfoClick(btn_GetCalibInfo); }));
    // The decoder's same-subpage skip follows the (hidden) check box.
    fSession.Intake().SetDouFrameUpdate(chk_DouFrameUpdate->isChecked());
    connect(chk_DouFrameUpdate, &QCheckBox::toggled, this,
            [this](bool checked) { fSession.Intake().SetDouFrameUpdate(checked); });
}
