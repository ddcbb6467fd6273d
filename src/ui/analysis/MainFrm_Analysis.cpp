// Regions drawn on the picture and the analysis window: Image1's gestures make,
// select and delete regions; btn_Analysis opens the window (made once, kept while
// the main window lives). A change of the regions or the isotherm shows the frame
// on screen again with them, measured at once.

#include "pipeline/MLX90640.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/Form_Analysis.h"
#include "ui/mainwindow/ControlFactory.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"
#include "ui/widgets/PictureBox.h"

#include <QPushButton>

namespace {

TRegionPoint Pt(const QPoint &p) {
    return {p.x(), p.y()};
}

}  // namespace

void TForm_Main::BuildAnalysis() {
    fAnalysis = new TAnalysis(this);
    fAnalysis->SetLanguageNum(LanguageNum);
    // Below the readouts: clear of the photo column and of the groups beside them.
    btn_Analysis = NewButton(ScrollBox1Content, "btn_Analysis", QRect(1167, 690, 174, 28));
    Image1->SetRegionGestures(true);

    connect(Image1, &TPictureBox::ShapeDragged, this, [this](bool line, QPoint from, QPoint to) {
        Guarded(this, [&] {
            fAnalysis->SetLanguageNum(LanguageNum);
            fAnalysis->AddRegion(line ? RK_Line : RK_Box, Pt(from), Pt(to));
        })();
    });
    connect(Image1, &TPictureBox::SpotClicked, this, [this](QPoint at) {
        Guarded(this, [&] {
            fAnalysis->SetLanguageNum(LanguageNum);
            fAnalysis->AddRegion(RK_Spot, Pt(at), Pt(at));
        })();
    });
    connect(Image1, &TPictureBox::PointClicked, this,
            [this](QPoint at) { Guarded(this, [&] { fAnalysis->Select(fAnalysis->RegionAt(Pt(at))); })(); });
    connect(Image1, &TPictureBox::DeletePressed, this,
            Guarded(this, [this] { fAnalysis->RemoveRegion(fAnalysis->Selected()); }));
    connect(fAnalysis, &TAnalysis::RegionsChanged, this, Guarded(this, [this] {
                if (fShownFrame)
                    fAnalysis->MeasureRegions(*fShownFrame);
                RedrawPicture();
            }));
}

double TForm_Main::AnalysisSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - fAnalysisStart).count();
}

void TForm_Main::RedrawPicture() {
    if (!fShownFrame)
        return;
    ShowFramePicture(*fShownFrame, true);
    UpdateTargetImg();
}

void TForm_Main::btn_AnalysisClick(QObject *) {
    if (!fAnalysisWindow) {
        fAnalysis->SetLanguageNum(LanguageNum);
        fAnalysisWindow = new TForm_Analysis(*fAnalysis, LanguageNum, this);
        fAnalysisWindow->SetShownFrameSource([this] { return fShownFrame; });
    }
    fAnalysisWindow->show();
    fAnalysisWindow->raise();
    fAnalysisWindow->activateWindow();
}
