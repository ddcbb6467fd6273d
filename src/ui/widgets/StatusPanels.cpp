#include "ui/widgets/StatusPanels.h"

#include <QLabel>

TStatusPanels::TStatusPanels(QWidget *parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
}

int TStatusPanels::AddPanel(int width, const QString &text, bool stretch) {
    auto *panel = new QLabel(text, this);
    panel->setObjectName(QStringLiteral("%1_Panel%2").arg(objectName()).arg(fPanels.size()));
    if (stretch)
        panel->setMinimumWidth(width);
    else
        panel->setFixedWidth(width);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    addWidget(panel, stretch ? 1 : 0);
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
    QLabel *panel = Panel(index);
    if (!panel || panel->text() == text)
        return;  // an unchanged text costs no layout and no repaint
    panel->setText(text);
    // A text longer than its panel (a long device path) shows whole as the tooltip.
    const int room = panel->contentsRect().width();
    panel->setToolTip(panel->fontMetrics().horizontalAdvance(text) > room ? text : QString());
}
