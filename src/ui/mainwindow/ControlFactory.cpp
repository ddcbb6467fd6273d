#include "ui/mainwindow/ControlFactory.h"

#include "ui/mainwindow/AutoSizeLabels.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/ReadoutLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

// Name and stored hint, common to every control.
template <class W>
W *Named(W *w, const char *name) {
    w->setObjectName(QString::fromLatin1(name));
    SetControlHint(w, ControlTexts(name).Hint);
    return w;
}

}  // namespace

QLabel *NewLabel(QWidget *parent, const char *name, int left, int top) {
    auto *label = Named(new QLabel(ControlTexts(name).Caption, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    MakeAutoSize(label);
    return label;
}

TReadoutLabel *NewReadout(QWidget *parent, const char *name, int left, int top, int right) {
    auto *label = Named(new TReadoutLabel(ControlTexts(name).Caption, parent), name);
    label->move(left, top);
    label->FixSize(right - left);
    return label;
}

TEditableList *NewList(QWidget *parent, const char *name, const QRect &geometry, int index,
                       const QStringList &items) {
    auto *box = Named(new TEditableList(parent), name);
    box->addItems(items.isEmpty() ? ControlTexts(name).Items : items);
    box->setGeometry(geometry);
    SelectItemQuiet(box, index);
    return box;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                   bool digitsOnly) {
    auto *edit = Named(new QLineEdit(text, parent), name);
    edit->setGeometry(geometry);
    if (digitsOnly) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QCheckBox *NewCheck(QWidget *parent, const char *name, const QRect &geometry, bool checked) {
    auto *check = Named(new QCheckBox(ControlTexts(name).Caption, parent), name);
    check->setGeometry(geometry);
    check->setChecked(checked);
    return check;
}

QPushButton *NewButton(QWidget *parent, const char *name, const QRect &geometry) {
    auto *button = Named(new QPushButton(ControlTexts(name).Caption, parent), name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

QGroupBox *NewGroup(QWidget *parent, const char *name, const QRect &geometry) {
    auto *group = Named(new QGroupBox(ControlTexts(name).Caption, parent), name);
    group->setGeometry(geometry);
    return group;
}
