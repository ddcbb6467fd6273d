#pragma once
// Helpers of the widget tests: user-like input, captured error dialogs, a shown
// main window and a temporary default locale.

#include <QLocale>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QLineEdit;
class TForm_Main;

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

// A main window after its first display (FormCreate and the first FormResize done).
std::unique_ptr<TForm_Main> MakeShownForm();

// Writes `contents` to a new file in a temporary folder and returns its path.
QString WriteTempFile(const QString &name, const QByteArray &contents);
