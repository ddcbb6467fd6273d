// The live view: the refresh tick, readouts, target markers and the cursor readout.

#include "MainFrm.h"

void TForm_Main::Timer1Timer(QObject *) {}
void TForm_Main::DoTimer(QObject *) {}
void TForm_Main::UpdateTargetImg() {}
bool TForm_Main::MouseIsInImage1() { return false; }
void TForm_Main::Image1MouseEnter(QObject *) {}
void TForm_Main::Image1MouseLeave(QObject *) {}
