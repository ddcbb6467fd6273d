// The window's building blocks: lists, edits, the error guard, pictures, the grid
// model, status panels, auto-sized labels and window placement.

#include "ui/UiTestSupport.h"
#include "ui/mainwindow/AutoSizeLabels.h"
#include "ui/mainwindow/ControlFactory.h"
#include "ui/mainwindow/WindowPlacement.h"
#include "ui/support/Convert.h"
#include "ui/support/ErrorHandler.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/ReadoutLabel.h"
#include "ui/widgets/StatusPanels.h"
#include "ui/widgets/StringGrid.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <vector>

class TstWidgets : public QObject {
    Q_OBJECT

private slots:
    void listsRunTheirHandlerOnlyForTheUser() {
        QWidget host;
        QComboBox *box =
            NewList(&host, "box", QRect(0, 0, 100, 28), 1,
                    {QStringLiteral("115200"), QStringLiteral("460800"), QStringLiteral("921600")});
        QCOMPARE(box->currentText(), QStringLiteral("460800"));
        QCOMPARE(box->objectName(), QStringLiteral("box"));
        QVector<int> seen;  // ItemIndex at each handler call
        QStringList texts;
        ConnectComboChange(box, &host, [&] {
            seen.append(ItemIndex(box));
            texts.append(box->currentText());
        });
        // From code: no handler.
        SelectItemQuiet(box, 2);
        box->setCurrentIndex(0);
        QVERIFY(seen.isEmpty());
        // Picked by the user: handler with the picked index.
        PickItem(box, 2);
        QCOMPARE(seen, QVector<int>{2});
        // Typed: a handler per keystroke; no completion, nothing inserted; a typed
        // text equal to an item selects it, any other selects nothing.
        seen.clear();
        TypeInto(box, QStringLiteral("9"));
        QCOMPARE(texts.last(), QStringLiteral("9"));
        QCOMPARE(seen.last(), -1);
        TypeInto(box, QStringLiteral("115200"));
        QCOMPARE(seen.last(), 0);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(box->count(), 3);
        TypeInto(box, QStringLiteral("12345"));
        QCOMPARE(ItemIndex(box), -1);
        // Text that matches no item gives way to the last item when editing ends,
        // without the handler running.
        const int calls = seen.size();
        QSignalSpy reverted(static_cast<TEditableList *>(box), &TEditableList::RevertedToLastItem);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QCOMPARE(box->count(), 3);
        QCOMPARE(ItemIndex(box), 0);
        QCOMPARE(box->currentText(), QStringLiteral("115200"));
        QCOMPARE(reverted.count(), 1);
        QCOMPARE(seen.size(), calls);
    }

    void replacingItemsKeepsTheSelection() {
        QWidget host;
        QComboBox *box =
            NewList(&host, "box", QRect(0, 0, 100, 28), 2,
                    {QStringLiteral("平均"), QStringLiteral("加权平均"), QStringLiteral("高斯")});
        int calls = 0;
        ConnectComboChange(box, &host, [&] { ++calls; });
        ReplaceItemsKeepIndex(
            box, {QStringLiteral("Average"), QStringLiteral("Weighted Average"), QStringLiteral("Gaussian")});
        QCOMPARE(ItemIndex(box), 2);
        QCOMPARE(box->currentText(), QStringLiteral("Gaussian"));
        QCOMPARE(box->itemText(0), QStringLiteral("Average"));
        // Fewer new items than items: the rest stay.
        ReplaceItemsKeepIndex(box, {QStringLiteral("A")});
        QCOMPARE(box->itemText(0), QStringLiteral("A"));
        QCOMPARE(box->itemText(1), QStringLiteral("Weighted Average"));
        QCOMPARE(box->currentText(), QStringLiteral("Gaussian"));
        // A typed text that is no item survives the relabelling.
        box->setEditText(QStringLiteral("custom"));
        ReplaceItemsKeepIndex(box, {QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
        QCOMPARE(box->currentText(), QStringLiteral("custom"));
        QCOMPARE(ItemIndex(box), -1);
        QCOMPARE(calls, 0);
        // Selecting "no item" from code empties the text.
        SelectItemQuiet(box, -1);
        QCOMPARE(box->currentText(), QString());
    }

    void digitsOnlyEditsFilterTypingButNotCode() {
        QWidget host;
        QLineEdit *edit = NewEdit(&host, "edit", QRect(0, 0, 50, 28), QStringLiteral("35"), true);
        TypeInto(edit, QStringLiteral("-1a2.5"));
        QCOMPARE(edit->text(), QStringLiteral("125"));
        edit->setText(QStringLiteral("-7"));
        QCOMPARE(edit->text(), QStringLiteral("-7"));
        QLineEdit *free = NewEdit(&host, "free", QRect(0, 0, 50, 28), QString());
        TypeInto(free, QStringLiteral("-1.5"));
        QCOMPARE(free->text(), QStringLiteral("-1.5"));
    }

    void guardedHandlersReportErrorsAndTheProgramGoesOn() {
        TCapturedErrors errors;
        QWidget host;
        int after = 0;
        auto handler = Guarded(&host, [] { StrToInt(QStringLiteral("abc")); });
        handler();
        QCOMPARE(errors.Messages().size(), 1);
        QVERIFY(errors.Messages().first().contains(QStringLiteral("'abc'")));
        Guarded(&host, [] { throw 42; })();
        QCOMPARE(errors.Messages().size(), 2);
        Guarded(&host, [&] { ++after; })();
        QCOMPARE(after, 1);
        QCOMPARE(errors.Messages().size(), 2);
        // Through a real signal: the exception stops at the guard.
        QLineEdit edit;
        QObject::connect(&edit, &QLineEdit::textChanged, &host, Guarded(&host, [&] {
            StrToFloat(edit.text());
            ++after;
        }));
        edit.setText(QStringLiteral("-"));
        edit.setText(QStringLiteral("-2"));
        QCOMPARE(errors.Messages().size(), 3);
        QCOMPARE(after, 2);
    }

    void picturesAreCopiesAndStretchToTheControl() {
        QImage source(4, 2, QImage::Format_BGR888);
        source.fill(QColor(10, 20, 30));
        TPictureBox box;
        box.resize(40, 20);
        box.SetPicture(source);
        {
            QPainter p(&box.Picture());
            p.fillRect(0, 0, 2, 2, Qt::red);
        }
        QCOMPARE(source.pixelColor(0, 0), QColor(10, 20, 30));
        QCOMPARE(box.Picture().pixelColor(0, 0), QColor(Qt::red));
        // Wrapping foreign memory: the control keeps its own bytes.
        uchar bytes[3 * 2 * 2] = {};
        QImage foreign(bytes, 2, 2, 6, QImage::Format_BGR888);
        box.SetPicture(foreign);
        bytes[2] = 255;  // red of pixel (0, 0) changes in the source only
        QCOMPARE(box.Picture().pixelColor(0, 0), QColor(0, 0, 0));
        // A blue-green-red bitmap with padded rows shows as Qt reads that layout; a
        // copy held elsewhere (a snapshot's) keeps its pixels when the next one comes.
        uchar bgr[2 * 8] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 250, 251, 252, 0, 0};
        box.SetPictureBgr(bgr, 2, 2, 8);
        QCOMPARE(box.Picture(),
                 QImage(bgr, 2, 2, 8, QImage::Format_BGR888).convertToFormat(QImage::Format_RGB32));
        const QImage held = box.Picture();
        bgr[0] = 100;
        box.SetPictureBgr(bgr, 2, 2, 8);
        QCOMPARE(held.pixelColor(0, 0), QColor(3, 2, 1));
        QCOMPARE(box.Picture().pixelColor(0, 0), QColor(3, 2, 100));
        // Rows of a width that is no multiple of four with one byte of padding, the
        // buffer ending right after the last row's padding: every pixel as Qt reads it.
        std::vector<uchar> odd(size_t(40 * 3));
        for (size_t i = 0; i < odd.size(); ++i)
            odd[i] = uchar(i * 37 + 11);
        box.SetPictureBgr(odd.data(), 13, 3, 40);
        QCOMPARE(box.Picture(),
                 QImage(odd.data(), 13, 3, 40, QImage::Format_BGR888).convertToFormat(QImage::Format_RGB32));
        box.SetPictureBgr(bytes, 2, 2, 6);
        // Painted stretched: the right half of a 2-pixel-wide picture fills the right half.
        box.Picture().setPixelColor(1, 0, QColor(0, 0, 255));
        box.Picture().setPixelColor(1, 1, QColor(0, 0, 255));
        const QImage shown = box.grab().toImage();
        QCOMPARE(shown.pixelColor(35, 15), QColor(0, 0, 255));
        QCOMPARE(shown.pixelColor(5, 15), QColor(0, 0, 0));
        // A picture emptied through Picture() leaves the control's own background, not
        // what was painted there before (an opaque picture paints nothing behind it).
        QPalette green = box.palette();
        green.setColor(QPalette::Window, QColor(0, 160, 0));
        box.setPalette(green);
        box.Picture() = QImage();
        QCOMPARE(box.grab().toImage().pixelColor(20, 10), QColor(0, 160, 0));
        QSignalSpy dbl(&box, &TPictureBox::DoubleClicked);
        QTest::mouseDClick(&box, Qt::LeftButton);
        QCOMPARE(dbl.count(), 1);
    }

    void gridAnnouncesAWholeRefreshOnce() {
        TStringGrid grid;
        grid.SetColCount(33);
        grid.SetRowCount(25);
        QSignalSpy changed(grid.Model(), &QAbstractItemModel::dataChanged);
        for (int r = 1; r <= 24; ++r)
            for (int c = 1; c <= 32; ++c)
                grid.Model()->SetCellQuiet(c, r, QString::number(c * r));
        grid.Model()->AnnounceAll();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(grid.Cell(32, 24), QStringLiteral("768"));
        grid.SetCell(1, 1, QStringLiteral("x"));
        QCOMPARE(changed.count(), 2);
        // Outside the grid: nothing happens.
        grid.SetCell(40, 1, QStringLiteral("y"));
        QCOMPARE(grid.Cell(40, 1), QString());
        QCOMPARE(changed.count(), 2);
        // Growing keeps the texts.
        grid.SetColCount(34);
        QCOMPARE(grid.Cell(32, 24), QStringLiteral("768"));
        // The owner paints over every cell after the default painting.
        grid.resize(800, 600);
        grid.SetColWidth(3, 20);
        grid.SetRowHeight(2, 20);
        QVector<QPoint> painted;
        grid.OnDrawCell = [&](QPainter *canvas, int col, int row, const QRect &rect, QStyle::State) {
            painted.append(QPoint(col, row));
            if (col == 3 && row == 2)
                canvas->fillRect(rect, QColor(1, 2, 3));
        };
        const QImage shot = grid.viewport()->grab().toImage();
        QVERIFY(painted.contains(QPoint(3, 2)));
        const QRect cell = grid.CellRect(3, 2);
        QCOMPARE(shot.pixelColor(cell.center()), QColor(1, 2, 3));
    }

    void gridDefaultDrawingCanBeLeftToTheOwner() {
        TStringGrid grid;
        grid.SetColCount(3);
        grid.SetRowCount(3);
        grid.resize(200, 200);
        grid.SetColWidth(1, 60);
        grid.SetRowHeight(1, 30);
        grid.SetCell(1, 1, QStringLiteral("8888"));
        grid.SetCell(1, 0, QStringLiteral("1"));
        auto darkPixels = [&](int col, int row) {
            const QImage shot = grid.viewport()->grab().toImage();
            const QRect r = grid.CellRect(col, row).adjusted(1, 1, -1, -1);
            int dark = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    dark += qGray(shot.pixel(x, y)) < 128;
            return dark;
        };
        QVERIFY(darkPixels(1, 1) > 0);  // default: the text shows
        grid.SetDefaultDrawing(false);
        QCOMPARE(darkPixels(1, 1), 0);  // left to the owner
        QVERIFY(darkPixels(1, 0) > 0);  // fixed cells are always drawn
        grid.OnDrawCell = [&](QPainter *canvas, int col, int row, const QRect &rect, QStyle::State) {
            grid.DrawCellDefault(canvas, col, row, rect);
        };
        QVERIFY(darkPixels(1, 1) > 0);
    }

    void gridColourBlockLooksLikeColouringEachCell() {
        // The same grid painted cell by cell by its owner and from one colour block
        // must show the same pixels: headers, cells, grid lines and the empty room
        // beside the cells, also when scrolled.
        TStringGrid grid;
        grid.SetColCount(33);
        grid.SetRowCount(25);
        grid.SetColWidth(0, 50);
        grid.SetRowHeight(0, 50);
        for (int i = 1; i <= 32; ++i) {
            grid.SetCell(i, 0, QString::number(i));
            grid.SetColWidth(i, 20);
        }
        for (int i = 1; i <= 24; ++i) {
            grid.SetCell(0, i, QString::number(i));
            grid.SetRowHeight(i, 20);
        }
        grid.SetDefaultDrawing(false);
        QImage colours(32, 24, QImage::Format_RGB32);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x)
                colours.setPixel(x, y, qRgb(x * 8, y * 10, 255 - x * 4));
        grid.OnDrawCell = [&](QPainter *canvas, int col, int row, const QRect &rect, QStyle::State) {
            if (col > 0 && row > 0)
                canvas->fillRect(rect, QColor(colours.pixel(col - 1, row - 1)));
        };
        for (const QSize size : {QSize(740, 580), QSize(393, 257)}) {
            grid.resize(size);
            grid.show();
            grid.scrollTo(grid.Model()->index(24, 32));
            for (int pass = 0; pass < 2; ++pass) {
                grid.SetCellColours(QImage());
                const QImage byCell = grid.viewport()->grab().toImage();
                grid.SetCellColours(colours);
                QVERIFY(grid.HasCellColours());
                const QImage byBlock = grid.viewport()->grab().toImage();
                QCOMPARE(byBlock, byCell);
                // Written straight into an image in memory (as into the window's backing
                // store), a part of it shifted to another place: the same pixels there, none
                // beside.
                const QPoint shift(9, 6);
                const QRect part(37, 23, 301, 177);
                QImage direct(grid.viewport()->size() + QSize(20, 20), QImage::Format_RGB32);
                direct.fill(Qt::black);
                grid.viewport()->render(&direct, shift, QRegion(part));
                QCOMPARE(direct.copy(QRect(shift, part.size())),
                         byCell.convertToFormat(QImage::Format_RGB32).copy(part));
                QImage above = direct.copy(0, 0, direct.width(), shift.y());
                QImage black(above.size(), above.format());
                black.fill(Qt::black);
                QCOMPARE(above, black);
                QCOMPARE(direct.pixel(shift.x() + part.width(), shift.y() + part.height() - 1),
                         qRgb(0, 0, 0));
                // A surface smaller than the grid takes what fits of it.
                QImage small(120, 100, QImage::Format_RGB32);
                grid.viewport()->render(&small);
                QCOMPARE(small, byCell.convertToFormat(QImage::Format_RGB32).copy(small.rect()));
                grid.scrollToTop();
            }
        }
        // A refresh of the cells repaints them, not the headers.
        grid.resize(740, 580);
        QCoreApplication::processEvents();
        int headerPaints = 0;
        grid.OnDrawCell = [&](QPainter *, int col, int row, const QRect &, QStyle::State) {
            headerPaints += col == 0 || row == 0;
        };
        colours.setPixel(0, 0, qRgb(1, 2, 3));
        grid.SetCellColours(colours);
        grid.Model()->AnnounceCells();
        QTRY_COMPARE(grid.viewport()->grab(grid.CellRect(1, 1)).toImage().pixelColor(3, 3), QColor(1, 2, 3));
        QCoreApplication::processEvents();
        QCOMPARE(headerPaints, 0);
        // Texts from a source are asked only when read, the headers stay stored.
        int asked = 0;
        grid.Model()->SetCellTextSource([&](int col, int row) {
            ++asked;
            return QStringLiteral("%1/%2").arg(col).arg(row);
        });
        grid.viewport()->grab();
        QCOMPARE(asked, 0);
        QCOMPARE(grid.Cell(3, 2), QStringLiteral("3/2"));
        QCOMPARE(grid.Cell(3, 0), QStringLiteral("3"));
        QCOMPARE(asked, 1);
    }

    void statusPanelsHaveFixedWidthsAndIndexes() {
        TStatusPanels bar;
        QCOMPARE(bar.AddPanel(200, QStringLiteral("a")), 0);
        QCOMPARE(bar.AddPanel(50, QStringLiteral("b")), 1);
        QCOMPARE(bar.PanelCount(), 2);
        QCOMPARE(bar.Panel(1)->width(), 50);
        bar.SetPanelText(1, QStringLiteral("c"));
        QCOMPARE(bar.PanelText(1), QStringLiteral("c"));
        bar.SetPanelText(7, QStringLiteral("ignored"));
        QCOMPARE(bar.PanelText(7), QString());
        QCOMPARE(bar.Panel(-1), nullptr);

        // A panel's text changes at every frame: it lays out neither the bar nor the
        // window. A text the panel cuts shows whole as its tooltip.
        QMainWindow window;
        auto *shown = new TStatusPanels(&window);
        shown->AddPanel(60, QStringLiteral("Recv:0"));
        shown->AddPanel(80, QStringLiteral("notice"), true);
        window.setStatusBar(shown);
        window.show();
        QCoreApplication::processEvents();
        TEventCounter layoutRequests(QEvent::LayoutRequest);
        layoutRequests.Watch(&window);
        layoutRequests.Watch(shown);
        for (int frame = 1; frame <= 3; ++frame)
            shown->SetPanelText(0, QStringLiteral("Recv:%1").arg(frame * 1000));
        QCoreApplication::processEvents();
        QCOMPARE(layoutRequests.Count(), 0);
        const auto askTooltip = [](QLabel *panel) {
            QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), panel->mapToGlobal(QPoint(2, 2)));
            QCoreApplication::sendEvent(panel, &help);
            return panel->toolTip();
        };
        shown->SetPanelText(0, QStringLiteral("/dev/serial/by-id/usb-a-very-long-device-name"));
        QCOMPARE(askTooltip(shown->Panel(0)), shown->PanelText(0));
        shown->SetPanelText(0, QStringLiteral("R"));
        QCOMPARE(askTooltip(shown->Panel(0)), QString());
    }

    void readoutsLookLikeLabelsAndReuseTheirTexts() {
        // A readout draws its texts as a label of the same size and settings would,
        // also after a change of font and while disabled; a text shown before is not
        // laid out again.
        QWidget host;
        TReadoutLabel readout(QStringLiteral("Max Temp:"), &host);
        readout.FixSize(150);
        QLabel label(&host);
        label.setTextFormat(Qt::PlainText);
        label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label.setFixedSize(readout.size());
        label.setAutoFillBackground(true);
        label.setBackgroundRole(QPalette::AlternateBase);
        QVERIFY(readout.height() >= QFontMetrics(readout.font()).height());
        const auto same = [&](const QString &text) {
            readout.setText(text);
            label.setText(text);
            return readout.grab().toImage() == label.grab().toImage();
        };
        const QStringList texts{QStringLiteral("Max Temp:80.5\u2103"),
                                QStringLiteral("\u6700\u9AD8\u6E29\u5EA6\uFF1A-3.1"),
                                QStringLiteral("Core voltage:3.30V"), QStringLiteral("Max Temp:80.5\u2103")};
        for (const QString &text : texts)
            QVERIFY2(same(text), qPrintable(text));
        QCOMPARE(readout.DrawnCount(), 3);
        QFont bigger = host.font();
        bigger.setPixelSize(19);
        host.setFont(bigger);
        QCOMPARE(readout.DrawnCount(), 0);
        QVERIFY(same(texts[0]));
        QPalette red = host.palette();
        red.setColor(QPalette::WindowText, Qt::red);
        host.setPalette(red);
        QVERIFY(same(texts[0]));
        readout.setEnabled(false);
        label.setEnabled(false);
        QVERIFY(same(texts[1]));
    }

    void autoSizeLabelsFollowTheirText() {
        QWidget host;
        host.resize(400, 100);
        QLabel *label = NewLabel(&host, "label", 10, 20);
        label->setText(QStringLiteral("ab"));
        AdjustAutoSizeLabels(&host);
        const int narrow = label->width();
        host.show();
        label->setText(QStringLiteral("a much longer caption"));
        QTest::qWait(0);  // the parent's layout request
        QVERIFY(label->width() > narrow);
        QCOMPARE(label->pos(), QPoint(10, 20));
        label->setText(QStringLiteral("ab"));
        AdjustAutoSizeLabels(&host);
        QCOMPARE(label->width(), narrow);
    }

    void windowOpensMaximisedOnScreensUpTo1500Pixels() {
        QVERIFY(ShouldMaximise(1280));
        QVERIFY(ShouldMaximise(1500));
        QVERIFY(!ShouldMaximise(1501));
        QCOMPARE(CentredRect(QSize(1500, 760), QRect(0, 0, 1501, 900)), QRect(0, 70, 1500, 760));
        QCOMPARE(CentredRect(QSize(1500, 760), QRect(100, 30, 1920, 1050)), QRect(310, 175, 1500, 760));
    }
};

QTEST_MAIN(TstWidgets)
#include "WidgetsTest.moc"
