#pragma once
// Small builders for the window's controls: each places a control at a pixel
// position inside its container, names it and gives it its stored content - the
// caption, hint and items of the text catalogue under its name.

#include "ui/widgets/EditableList.h"

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
class TReadoutLabel;

// A label at (left, top) that sizes itself to its text.
QLabel *NewLabel(QWidget *parent, const char *name, int left, int top);

// A reading that changes with every frame, at (left, top) and reaching to `right`.
TReadoutLabel *NewReadout(QWidget *parent, const char *name, int left, int top, int right);

// An editable drop-down list with the catalogue's items, or `items` when given.
// `index` selects an item (-1: none, the text is empty).
TEditableList *NewList(QWidget *parent, const char *name, const QRect &geometry, int index,
                       const QStringList &items = {});

// An edit box holding `text`; `digitsOnly` lets the user type nothing but the digits
// 0 to 9 (text set from code is not filtered).
QLineEdit *NewEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                   bool digitsOnly = false);

QCheckBox *NewCheck(QWidget *parent, const char *name, const QRect &geometry, bool checked);

QPushButton *NewButton(QWidget *parent, const char *name, const QRect &geometry);

QGroupBox *NewGroup(QWidget *parent, const char *name, const QRect &geometry);
