// The display option controls and what each writes into the sensor image object.

#include "pipeline/MLX90640.h"
#include "pipeline/PipelineBuffers.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/PictureBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TstDisplayOptions : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> fForm;
    TMLX90640 *Mlx() { return &fForm->Image(); }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() { fForm = MakeShownForm(); }
    void cleanup() {
        fForm.reset();
        GrayToContinuColor_ClassNum.store(1);
    }

    void paletteListSelectsConverterSubMethodAndClass() {
        PickItem(fForm->cbb_GrayColor_SubMeth, 11);  // HSI_2
        QCOMPARE(Mlx()->GetTempToColorConverMeth(), CM_ContinuColor);
        QCOMPARE(GrayToContinuColor_ClassNum.load(), 2);
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Pseudo2);  // left as it was
        PickItem(fForm->cbb_GrayColor_SubMeth, 9);             // Gray
        QCOMPARE(Mlx()->GetTempToColorConverMeth(), CM_GrayColor);
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Gray);
        QCOMPARE(GrayToContinuColor_ClassNum.load(), 2);  // unchanged by palettes 0..9
        PickItem(fForm->cbb_GrayColor_SubMeth, 10);
        QCOMPARE(GrayToContinuColor_ClassNum.load(), 1);
        PickItem(fForm->cbb_GrayColor_SubMeth, 12);
        QCOMPARE(GrayToContinuColor_ClassNum.load(), 3);
        PickItem(fForm->cbb_GrayColor_SubMeth, 0);
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Pseudo1);
        PickItem(fForm->cbb_GrayColor_SubMeth, 7);
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Veska);
        // Typed text that names no item changes nothing; a typed item name selects it.
        TypeInto(fForm->cbb_GrayColor_SubMeth, QStringLiteral("Plasma"));
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Veska);
        QCOMPARE(Mlx()->GetTempToColorConverMeth(), CM_GrayColor);
        TypeInto(fForm->cbb_GrayColor_SubMeth, QStringLiteral("Metal2"));
        QCOMPARE(Mlx()->GetGrayColor_SubMeth(), GCM_Metal2);
    }

    void interpolationListsMapTheirOwnIndex() {
        PickItem(fForm->cbb_InterMethodSecond, 2);
        QCOMPARE(Mlx()->GetInterMethodSecond(), IM_Poly3);
        QCOMPARE(Mlx()->GetInterMethodFirst(), IM_Poly1);
        PickItem(fForm->cbb_InterMethodFirst, 1);
        QCOMPARE(Mlx()->GetInterMethodFirst(), IM_Poly2);
        PickItem(fForm->cbb_InterMethodSecond, 0);
        QCOMPARE(Mlx()->GetInterMethodSecond(), IM_Poly1);
        TypeInto(fForm->cbb_InterMethodFirst, QStringLiteral("spline"));  // no item: cubic
        QCOMPARE(Mlx()->GetInterMethodFirst(), IM_Poly3);
    }

    void imageOnlyTurnsTheAutomaticRangeOn() {
        fForm->edt_Temperature_Lower->setText(QStringLiteral("10"));
        PickItem(fForm->cbb_PixsType, 1);
        QCOMPARE(Mlx()->GetPixsType(), PXT_Image);
        QVERIFY(fForm->chk_Temperature_UpLowAuto->isChecked());
        QVERIFY(Mlx()->GetTemperature_UpLowAuto());
        PickItem(fForm->cbb_PixsType, 0);
        QCOMPARE(Mlx()->GetPixsType(), PXT_Temp);
        QVERIFY(fForm->chk_Temperature_UpLowAuto->isChecked());  // stays on
        QVERIFY(Mlx()->GetTemperature_UpLowAuto());
        TypeInto(fForm->cbb_PixsType, QStringLiteral("x"));  // no item counts as image only
        QCOMPARE(Mlx()->GetPixsType(), PXT_Image);
    }

    void typedRangeAppliesOnlyWithoutAutomaticRange() {
        TCapturedErrors errors;
        TypeInto(fForm->edt_Temperature_Lower, QStringLiteral("-5"));
        // The lone minus sign on the way is no number: reported, and the program goes on.
        QCOMPARE(errors.Messages().size(), 1);
        QVERIFY(errors.Messages().first().contains(QStringLiteral("'-'")));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), -5.0);
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 35.0);
        TypeInto(fForm->edt_Temperature_Upper, QStringLiteral("4x0"));  // digits only
        QCOMPARE(fForm->edt_Temperature_Upper->text(), QStringLiteral("40"));
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 40.0);
        // Lower limit empty: upper edits are not applied.
        fForm->edt_Temperature_Lower->clear();
        fForm->edt_Temperature_Upper->setText(QStringLiteral("50"));
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 40.0);
        fForm->edt_Temperature_Lower->setText(QStringLiteral("1"));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 1.0);
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 50.0);
        // Automatic range on: typing changes nothing; switching it off applies the typed range.
        fForm->chk_Temperature_UpLowAuto->setChecked(true);
        QVERIFY(Mlx()->GetTemperature_UpLowAuto());
        fForm->edt_Temperature_Lower->setText(QStringLiteral("20"));
        fForm->edt_Temperature_Upper->setText(QStringLiteral("30"));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 1.0);
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 50.0);
        fForm->chk_Temperature_UpLowAuto->setChecked(false);
        QVERIFY(!Mlx()->GetTemperature_UpLowAuto());
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 20.0);
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 30.0);
        // Limits are not compared: a reversed range is stored as typed.
        fForm->edt_Temperature_Lower->setText(QStringLiteral("45"));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 45.0);
        // Upper text no number (set from code): the lower limit is already stored.
        errors.Clear();
        fForm->edt_Temperature_Upper->setText(QStringLiteral("x"));
        fForm->edt_Temperature_Lower->setText(QStringLiteral("2"));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 2.0);
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 30.0);
        QCOMPARE(errors.Messages().size(), 2);
        // Infinity is refused like any other non-number.
        fForm->edt_Temperature_Upper->setText(QStringLiteral("30"));
        fForm->edt_Temperature_Lower->setText(QStringLiteral("-inf"));
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 2.0);
        QCOMPARE(errors.Messages().size(), 3);
    }

    void hiddenDoubleFrameBoxReadsTheAutomaticRangeBox() {
        Mlx()->SetTemperature_UpLowAuto(true);
        Mlx()->SetTemperature_LowerLimit(-1.0);
        fForm->chk_DouFrameUpdate->setChecked(true);
        QVERIFY(!Mlx()->GetTemperature_UpLowAuto());        // follows the unchecked range box
        QCOMPARE(Mlx()->GetTemperature_LowerLimit(), 0.0);  // typed range re-read
        QCOMPARE(Mlx()->GetTemperature_UpperLimit(), 35.0);
    }

    void filterSizeIsMadeOdd() {
        TCapturedErrors errors;
        QCOMPARE(Mlx()->GetFilterPixsCount(), 9);
        TypeInto(fForm->edt_FilterPixCount, QStringLiteral("6"));
        QCOMPARE(Mlx()->GetFilterPixsCount(), 7);
        TypeInto(fForm->edt_FilterPixCount, QStringLiteral("7"));
        QCOMPARE(Mlx()->GetFilterPixsCount(), 7);
        TypeInto(fForm->edt_FilterPixCount, QStringLiteral("0"));
        QCOMPARE(Mlx()->GetFilterPixsCount(), 1);
        TypeInto(fForm->edt_FilterPixCount, QStringLiteral("12"));  // 1, then 12 -> 13
        QCOMPARE(Mlx()->GetFilterPixsCount(), 13);
        fForm->edt_FilterPixCount->clear();  // empty: nothing
        QCOMPARE(Mlx()->GetFilterPixsCount(), 13);
        fForm->edt_FilterPixCount->setText(QStringLiteral("-4"));  // from code: even negative + 1
        QCOMPARE(Mlx()->GetFilterPixsCount(), -3);
        QVERIFY(errors.Messages().isEmpty());
        fForm->edt_FilterPixCount->setText(QStringLiteral("99999999999"));  // beyond 32 bits
        QCOMPARE(errors.Messages().size(), 1);
        QCOMPARE(Mlx()->GetFilterPixsCount(), -3);
    }

    void sigmaOnlyWhenPositiveAndEditableOnlyForGaussian() {
        TCapturedErrors errors;
        QVERIFY(!fForm->edt_Sigma->isEnabled());
        PickItem(fForm->cbb_FilterMethod, 2);
        QCOMPARE(Mlx()->GetFilterMethod(), 2);
        QVERIFY(fForm->edt_Sigma->isEnabled());
        TypeInto(fForm->edt_Sigma, QStringLiteral("0"));
        QCOMPARE(Mlx()->GetGaussSigma(), 1.5);
        TypeInto(fForm->edt_Sigma, QStringLiteral("-1"));
        QCOMPARE(Mlx()->GetGaussSigma(), 1.5);
        QCOMPARE(errors.Messages().size(), 1);  // the lone "-" on the way
        TypeInto(fForm->edt_Sigma, QStringLiteral("0.5"));
        QCOMPARE(Mlx()->GetGaussSigma(), 0.5);
        PickItem(fForm->cbb_FilterMethod, 1);
        QCOMPARE(Mlx()->GetFilterMethod(), 1);
        QVERIFY(!fForm->edt_Sigma->isEnabled());
        TypeInto(fForm->cbb_FilterMethod, QStringLiteral("median"));  // no item: -1 as it is
        QCOMPARE(Mlx()->GetFilterMethod(), -1);
        QVERIFY(!fForm->edt_Sigma->isEnabled());
    }

    void emissivityIgnoresTextsThatAreNoNumbers() {
        TCapturedErrors errors;
        TypeInto(fForm->edt_Emissivity, QStringLiteral("0.9"));
        QCOMPARE(Mlx()->GetEmissivity(), 0.9);
        fForm->edt_Emissivity->setText(QStringLiteral("0,8"));  // comma on a point locale
        QCOMPARE(Mlx()->GetEmissivity(), 0.9);
        fForm->edt_Emissivity->setText(QStringLiteral("nan"));
        QCOMPARE(Mlx()->GetEmissivity(), 0.9);
        fForm->edt_Emissivity->clear();
        QCOMPARE(Mlx()->GetEmissivity(), 0.9);
        QVERIFY(errors.Messages().isEmpty());
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        fForm->edt_Emissivity->setText(QStringLiteral("0,8"));
        QCOMPARE(Mlx()->GetEmissivity(), 0.8);
    }

    void checkBoxesStoreTheirState() {
        fForm->chk_Mirror_LR->setChecked(false);
        QVERIFY(!Mlx()->GetMirror_LR());
        fForm->chk_brokenPixelsCorr->setChecked(false);
        QVERIFY(!Mlx()->GetBrokenPixsCorr());
        fForm->chk_Filter->setChecked(true);
        QVERIFY(Mlx()->GetFilter());
        fForm->chk_Slugg->setChecked(true);
        QVERIFY(Mlx()->GetSlugg());
        fForm->chk_ShowTarget->setChecked(true);
        QVERIFY(fForm->edt_TargetSize->isEnabled());
        QVERIFY(!fForm->edt_TextHeight->isEnabled());
        fForm->chk_ShowTarget_Text->setChecked(true);
        QVERIFY(fForm->edt_TextHeight->isEnabled());
        fForm->chk_ShowTarget->setChecked(false);
        QVERIFY(!fForm->edt_TargetSize->isEnabled());
    }

    void edgePanelsAndPictureHeight() {
        fForm->chk_HideMaignInter->setChecked(true);
        for (QLabel *p : {fForm->Panel1, fForm->Panel2, fForm->Panel3, fForm->Panel4})
            QVERIFY(p->isVisible());
        // The strips lie over the picture.
        QWidget *top = fForm->ScrollBox1Content->childAt(fForm->Image1->x() + 100, fForm->Image1->y() + 2);
        QCOMPARE(top, fForm->Panel1);
        fForm->chk_HideMaignInter->setChecked(false);
        for (QLabel *p : {fForm->Panel1, fForm->Panel2, fForm->Panel3, fForm->Panel4})
            QVERIFY(!p->isVisible());
        PickItem(fForm->cbb_Scale, 1);
        QCOMPARE(fForm->Image1->size(), QSize(512, 353));
        PickItem(fForm->cbb_Scale, 2);
        QCOMPARE(fForm->Image1->size(), QSize(512, 329));
        TypeInto(fForm->cbb_Scale, QStringLiteral("2:1"));
        QCOMPARE(fForm->Image1->size(), QSize(512, 329));
        PickItem(fForm->cbb_Scale, 0);
        QCOMPARE(fForm->Image1->size(), QSize(512, 384));
    }
};

QTEST_MAIN(TstDisplayOptions)
#include "DisplayOptionsTest.moc"
