#include "ui/widgets/EditableList.h"

#include "ui/widgets/ComboUtil.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Room beside the text of a drop-down entry: the view's frame, the entry's margins and
// a vertical scroll bar when the list is long.
constexpr int kPopupExtra = 40;

}  // namespace

TEditableList::TEditableList(QWidget *parent) : QComboBox(parent) {
    MakeEditableList(this);
    // Focus by click or Tab only: the wheel does not give it (see wheelEvent).
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::currentTextChanged, this, [this] { TextChanged(); });
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { EditingFinished(); });
}

void TEditableList::SetHint(const QString &hint) {
    fHint = hint;
    UpdateTip();
}

void TEditableList::wheelEvent(QWheelEvent *event) {
    if (!hasFocus()) {
        // Not for this list: the window underneath scrolls.
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void TEditableList::showPopup() {
    const QFontMetrics fm(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, fm.horizontalAdvance(itemText(i)));
    view()->setMinimumWidth(std::max(width(), widest + kPopupExtra));
    QComboBox::showPopup();
}

void TEditableList::resizeEvent(QResizeEvent *event) {
    QComboBox::resizeEvent(event);
    UpdateTip();
}

void TEditableList::TextChanged() {
    const int item = ItemIndex(this);
    if (item >= 0)
        fLastItem = item;
    UpdateTip();
}

void TEditableList::EditingFinished() {
    if (ItemIndex(this) >= 0 || fLastItem < 0 || fLastItem >= count())
        return;
    SelectItemQuiet(this, fLastItem);
    emit RevertedToLastItem();
}

void TEditableList::UpdateTip() {
    const QString text = currentText();
    const int room = lineEdit() ? lineEdit()->width() : width();
    const bool cut = !text.isEmpty() && fontMetrics().horizontalAdvance(text) > room;
    if (!cut)
        setToolTip(fHint);
    else
        setToolTip(fHint.isEmpty() ? text : text + QLatin1Char('\n') + fHint);
}

void SetControlHint(QWidget *w, const QString &hint) {
    if (auto *list = qobject_cast<TEditableList *>(w))
        list->SetHint(hint);
    else
        w->setToolTip(hint);
}
