#pragma once
// TEditableList: the window's editable drop-down list.
//
// - The mouse wheel changes the item only while the list has keyboard focus (a click
//   or Tab gives it); over an unfocused list the wheel scrolls the window, so moving
//   through the window never changes a setting or sends the module a command.
// - The drop-down shows every item whole, however narrow the box.
// - A current text the box cuts off shows whole as the tooltip, above the hint.
// - Typed text that matches no item, when editing ends (Enter, focus elsewhere),
//   gives way to the last item the list showed (RevertedToLastItem).

#include <QComboBox>
#include <QString>

class TEditableList : public QComboBox {
    Q_OBJECT
public:
    explicit TEditableList(QWidget *parent = nullptr);

    // The hint (tooltip) of the list; empty for none.
    void SetHint(const QString &hint);
    QString Hint() const { return fHint; }

    // The index of the last item the list showed; -1 before any.
    int LastItem() const { return fLastItem; }
    // Code changed the text with the list's signals blocked (SelectItemQuiet).
    void NoteShownText() { TextChanged(); }

signals:
    // Typed text that matched no item was replaced by the last item, without the
    // change handler running.
    void RevertedToLastItem();

protected:
    void wheelEvent(QWheelEvent *event) override;
    void showPopup() override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void TextChanged();
    void EditingFinished();
    void UpdateTip();

    QString fHint;
    int fLastItem = -1;
};

// Sets the hint of any control: the tooltip, or for an editable list its hint.
void SetControlHint(QWidget *w, const QString &hint);
