#include "ui/UiTestSupport.h"

#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

TCapturedErrors::TCapturedErrors() : fMessages(std::make_shared<QStringList>()) {
    auto messages = fMessages;
    SetErrorReporter([messages](QWidget *, const QString &message) { messages->append(message); });
}

TCapturedErrors::~TCapturedErrors() {
    SetErrorReporter({});
}

TScopedLocale::TScopedLocale(const QLocale &locale) : fPrevious(QLocale()) {
    QLocale::setDefault(locale);
}

TScopedLocale::~TScopedLocale() {
    QLocale::setDefault(fPrevious);
}

void PickItem(QComboBox *box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TypeInto(QComboBox *box, const QString &text) {
    QLineEdit *edit = box->lineEdit();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void TypeInto(QLineEdit *edit, const QString &text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

std::unique_ptr<TForm_Main> MakeShownForm() {
    auto form = std::make_unique<TForm_Main>();
    form->show();
    QTest::qWait(0);
    return form;
}

QString WriteTempFile(const QString &name, const QByteArray &contents) {
    static QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(contents);
    return path;
}
