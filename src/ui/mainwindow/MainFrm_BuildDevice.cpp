// Controls of the module link: the port group, the device-parameter group and the
// photo column, with their stored (Chinese) content and initial state.

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

QStringList BaudItems() {
    return {QStringLiteral("115200"), QStringLiteral("230400"), QStringLiteral("460800"),
            QStringLiteral("614400"), QStringLiteral("921600"), QStringLiteral("1382400")};
}

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
    grp_COMSet = NewGroup(box, "grp_COMSet", QRect(8, 8, 729, 102), QStringLiteral("计算机COM端口"));
    QWidget *g = grp_COMSet;

    lbl_ComPort_Text = NewLabel(g, "lbl_ComPort_Text", 16, 27, QStringLiteral("端口："));
    QStringList ports;
    for (int i = 1; i <= 16; ++i)
        ports << QStringLiteral("COM%1").arg(i);
    cbb_Port = NewList(g, "cbb_Port", QRect(56, 24, 89, 28), ports, 3, QString(),
                       QStringLiteral("支持手工输入COMx"));
    lbl_Baud_Text = NewLabel(g, "lbl_Baud_Text", 160, 27, QStringLiteral("参数："));
    cbb_Baud = NewList(g, "cbb_Baud", QRect(200, 24, 89, 28), BaudItems(), 2, QString(),
                       QStringLiteral("请选择与模块一致的通讯速率"));
    edt_ComTimeout = NewEdit(g, "edt_ComTimeout", QRect(287, 24, 34, 28), QStringLiteral("5"));
    shp_led = NewCircle(g, "shp_led", QRect(325, 27, 24, 20), Qt::black);
    Label64 = NewLabel(g, "Label64", 356, 28, QStringLiteral("T"));
    shp_TX = NewCircle(g, "shp_TX", QRect(369, 27, 20, 20), kOlive);
    Label65 = NewLabel(g, "Label65", 401, 28, QStringLiteral("R"));
    shp_RX = NewCircle(g, "shp_RX", QRect(414, 27, 20, 20), kOlive);
    btn_Connect = NewButton(g, "btn_Connect", QRect(454, 22, 121, 32), QStringLiteral("连接端口"),
                            QStringLiteral("打开【端口】下拉框指定的端口"));
    btn_GetCalibInfo = NewButton(g, "btn_GetCalibInfo", QRect(593, 22, 121, 32), QStringLiteral("读取参数"));
    edt_Tx = NewEdit(g, "edt_Tx", QRect(16, 60, 559, 28), QString());
    btn_SendCmd = NewButton(g, "btn_SendCmd", QRect(593, 60, 121, 32), QStringLiteral("发送指令"),
                            QStringLiteral("将计算机时间写入模块"));

    btn_Connect2 = NewButton(box, "btn_Connect2", QRect(480, 155, 121, 32), QStringLiteral("连接端口"),
                             QStringLiteral("打开【端口】下拉框指定的端口"));
    btn_Connect2->setVisible(false);
}

void TForm_Main::BuildCameraPars() {
    grp_CameraPars =
        NewGroup(ScrollBox1Content, "grp_CameraPars", QRect(752, 8, 723, 102), QStringLiteral("设备参数"));
    QWidget *g = grp_CameraPars;

    lbl_ADCResolution_Text = NewLabel(g, "lbl_ADCResolution_Text", 11, 28, QStringLiteral("测温分辨率"));
    cbb_ADCResolution = NewList(
        g, "cbb_ADCResolution", QRect(89, 25, 76, 28),
        {QStringLiteral("16位"), QStringLiteral("17位"), QStringLiteral("18位"), QStringLiteral("19位")}, 2,
        QString(), QStringLiteral("传感器温度检测分辨率，转换精度"));
    lbl_RefreshRate_Text = NewLabel(g, "lbl_RefreshRate_Text", 11, 61, QStringLiteral("测温速率"));
    cbb_RefreshRate = NewList(g, "cbb_RefreshRate", QRect(89, 57, 76, 28),
                              {QStringLiteral("0.5Hz"), QStringLiteral("1Hz"), QStringLiteral("2Hz"),
                               QStringLiteral("4Hz"), QStringLiteral("8Hz"), QStringLiteral("16Hz"),
                               QStringLiteral("32Hz"), QStringLiteral("64Hz")},
                              2, QString(), QStringLiteral("每秒检测多少次(速度越快，噪声越大)"));
    lbl_ArrangeMode_Text = NewLabel(g, "lbl_ArrangeMode_Text", 177, 28, QStringLiteral("测量交错模式"));
    cbb_ArrangeMode = NewList(g, "cbb_ArrangeMode", QRect(273, 25, 100, 28),
                              {QStringLiteral("行交错模式"), QStringLiteral("点交错模式")}, 1);
    chk_AutoSend = NewCheck(g, "chk_AutoSend", QRect(177, 63, 90, 17), QStringLiteral("实时数据"), false);
    cbb_OutPortNum = NewList(g, "cbb_OutPortNum", QRect(273, 58, 100, 28),
                             {QStringLiteral("智能"), QStringLiteral("UART1(TTL)"),
                              QStringLiteral("UART2(USB)"), QStringLiteral("UART1&2")},
                             1, QString(), QStringLiteral("实时数据从哪个端口输出"));
    lbl_DelayMs_Text = NewLabel(g, "lbl_DelayMs_Text", 379, 28, QStringLiteral("帧间隔"));
    edt_DelayMs = NewEdit(g, "edt_DelayMs", QRect(432, 25, 35, 28), QStringLiteral("3"),
                          QStringLiteral("相邻数据帧之间的最小时间间隔"));
    cbb_OutBaud = NewList(g, "cbb_OutBaud", QRect(379, 58, 88, 28), BaudItems(), 2, QString(),
                          QStringLiteral("修改设备的通讯速率"));
    chk_LedEN = NewCheck(g, "chk_LedEN", QRect(472, 30, 49, 17), QStringLiteral("LED"), false,
                         QStringLiteral("是否使用LED指示灯"));
    chk_FrmHalf = NewCheck(g, "chk_FrmHalf", QRect(473, 63, 72, 17), QStringLiteral("压缩帧"), false,
                           QStringLiteral("是否使用实时数据压缩功能以减少单帧数据量"));
    lbl_Cell = NewLabel(g, "lbl_Cell", 527, 20, QStringLiteral("钮扣电池电压："));
    lbl_RTC = NewLabel(g, "lbl_RTC", 527, 40, QStringLiteral("2019年09月25日 22:33:44"));
    lbl_RTC->setToolTip(QStringLiteral("模块内部日期时间"));
    lbl_SavedPhotoNum_Caption =
        NewLabel(g, "lbl_SavedPhotoNum_Caption", 547, 61, QStringLiteral("已存储照片："));
    lbl_SavedPhotoNum = NewLabel(g, "lbl_SavedPhotoNum", 634, 61, QStringLiteral("0000"));
    Label9 = NewLabel(g, "Label9", 674, 61, QStringLiteral("/900"));

    // Enabled once the module has reported its parameters (live view tick).
    for (QWidget *w :
         std::initializer_list<QWidget *>{cbb_ADCResolution, cbb_RefreshRate, cbb_ArrangeMode, chk_AutoSend,
                                          cbb_OutPortNum, cbb_OutBaud, chk_LedEN, chk_FrmHalf})
        w->setEnabled(false);
}

void TForm_Main::BuildPhotoColumn() {
    QWidget *box = ScrollBox1Content;
    btn_SaveOnePhoto =
        NewButton(box, "btn_SaveOnePhoto", QRect(1362, 126, 113, 28), QStringLiteral("拍照存储"),
                  QStringLiteral("保存一张照片到模块内的Flash存储器"));
    btn_ReadLastPhoto = NewButton(box, "btn_ReadLastPhoto", QRect(1362, 169, 113, 28),
                                  QStringLiteral("读取最新照片"), QStringLiteral("读取最新一张保存的照片"));
    edt_CurrentPhotoNum =
        NewEdit(box, "edt_CurrentPhotoNum", QRect(1362, 195, 60, 28), QStringLiteral("0001"));
    btn_ReadOnePhoto = NewButton(box, "btn_ReadOnePhoto", QRect(1428, 195, 47, 28), QStringLiteral("读取"));
    lbl_CurrentPhotoDate = NewLabel(box, "lbl_CurrentPhotoDate", 1362, 222, QStringLiteral("2019-09-25"));
    lbl_CurrentPhotoTime = NewLabel(box, "lbl_CurrentPhotoTime", 1362, 238, QStringLiteral("12:00:00"));
    btn_ReadPrivPhoto =
        NewButton(box, "btn_ReadPrivPhoto", QRect(1362, 256, 113, 28), QStringLiteral("上一张"));
    btn_ReadNextPhoto =
        NewButton(box, "btn_ReadNextPhoto", QRect(1362, 287, 113, 28), QStringLiteral("下一张"));
    btn_ClearAllPhoto = NewButton(box, "btn_ClearAllPhoto", QRect(1362, 318, 113, 28),
                                  QStringLiteral("清除所有照片"), QStringLiteral("清除模块内存储的所有照片"));
    btn_Reboot = NewButton(box, "btn_Reboot", QRect(1362, 363, 113, 28), QStringLiteral("重新启动"),
                           QStringLiteral("模块重新启动"));
    btn_SetParsDef = NewButton(box, "btn_SetParsDef", QRect(1362, 394, 113, 28), QStringLiteral("参数复位"),
                               QStringLiteral("模块参数恢复为默认值"));
    btn_SetDT = NewButton(box, "btn_SetDT", QRect(1362, 439, 113, 28), QStringLiteral("设置时间"),
                          QStringLiteral("将计算机时间写入模块"));

    // Enabled once the calibration memory has been received (live view tick).
    for (QWidget *w : std::initializer_list<QWidget *>{
             btn_SaveOnePhoto, btn_ReadLastPhoto, edt_CurrentPhotoNum, btn_ReadOnePhoto, btn_ReadPrivPhoto,
             btn_ReadNextPhoto, btn_ClearAllPhoto, btn_Reboot, btn_SetParsDef, btn_SetDT})
        w->setEnabled(false);
}
