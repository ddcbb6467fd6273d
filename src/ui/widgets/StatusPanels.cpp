#include "ui/widgets/StatusPanels.h"

#include "ui/widgets/ReadoutLabel.h"

#include <QEvent>
#include <QLabel>

namespace {

// A panel's text changes with every frame. A label whose size may follow its text
// makes the bar, and with it the whole window, lay itself out again at each change;
// a panel of fixed size does not. The tooltip (the whole text, when the panel cuts
// it) is worked out when it is asked for rather than at every change.
class TPanelLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::ToolTip) {
            const bool cut = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
            setToolTip(cut ? text() : QString());
        }
        return QLabel::event(event);
    }
};

}  // namespace

TStatusPanels::TStatusPanels(QWidget *parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
}

int TStatusPanels::AddPanel(int width, const QString &text, bool stretch) {
    auto *panel = new TPanelLabel(text, this);
    panel->setObjectName(QStringLiteral("%1_Panel%2").arg(objectName()).arg(fPanels.size()));
    if (stretch)
        panel->setMinimumWidth(width);
    else
        panel->setFixedWidth(width);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    // Opaque: a new text repaints the panel, not the bar beneath it as well.
    panel->setAutoFillBackground(true);
    panel->setFixedHeight(AnyLineHeight(panel));
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
        return;  // an unchanged text costs no repaint
    panel->setText(text);
}
