#include "ui/mainwindow/ControlFactory.h"

#include "ui/mainwindow/AutoSizeLabels.h"
#include "ui/widgets/ComboUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

QLabel *NewLabel(QWidget *parent, const char *name, int left, int top, const QString &caption) {
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    MakeAutoSize(label);
    return label;
}

QComboBox *NewList(QWidget *parent, const char *name, const QRect &geometry, const QStringList &items,
                   int index, const QString &text, const QString &hint) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    MakeEditableList(box);
    box->addItems(items);
    box->setGeometry(geometry);
    box->setToolTip(hint);
    if (index >= 0) {
        SelectItemQuiet(box, index);
    } else {
        SelectItemQuiet(box, -1);
        box->setEditText(text);
    }
    return box;
}

QLineEdit *NewEdit(QWidget *parent, const char *name, const QRect &geometry, const QString &text,
                   const QString &hint, bool digitsOnly) {
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    edit->setToolTip(hint);
    if (digitsOnly) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    }
    return edit;
}

QCheckBox *NewCheck(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                    bool checked, const QString &hint) {
    auto *check = new QCheckBox(caption, parent);
    check->setObjectName(QString::fromLatin1(name));
    check->setGeometry(geometry);
    check->setChecked(checked);
    check->setToolTip(hint);
    return check;
}

QPushButton *NewButton(QWidget *parent, const char *name, const QRect &geometry, const QString &caption,
                       const QString &hint) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QGroupBox *NewGroup(QWidget *parent, const char *name, const QRect &geometry, const QString &caption) {
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    return group;
}
