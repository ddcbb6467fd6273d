// Recording and playback: btn_Record writes what the module sends to a capture file
// in the save folder; btn_OpenCapture opens a recording and plays it through the
// same intake, decoder and sensor image object as a module (btn_PlayPause,
// cbb_PlaySpeed, sld_Playback, the right-arrow key while paused), or shows a
// temperature file. Module commands are off while a recording is open; connecting a
// port closes it. Status panel 6 says where files went and how playback ended.

#include "pipeline/MLX90640.h"
#include "protocol/CaptureFile.h"
#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/playback/CapturePlayer.h"
#include "ui/support/ErrorHandler.h"
#include "ui/support/SaveFolder.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/ShapeCircle.h"
#include "ui/widgets/StatusPanels.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

#include <array>
#include <cstring>
#include <exception>

namespace {

constexpr int kNoticePanel = 6;
constexpr int kPathNoticeMs = 8000;
constexpr std::array<double, 5> kSpeeds = {0.25, 0.5, 1.0, 2.0, 4.0};

// "1:05" / "1:02:05".
QString ClockText(uint64_t micros) {
    const uint64_t s = micros / 1000000;
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg((s / 60) % 60, 2, 10, QLatin1Char('0'))
            .arg(s % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString SizeText(uint64_t bytes) {
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(double(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

bool BeginsWithCaptureMagic(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(sizeof CaptureFormat::Magic);
    return head.size() == int(sizeof CaptureFormat::Magic) &&
           std::memcmp(head.constData(), CaptureFormat::Magic, sizeof CaptureFormat::Magic) == 0;
}

uint64_t PublishedNumber(const TMLX90640 &image) {
    const auto published = image.GetPublished();
    return published ? published->FrameNumber : 0;
}

}  // namespace

void TForm_Main::ConnectPlaybackHandlers() {
    connect(btn_Record, &QPushButton::clicked, this, Guarded(this, [this] { btn_RecordClick(btn_Record); }));
    connect(btn_OpenCapture, &QPushButton::clicked, this,
            Guarded(this, [this] { btn_OpenCaptureClick(btn_OpenCapture); }));
    connect(btn_PlayPause, &QPushButton::clicked, this,
            Guarded(this, [this] { btn_PlayPauseClick(btn_PlayPause); }));
    connect(cbb_PlaySpeed, &QComboBox::currentIndexChanged, this,
            Guarded(this, [this] { cbb_PlaySpeedChange(cbb_PlaySpeed); }));
    connect(sld_Playback, &QSlider::valueChanged, this,
            Guarded(this, [this] { sld_PlaybackChange(sld_Playback); }));
    connect(fStepShortcut, &QShortcut::activated, this, Guarded(this, [this] { StepPlaybackFrame(); }));
    TCapturePlayer &player = fSession.Player();
    connect(&player, &TCapturePlayer::PositionChanged, this,
            Guarded(this, [this] { PlaybackPositionChanged(); }));
    connect(&player, &TCapturePlayer::Finished, this, Guarded(this, [this] { PlaybackFinished(); }));
    // Queued: the failure is noticed inside a receive handler; the message waits
    // until that has returned.
    connect(
        &fSession, &TModuleSession::RecordingFailed, this,
        [this](const QString &why) { Guarded(this, [this, why] { RecordingFailed(why); })(); },
        Qt::QueuedConnection);
}

// ---- Notices

void TForm_Main::ShowNotice(const QString &text, int holdMs) {
    fHeldNotice = text;
    fNoticeDeadline = holdMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(holdMs);
    StatusBar1->SetPanelText(kNoticePanel, text);
}

bool TForm_Main::NoticeHeld() const {
    return !fHeldNotice.isEmpty() && !fNoticeDeadline.hasExpired();
}

// ---- Recording

void TForm_Main::btn_RecordClick(QObject *) {
    if (fSession.IsRecording()) {
        FinishRecording();
        return;
    }
    const TSaveFolder folder = PickSaveFolder(ApplicationPathStr, UserPicturesFolder());
    if (!folder.Ok()) {
        ReportHandlerError(this, Tr(TText::RecordCannotStart, LanguageNum).arg(folder.Error));
        return;
    }
    const QString name = QStringLiteral("MLX_REC_") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")) +
                         QStringLiteral(".kvc");
    const QString path = QDir(folder.Path).filePath(name);
    QString why;
    if (!fSession.StartRecording(path, &why)) {
        ReportHandlerError(this,
                           Tr(TText::RecordCannotStart, LanguageNum).arg(path + QStringLiteral(": ") + why));
        return;
    }
    ShowPlaybackState();
    UpdateRecordInfo();
}

void TForm_Main::FinishRecording() {
    if (!fSession.IsRecording())
        return;
    const QString path = QString::fromStdString(fSession.Recorder().Path());
    QString why;
    const bool ok = fSession.StopRecording(&why);
    ShowPlaybackState();
    UpdateRecordInfo();
    if (!ok) {
        RecordingFailed(why);
        return;
    }
    ShowNotice(Tr(TText::SavedTo, LanguageNum).arg(QDir::toNativeSeparators(path)), kPathNoticeMs);
}

void TForm_Main::RecordingFailed(const QString &why) {
    ShowPlaybackState();
    UpdateRecordInfo();
    const QString path = QDir::toNativeSeparators(QString::fromStdString(fSession.Recorder().Path()));
    const QString text = why + QStringLiteral(" (") + path + QLatin1Char(')');
    ShowNotice(Tr(TText::RecordFailed, LanguageNum).arg(text), -1);
    ReportHandlerError(this, Tr(TText::RecordFailed, LanguageNum).arg(text));
}

void TForm_Main::UpdateRecordInfo() {
    const TCaptureRecorder &r = fSession.Recorder();
    if (r.IsRecording()) {
        lbl_RecordInfo->setToolTip(QString::fromStdString(r.Path()));
        lbl_RecordInfo->setText(Tr(TText::RecordInfo, LanguageNum)
                                    .arg(ClockText(uint64_t(r.ElapsedSeconds() * 1e6)))
                                    .arg(r.Frames())
                                    .arg(SizeText(r.Bytes())));
        return;
    }
    if (r.Path().empty())
        return;
    // The file name, on two lines (after its last "_") or shortened in the middle when
    // the label is too narrow for it; the whole path as the tooltip.
    const QString path = QString::fromStdString(r.Path());
    const QString name = QFileInfo(path).fileName();
    const QFontMetrics fm(lbl_RecordInfo->font());
    const int width = lbl_RecordInfo->width();
    const int cut = name.lastIndexOf(QLatin1Char('_')) + 1;
    if (fm.horizontalAdvance(name) <= width)
        lbl_RecordInfo->setText(name);
    else if (cut > 0 && fm.horizontalAdvance(name.left(cut)) <= width &&
             fm.horizontalAdvance(name.mid(cut)) <= width)
        lbl_RecordInfo->setText(name.left(cut) + QLatin1Char('\n') + name.mid(cut));
    else
        lbl_RecordInfo->setText(fm.elidedText(name, Qt::ElideMiddle, width));
    lbl_RecordInfo->setToolTip(QDir::toNativeSeparators(path));
}

// ---- Opening files

void TForm_Main::btn_OpenCaptureClick(QObject *) {
    QString path;
    if (fChooseFile) {
        path = fChooseFile();
    } else {
        const TSaveFolder folder = PickSaveFolder(ApplicationPathStr, UserPicturesFolder());
        path = QFileDialog::getOpenFileName(this, Tr(TText::OpenFileTitle, LanguageNum),
                                            folder.Ok() ? folder.Path : QString(),
                                            Tr(TText::OpenFileFilter, LanguageNum));
    }
    if (!path.isEmpty())
        OpenFile(path);
}

bool TForm_Main::OpenFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        ReportHandlerError(
            this,
            Tr(TText::OpenFileFailed, LanguageNum).arg(path, QString::fromStdString(std::strerror(ENOENT))));
        return false;
    }
    if (info.suffix().compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0 &&
        !BeginsWithCaptureMagic(path))
        return ShowTemperatureFile(path);
    return PlayRecording(path);
}

void TForm_Main::DisconnectForFile() {
    if (fSession.IsConnected())
        btn_ConnectClick(btn_Connect);
    if (fSession.AlternativeActive())
        btn_Connect2Click(btn_Connect2);
}

void TForm_Main::CloseOpenedFiles() {
    const bool wasOpen = fSession.PlaybackOpen();
    fSession.Player().Close();
    fStillFile.clear();
    if (wasOpen) {
        // The module's controls come back as the module reports (Timer1Timer).
        btn_GetCalibInfo->setEnabled(true);
        btn_SendCmd->setEnabled(true);
    }
    ShowPlaybackState();
}

bool TForm_Main::PlayRecording(const QString &path) {
    FinishRecording();
    DisconnectForFile();
    TCapturePlayer &player = fSession.Player();
    QString why;
    if (!player.Open(path, &why)) {
        ShowPlaybackState();
        ReportHandlerError(this, Tr(TText::OpenFileFailed, LanguageNum).arg(path, why));
        return false;
    }
    fStillFile.clear();
    fHoldConnectionLostNotice = false;
    // No module to command while a recording plays.
    std::vector<QWidget *> commands = DeviceParameterControls();
    for (QWidget *w : PhotoControls())
        commands.push_back(w);
    commands.push_back(btn_GetCalibInfo);
    commands.push_back(btn_SendCmd);
    for (QWidget *w : commands)
        w->setEnabled(false);
    {
        const QSignalBlocker quiet(sld_Playback);
        sld_Playback->setRange(0, int(std::min<uint64_t>(player.Duration() / 1000, INT32_MAX)));
        sld_Playback->setPageStep(std::max(1, sld_Playback->maximum() / 10));
        sld_Playback->setSingleStep(std::max(1, sld_Playback->maximum() / 100));
        sld_Playback->setValue(0);
    }
    cbb_PlaySpeedChange(cbb_PlaySpeed);
    ShowNotice(Tr(TText::Playing, LanguageNum).arg(QDir::toNativeSeparators(path)), kPathNoticeMs);
    player.Play();
    ShowPlaybackState();
    PlaybackPositionChanged();
    return true;
}

bool TForm_Main::ShowTemperatureFile(const QString &path) {
    // Frames in flight would replace the file's picture: hold playback while the file
    // is read; a file the loader refuses changes nothing.
    TCapturePlayer &player = fSession.Player();
    const bool wasPlaying = player.IsPlaying();
    player.Pause();
    fSession.Intake().WaitIdle();
    try {
        fImage.LoadDatasFromTemperatureFile(path.toStdString());
    } catch (const std::exception &e) {
        if (wasPlaying)
            player.Play();
        ReportHandlerError(this, QString::fromUtf8(e.what()));
        return false;
    }
    FinishRecording();
    DisconnectForFile();
    CloseOpenedFiles();
    // A frame decoded after the file was read has replaced it: read it once more.
    fSession.Intake().WaitIdle();
    fStillFile = path;
    RedrawTemperatureFile();
    fHoldConnectionLostNotice = false;
    ShowNotice(Tr(TText::ShowingTemperatures, LanguageNum).arg(QDir::toNativeSeparators(path)),
               kPathNoticeMs);
    return true;
}

void TForm_Main::RedrawTemperatureFile() {
    if (fStillFile.isEmpty())
        return;
    try {
        fImage.LoadDatasFromTemperatureFile(fStillFile.toStdString());
    } catch (const std::exception &e) {
        // The file changed or went away since it was opened: the picture stays.
        fStillFile.clear();
        ReportHandlerError(this, QString::fromUtf8(e.what()));
    }
}

// ---- Playback controls

void TForm_Main::btn_PlayPauseClick(QObject *) {
    TCapturePlayer &player = fSession.Player();
    if (!player.IsOpen())
        return;
    if (player.IsPlaying())
        player.Pause();
    else
        player.Play();
    ShowPlaybackState();
}

void TForm_Main::cbb_PlaySpeedChange(QObject *) {
    const int index = cbb_PlaySpeed->currentIndex();
    if (index >= 0 && size_t(index) < kSpeeds.size())
        fSession.Player().SetSpeed(kSpeeds[size_t(index)]);
}

void TForm_Main::sld_PlaybackChange(QObject *) {
    TCapturePlayer &player = fSession.Player();
    if (!player.IsOpen())
        return;
    const uint64_t before = PublishedNumber(fImage);
    player.Seek(uint64_t(sld_Playback->value()) * 1000);
    // Paused: show the picture at the new place (playing on to the next one when the
    // place holds none whole).
    if (!player.IsPlaying()) {
        fSession.Intake().WaitIdle();
        if (PublishedNumber(fImage) == before)
            StepPlaybackFrame();
        else
            Timer1Timer(Timer1);
    }
    ShowPlaybackState();
}

void TForm_Main::StepPlaybackFrame() {
    TCapturePlayer &player = fSession.Player();
    if (!player.IsOpen() || player.IsPlaying())
        return;
    const uint64_t before = PublishedNumber(fImage);
    player.StepFrame([this, before] {
        fSession.Intake().WaitIdle();
        return PublishedNumber(fImage) != before;
    });
    // The picture now, not at the next tick.
    Timer1Timer(Timer1);
    ShowPlaybackState();
}

void TForm_Main::PlaybackPositionChanged() {
    const TCapturePlayer &player = fSession.Player();
    if (!sld_Playback->isSliderDown()) {
        const QSignalBlocker quiet(sld_Playback);
        sld_Playback->setValue(int(std::min<uint64_t>(player.Position() / 1000, INT32_MAX)));
    }
    lbl_PlayPosition->setText(player.IsOpen() ? ClockText(player.Position()) + QStringLiteral(" / ") +
                                                    ClockText(player.Duration())
                                              : QString());
}

void TForm_Main::PlaybackFinished() {
    ShowPlaybackState();
    const TCapturePlayer &player = fSession.Player();
    if (!player.DamageText().isEmpty())
        ShowNotice(Tr(TText::PlaybackDamaged, LanguageNum).arg(player.DamageText()), -1);
    else
        ShowNotice(Tr(TText::PlaybackEnd, LanguageNum), kPathNoticeMs);
}

void TForm_Main::ShowPlaybackState() {
    const TCapturePlayer &player = fSession.Player();
    const bool open = player.IsOpen();
    btn_PlayPause->setEnabled(open);
    btn_PlayPause->setText(Tr(player.IsPlaying() ? TText::Pause : TText::Play, LanguageNum));
    sld_Playback->setEnabled(open);
    fStepShortcut->setEnabled(open && !player.IsPlaying());
    btn_Record->setText(Tr(fSession.IsRecording() ? TText::RecordStop : TText::RecordStart, LanguageNum));
    btn_Record->setEnabled(!open);
    if (!open)
        lbl_PlayPosition->clear();
}
