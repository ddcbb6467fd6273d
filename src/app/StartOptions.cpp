#include "app/StartOptions.h"

#include "ui/mainwindow/MainFrm.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

namespace {

// Shows `text` in the editable list `box`, selecting the item of that text if any.
void ShowText(QComboBox *box, const QString &text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    box->setEditText(text);
}

// Why `path` cannot be read as a file; empty when it can.
QString NotAReadableFile(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return QStringLiteral("not a file");
    if (!info.isReadable())
        return QStringLiteral("not readable");
    return QString();
}

}  // namespace

QStringList ApplyStartOptions(QWidget &window, const TStartOptions &options) {
    QStringList problems;
    if (!options.Port.isEmpty()) {
        if (auto *port = window.findChild<QComboBox *>(QStringLiteral("cbb_Port")))
            ShowText(port, options.Port);
        else
            problems
                << QStringLiteral("the window has no port list: --port %1 is not used").arg(options.Port);
    }
    if (options.Baud > 0) {
        if (auto *baud = window.findChild<QComboBox *>(QStringLiteral("cbb_Baud")))
            ShowText(baud, QString::number(options.Baud));
        else
            problems
                << QStringLiteral("the window has no speed list: --baud %1 is not used").arg(options.Baud);
    }
    if (options.Connect) {
        if (auto *connect = window.findChild<QAbstractButton *>(QStringLiteral("btn_Connect")))
            QTimer::singleShot(0, connect, [connect] { connect->click(); });
        else
            problems << QStringLiteral("the window has no connect button: --connect is not used");
    }
    // A recording to play or a temperature file to show: opened as btn_OpenCapture
    // opens a chosen file, from the event loop (a file the window cannot read gets its
    // own message). A file that is not there is said here.
    auto *form = qobject_cast<TForm_Main *>(&window);
    if (!options.PlayFile.isEmpty()) {
        if (!form)
            problems << QStringLiteral("the window cannot play recordings: --play '%1' is not used")
                            .arg(options.PlayFile);
        else if (const QString why = NotAReadableFile(options.PlayFile); !why.isEmpty())
            problems << QStringLiteral("cannot play '%1': %2").arg(options.PlayFile, why);
        else
            QTimer::singleShot(0, form, [form, file = options.PlayFile] { form->PlayRecording(file); });
    }
    if (!options.OpenFile.isEmpty()) {
        if (!form)
            problems << QStringLiteral("the window cannot show temperature files: --open '%1' is not used")
                            .arg(options.OpenFile);
        else if (const QString why = NotAReadableFile(options.OpenFile); !why.isEmpty())
            problems << QStringLiteral("cannot open '%1': %2").arg(options.OpenFile, why);
        else
            QTimer::singleShot(0, form, [form, file = options.OpenFile] { form->ShowTemperatureFile(file); });
    }
    return problems;
}
