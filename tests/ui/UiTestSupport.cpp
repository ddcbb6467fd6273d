#include "ui/UiTestSupport.h"

#include "ui/WindowUnderTest.h"
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

std::unique_ptr<TWindowUnderTest> MakeShownForm() {
    auto form = std::make_unique<TWindowUnderTest>();
    form->Form().show();
    QTest::qWait(0);
    return form;
}

void CountRates(TWindowUnderTest &w, int received, int computed, int pictures) {
    TFrameIntake &intake = w.Session().Intake();
    const uint8_t unknown[] = {'M', 'L', 'X', 0, 'X', 'Y', 'Z', 0};
    for (int i = 0; i < received; ++i) {
        intake.Comm1ReceiveData(unknown, uint16_t(sizeof unknown));
        intake.WaitIdle();
    }
    intake.Core().dataCalcRate.fetch_add(computed);
    for (int i = 0; i < pictures; ++i)
        w.Form().UpdatePicture(false);
}

void ReportSavedPhotos(TWindowUnderTest &w, int count) {
    w.Session().Intake().Core().Status.Change([count](TLinkStatus &s) {
        TSysParsBlock b = s.Block.value_or(TSysParsBlock{});
        b.SavedPhotoNum = uint16_t(count);
        s.Block = b;
        s.BlockSource = TBlockSource::FrameBlock;
    });
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
