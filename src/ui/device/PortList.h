#pragma once
// The items of the port list cbb_Port beyond the stored "COM1" ... "COM16".

class QComboBox;

// Adds the serial devices present on the machine (by device path, sorted) and "SIM",
// the built-in virtual module; the shown text stays as it is and no change handler runs.
void AddPresentPortItems(QComboBox *cbb_Port);
