#include "ui/widgets/ComboUtil.h"

#include "ui/widgets/EditableList.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

void MakeEditableList(QComboBox *box) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setMaxVisibleItems(16);
}

int ItemIndex(const QComboBox *box) {
    const QString shown = box->currentText();
    const int current = box->currentIndex();
    if (current >= 0 && box->itemText(current) == shown)
        return current;
    return box->findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void SelectItemQuiet(QComboBox *box, int index) {
    {
        const QSignalBlocker blocker(box);
        if (index < 0 || index >= box->count()) {
            box->setCurrentIndex(-1);
            if (box->isEditable())
                box->setEditText(QString());
        } else {
            box->setCurrentIndex(index);
            if (box->isEditable()) {
                box->setEditText(box->itemText(index));
                box->lineEdit()->setCursorPosition(0);  // a long item shows its beginning
            }
        }
    }
    // The signals were blocked: an editable list learns here what it shows.
    if (auto *list = qobject_cast<TEditableList *>(box))
        list->NoteShownText();
}

void ReplaceItemsKeepIndex(QComboBox *box, const QStringList &items) {
    const int index = ItemIndex(box);
    const QString shown = box->currentText();
    {
        const QSignalBlocker blocker(box);
        const int n = std::min<int>(box->count(), items.size());
        for (int i = 0; i < n; ++i)
            box->setItemText(i, items[i]);
    }
    if (index >= 0) {
        SelectItemQuiet(box, index);
    } else if (box->isEditable() && box->currentText() != shown) {
        const QSignalBlocker blocker(box);
        box->setEditText(shown);
    }
}

void ConnectComboChange(QComboBox *box, QWidget *context, std::function<void()> handler) {
    QObject::connect(box, &QComboBox::activated, context, [handler](int) { handler(); });
    if (QLineEdit *edit = box->lineEdit())
        QObject::connect(edit, &QLineEdit::textEdited, context, [handler](const QString &) { handler(); });
}
