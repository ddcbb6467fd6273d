// Controls of the module link: the port group, the device-parameter group and the
// photo column, with their stored content (from the text catalogue) and initial state.

#include "ui/mainwindow/ControlFactory.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/widgets/ShapeCircle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QColor kOlive(0x80, 0x80, 0x00);

TShapeCircle *NewCircle(QWidget *parent, const char *name, const QRect &geometry, const QColor &color) {
    auto *shape = new TShapeCircle(parent);
    shape->setObjectName(QString::fromLatin1(name));
    shape->setGeometry(geometry);
    shape->SetBrushColor(color);
    return shape;
}

}  // namespace

void TForm_Main::BuildComSet() {
    QWidget *box = ScrollBox1Content;
    grp_COMSet = NewGroup(box, "grp_COMSet", QRect(8, 8, 729, 102));
    QWidget *g = grp_COMSet;

    lbl_ComPort_Text = NewLabel(g, "lbl_ComPort_Text", 16, 27);
    QStringList ports;
    for (int i = 1; i <= 16; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    cbb_Port = NewList(g, "cbb_Port", QRect(56, 24, 89, 28), 3, ports);  // "COM4"
    lbl_Baud_Text = NewLabel(g, "lbl_Baud_Text", 160, 27);
    cbb_Baud = NewList(g, "cbb_Baud", QRect(200, 24, 89, 28), 2);  // "460800"
    edt_ComTimeout = NewEdit(g, "edt_ComTimeout", QRect(287, 24, 34, 28), QStringLiteral("5"));
    shp_led = NewCircle(g, "shp_led", QRect(325, 27, 24, 20), Qt::black);
    Label64 = NewLabel(g, "Label64", 356, 28);
    shp_TX = NewCircle(g, "shp_TX", QRect(369, 27, 20, 20), kOlive);
    Label65 = NewLabel(g, "Label65", 401, 28);
    shp_RX = NewCircle(g, "shp_RX", QRect(414, 27, 20, 20), kOlive);
    btn_Connect = NewButton(g, "btn_Connect", QRect(454, 22, 121, 32));
    btn_GetCalibInfo = NewButton(g, "btn_GetCalibInfo", QRect(593, 22, 121, 32));
    edt_Tx = NewEdit(g, "edt_Tx", QRect(16, 60, 559, 28), QString());
    btn_SendCmd = NewButton(g, "btn_SendCmd", QRect(593, 60, 121, 32));

    btn_Connect2 = NewButton(box, "btn_Connect2", QRect(480, 155, 121, 32));
    btn_Connect2->setVisible(false);
}

void TForm_Main::BuildCameraPars() {
    grp_CameraPars = NewGroup(ScrollBox1Content, "grp_CameraPars", QRect(752, 8, 723, 102));
    QWidget *g = grp_CameraPars;

    lbl_ADCResolution_Text = NewLabel(g, "lbl_ADCResolution_Text", 11, 28);
    cbb_ADCResolution = NewList(g, "cbb_ADCResolution", QRect(89, 25, 76, 28), 2);
    lbl_RefreshRate_Text = NewLabel(g, "lbl_RefreshRate_Text", 11, 61);
    cbb_RefreshRate = NewList(g, "cbb_RefreshRate", QRect(89, 57, 76, 28), 2);
    lbl_ArrangeMode_Text = NewLabel(g, "lbl_ArrangeMode_Text", 177, 28);
    cbb_ArrangeMode = NewList(g, "cbb_ArrangeMode", QRect(273, 25, 100, 28), 1);
    chk_AutoSend = NewCheck(g, "chk_AutoSend", QRect(177, 63, 90, 17), false);
    cbb_OutPortNum = NewList(g, "cbb_OutPortNum", QRect(273, 58, 100, 28), 1);
    lbl_DelayMs_Text = NewLabel(g, "lbl_DelayMs_Text", 379, 28);
    edt_DelayMs = NewEdit(g, "edt_DelayMs", QRect(432, 25, 35, 28), QStringLiteral("3"));
    cbb_OutBaud = NewList(g, "cbb_OutBaud", QRect(379, 58, 88, 28), 2);
    chk_LedEN = NewCheck(g, "chk_LedEN", QRect(472, 30, 49, 17), false);
    chk_FrmHalf = NewCheck(g, "chk_FrmHalf", QRect(473, 63, 72, 17), false);
    lbl_Cell = NewLabel(g, "lbl_Cell", 527, 20);
    lbl_RTC = NewLabel(g, "lbl_RTC", 527, 40);
    lbl_SavedPhotoNum_Caption = NewLabel(g, "lbl_SavedPhotoNum_Caption", 547, 61);
    lbl_SavedPhotoNum = NewLabel(g, "lbl_SavedPhotoNum", 634, 61);
    Label9 = NewLabel(g, "Label9", 674, 61);

    // Enabled once the module has reported its parameters (live view tick).
    for (QWidget *w : DeviceParameterControls())
        w->setEnabled(false);
}

void TForm_Main::BuildPhotoColumn() {
    QWidget *box = ScrollBox1Content;
    btn_SaveOnePhoto = NewButton(box, "btn_SaveOnePhoto", QRect(1362, 126, 113, 28));
    btn_ReadLastPhoto = NewButton(box, "btn_ReadLastPhoto", QRect(1362, 169, 113, 28));
    edt_CurrentPhotoNum =
        NewEdit(box, "edt_CurrentPhotoNum", QRect(1362, 195, 60, 28), QStringLiteral("0001"));
    btn_ReadOnePhoto = NewButton(box, "btn_ReadOnePhoto", QRect(1428, 195, 47, 28));
    lbl_CurrentPhotoDate = NewLabel(box, "lbl_CurrentPhotoDate", 1362, 222);
    lbl_CurrentPhotoTime = NewLabel(box, "lbl_CurrentPhotoTime", 1362, 238);
    btn_ReadPrivPhoto = NewButton(box, "btn_ReadPrivPhoto", QRect(1362, 256, 113, 28));
    btn_ReadNextPhoto = NewButton(box, "btn_ReadNextPhoto", QRect(1362, 287, 113, 28));
    btn_ClearAllPhoto = NewButton(box, "btn_ClearAllPhoto", QRect(1362, 318, 113, 28));
    btn_Reboot = NewButton(box, "btn_Reboot", QRect(1362, 363, 113, 28));
    btn_SetParsDef = NewButton(box, "btn_SetParsDef", QRect(1362, 394, 113, 28));
    btn_SetDT = NewButton(box, "btn_SetDT", QRect(1362, 439, 113, 28));

    // Enabled once the calibration memory has been received (live view tick).
    for (QWidget *w : PhotoControls())
        w->setEnabled(false);
}
