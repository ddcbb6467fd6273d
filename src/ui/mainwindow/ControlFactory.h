#pragma once
// Small builders for the window's controls: each places a control at a pixel
// position inside its container, names it and gives it its stored content.

#include <QRect>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// A label at (left, top) that sizes itself to its text.
QLabel *NewLabel(QWidget *parent, const char *name, int left, int top, const QString &caption);

// An editable drop-down list. `index` selects an item (-1: none, the text is `text`).
QComboBox *NewList(QWidget *parent, const char *name, const QRect &geometry, const QStringList &items,
                   int index, const QString &text = QString(), const QString &hint = QString());

// An edit box; `digitsOnly` lets the user type nothing but the digits 0 to 9 (text
// set from code is not filtered).
QLineEdit *NewEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                   const QString &hint = QString(), bool digitsOnly = false);

QCheckBox *NewCheck(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                    bool checked, const QString &hint = QString());

QPushButton *NewButton(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                       const QString &hint = QString());

QGroupBox *NewGroup(QWidget *parent, const char *name, const QRect &geometry, const QString &caption);
