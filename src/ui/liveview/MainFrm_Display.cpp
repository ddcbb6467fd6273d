// Display option handlers: each stores a property of the sensor image object, or
// enables, shows or resizes other controls. The object only stores the values; a
// change shows with the next frame it computes.

#include "pipeline/MLX90640.h"
#include "pipeline/PipelineBuffers.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Convert.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/PictureBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// Interpolation list index to method: 0 linear, 1 quadratic, anything else cubic.
TInterMethod InterMethodOfIndex(int index) {
    switch (index) {
    case 0: return IM_Poly1;
    case 1: return IM_Poly2;
    default: return IM_Poly3;
    }
}

}  // namespace

void TForm_Main::cbb_PixsTypeChange(QObject *) {
    if (ItemIndex(cbb_PixsType) == 0) {
        fImage.SetPixsType(PXT_Temp);
    } else {
        fImage.SetPixsType(PXT_Image);
        // Runs chk_Temperature_UpLowAutoClick when the state actually changes.
        chk_Temperature_UpLowAuto->setChecked(true);
    }
}

void TForm_Main::chk_Mirror_LRClick(QObject *) {
    fImage.SetMirror_LR(chk_Mirror_LR->isChecked());
}

void TForm_Main::edt_EmissivityChange(QObject *) {
    const QString text = edt_Emissivity->text();
    if (text.isEmpty())
        return;
    double value = 0.0;
    if (TryStrToFloat(text, value))  // a text that is no number is ignored silently
        fImage.SetEmissivity(value);
}

void TForm_Main::cbb_GrayColor_SubMethChange(QObject *) {
    const int index = ItemIndex(cbb_GrayColor_SubMeth);
    TMLX90640 *mlx = &fImage;
    if (index >= 0 && index <= 9) {
        mlx->SetTempToColorConverMeth(CM_GrayColor);
        mlx->SetGrayColor_SubMeth(static_cast<TGrayColor_SubMeth>(index));
    } else if (index >= 10 && index <= 12) {
        mlx->SetTempToColorConverMeth(CM_ContinuColor);
        GrayToContinuColor_ClassNum.store(index - 9);
    }
}

void TForm_Main::cbb_InterMethodFirstChange(QObject *) {
    fImage.SetInterMethodFirst(InterMethodOfIndex(ItemIndex(cbb_InterMethodFirst)));
}

void TForm_Main::cbb_InterMethodSecondChange(QObject *) {
    fImage.SetInterMethodSecond(InterMethodOfIndex(ItemIndex(cbb_InterMethodSecond)));
}

void TForm_Main::ApplyTypedTemperatureRange() {
    // The lower limit is stored before the upper text is converted: when only the
    // upper text is no number, the lower limit has already changed.
    fImage.SetTemperature_LowerLimit(StrToFloat(edt_Temperature_Lower->text()));
    fImage.SetTemperature_UpperLimit(StrToFloat(edt_Temperature_Upper->text()));
}

void TForm_Main::chk_Temperature_UpLowAutoClick(QObject *) {
    // Whichever box sent the click (also the hidden chk_DouFrameUpdate), the
    // automatic range follows chk_Temperature_UpLowAuto.
    const bool automatic = chk_Temperature_UpLowAuto->isChecked();
    fImage.SetTemperature_UpLowAuto(automatic);
    if (!automatic && !edt_Temperature_Lower->text().isEmpty() && !edt_Temperature_Upper->text().isEmpty())
        ApplyTypedTemperatureRange();
}

void TForm_Main::edt_Temperature_LowerChange(QObject *) {
    if (fImage.GetTemperature_UpLowAuto())
        return;
    if (edt_Temperature_Lower->text().isEmpty() || edt_Temperature_Upper->text().isEmpty())
        return;
    ApplyTypedTemperatureRange();
}

void TForm_Main::edt_Temperature_UpperChange(QObject *Sender) {
    edt_Temperature_LowerChange(Sender);
}

void TForm_Main::chk_brokenPixelsCorrClick(QObject *) {
    fImage.SetBrokenPixsCorr(chk_brokenPixelsCorr->isChecked());
}

void TForm_Main::chk_FilterClick(QObject *) {
    fImage.SetFilter(chk_Filter->isChecked());
}

void TForm_Main::cbb_FilterMethodChange(QObject *) {
    const int index = ItemIndex(cbb_FilterMethod);
    fImage.SetFilterMethod(index);
    edt_Sigma->setEnabled(index == 2);
}

void TForm_Main::edt_FilterPixCountChange(QObject *) {
    const QString text = edt_FilterPixCount->text();
    if (text.isEmpty())
        return;
    int32_t n = StrToInt(text);
    if (n % 2 == 0)  // the filter window needs a centre pixel
        n = n + 1;
    fImage.SetFilterPixsCount(n);
}

void TForm_Main::edt_SigmaChange(QObject *) {
    const QString text = edt_Sigma->text();
    if (text.isEmpty())
        return;
    const double sigma = StrToFloat(text);
    if (sigma > 0)
        fImage.SetGaussSigma(sigma);
}

void TForm_Main::chk_ShowTargetClick(QObject *) {
    edt_TargetSize->setEnabled(chk_ShowTarget->isChecked());
}

void TForm_Main::chk_ShowTarget_TextClick(QObject *) {
    edt_TextHeight->setEnabled(chk_ShowTarget_Text->isChecked());
}

void TForm_Main::chk_SluggClick(QObject *) {
    fImage.SetSlugg(chk_Slugg->isChecked());
}

void TForm_Main::chk_HideMaignInterClick(QObject *) {
    const bool show = chk_HideMaignInter->isChecked();
    for (QLabel *panel : {Panel1, Panel2, Panel3, Panel4}) {
        panel->setVisible(show);
        if (show)
            panel->raise();  // the strips lie over the picture's edges
    }
}

void TForm_Main::cbb_ScaleChange(QObject *) {
    int height = 0;
    switch (ItemIndex(cbb_Scale)) {
    case 0: height = 384; break;
    case 1: height = 353; break;
    case 2: height = 329; break;
    default: return;
    }
    Image1->resize(Image1->width(), height);
    UpdateScrollExtent();
}
