#pragma once
// Hands the options of the command line to the main window.

#include "app/CommandLine.h"

#include <QStringList>

class QWidget;

// The one place where the window receives what the command line asked for. Call it
// once the window is shown. Finds the window's controls by their object names:
// - Port and Baud become the texts of "cbb_Port" and "cbb_Baud" (the item of that
//   text is selected when there is one), as if the user had typed them;
// - Connect clicks "btn_Connect" as the user would, from the event loop, so the
//   window is on screen and any message it shows has a parent;
// - PlayFile starts playing that recording and OpenFile shows that temperature file
//   (TForm_Main::PlayRecording, ShowTemperatureFile), from the event loop, as if the
//   user had chosen the file with "Open…"; a file that cannot be opened gets the
//   window's error message; a file that is not there is reported here instead.
// Returns what the program must tell the user on standard error: one line per
// option the window could not take, none when all went in.
QStringList ApplyStartOptions(QWidget &window, const TStartOptions &options);
