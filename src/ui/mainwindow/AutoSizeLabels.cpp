#include "ui/mainwindow/AutoSizeLabels.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

namespace {

const char *const kAutoSize = "korvaleAutoSize";
const char *const kHasFilter = "korvaleAutoSizeFilter";

class TAutoSizeFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::LayoutRequest)
            if (auto *container = qobject_cast<QWidget *>(watched))
                AdjustAutoSizeLabels(container);
        return false;
    }
};

}  // namespace

void AdjustAutoSizeLabels(QWidget *container) {
    const auto labels = container->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    for (QLabel *label : labels) {
        if (!label->property(kAutoSize).toBool())
            continue;
        const QSize want = label->sizeHint();
        if (label->size() != want)
            label->resize(want);
    }
}

void MakeAutoSize(QLabel *label) {
    label->setProperty(kAutoSize, true);
    label->resize(label->sizeHint());
    QWidget *parent = label->parentWidget();
    if (!parent || parent->property(kHasFilter).toBool())
        return;
    parent->setProperty(kHasFilter, true);
    parent->installEventFilter(new TAutoSizeFilter(parent));
}
