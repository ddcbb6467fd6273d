// Bilingual captions: the title with the program's version and build time, and in
// English the replacement of the stored (Chinese) captions, items and hints, all
// taken from the text catalogue.

#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/BuildInfo.h"
#include "ui/support/FileTime.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/StatusPanels.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

void SetCaption(QWidget *w, const QString &text) {
    if (auto *group = qobject_cast<QGroupBox *>(w))
        group->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(w))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        button->setText(text);
}

}  // namespace

QString TForm_Main::BuildTitle(int32_t lanNum) const {
    const QString file = QCoreApplication::applicationFilePath();
    return Tr(TText::TitleHead, lanNum) + GetBuildInfoCached(file) + Tr(TText::TitleCompiled, lanNum) +
           FormatBuildTime(FGetFileTime(file, 1));
}

void TForm_Main::UpdateLanguageShow(int32_t lanNum) {
    ConnectPortCaption = Tr(TText::ConnectPort, lanNum);
    DisConnectPortCaption = Tr(TText::DisconnectPort, lanNum);
    setWindowTitle(BuildTitle(lanNum));
    ShowPlaybackState();
    if (lanNum == 0)
        return;
    // The device-parameter lists are relabelled while the device-parameter handlers
    // send nothing; a read-parameters action that is running (and waits with the
    // event loop going) keeps its own hold on the protection.
    const TReadParsHold hold(fSession);
    ApplyEnglishCaptions();
}

void TForm_Main::ApplyEnglishCaptions() {
    for (const TControlTexts &t : ControlTextTable()) {
        QWidget *w = findChild<QWidget *>(QString::fromLatin1(t.Name));
        if (!w)
            continue;
        if (!t.EnglishCaption.isEmpty())
            SetCaption(w, t.EnglishCaption);
        if (!t.EnglishItems.isEmpty())
            if (auto *box = qobject_cast<QComboBox *>(w))
                ReplaceItemsKeepIndex(box, t.EnglishItems);
        switch (t.EnglishHint) {
        case THintInEnglish::Keep: break;
        case THintInEnglish::Clear: SetControlHint(w, QString()); break;
        case THintInEnglish::Replace: SetControlHint(w, t.EnglishHintText); break;
        }
    }
    btn_Connect->setText(fSession.IsConnected() ? DisConnectPortCaption : ConnectPortCaption);

    // Status bar.
    StatusBar1->SetPanelText(0, cbb_Port->currentText() + (fSession.IsConnected()
                                                               ? QStringLiteral(" Connected")
                                                               : QStringLiteral(" Disconnected")));
    for (int panel = 1; panel <= 4; ++panel)
        StatusBar1->SetPanelText(panel, EnglishPanelText(panel));
    const TLinkRates rates = fSession.Intake().Rates();
    StatusBar1->SetPanelText(5, QStringLiteral("DataRecv：%1Hz  DataCalc：%2Hz  ImageRefresh：%3Hz")
                                    .arg(rates.Received)
                                    .arg(rates.Computed)
                                    .arg(picUpdateRate));
    StatusBar1->SetPanelText(6, NoticeHeld() ? fHeldNotice : QString());
    ShowPlaybackState();
}
