#pragma once
// Editable drop-down lists that behave like the window expects.
//
// - The selected index is the item whose text the box shows: a typed text that equals
//   an item selects it, any other typed text selects nothing (-1).
// - The change handler runs when the user picks an item or types, never when code
//   selects an index or replaces items (ConnectComboChange).
// - Typed text is not completed automatically and never added to the items.

#include <QStringList>

#include <functional>

class QComboBox;
class QWidget;

// Configures `box` as an editable list without completion or insertion.
void MakeEditableList(QComboBox *box);

// The selected index in the sense above; -1 when the shown text matches no item.
int ItemIndex(const QComboBox *box);

// Selects `index` from code without running the change handler; -1 clears the text.
void SelectItemQuiet(QComboBox *box, int index);

// Replaces the items one by one, keeping the selected index (read first, selected
// again afterwards) and without running the change handler. Extra items in `items`
// beyond the box's count are ignored; a shown text that matches no item stays.
void ReplaceItemsKeepIndex(QComboBox *box, const QStringList &items);

// Runs `handler` when the user picks an item or edits the text.
void ConnectComboChange(QComboBox *box, QWidget *context, std::function<void()> handler);
