// Every caption of the window shown whole and uncovered: in English and in Chinese,
// at start, with the longest texts the live view writes, and after the link is lost.

#include "e2e/LinkTestKit.h"
#include "ui/CaptionFit.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/support/Theme.h"
#include "ui/widgets/StatusPanels.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

class TstCaptions : public QObject {
    Q_OBJECT

    static void Report(const QStringList &problems) {
        for (const QString &p : problems)
            qWarning("%s", qPrintable(p));
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        // The program's look: its style and style sheet decide the controls' margins.
        QVERIFY(ApplyKorvaleTheme(*qApp).isEmpty());
    }

    void englishAtStart() {
        auto form = MakeShownForm();
        const QStringList problems = CaptionProblems(form->Form());
        Report(problems);
        QVERIFY(problems.isEmpty());
        // The readouts fill their background with the group's own colour: no band
        // behind them.
        const QImage group = form->grp_RTDatas->grab().toImage();
        const QRect readout = form->lbl_Vdd->geometry();
        QCOMPARE(group.pixelColor(readout.right() - 2, readout.center().y()),
                 group.pixelColor(group.width() / 2, group.height() - 8));
    }

    void chineseAtStart() {
        TWindowUnderTest form;
        form.Form().SetLanguageNum(0);
        form.Form().show();
        QTest::qWait(0);
        const QStringList problems = CaptionProblems(form.Form());
        Report(problems);
        QVERIFY(problems.isEmpty());
    }

    // The longest texts the live view and the module write, in both languages.
    void liveTextsInBothLanguages_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 1;
        QTest::newRow("Chinese") << 0;
    }
    void liveTextsInBothLanguages() {
        QFETCH(int, language);
        TWindowUnderTest form;
        form.Form().SetLanguageNum(language);
        form.Form().show();
        QTest::qWait(0);
        const bool zh = language == 0;
        form.StatusBar1->SetPanelText(0, zh ? QStringLiteral("/dev/ttyUSB0 1382400 N 8 1 已连接")
                                            : QStringLiteral("/dev/ttyUSB0 1382400 N 8 1 Connected"));
        form.StatusBar1->SetPanelText(1, QStringLiteral("Send:123456789"));
        form.StatusBar1->SetPanelText(2, QStringLiteral("Recv:1023.999MB"));
        form.StatusBar1->SetPanelText(3, QStringLiteral("Frame1 1748"));
        form.StatusBar1->SetPanelText(4, zh ? QStringLiteral("数据校验正确 65535")
                                            : QStringLiteral("Data check correct"));
        form.StatusBar1->SetPanelText(5,
                                      zh ? QStringLiteral("数据接收：64Hz  数据计算：64Hz  图像更新：64Hz")
                                         : QStringLiteral("DataRecv:64Hz  DataCalc:64Hz  ImageRefresh:64Hz"));
        form.StatusBar1->SetPanelText(6, zh ? QStringLiteral("提示消息：连接已断开")
                                            : QStringLiteral("Toast:Connection lost"));
        form.lbl_Cell->setText(zh ? QStringLiteral("钮扣电池电压：3012mV")
                                  : QStringLiteral("Button battery voltage:3012mV"));
        form.lbl_RTC->setText(QStringLiteral("2021-03-05 09:45:17"));
        form.lbl_SavedPhotoNum->setText(QStringLiteral("900"));
        form.lbl_Vdd->setText(zh ? QStringLiteral("内核电压：3.30V") : QStringLiteral("Core voltage:3.30V"));
        form.lbl_Ta->setText(zh ? QStringLiteral("外壳温度：-40.0℃") : QStringLiteral("Case Temp:-40.0℃"));
        for (QLabel *l : {form.lbl_CenterTemp, form.lbl_MaxTemp, form.lbl_MinTemp, form.lbl_AvgTemp})
            l->setText(l->text() + QStringLiteral("-123.4℃"));
        form.lbl_MouseMoveText->setText(form.lbl_MouseMoveText->text() + QStringLiteral("-123.4"));
        for (QLabel *l : form.lbl_ColorLegend)
            l->setText(QStringLiteral("-123.4"));
        QTest::qWait(0);
        const QStringList problems = CaptionProblems(form.Form());
        Report(problems);
        QVERIFY(problems.isEmpty());
    }
};

QTEST_MAIN(TstCaptions)
#include "CaptionsTest.moc"
