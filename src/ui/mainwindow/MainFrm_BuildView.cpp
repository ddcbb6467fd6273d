// Controls of the picture and its options: the picture, legend, data grid and edge
// panels, the display option group, the readouts, the hidden option column, the
// status bar and the timers, with their stored content and initial state.

#include "ui/mainwindow/ControlFactory.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/mainwindow/Splash.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ReadoutLabel.h"
#include "ui/widgets/StatusPanels.h"
#include "ui/widgets/StringGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>

#include <algorithm>

namespace {

// The picture-computation group and the readouts beside it.
constexpr int kCalcGroupHeight = 180;
// The group box's frame, inside its right edge.
constexpr int kGroupFrame = 2;

QLabel *NewEdgePanel(QWidget *parent, const char *name) {
    auto *panel = new QLabel(QString::fromLatin1(name), parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAutoFillBackground(true);
    panel->setBackgroundRole(QPalette::Window);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setVisible(false);
    return panel;
}

}  // namespace

void TForm_Main::BuildPictureArea() {
    QWidget *box = ScrollBox1Content;

    StringGrid1 = new TStringGrid(box);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(8, 116, 393, 257);
    QFont gridFont = font();
    gridFont.setPixelSize(12);
    StringGrid1->setFont(gridFont);
    // StringGrid1DrawCell covers every data cell with its pixel's colour, so the
    // texts underneath are not drawn first; it draws them itself where it has no colour.
    StringGrid1->SetDefaultDrawing(false);
    StringGrid1->OnDrawCell = [this](QPainter *canvas, int col, int row, const QRect &rect,
                                     QStyle::State state) {
        StringGrid1DrawCell(canvas, col, row, rect, state);
    };

    Image1 = new TPictureBox(box);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(752, 116, 512, 384);
    Image1->setCursor(Qt::CrossCursor);
    Image1->setToolTip(ControlTexts("Image1").Hint);
    Image1->SetPicture(MakeSplashPicture());

    img_ColorLegend = new TPictureBox(box);
    img_ColorLegend->setObjectName(QStringLiteral("img_ColorLegend"));
    img_ColorLegend->setGeometry(1270, 116, 33, 384);

    // Fixed 20 pixels high (FormResize centres label 1 on the legend's top edge by
    // that height); wide enough for readings such as "-40.0" or "300.0".
    for (int k = 1; k <= 11; ++k) {
        auto *label = new QLabel(QStringLiteral("0.0"), box);
        label->setObjectName(QStringLiteral("lbl_ColorLegend%1").arg(k));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(1319, 447 - 25 * (k - 1), 48, 20);
        lbl_ColorLegend[size_t(k - 1)] = label;
    }

    Panel1 = NewEdgePanel(box, "Panel1");
    Panel2 = NewEdgePanel(box, "Panel2");
    Panel3 = NewEdgePanel(box, "Panel3");
    Panel4 = NewEdgePanel(box, "Panel4");
}

void TForm_Main::BuildCalcAndShow() {
    // Five rows, 29 pixels apart: the English captions of the filter, correction and
    // target controls need more than the four rows of the Chinese layout hold. The
    // group keeps its place and width; it is 8 pixels taller.
    grp_CalcAndShow = NewGroup(ScrollBox1Content, "grp_CalcAndShow", QRect(752, 505, 409, kCalcGroupHeight));
    QWidget *g = grp_CalcAndShow;
    constexpr int row1 = 30, row2 = 59, row3 = 88, row4 = 117, row5 = 146;
    constexpr int check = 5;  // a 17-pixel check box centred on a 28-pixel row
    constexpr int label = 4;

    chk_Mirror_LR = NewCheck(g, "chk_Mirror_LR", QRect(8, row1 + check, 84, 17), true);
    // FormCreate selects "伪彩2" (index 1) once the object has its defaults.
    cbb_GrayColor_SubMeth = NewList(g, "cbb_GrayColor_SubMeth", QRect(98, row1, 96, 28), -1);
    lbl_Emissivity_Text = NewLabel(g, "lbl_Emissivity_Text", 198, row1 + label);
    edt_Emissivity = NewEdit(g, "edt_Emissivity", QRect(264, row1, 39, 28), QStringLiteral("0.95"));
    cbb_PixsType = NewList(g, "cbb_PixsType", QRect(306, row1, 96, 28), 0);

    lbl_InterMethodFirst_Text = NewLabel(g, "lbl_InterMethodFirst_Text", 8, row2 + label);
    cbb_InterMethodFirst = NewList(g, "cbb_InterMethodFirst", QRect(98, row2, 96, 28), 0);
    lbl_InterMethodSecond_Text = NewLabel(g, "lbl_InterMethodSecond_Text", 216, row2 + label);
    cbb_InterMethodSecond = NewList(g, "cbb_InterMethodSecond", QRect(306, row2, 96, 28), 0);

    chk_Temperature_UpLowAuto =
        NewCheck(g, "chk_Temperature_UpLowAuto", QRect(8, row3 + check, 214, 17), false);
    edt_Temperature_Lower =
        NewEdit(g, "edt_Temperature_Lower", QRect(226, row3, 54, 28), QStringLiteral("0"));
    edt_Temperature_Upper =
        NewEdit(g, "edt_Temperature_Upper", QRect(284, row3, 54, 28), QStringLiteral("35"), true);

    chk_Filter = NewCheck(g, "chk_Filter", QRect(8, row4 + check, 62, 17), false);
    cbb_FilterMethod = NewList(g, "cbb_FilterMethod", QRect(72, row4, 84, 28), 0);
    edt_FilterPixCount =
        NewEdit(g, "edt_FilterPixCount", QRect(160, row4, 34, 28), QStringLiteral("5"), true);
    edt_Sigma = NewEdit(g, "edt_Sigma", QRect(198, row4, 34, 28), QStringLiteral("1.5"));
    edt_Sigma->setEnabled(false);
    chk_brokenPixelsCorr = NewCheck(g, "chk_brokenPixelsCorr", QRect(240, row4 + check, 162, 17), true);

    chk_ShowTarget = NewCheck(g, "chk_ShowTarget", QRect(8, row5 + check, 110, 17), false);
    edt_TargetSize = NewEdit(g, "edt_TargetSize", QRect(120, row5, 41, 28), QStringLiteral("24"));
    edt_TargetSize->setEnabled(false);
    chk_ShowTarget_Text = NewCheck(g, "chk_ShowTarget_Text", QRect(172, row5 + check, 62, 17), false);
    edt_TextHeight = NewEdit(g, "edt_TextHeight", QRect(236, row5, 41, 28), QStringLiteral("24"));
    edt_TextHeight->setEnabled(false);
    cbb_Scale = NewList(g, "cbb_Scale", QRect(315, 126, 73, 28), 0);
    cbb_Scale->setVisible(false);
}

void TForm_Main::BuildRTDatas() {
    grp_RTDatas = NewGroup(ScrollBox1Content, "grp_RTDatas", QRect(1167, 505, 174, kCalcGroupHeight));
    QWidget *g = grp_RTDatas;
    // Readings that change with every frame, reaching to the group's right edge.
    const int right = g->width() - kGroupFrame;
    lbl_Vdd = NewReadout(g, "lbl_Vdd", 13, 25, right);
    lbl_Ta = NewReadout(g, "lbl_Ta", 13, 45, right);
    lbl_CenterTemp = NewReadout(g, "lbl_CenterTemp", 13, 65, right);
    lbl_MaxTemp = NewReadout(g, "lbl_MaxTemp", 13, 85, right);
    lbl_MinTemp = NewReadout(g, "lbl_MinTemp", 13, 105, right);
    lbl_AvgTemp = NewReadout(g, "lbl_AvgTemp", 13, 125, right);
    lbl_MouseMoveText = NewReadout(g, "lbl_MouseMoveText", 13, 145, right);
}

void TForm_Main::BuildRecordPlay() {
    // In the free place right of the readouts and below the photo column, reaching as
    // low as the readouts, below the legend labels; wide enough for its English title.
    grp_RecordPlay = NewGroup(ScrollBox1Content, "grp_RecordPlay", QRect(1343, 508, 134, 177));
    QWidget *g = grp_RecordPlay;
    QFont small = font();
    small.setPixelSize(12);
    btn_Record = NewButton(g, "btn_Record", QRect(8, 20, 118, 26));
    btn_Record->setToolTip(ControlTexts("btn_Record").Hint);
    lbl_RecordInfo = new QLabel(g);
    lbl_RecordInfo->setObjectName(QStringLiteral("lbl_RecordInfo"));
    lbl_RecordInfo->setTextFormat(Qt::PlainText);
    lbl_RecordInfo->setFont(small);
    lbl_RecordInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbl_RecordInfo->setGeometry(8, 47, 120, 30);
    btn_OpenCapture = NewButton(g, "btn_OpenCapture", QRect(8, 78, 118, 26));
    btn_OpenCapture->setToolTip(ControlTexts("btn_OpenCapture").Hint);
    btn_PlayPause = NewButton(g, "btn_PlayPause", QRect(8, 107, 60, 26));
    btn_PlayPause->setEnabled(false);
    cbb_PlaySpeed = new QComboBox(g);
    cbb_PlaySpeed->setObjectName(QStringLiteral("cbb_PlaySpeed"));
    cbb_PlaySpeed->addItems(ControlTexts("cbb_PlaySpeed").Items);
    cbb_PlaySpeed->setCurrentIndex(2);  // x1
    cbb_PlaySpeed->setGeometry(70, 107, 56, 26);
    cbb_PlaySpeed->setFocusPolicy(Qt::StrongFocus);
    sld_Playback = new QSlider(Qt::Horizontal, g);
    sld_Playback->setObjectName(QStringLiteral("sld_Playback"));
    sld_Playback->setGeometry(8, 137, 118, 18);
    // Seeks when let go (or on a page step, a key), not at every step of a drag.
    sld_Playback->setTracking(false);
    sld_Playback->setRange(0, 0);
    sld_Playback->setEnabled(false);
    lbl_PlayPosition = new QLabel(g);
    lbl_PlayPosition->setObjectName(QStringLiteral("lbl_PlayPosition"));
    lbl_PlayPosition->setTextFormat(Qt::PlainText);
    lbl_PlayPosition->setFont(small);
    lbl_PlayPosition->setGeometry(8, 156, 120, 16);
    fStepShortcut = new QShortcut(QKeySequence(Qt::Key_Right), this);
    fStepShortcut->setObjectName(QStringLiteral("StepShortcut"));
    fStepShortcut->setContext(Qt::WindowShortcut);
    fStepShortcut->setEnabled(false);
}

void TForm_Main::BuildHiddenColumn() {
    QWidget *box = ScrollBox1Content;
    chk_Sharpen = NewCheck(box, "chk_Sharpen", QRect(1365, 512, 97, 17), false);
    chk_Blur = NewCheck(box, "chk_Blur", QRect(1365, 535, 97, 17), false);
    chk_Negative = NewCheck(box, "chk_Negative", QRect(1365, 558, 97, 17), false);
    chk_Exposure = NewCheck(box, "chk_Exposure", QRect(1365, 581, 97, 17), false);
    chk_HideMaignInter = NewCheck(box, "chk_HideMaignInter", QRect(1365, 604, 97, 17), false);
    chk_DouFrameUpdate = NewCheck(box, "chk_DouFrameUpdate", QRect(1365, 637, 86, 17), false);
    chk_Slugg = NewCheck(box, "chk_Slugg", QRect(1365, 660, 85, 17), false);
    for (QWidget *w : {chk_Sharpen, chk_Blur, chk_Negative, chk_Exposure, chk_HideMaignInter,
                       chk_DouFrameUpdate, chk_Slugg})
        w->setVisible(false);
}

void TForm_Main::BuildStatusBar() {
    StatusBar1 = new TStatusPanels(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    // Each panel as wide as the longest text it shows (at least its stored width); the
    // last one, the notices, takes the rest of the bar.
    constexpr int kPanelPadding = 12;  // the panel's frame and margins around its text
    const QFontMetrics fm(font());
    for (int panel = 0; panel < StoredPanelCount; ++panel) {
        int width = StoredPanelWidth(panel);
        for (const QString &text : LongestPanelTexts(panel))
            width = std::max(width, fm.horizontalAdvance(text) + kPanelPadding);
        StatusBar1->AddPanel(width, StoredPanelText(panel), panel == StoredPanelCount - 1);
    }
    setStatusBar(StatusBar1);
}

void TForm_Main::BuildTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(100);
    // Timer1 and Timer2 run from the start (started once the handlers are connected);
    // Timer3 is armed by a successful connect.
}
