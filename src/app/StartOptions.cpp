#include "app/StartOptions.h"

#include <QAbstractButton>
#include <QComboBox>
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
    if (!options.PlayFile.isEmpty())
        problems << QStringLiteral("cannot play '%1': this version cannot play recordings yet")
                        .arg(options.PlayFile);
    if (!options.OpenFile.isEmpty())
        problems << QStringLiteral("cannot open '%1': this version cannot open temperature files yet")
                        .arg(options.OpenFile);
    return problems;
}
