#include "ui/widgets/StatusPanels.h"

#include <QLabel>

TStatusPanels::TStatusPanels(QWidget *parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
}

int TStatusPanels::AddPanel(int width, const QString &text) {
    auto *panel = new QLabel(text, this);
    panel->setObjectName(QStringLiteral("%1_Panel%2").arg(objectName()).arg(fPanels.size()));
    panel->setFixedWidth(width);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    addWidget(panel);
    fPanels.append(panel);
    return int(fPanels.size()) - 1;
}

QLabel *TStatusPanels::Panel(int index) const {
    return (index >= 0 && index < fPanels.size()) ? fPanels[index] : nullptr;
}

QString TStatusPanels::PanelText(int index) const {
    const QLabel *panel = Panel(index);
    return panel ? panel->text() : QString();
}

void TStatusPanels::SetPanelText(int index, const QString &text) {
    if (QLabel *panel = Panel(index))
        panel->setText(text);
}
