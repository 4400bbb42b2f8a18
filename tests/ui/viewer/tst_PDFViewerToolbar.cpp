#include "BlueprintPDFView.h"
#include "PDFPage.h"
#include "PDFToolbarButton.h"
#include "PDFViewerBusyIndicator.h"
#include "PDFViewerPageField.h"
#include "PDFViewerPalette.h"
#include "PDFViewerRecentMenu.h"
#include "PDFViewerSearchField.h"
#include "PDFViewerSymbolButton.h"
#include "PDFViewerToolbar.h"
#include "ViewerWindowFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

using Action = PDFViewerShortcutAction;

namespace {

const QStringList kAllButtons = {
    QStringLiteral("pdf-open"),        QStringLiteral("pdf-previous-page"), QStringLiteral("pdf-next-page"),
    QStringLiteral("pdf-zoom-out"),    QStringLiteral("pdf-zoom-in"),       QStringLiteral("pdf-fit-page"),
    QStringLiteral("pdf-actual-size"), QStringLiteral("pdf-rotate-left"),   QStringLiteral("pdf-reset-rotation"),
    QStringLiteral("pdf-rotate-right"), QStringLiteral("pdf-presentation"),
};

void sendHover(QWidget *widget, bool entering)
{
    if (entering) {
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(widget, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
    }
}

// The toolbar alone has no place for the canvas: show it on its own at a reading size, so that
// it can tell its current page.
void showCanvas(ViewerWindowFixture &f)
{
    f.model->pdfView()->resize(800, 600);
    f.model->pdfView()->show();
}

} // namespace

class tst_PDFViewerToolbar : public QObject {
    Q_OBJECT

private slots:
    void stripOrderAndIdentifiers();
    void enabledStates_data();
    void enabledStates();
    void buttonLooks_data();
    void buttonLooks();
    void tooltipsShowCurrentShortcuts_data();
    void tooltipsShowCurrentShortcuts();
    void tooltipFollowsShortcutChangeAtOnce();
    void zoomLabel();
    void buttonsDriveTheModelAndCanvas();
    void pageFieldShowsPageAndCount();
    void searchFieldBindsTheModel();
    void recentMenu();
};

void tst_PDFViewerToolbar::stripOrderAndIdentifiers()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    toolbar.resize(1280, 58);
    toolbar.show();
    QCOMPARE(toolbar.height(), 58);

    // Left to right as laid out, not merely as created.
    QList<QWidget *> strip;
    for (const QString &id : kAllButtons)
        strip.append(toolbar.button(id));
    strip.insert(1, toolbar.recentMenu());
    strip.insert(3, toolbar.pageField());
    strip.insert(6, toolbar.zoomLabel());
    strip.append(toolbar.searchField());
    int previousX = -1;
    for (QWidget *widget : std::as_const(strip)) {
        QVERIFY(widget);
        const int x = widget->mapTo(&toolbar, QPoint(0, 0)).x();
        QVERIFY2(x > previousX, qPrintable(widget->objectName()));
        previousX = x;
    }
    // The search field is pushed to the right edge, 10 pixels in.
    QCOMPARE(toolbar.searchField()->geometry().right(), toolbar.width() - 10 - 1);

    const QMap<QString, QString> titles = {
        {QStringLiteral("pdf-open"), QStringLiteral("打开 PDF")},
        {QStringLiteral("pdf-previous-page"), QStringLiteral("上一页")},
        {QStringLiteral("pdf-actual-size"), QStringLiteral("100% 实际大小")},
        {QStringLiteral("pdf-rotate-left"), QStringLiteral("向左旋转 90°")},
        {QStringLiteral("pdf-presentation"), QStringLiteral("投影模式")},
    };
    for (auto it = titles.cbegin(); it != titles.cend(); ++it)
        QCOMPARE(toolbar.button(it.key())->accessibleName(), it.value());
    QCOMPARE(toolbar.button(QStringLiteral("pdf-actual-size"))->label(), QStringLiteral("1:1"));
    QVERIFY(toolbar.button(QStringLiteral("pdf-actual-size"))->systemImage().isEmpty());
    QCOMPARE(toolbar.button(QStringLiteral("pdf-open"))->label(), QStringLiteral("打开"));
    QCOMPARE(toolbar.button(QStringLiteral("pdf-presentation"))->label(), QStringLiteral("投影"));
    for (PDFToolbarButton *button : toolbar.buttons()) {
        QCOMPARE(button->height(), 28);
        QCOMPARE(button->isProminent(), button->objectName() == QLatin1String("pdf-presentation"));
    }
}

void tst_PDFViewerToolbar::enabledStates_data()
{
    QTest::addColumn<int>("pageCount"); // 0: no document
    QTest::addColumn<int>("page");      // 0-based
    QTest::addColumn<QStringList>("disabled");

    const QStringList documentButtons = kAllButtons.mid(1);
    QTest::newRow("no document") << 0 << 0 << documentButtons;
    QTest::newRow("first of three") << 3 << 0 << QStringList{QStringLiteral("pdf-previous-page")};
    QTest::newRow("middle of three") << 3 << 1 << QStringList{};
    QTest::newRow("last of three") << 3 << 2 << QStringList{QStringLiteral("pdf-next-page")};
    QTest::newRow("one page")
        << 1 << 0 << QStringList{QStringLiteral("pdf-previous-page"), QStringLiteral("pdf-next-page")};
}

void tst_PDFViewerToolbar::enabledStates()
{
    QFETCH(int, pageCount);
    QFETCH(int, page);
    QFETCH(QStringList, disabled);

    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    if (pageCount > 0) {
        showCanvas(f);
        QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), pageCount));
        f.model->goToPage(page + 1);
        QTRY_COMPARE(f.model->pageIndex(), page);
    }
    for (const QString &id : kAllButtons)
        QVERIFY2(toolbar.button(id)->isEnabled() == !disabled.contains(id), qPrintable(id));
    // The open button, the recent menu and the search field stay usable throughout.
    QVERIFY(toolbar.recentMenu()->isEnabled());
    QVERIFY(toolbar.searchField()->lineEdit()->isEnabled());
}

void tst_PDFViewerToolbar::buttonLooks_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("stroke");

    auto brand = [](qreal opacity) {
        QColor c = pdfBrandPurple;
        c.setAlphaF(float(opacity));
        return c;
    };
    QColor whiteStroke = Qt::white;
    whiteStroke.setAlphaF(0.16F);
    const QColor clear = Qt::transparent;
    const QString plain = QStringLiteral("pdf-zoom-in");
    const QString prominent = QStringLiteral("pdf-presentation");
    QTest::newRow("plain, resting") << plain << true << false << clear << clear;
    QTest::newRow("plain, hovered") << plain << true << true << brand(0.1) << brand(0.18);
    QTest::newRow("plain, disabled and hovered") << plain << false << true << clear << clear;
    QTest::newRow("prominent, resting") << prominent << true << false << brand(1.0) << whiteStroke;
    QTest::newRow("prominent, hovered") << prominent << true << true << brand(0.88) << whiteStroke;
    QTest::newRow("prominent, disabled and hovered") << prominent << false << true << brand(0.5) << whiteStroke;
}

void tst_PDFViewerToolbar::buttonLooks()
{
    QFETCH(QString, id);
    QFETCH(bool, enabled);
    QFETCH(bool, hovered);
    QFETCH(QColor, background);
    QFETCH(QColor, stroke);

    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    if (enabled)
        QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
    PDFToolbarButton *button = toolbar.button(id);
    QCOMPARE(button->isEnabled(), enabled);
    sendHover(button, hovered);
    QCOMPARE(button->isHovered(), hovered);
    QCOMPARE(button->buttonBackground().rgba(), background.rgba());
    QCOMPARE(button->buttonStroke().rgba(), stroke.rgba());
    sendHover(button, false);
    QVERIFY(!button->isHovered());
}

void tst_PDFViewerToolbar::tooltipsShowCurrentShortcuts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("tooltip");

    QTest::newRow("open") << QStringLiteral("pdf-open") << QStringLiteral("打开 PDF（⌘O）");
    QTest::newRow("previous") << QStringLiteral("pdf-previous-page") << QStringLiteral("上一页（⌥[）");
    QTest::newRow("next") << QStringLiteral("pdf-next-page") << QStringLiteral("下一页（⌥]）");
    QTest::newRow("zoom out") << QStringLiteral("pdf-zoom-out") << QStringLiteral("缩小（⌥−）");
    QTest::newRow("zoom in") << QStringLiteral("pdf-zoom-in") << QStringLiteral("放大（⌥=）");
    QTest::newRow("fit") << QStringLiteral("pdf-fit-page") << QStringLiteral("适合页面（⌥↓）");
    QTest::newRow("actual") << QStringLiteral("pdf-actual-size") << QStringLiteral("100% 实际大小（⌥↑）");
    QTest::newRow("left") << QStringLiteral("pdf-rotate-left") << QStringLiteral("向左旋转 90°（⌥←）");
    QTest::newRow("reset") << QStringLiteral("pdf-reset-rotation") << QStringLiteral("恢复原始方向（⌥0）");
    QTest::newRow("right") << QStringLiteral("pdf-rotate-right") << QStringLiteral("向右旋转 90°（⌥→）");
    QTest::newRow("presentation") << QStringLiteral("pdf-presentation") << QStringLiteral("全屏铺满并隐藏分页（⌥F）");
}

void tst_PDFViewerToolbar::tooltipsShowCurrentShortcuts()
{
    QFETCH(QString, id);
    QFETCH(QString, tooltip);
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    QCOMPARE(toolbar.button(id)->toolTip(), tooltip);
}

void tst_PDFViewerToolbar::tooltipFollowsShortcutChangeAtOnce()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    const PDFViewerShortcut commandOne(PDFViewerShortcutKey(QStringLiteral("1")), PDFViewerShortcutModifiers::command);
    QCOMPARE(f.shortcuts->update(commandOne, Action::zoomIn), std::nullopt);
    QCOMPARE(toolbar.button(QStringLiteral("pdf-zoom-in"))->toolTip(), QStringLiteral("放大（⌘1）"));
    QCOMPARE(toolbar.button(QStringLiteral("pdf-zoom-out"))->toolTip(), QStringLiteral("缩小（⌥−）"));
    QCOMPARE(toolbar.button(QStringLiteral("pdf-open"))->toolTip(), QStringLiteral("打开 PDF（⌘O）"));

    f.shortcuts->resetAll();
    QCOMPARE(toolbar.button(QStringLiteral("pdf-zoom-in"))->toolTip(), QStringLiteral("放大（⌥=）"));
}

void tst_PDFViewerToolbar::zoomLabel()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    QLabel *label = toolbar.zoomLabel();
    QCOMPARE(label->width(), 42);
    QCOMPARE(label->text(), QStringLiteral("100%"));
    QCOMPARE(label->accessibleName(), QStringLiteral("当前缩放 100%"));
    const QColor withoutDocument = label->palette().color(QPalette::WindowText);

    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 2));
    f.model->actualSize();
    f.model->zoomIn();
    const QString expected = QString::number(f.model->zoomPercentage()) + QLatin1Char('%');
    QVERIFY(expected != QLatin1String("100%"));
    QCOMPARE(label->text(), expected);
    QCOMPARE(label->accessibleName(), QStringLiteral("当前缩放 ") + expected);
    // Primary while a document is open, a fainter secondary before.
    const QColor withDocument = label->palette().color(QPalette::WindowText);
    QCOMPARE(withDocument, toolbar.palette().color(QPalette::WindowText));
    QVERIFY(withoutDocument.alphaF() < withDocument.alphaF());
}

void tst_PDFViewerToolbar::buttonsDriveTheModelAndCanvas()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    showCanvas(f);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));

    toolbar.button(QStringLiteral("pdf-next-page"))->click();
    QCOMPARE(f.model->pdfView()->currentPageIndex(), 1);
    QTRY_COMPARE(f.model->pageIndex(), 1);
    toolbar.button(QStringLiteral("pdf-previous-page"))->click();
    QCOMPARE(f.model->pdfView()->currentPageIndex(), 0);

    toolbar.button(QStringLiteral("pdf-actual-size"))->click();
    QCOMPARE(f.model->zoomPercentage(), 100);
    toolbar.button(QStringLiteral("pdf-zoom-in"))->click();
    QVERIFY(f.model->zoomPercentage() > 100);

    toolbar.button(QStringLiteral("pdf-rotate-right"))->click();
    QCOMPARE(f.model->pdfView()->currentPage()->rotation(), 90);
    toolbar.button(QStringLiteral("pdf-reset-rotation"))->click();
    QCOMPARE(f.model->pdfView()->currentPage()->rotation(), 0);

    toolbar.button(QStringLiteral("pdf-presentation"))->click();
    QVERIFY(f.model->isPresentationMode());
    toolbar.button(QStringLiteral("pdf-presentation"))->click();
    QVERIFY(!f.model->isPresentationMode());

    f.platform.nextChosenFile = std::nullopt;
    toolbar.button(QStringLiteral("pdf-open"))->click();
    QVERIFY(!f.platform.lastDialogTitle.isEmpty());
}

void tst_PDFViewerToolbar::pageFieldShowsPageAndCount()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    PDFViewerPageField *field = toolbar.pageField();
    QCOMPARE(field->lineEdit()->placeholderText(), QStringLiteral("—"));
    QCOMPARE(field->countText(), QStringLiteral("/ —"));
    QCOMPARE(field->lineEdit()->accessibleName(), QStringLiteral("跳转页码"));
    QCOMPARE(field->lineEdit()->width(), 34);

    showCanvas(f);
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 12));
    f.model->goToPage(2);
    QTRY_COMPARE(field->lineEdit()->placeholderText(), QStringLiteral("2"));
    QCOMPARE(field->countText(), QStringLiteral("/ 12"));
}

void tst_PDFViewerToolbar::searchFieldBindsTheModel()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    toolbar.resize(1280, 58);
    toolbar.show();
    PDFViewerSearchField *search = toolbar.searchField();
    QLineEdit *input = search->lineEdit();
    QCOMPARE(search->toolTip(), QStringLiteral("搜索当前 PDF（⌘F）"));
    QCOMPARE(input->placeholderText(), QStringLiteral("搜索 PDF"));
    QCOMPARE(search->height(), 32);
    QCOMPARE(search->previousButton()->toolTip(), QStringLiteral("上一处"));
    QCOMPARE(search->nextButton()->toolTip(), QStringLiteral("下一处"));
    QCOMPARE(search->busyIndicator()->accessibleName(), QStringLiteral("正在搜索"));
    QVERIFY(!search->resultLabel()->isVisible());
    QVERIFY(!search->previousButton()->isVisible());
    QVERIFY(!search->busyIndicator()->isVisible());

    // Typing writes the model; the result controls appear before any search has run.
    QTest::keyClicks(input, QStringLiteral("Page"));
    QCOMPARE(f.model->searchText(), QStringLiteral("Page"));
    QVERIFY(search->resultLabel()->isVisible());
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("0"));
    QVERIFY(search->previousButton()->isVisible());
    QVERIFY(search->nextButton()->isVisible());

    // The model writes the field.
    f.model->setSearchText(QString());
    QCOMPARE(input->text(), QString());
    QVERIFY(!search->resultLabel()->isVisible());

    // Return searches; the indicator shows only while the find runs.
    QVERIFY(f.openPDF(QStringLiteral("doc.pdf"), 3));
    f.model->pdfView()->resize(800, 600);
    QTest::keyClicks(input, QStringLiteral("Page"));
    QSignalSpy searching(f.model.get(), &PDFViewerModel::isSearchingChanged);
    QTest::keyClick(input, Qt::Key_Return);
    QVERIFY(searching.count() >= 1 || f.model->searchResultCount() > 0);
    if (f.model->isSearching())
        QVERIFY(search->busyIndicator()->isVisible());
    QTRY_VERIFY(!f.model->isSearching());
    QVERIFY(!search->busyIndicator()->isVisible());
    QCOMPARE(f.model->searchResultCount(), 3);
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("1 / 3"));
    search->nextButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("2 / 3"));
    search->previousButton()->click();
    search->previousButton()->click();
    QCOMPARE(search->resultLabel()->text(), QStringLiteral("3 / 3"));
}

void tst_PDFViewerToolbar::recentMenu()
{
    ViewerWindowFixture f;
    PDFViewerToolbar toolbar(f.model.get(), f.shortcuts.get());
    PDFViewerRecentMenu *recent = toolbar.recentMenu();
    QCOMPARE(recent->toolTip(), QStringLiteral("最近打开"));
    QCOMPARE(recent->size(), QSize(30, 28));
    QList<QAction *> items = recent->menu()->actions();
    QCOMPARE(items.size(), 1);
    QCOMPARE(items[0]->text(), QStringLiteral("暂无最近文件"));
    QVERIFY(!items[0]->isEnabled());

    QVERIFY(f.openPDF(QStringLiteral("first.pdf"), 1));
    QVERIFY(f.openPDF(QStringLiteral("R&D plan.pdf"), 2));
    items = recent->menu()->actions();
    QCOMPARE(items.size(), 2);
    // Most recent first; an ampersand is shown, not taken as a mnemonic.
    QCOMPARE(items[0]->text(), QStringLiteral("R&&D plan"));
    QCOMPARE(items[1]->text(), QStringLiteral("first"));

    items[1]->trigger();
    QCOMPARE(f.model->fileURL(), f.url(QStringLiteral("first.pdf")));
    QCOMPARE(f.model->pageCount(), 1);
}

QTEST_MAIN(tst_PDFViewerToolbar)
#include "tst_PDFViewerToolbar.moc"
