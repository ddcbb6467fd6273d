#include "ui/CaptionFit.h"

#include "ui/widgets/StatusPanels.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Room a push button's frame and padding take on each side of its text.
constexpr int kButtonSide = 4;
// Room a group box's title needs beside its text (the frame's indent on the left).
constexpr int kGroupTitleSide = 12;
// Room a status panel's frame takes around its text.
constexpr int kPanelSide = 4;

QString Name(const QWidget *w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

QString Problem(const QWidget *w, const QString &text, int needed, int has) {
    return QStringLiteral("%1 '%2' needs %3 px, has %4").arg(Name(w), text).arg(needed).arg(has);
}

// The rectangle the control's text actually covers (its ink), in its parent's
// coordinates: left-aligned in a label, after the indicator of a check box, centred
// on a button; vertically centred in each.
QRect TextRect(const QWidget *w) {
    const QString text = w->property("text").toString();
    const QFontMetrics fm(w->font());
    const QRect ink = fm.tightBoundingRect(text);
    int left = 0;
    if (auto *check = qobject_cast<const QCheckBox *>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(check);
        opt.text = text;
        left = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, check).left();
    } else if (qobject_cast<const QPushButton *>(w)) {
        left = (w->width() - ink.width()) / 2;
    }
    const int baseline = (w->height() - fm.height()) / 2 + fm.ascent();
    return QRect(w->x() + left + ink.left(), w->y() + baseline + ink.top(), ink.width(), ink.height());
}

bool IsTextControl(const QWidget *w) {
    return qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractButton *>(w);
}

}  // namespace

QStringList CaptionProblems(QWidget &root) {
    QStringList problems;
    const auto widgets = root.findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(&root) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QFontMetrics fm(w->font());
        if (auto *group = qobject_cast<QGroupBox *>(w)) {
            // Group titles are drawn bold (the window's style sheet).
            QFont bold = w->font();
            bold.setBold(true);
            const int needed = QFontMetrics(bold).horizontalAdvance(group->title()) + 2 * kGroupTitleSide;
            if (needed > group->width())
                problems << Problem(w, group->title(), needed, group->width());
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            const int needed = check->sizeHint().width();
            if (!check->text().isEmpty() && needed > check->width())
                problems << Problem(w, check->text(), needed, check->width());
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            const int needed = fm.horizontalAdvance(button->text()) + 2 * kButtonSide;
            if (!button->text().isEmpty() && needed > button->width())
                problems << Problem(w, button->text(), needed, button->width());
        } else if (auto *label = qobject_cast<QLabel *>(w)) {
            const bool panel = qobject_cast<QStatusBar *>(label->parentWidget()) != nullptr;
            const int needed = fm.horizontalAdvance(label->text()) + (panel ? 2 * kPanelSide : 0);
            if (!label->text().isEmpty() && label->pixmap().isNull() && needed > label->width())
                problems << Problem(w, label->text(), needed, label->width());
        }
        // Covered: the text's rectangle reaches under a visible neighbour.
        if (!IsTextControl(w) || !w->parentWidget())
            continue;
        const QRect mine = TextRect(w);
        for (QWidget *other :
             w->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other == w || !other->isVisibleTo(&root) ||
                other->objectName().startsWith(QLatin1String("qt_")))
                continue;
            if (mine.intersects(other->geometry()))
                problems << QStringLiteral("%1 '%2' lies under %3")
                                .arg(Name(w), w->property("text").toString(), Name(other));
        }
    }
    return problems;
}
