#pragma once
// Helpers of the widget tests: user-like input, captured error dialogs, a shown
// main window and a temporary default locale.

#include <QEvent>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QLineEdit;
class TWindowUnderTest;

// Collects the messages the program-wide error handler would show, while alive.
class TCapturedErrors {
public:
    TCapturedErrors();
    ~TCapturedErrors();
    const QStringList &Messages() const { return *fMessages; }
    void Clear() { fMessages->clear(); }

private:
    std::shared_ptr<QStringList> fMessages;
};

// Counts the events of one type that the objects it watches receive.
class TEventCounter : public QObject {
public:
    explicit TEventCounter(QEvent::Type type) : fType(type) {}
    void Watch(QObject *watched) { watched->installEventFilter(this); }
    int Count() const { return fCount; }
    bool eventFilter(QObject *, QEvent *event) override {
        fCount += event->type() == fType;
        return false;
    }

private:
    QEvent::Type fType;
    int fCount = 0;
};

// Makes `locale` the default locale while alive.
class TScopedLocale {
public:
    explicit TScopedLocale(const QLocale &locale);
    ~TScopedLocale();

private:
    QLocale fPrevious;
};

// The user picks item `index` from the list (as a click in the drop-down would).
void PickItem(QComboBox *box, int index);
// The user replaces the list's text by typing `text`, key by key.
void TypeInto(QComboBox *box, const QString &text);
// The user replaces the edit's text by typing `text`, key by key (the edit's
// validator applies).
void TypeInto(QLineEdit *edit, const QString &text);

// A main window (with its image object and session) after its first display
// (FormCreate and the first FormResize done).
std::unique_ptr<TWindowUnderTest> MakeShownForm();

// Makes the window's rate counts of the current second what a running link would
// have counted: `received` frames handed to decoding (frames of an unknown type fed
// through the intake), `computed` frames decoded, `pictures` pictures shown.
void CountRates(TWindowUnderTest &w, int received, int computed, int pictures);

// The module reports `count` saved photos (in the block of its next frame).
void ReportSavedPhotos(TWindowUnderTest &w, int count);

// Writes `contents` to a new file in a temporary folder and returns its path.
QString WriteTempFile(const QString &name, const QByteArray &contents);
