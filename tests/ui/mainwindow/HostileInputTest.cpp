// Hostile input at the window: every text box and editable list takes long, empty,
// non-numeric, huge, negative, NaN/inf and non-Latin text, key by key, then Enter and
// the loss of focus. Nothing may crash, no input may bring up more than one dialog,
// and the module may receive only commands the typed text stands for: a list whose
// text matches none of its items sends nothing, a number box sends only numbers the
// module's 16-bit parameter can hold.
//
// The window's Comm1 is connected to a pseudo-terminal; what the test reads on its
// master side is what the serial component wrote.

#include "e2e/LinkTestKit.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QStringList &HostileTexts() {
    static const QStringList texts{
        QString(300, QLatin1Char('x')),
        QString(),
        QStringLiteral("abc"),
        QStringLiteral("99999999999999999999"),
        QStringLiteral("65536"),
        QStringLiteral("-1"),
        QStringLiteral("-2147483649"),
        QStringLiteral("NaN"),
        QStringLiteral("inf"),
        QStringLiteral("-inf"),
        QStringLiteral("1e308"),
        QStringLiteral("0x1F"),
        QStringLiteral(" 7 "),
        QStringLiteral("温度"),
        QStringLiteral("٣٤"),
        QStringLiteral("Ωμέγα"),
        QStringLiteral("😀"),
    };
    return texts;
}

// The texts the box held while `typed` went in key by key (every prefix).
QStringList Prefixes(const QString &typed) {
    QStringList out;
    for (qsizetype n = 1; n <= typed.size(); ++n)
        out << typed.left(n);
    return out;
}

// Replaces the edit's text key by key, as TypeInto does; characters beyond Latin-1
// (Chinese, Greek, Arabic digits, an emoji as its surrogate pair) arrive as the text
// of a key an input method would send.
// `afterKey` runs after every key.
void TypeAnything(QLineEdit *edit, const QString &text, const std::function<void()> &afterKey) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    afterKey();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, char(c.unicode()));
        } else {
            const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
            i += n - 1;
        }
        afterKey();
    }
}

}  // namespace

class TstHostileInput : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> form;
    std::unique_ptr<TPtyModule> pty;

    // Why the lines `sent` while typing `typed` into `w` are wrong; empty when they
    // are what the text stands for.
    QString WrongCommands(QWidget *w, const QString &typed, const QByteArray &sent) {
        const QString name = w->objectName();
        if (sent.isEmpty())
            return {};
        const bool deviceList =
            name == QLatin1String("cbb_ADCResolution") || name == QLatin1String("cbb_RefreshRate") ||
            name == QLatin1String("cbb_ArrangeMode") || name == QLatin1String("cbb_OutPortNum") ||
            name == QLatin1String("cbb_OutBaud");
        if (!deviceList && name != QLatin1String("edt_DelayMs"))
            return QStringLiteral("sends although it is no device control");
        static const QRegularExpression line(QStringLiteral("^\\$SETP=(\\d+),(-?\\d+)\r\n"));
        const QStringList prefixes = Prefixes(typed);
        QString rest = QString::fromLatin1(sent);
        while (!rest.isEmpty()) {
            const auto m = line.match(rest);
            if (!m.hasMatch())
                return QStringLiteral("malformed line");
            const qlonglong value = m.captured(2).toLongLong();
            bool meant = false;
            if (name == QLatin1String("edt_DelayMs")) {
                for (const QString &p : prefixes) {
                    bool ok = false;
                    meant = meant || (QLocale().toLongLong(p.trimmed(), &ok) == value && ok);
                }
                if (value < 0 || value > 65535)
                    return QStringLiteral("a value the module's word cannot hold");
            } else {
                auto *box = static_cast<QComboBox *>(w);
                for (int i = 0; i < box->count(); ++i) {
                    const qlonglong itemValue =
                        name == QLatin1String("cbb_OutBaud") ? box->itemText(i).toLongLong() / 100 : i;
                    meant = meant || (itemValue == value && prefixes.contains(box->itemText(i)));
                }
            }
            if (!meant)
                return QStringLiteral("a value the typed text does not stand for");
            rest = rest.mid(m.capturedLength());
        }
        return {};
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        form = MakeShownForm();
        pty = std::make_unique<TPtyModule>();
        QVERIFY(pty->IsValid());
        QVERIFY(ConnectWindow(*form, pty->SlavePath()));
        // What the module's report would enable.
        for (QWidget *w : form->Form().findChildren<QWidget *>())
            w->setEnabled(true);
        pty->Drain();
    }

    void cleanup() {
        form.reset();
        pty.reset();
    }

    void everyTextBoxAndListSurvivesHostileText() {
        QList<QWidget *> targets;
        for (QLineEdit *edit : form->Form().findChildren<QLineEdit *>())
            if (!qobject_cast<QComboBox *>(edit->parentWidget()) &&
                !qobject_cast<QAbstractSpinBox *>(edit->parentWidget()) && !edit->isReadOnly())
                targets << edit;
        for (QComboBox *box : form->Form().findChildren<QComboBox *>())
            if (box->isEditable())
                targets << box;
        for (QAbstractSpinBox *spin : form->Form().findChildren<QAbstractSpinBox *>())
            targets << spin;
        QVERIFY(targets.size() >= 15);

        // A dialog is closed at once and counted.
        int dialogs = 0;
        QTimer closer;
        closer.setInterval(5);
        connect(&closer, &QTimer::timeout, this, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++dialogs;
                modal->close();
            }
        });
        closer.start();

        for (QWidget *w : targets) {
            QLineEdit *edit = qobject_cast<QLineEdit *>(w);
            if (auto *box = qobject_cast<QComboBox *>(w))
                edit = box->lineEdit();
            else if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
                edit = spin->findChild<QLineEdit *>();
            QVERIFY(edit);
            for (const QString &text : HostileTexts()) {
                // A handler may report a text that is no number in a dialog, once
                // for the key that made it so; never more than one dialog per key.
                int mostPerKey = 0;
                const auto afterKey = [&] {
                    mostPerKey = std::max(mostPerKey, dialogs);
                    dialogs = 0;
                };
                dialogs = 0;
                w->setFocus();
                TypeAnything(edit, text, afterKey);
                QTest::keyClick(edit, Qt::Key_Return);
                afterKey();
                w->clearFocus();  // editing ends by the loss of focus too
                afterKey();
                const QByteArray sent = pty->ReadFor(15);
                const QString where =
                    w->objectName() + QStringLiteral(" <- \"") + text.left(20) + QStringLiteral("\": ");
                QVERIFY2(mostPerKey <= 1,
                         qPrintable(where + QString::number(mostPerKey) + " dialogs for one key"));
                const QString wrong = WrongCommands(w, text, sent);
                QVERIFY2(wrong.isEmpty(),
                         qPrintable(where + wrong + ": " + QString::fromLatin1(sent.toHex(' '))));
                // A device list returns to one of its items: the typed text is never
                // taken as one.
                if (auto *box = qobject_cast<QComboBox *>(w); box && !sent.isEmpty())
                    QVERIFY2(box->findText(box->currentText()) >= 0, qPrintable(where + box->currentText()));
            }
        }
        QVERIFY(form->Session().IsConnected());
    }
};

QTEST_MAIN(TstHostileInput)
#include "HostileInputTest.moc"
