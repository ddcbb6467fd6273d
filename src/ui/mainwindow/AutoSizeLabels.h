#pragma once
// Labels that size themselves to their text, whoever changes it.
//
// A label marked with MakeAutoSize() is resized to its size hint at once and again
// whenever its text changes (a text change makes Qt ask the parent for a new layout,
// which the parent's filter answers by resizing its auto-size labels). The label's
// top-left corner stays where it was placed.

class QLabel;

void MakeAutoSize(QLabel *label);
// Resizes every auto-size label among the children of `container` now.
void AdjustAutoSizeLabels(class QWidget *container);
