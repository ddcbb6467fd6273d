// The main window: construction, FormCreate, FormResize and lifetime.

#include "ui/mainwindow/MainFrm.h"

#include "pipeline/MLX90640.h"
#include "timing/utTimer.h"
#include "ui/device/ModuleSession.h"
#include "ui/device/PortList.h"
#include "ui/mainwindow/AutoSizeLabels.h"
#include "ui/mainwindow/WindowPlacement.h"
#include "ui/support/ErrorHandler.h"
#include "ui/support/Fonts.h"
#include "ui/support/Priority.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/CursorTracker.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"
#include "ui/widgets/StringGrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kOuterWidth = 1500;
constexpr int kOuterHeight = 760;

}  // namespace

TForm_Main::TForm_Main(TModuleSession &session, TMLX90640 &image, QWidget *parent)
    : QMainWindow(parent), fSession(session), fImage(image) {
    setObjectName(QStringLiteral("Form_Main"));
    setWindowTitle(QStringLiteral("Vantrel-MLX90640演示程序"));
    setFont(WindowFont(15));

    CreateControls();
    fCursor = new TCursorTracker(this);
    ConnectDisplayHandlers();
    ConnectLinkHandlers();
    ConnectPlaybackHandlers();
    FormCreate(this);
    Timer1->start();
    Timer2->start();
}

TForm_Main::~TForm_Main() {
    Timer1->stop();
    Timer2->stop();
    Timer3->stop();
    delete myTimer;
    myTimer = nullptr;
    // The session outlives the window: its signals must not reach a window being
    // destroyed.
    disconnect(&fSession, nullptr, this, nullptr);
}

void TForm_Main::CreateControls() {
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setBackgroundRole(QPalette::Window);
    ScrollBox1Content = new QWidget;
    ScrollBox1Content->setObjectName(QStringLiteral("ScrollBox1Content"));
    ScrollBox1Content->setBackgroundRole(QPalette::Window);
    ScrollBox1Content->setAutoFillBackground(true);
    setCentralWidget(ScrollBox1);

    BuildComSet();
    BuildCameraPars();
    BuildPhotoColumn();
    BuildPictureArea();
    BuildCalcAndShow();
    BuildRTDatas();
    BuildRecordPlay();
    BuildAnalysis();
    BuildHiddenColumn();
    BuildStatusBar();
    BuildTimers();

    ScrollBox1->setWidget(ScrollBox1Content);
    UpdateScrollExtent();
}

void TForm_Main::FormCreate(QObject *) {
    // 1. Above-normal priority, as far as the system permits.
    RaiseProcessPriority();
    // 2. The program's folder.
    ApplicationPathStr = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    // 3. The data grid.
    InitGrid();
    // 4. The sensor image object (made by the program entry with its own defaults)
    //    gets the window's display defaults. Emissivity, defective-pixel correction
    //    and smoothing keep the object's own defaults; the filter size is 9 although
    //    edt_FilterPixCount shows 5 until it is edited.
    TMLX90640 *mlx = &fImage;
    mlx->SetPixsType(PXT_Temp);
    mlx->SetMirror_LR(true);
    mlx->SetInterMethodFirst(IM_Poly1);
    mlx->SetInterMethodSecond(IM_Poly1);
    mlx->SetTemperature_UpLowAuto(false);
    mlx->SetTemperature_LowerLimit(0.0);
    mlx->SetTemperature_UpperLimit(35.0);
    mlx->SetTempToColorConverMeth(CM_GrayColor);
    mlx->SetGrayColor_SubMeth(GCM_Pseudo2);
    mlx->SetContinuColor_K(CCK_1_0);
    mlx->SetFilter(false);
    mlx->SetFilterMethod(0);
    mlx->SetFilterPixsCount(9);
    mlx->SetGaussSigma(1.5);
    mlx->SetTemperatureStep(false);
    // 5. The legend shows 0.0 to 35.0 in the default palette before any frame.
    DrawColorLegend();
    // 6. "伪彩2" without running the list's handler.
    SelectItemQuiet(cbb_GrayColor_SubMeth, 1);
    // 7. Size and place.
    resize(kOuterWidth, kOuterHeight);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        PlaceOnScreen(screen->geometry(), screen->availableGeometry());
    // 8. Rates (the session's decoding flag starts down).
    fSession.Intake().TakeRates();
    picUpdateRate = 0;
    // 9. The periodic timer thread, left disabled: the live view runs from Timer1.
    myTimer = new TZorvikTimer(this);
    myTimer->setObjectName(QStringLiteral("myTimer"));
    myTimer->SetTimeInterval(10);
    myTimer->SetOnTimerDo(
        [this, tick = Guarded(this, [this] { DoTimer(myTimer); })](TZorvikTimer *) { tick(); });
    myTimer->SetEnable(false);
    // 10. The half-frame merge buffer is the intake's, sized when it was made.
    // The port list offers the machine's serial devices and the virtual module.
    AddPresentPortItems(cbb_Port);
}

void TForm_Main::PlaceOnScreen(const QRect &screenGeometry, const QRect &availableGeometry) {
    if (ShouldMaximise(screenGeometry.width())) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setWindowState(windowState() & ~Qt::WindowMaximized);
    const QRect outer = CentredRect(QSize(kOuterWidth, kOuterHeight), availableGeometry);
    // Before the window is shown its frame is unknown: place the client area there;
    // showEvent corrects for the frame once the window manager has added it.
    setGeometry(outer);
}

void TForm_Main::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (fPlacedAfterShow)
        return;
    fPlacedAfterShow = true;
    // Make the outer size (frame included) 1500 x 760 once the frame is known.
    QTimer::singleShot(
        0, this, Guarded(this, [this] {
            if (isMaximized() || isFullScreen())
                return;
            const QRect frame = frameGeometry();
            const QRect client = geometry();
            const int extraW = frame.width() - client.width();
            const int extraH = frame.height() - client.height();
            if (extraW <= 0 && extraH <= 0)
                return;
            resize(kOuterWidth - std::max(extraW, 0), kOuterHeight - std::max(extraH, 0));
            if (QScreen *s = screen())
                move(CentredRect(QSize(kOuterWidth, kOuterHeight), s->availableGeometry()).topLeft());
        }));
}

void TForm_Main::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    Guarded(this, [this] { FormResize(this); })();
}

void TForm_Main::FormResize(QObject *) {
    UpdateLanguageShow(LanguageNum);

    Image1->move(StringGrid1->x() + StringGrid1->width(), StringGrid1->y());
    img_ColorLegend->move(Image1->x() + Image1->width() + 8, Image1->y());
    const int labelLeft = img_ColorLegend->x() + img_ColorLegend->width() + 4;
    int labelTop = img_ColorLegend->y() - lbl_ColorLegend[0]->height() / 2;
    for (QLabel *label : lbl_ColorLegend) {
        label->move(labelLeft, labelTop);
        labelTop += img_ColorLegend->height() / 10;
    }
    const QRect pic = Image1->geometry();
    Panel1->setGeometry(pic.x(), pic.y(), pic.width(), 9);
    Panel2->setGeometry(pic.x(), pic.y(), 9, pic.height());
    Panel3->setGeometry(pic.x() + pic.width() - 6, pic.y(), 6, pic.height());
    Panel4->setGeometry(pic.x(), pic.y() + pic.height() - 6, pic.width(), 6);
    for (QLabel *panel : {Panel1, Panel2, Panel3, Panel4}) {
        panel->setText(QString());
        panel->raise();
    }

    // Captions may have changed length: labels follow their texts.
    AdjustAutoSizeLabels(ScrollBox1Content);
    for (QGroupBox *group : {grp_COMSet, grp_CameraPars, grp_CalcAndShow, grp_RTDatas, grp_RecordPlay})
        AdjustAutoSizeLabels(group);
    UpdateScrollExtent();
}

void TForm_Main::UpdateScrollExtent() {
    // The scrolled surface reaches to the right and bottom edges of its controls, so
    // scroll bars appear only when the controls do not fit.
    constexpr int kMargin = 8;
    int right = 0;
    int bottom = 0;
    const auto children = ScrollBox1Content->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (const QWidget *w : children) {
        if (w->isHidden())
            continue;
        right = std::max(right, w->x() + w->width());
        bottom = std::max(bottom, w->y() + w->height());
    }
    ScrollBox1Content->setFixedSize(right + kMargin, bottom + kMargin);
}
