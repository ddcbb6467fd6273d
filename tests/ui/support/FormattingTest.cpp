// Numbers, version and build time as the window reads and shows them.

#include "ui/UiTestSupport.h"
#include "ui/support/BuildInfo.h"
#include "ui/support/Convert.h"
#include "ui/support/FileTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

class TstFormatting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void typedNumbersFollowTheLocaleAndRefuseNonNumbers() {
        QCOMPARE(StrToInt(QStringLiteral("12")), 12);
        QCOMPARE(StrToInt(QStringLiteral("-7")), -7);
        QCOMPARE(StrToFloat(QStringLiteral("0.5")), 0.5);
        QCOMPARE(StrToFloat(QStringLiteral("-3.25")), -3.25);
        // Texts that are not numbers raise an error naming the text.
        for (const char *bad : {"", "-", "abc", "1.5x", "2147483648"}) {
            try {
                StrToInt(QString::fromLatin1(bad));
                QFAIL(qPrintable(QStringLiteral("no error for '%1'").arg(QString::fromLatin1(bad))));
            } catch (const EConvertError &e) {
                QVERIFY(QString::fromUtf8(e.what()).contains(
                    QStringLiteral("'%1'").arg(QString::fromLatin1(bad))));
            }
        }
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat(QStringLiteral("-")));
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToInt(QStringLiteral("1.5")));
        // No thousands grouping: "0,950" is not 950 on a point locale, "0,95" no number.
        double v = 0;
        QVERIFY(!TryStrToFloat(QStringLiteral("0,950"), v));
        QVERIFY(!TryStrToFloat(QStringLiteral("0,95"), v));
        // Not-a-number and infinities would poison every temperature: refused.
        for (const char *bad : {"nan", "NaN", "inf", "-inf", "1e999"})
            QVERIFY2(!TryStrToFloat(QString::fromLatin1(bad), v), bad);
        // A comma locale reads the comma.
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        QCOMPARE(StrToFloat(QStringLiteral("0,95")), 0.95);
        QVERIFY(!TryStrToFloat(QStringLiteral("0.95"), v));  // the point is grouping here
        QVERIFY(!TryStrToFloat(QStringLiteral("1.500"), v));
    }

    void shownNumbersUseGeneralAndFixedFormats() {
        QCOMPARE(FormatGeneral15(25.0), QStringLiteral("25"));
        QCOMPARE(FormatGeneral15(23.456789012345678), QStringLiteral("23.4567890123457"));
        QCOMPARE(FormatGeneral15(-0.5), QStringLiteral("-0.5"));
        QCOMPARE(FormatGeneral15(1234.5), QStringLiteral("1234.5"));  // no group separator
        QCOMPARE(FormatFixed(35.0, 1), QStringLiteral("35.0"));
        QCOMPARE(FormatFixed(3.14159, 2), QStringLiteral("3.14"));
        QCOMPARE(FormatFixed(1234.56, 1), QStringLiteral("1234.6"));
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        QCOMPARE(FormatGeneral15(23.5), QStringLiteral("23,5"));
        QCOMPARE(FormatFixed(31.5, 1), QStringLiteral("31,5"));
    }

    void versionIsReadFromTheFileBytes() {
        const QByteArray prefix = BuildInfoMarkerPrefix();
        auto withMarker = [&](const QByteArray &version) {
            return QByteArray(300, 'x') + prefix + version + QByteArray(1, '\0') + QByteArray(50, 'y');
        };
        QCOMPARE(GetBuildInfo(WriteTempFile("v1689.bin", withMarker("1.0.0.1689"))),
                 QStringLiteral("1.0.0.1689"));
        // A build number above 32767 is shown unsigned.
        QCOMPARE(GetBuildInfo(WriteTempFile("v40000.bin", withMarker("1.0.0.40000"))),
                 QStringLiteral("1.0.0.40000"));
        // No marker, an unreadable or missing file: 0.0.0.0.
        QCOMPARE(GetBuildInfo(WriteTempFile("plain.bin", QByteArray(5000, 'z'))), QStringLiteral("0.0.0.0"));
        QCOMPARE(GetBuildInfo(WriteTempFile("empty.bin", QByteArray())), QStringLiteral("0.0.0.0"));
        QCOMPARE(GetBuildInfo(QStringLiteral("/nonexistent/korvale")), QStringLiteral("0.0.0.0"));
        // Markers that are not four 16-bit numbers ended by NUL are skipped.
        const QByteArray mixed = prefix + "1.2.3" + QByteArray(1, '\0') + prefix + "1.2.3.70000" +
                                 QByteArray(1, '\0') + prefix + "2.3.4.5x" + prefix + "4.3.2.1" +
                                 QByteArray(1, '\0');
        QCOMPARE(GetBuildInfo(WriteTempFile("mixed.bin", mixed)), QStringLiteral("4.3.2.1"));
        // A marker that straddles the 1 MiB read boundary is still found.
        QByteArray big(1024 * 1024 - 7, 'q');
        big += prefix + "7.6.5.4" + QByteArray(1, '\0');
        QCOMPARE(GetBuildInfo(WriteTempFile("big.bin", big)), QStringLiteral("7.6.5.4"));
        // The program file carries the version it was built with.
        QCOMPARE(GetBuildInfo(QCoreApplication::applicationFilePath()), ProgramVersion());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"))
                    .match(ProgramVersion())
                    .hasMatch());
        QCOMPARE(GetBuildInfoCached(QCoreApplication::applicationFilePath()), ProgramVersion());
    }

    void buildTimeHasTwoSecondResolution() {
        const QString path = WriteTempFile("stamp.txt", "x");
        auto stampAt = [&](const QTime &t) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime(QDate(2024, 3, 5), t), QFileDevice::FileModificationTime));
        };
        stampAt(QTime(21, 26, 7, 800));
        QCOMPARE(FGetFileTime(path, 1), QDateTime(QDate(2024, 3, 5), QTime(21, 26, 6)));
        stampAt(QTime(21, 26, 6, 0));
        QCOMPARE(FGetFileTime(path, 1), QDateTime(QDate(2024, 3, 5), QTime(21, 26, 6)));
        stampAt(QTime(0, 0, 59, 999));
        QCOMPARE(FGetFileTime(path, 1), QDateTime(QDate(2024, 3, 5), QTime(0, 0, 58)));
        QCOMPARE(FGetFileTime(path, 1).time().msec(), 0);
        // Creation and access times are valid stamps with the same resolution.
        QVERIFY(FGetFileTime(path, 2) != DateTimeEpoch());
        QCOMPARE(FGetFileTime(path, 2).time().second() % 2, 0);
        QCOMPARE(FGetFileTime(path, 0).time().second() % 2, 0);
        // A missing file gives the epoch, which prints as 1899/12/30 00:00:00.
        QCOMPARE(FGetFileTime(QStringLiteral("/nonexistent/file"), 1), DateTimeEpoch());
        QCOMPARE(FormatBuildTime(FGetFileTime(QStringLiteral("/nonexistent/file"), 1)),
                 QStringLiteral("1899/12/30 00:00:00"));
        QCOMPARE(FormatBuildTime(QDateTime(QDate(2019, 11, 20), QTime(9, 5, 4))),
                 QStringLiteral("2019/11/20 09:05:04"));
        // The separators are those of the locale.
        TScopedLocale german{QLocale(QLocale::German, QLocale::Germany)};
        QCOMPARE(FormatBuildTime(QDateTime(QDate(2019, 11, 20), QTime(21, 26, 6))),
                 QStringLiteral("2019.11.20 21:26:06"));
    }
};

QTEST_MAIN(TstFormatting)
#include "FormattingTest.moc"
