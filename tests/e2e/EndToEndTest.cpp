// The whole program path against a module: the window connects to the built-in
// virtual module "SIM" and to the korvale-sim program on a pseudo-terminal, gets
// the calibration and the parameters, shows live frames, saves a snapshot, notices
// a module that goes away and connects again.

#include "e2e/LinkTestKit.h"
#include "pipeline/MLX90640.h"
#include "serial/SPComm.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/support/StatusTexts.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kStatusMs = 3000;  // calibration and parameters after a connect
constexpr int kSlowMs = 10000;   // generous: a loaded machine under the sanitizers

uint64_t PublishedFrames(TWindowUnderTest &form) {
    const auto published = form.Image().GetPublished();
    return published ? published->FrameNumber : 0;
}

// A rate of panel 5 ("DataRecv:8Hz  DataCalc:8Hz  ImageRefresh:8Hz"); -1 if absent.
int PanelRate(TWindowUnderTest &form, const QString &name) {
    const QRegularExpression re(name + QStringLiteral(":(\\d+)Hz"));
    const auto m = re.match(form.StatusBar1->PanelText(5));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Starts korvale-sim with a link at `link`; returns once it has printed its device.
bool StartSim(QProcess &sim, const QString &link) {
    sim.setProgram(QStringLiteral(KORVALE_SIM_EXE));
    sim.setArguments({QStringLiteral("--link"), link});
    sim.start();
    if (!sim.waitForStarted(kSlowMs))
        return false;
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(kSlowMs))
            return false;
    return sim.readLine().trimmed().startsWith("/dev/") && QFileInfo::exists(link);
}

// The module's answers reached the window and live frames are being shown.
void VerifyLive(TWindowUnderTest &form) {
    QTRY_VERIFY_WITH_TIMEOUT(form.Session().CalibrationReceived() && form.Session().ParametersReceived(),
                             kStatusMs);
    const uint64_t start = PublishedFrames(form);
    QTRY_VERIFY_WITH_TIMEOUT(PublishedFrames(form) >= start + 4, kSlowMs);
    // Panel 5 counts frames received, computed and shown in the past second.
    QTRY_VERIFY_WITH_TIMEOUT(PanelRate(form, QStringLiteral("DataRecv")) > 0 &&
                                 PanelRate(form, QStringLiteral("DataCalc")) > 0,
                             kSlowMs);
    QTRY_VERIFY_WITH_TIMEOUT(PanelRate(form, QStringLiteral("ImageRefresh")) > 0, kSlowMs);
}

}  // namespace

class TstEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir programDir;

private slots:
    void initTestCase() {
        QVERIFY(programDir.isValid());
        QVERIFY(QDir(programDir.path()).mkpath(QStringLiteral("Photos")));
    }

    void builtInVirtualModuleRunsTheWholePath() {
        auto form = MakeShownForm();
        form->Form().SetApplicationPathStr(programDir.path() + QLatin1Char('/'));
        TCapturedErrors errors;

        // The user picks "SIM" from the list and connects.
        const int sim = form->cbb_Port->findText(QStringLiteral("SIM"));
        QVERIFY(sim >= 16);
        form->cbb_Port->setCurrentIndex(sim);
        form->btn_Connect->click();
        QVERIFY(form->Session().IsConnected());
        QCOMPARE(form->StatusBar1->PanelText(0), QStringLiteral("SIM 460800 N 8 1 Connected"));
        const QString device = Comm1Of(*form)->GetCommName().mid(4);
        QVERIFY2(device.startsWith(QStringLiteral("/dev/")) && QFileInfo::exists(device), qPrintable(device));

        VerifyLive(*form);
        // The module's clock reached the window.
        QTRY_VERIFY_WITH_TIMEOUT(form->lbl_RTC->text().startsWith(QStringLiteral("20")) &&
                                     form->lbl_RTC->text().size() == 19,
                                 kSlowMs);

        // A double-click on the picture saves a snapshot beside the program.
        QTest::mouseDClick(form->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(256, 192));
        const QDir photos(programDir.path() + QStringLiteral("/Photos"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !photos.entryList({QStringLiteral("MLX_PHOTO_*.jpg")}, QDir::Files).isEmpty(), kSlowMs);
        const QString shot = photos.entryList({QStringLiteral("MLX_PHOTO_*.jpg")}, QDir::Files).first();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(photos.filePath(shot)).size() > 1000, kSlowMs);

        // Disconnecting stops the virtual module: its device goes away.
        QVERIFY(DisconnectWindow(*form));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(device), kSlowMs);
        QVERIFY(errors.Messages().isEmpty());

        // Connecting again starts a fresh module.
        const uint64_t before = PublishedFrames(*form);
        form->btn_Connect->click();
        QVERIFY(form->Session().IsConnected());
        QTRY_VERIFY_WITH_TIMEOUT(PublishedFrames(*form) >= before + 2, kSlowMs);
        QVERIFY(DisconnectWindow(*form));
    }

    void externalVirtualModuleGoesAwayAndComesBack() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("ttyKORVALE"));
        QProcess sim;
        QVERIFY(StartSim(sim, link));

        auto form = MakeShownForm();
        TCapturedErrors errors;
        QVERIFY(ConnectWindow(*form, link, true));
        VerifyLive(*form);

        // The module disappears: the window notices and says so.
        sim.kill();
        QVERIFY(sim.waitForFinished(kSlowMs));
        QTRY_VERIFY_WITH_TIMEOUT(!form->Session().IsConnected(), kSlowMs);
        QCOMPARE(form->btn_Connect->text(), form->Form().GetConnectPortCaption());
        QVERIFY(form->StatusBar1->PanelText(0).endsWith(QStringLiteral(" N 8 1 Disconnected")));
        QCOMPARE(form->StatusBar1->PanelText(6), ConnectionLostText(1));
        QVERIFY(errors.Messages().isEmpty());

        // It comes back on the same path: connect again and frames flow.
        QProcess again;
        QVERIFY(StartSim(again, link));
        const uint64_t before = PublishedFrames(*form);
        const int rxBefore = form->Session().Intake().ReceiveCounters().RXByteCount;
        QVERIFY(ConnectWindow(*form, link, true));
        QTRY_VERIFY_WITH_TIMEOUT(PublishedFrames(*form) >= before + 4, kSlowMs);
        QVERIFY(form->Session().Intake().ReceiveCounters().RXByteCount > rxBefore + 4 * 1748);
        QVERIFY(DisconnectWindow(*form));
        again.terminate();
        QVERIFY(again.waitForFinished(kSlowMs));
    }
};

QTEST_MAIN(TstEndToEnd)
#include "EndToEndTest.moc"
