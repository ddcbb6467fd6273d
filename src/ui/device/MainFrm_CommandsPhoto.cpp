// The module's photo store: save, read, browse and clear, and the photo number box
// that keeps the browsing buttons in step with the count of saved photos.

#include "protocol/Commands.h"
#include "ui/device/ModuleSession.h"
#include "ui/device/PhotoBrowse.h"
#include "ui/mainwindow/MainFrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

void TForm_Main::btn_SaveOnePhotoClick(QObject *) {
    CommSendStr(SavePhotoCommand());
}

void TForm_Main::btn_ClearAllPhotoClick(QObject *) {
    CommSendStr(ClearAllPhotoCommand());
}

void TForm_Main::btn_ReadOnePhotoClick(QObject *) {
    // The box's text as it stands, leading zeros included.
    CommSendStr(ReadOnePhotoCommand(edt_CurrentPhotoNum->text().toStdString()));
}

void TForm_Main::btn_ReadLastPhotoClick(QObject *) {
    CommSendStr(ReadLastPhotoCommand());
    edt_CurrentPhotoNum->setText(QString::number(fSession.SavedPhotoCount()));
}

void TForm_Main::btn_ReadPrivPhotoClick(QObject *) {
    // The number comes from the box before it changes; a text that is not a number
    // raises a conversion error and nothing is sent.
    const TPhotoStep step = PhotoStep(edt_CurrentPhotoNum->text(), PSD_Priv, LanguageNum);
    edt_CurrentPhotoNum->setText(step.BoxText);
    CommSendStr(step.Command);
}

void TForm_Main::btn_ReadNextPhotoClick(QObject *) {
    const TPhotoStep step = PhotoStep(edt_CurrentPhotoNum->text(), PSD_Next, LanguageNum);
    edt_CurrentPhotoNum->setText(step.BoxText);
    CommSendStr(step.Command);
}

void TForm_Main::SavedPhotoNumShown() {
    // Before the photo controls come on nothing is browsed; enabling them settles the
    // box (Timer1Timer).
    if (btn_SaveOnePhoto->isEnabled())
        edt_CurrentPhotoNumChange(edt_CurrentPhotoNum);
}

void TForm_Main::edt_CurrentPhotoNumChange(QObject *) {
    // Keeps the box between 1 and the count of saved photos and switches the two
    // browsing buttons at the ends; with no photo saved it shows 0 and both are off.
    const auto settled = SettlePhotoNumBox(edt_CurrentPhotoNum->text(), fSession.SavedPhotoCount());
    if (!settled)
        return;
    if (edt_CurrentPhotoNum->text() != settled->Text) {
        const QSignalBlocker blocker(edt_CurrentPhotoNum);
        edt_CurrentPhotoNum->setText(settled->Text);
    }
    btn_ReadPrivPhoto->setEnabled(settled->PrivEnabled);
    btn_ReadNextPhoto->setEnabled(settled->NextEnabled);
}
