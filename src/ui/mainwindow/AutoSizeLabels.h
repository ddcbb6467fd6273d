#pragma once
// Labels that size themselves to their text, whoever changes it.
//
// A label marked with MakeAutoSize() is resized to its size hint at once and again
// whenever its text changes (a text change makes Qt ask the parent for a new layout,
// which the parent's filter answers by resizing its auto-size labels). The label's
// top-left corner stays where it was placed.

class QLabel;

void MakeAutoSize(QLabel *label);
// A label whose text changes at every frame (a readout): `width` pixels wide and as
// tall as a line of Latin, Chinese and the degree sign needs, so that a new text lays
// nothing out again (an auto-size label measures each new text once more to size
// itself). It no longer follows its text.
void FixLabelSize(QLabel *label, int width);
// Resizes every auto-size label among the children of `container` now.
void AdjustAutoSizeLabels(class QWidget *container);
