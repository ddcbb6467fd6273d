#pragma once
// Finds captions the window does not show whole: a label, check box, button or group
// title whose text needs more room than its control has, a text that lies under a
// neighbouring control, a status panel narrower than its text.

#include <QStringList>

class QWidget;

// One line per problem ("chk_ShowTarget 'Show Target' needs 73 px, has 59"); empty
// when every visible caption under `root` is shown whole and uncovered.
QStringList CaptionProblems(QWidget &root);
