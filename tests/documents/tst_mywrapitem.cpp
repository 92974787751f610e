#include "testmain.h"

#include "app/appstate.h"
#include "documents/linecountcache.h"
#include "documents/mdichild.h"
#include "documents/mywrapitem.h"

#include <QFontMetricsF>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QStringListModel>
#include <QTextLayout>
#include <QTest>

// Row heights and painting of the document lists.
class TestMyWrapItem : public QObject
{
    Q_OBJECT

private:
    // Every character 10 pixels wide: the fitting rule without a font.
    static int rule(const QString &text, int width, int spaceWidth)
    {
        return LineCountCache::count(
            text, width, spaceWidth, [](const QString &word) { return 10.0 * word.size(); });
    }

    static QFont testFont()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        return font;
    }

    // A shown document window with the given items and line height.
    static void showDocument(MdiChild &child, const QStringList &sources, const QStringList &translations,
        int lineHeight, int viewWidth = 400)
    {
        child.newFile();
        child.resize(2 * viewWidth + child.handleWidth(), 400);
        child.setSizes({ viewWidth, viewWidth });
        child.show();
        QVERIFY(QTest::qWaitForWindowExposed(&child));
        child.applyFonts(testFont(), testFont(), false, lineHeight);
        child.setItems(sources, translations);
        QTRY_VERIFY(child.sourceView->visualRect(child.sourceModel->index(sources.size() - 1)).isValid());
    }

    static int rowHeight(QListView *view, int row)
    {
        return view->visualRect(view->model()->index(row, 0)).height();
    }

    // Leftmost and rightmost columns holding dark pixels.
    static QPair<int, int> inkSpan(const QImage &image)
    {
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                if (qGray(image.pixel(x, y)) < 128) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
            }
        }
        return { first, last };
    }

private slots:
    void init()
    {
        AppState::textMode = 1;
        AppState::listBackgroundColor = 0xFFDFEBF7u;
        AppState::listSelectionColor = 0xFF09B5F7u;
    }

    void fittingRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("spaceWidth");
        QTest::addColumn<int>("lines");

        QTest::newRow("empty item") << QString() << 100 << 4 << 1;
        QTest::newRow("short word") << QStringLiteral("abc") << 100 << 4 << 1;
        QTest::newRow("word exactly as wide as the view") << QString(10, QLatin1Char('a')) << 100 << 4 << 2;
        QTest::newRow("text without blanks, 2.5 widths") << QString(25, QChar(0x4E2D)) << 100 << 4 << 3;
        QTest::newRow("second word does not fit") << QStringLiteral("aaaaa aaaaa") << 100 << 4 << 2;
        QTest::newRow("a failed word does not widen the next line")
            << QStringLiteral("aaaaa aaaaa aaaaa aaaaa") << 100 << 4 << 4;
        QTest::newRow("long word after a short one")
            << QStringLiteral("aa ") + QString(25, QLatin1Char('a')) << 100 << 4 << 4;
        QTest::newRow("double blank is an empty word") << QStringLiteral("aaaa  aaaaa") << 100 << 7 << 2;
        QTest::newRow("no width") << QStringLiteral("aaaa") << 0 << 4 << 1;
    }

    void fittingRule()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, spaceWidth);
        QFETCH(int, lines);
        QCOMPARE(rule(text, width, spaceWidth), lines);
    }

    void textWithoutBlanksTakesFewestLinesThatHoldIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Chinese") << QString::fromUtf8(
            "我们今天在这里开会讨论一下经济发展的问题，请大家发言。");
    }

    void textWithoutBlanksTakesFewestLinesThatHoldIt()
    {
        QFETCH(QString, text);
        const QFontMetricsF metrics(testFont());
        const qreal advance = metrics.horizontalAdvance(text);
        for (int width : { 50, 97, 160, 333, 1000 }) {
            int expected = 1;
            while (expected * width <= advance)
                ++expected;
            QCOMPARE(MyWrapItem::lineCount(text, metrics, width), expected);
        }
    }

    // Every row is at least as tall as the lines its text is drawn in, and a
    // translation row is as tall as its source row: nothing runs into the next row.
    void rowsHoldTheirDrawnText()
    {
        MdiChild child;
        // Every length of a sentence of words of many sizes: line ends sweep across the view.
        const QString sentence = QStringLiteral("a sentence of words which have many different lengths, to "
                                                "wrap at every possible place; ")
                                     .repeated(6);
        QStringList sources;
        for (int length = 1; length <= sentence.size(); length += 3)
            sources << sentence.left(length);
        showDocument(child, sources, sources, 30);
        QTRY_VERIFY(child.sourceView->visualRect(child.sourceModel->index(sources.size() - 1)).isValid());
        int wrapped = 0;
        for (int row = 0; row < sources.size(); ++row) {
            const QRect rect = child.sourceView->visualRect(child.sourceModel->index(row));
            QTextLayout layout(sources.at(row), child.sourceView->font());
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            int drawn = 0;
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(rect.width() - 8);
                ++drawn;
            }
            layout.endLayout();
            wrapped += drawn > 1;
            QVERIFY2(rect.height() >= 30 * drawn, qPrintable(QStringLiteral("row %1").arg(row)));
            QCOMPARE(rowHeight(child.translationView, row), rect.height());
        }
        QVERIFY(wrapped > sources.size() / 2);
    }

    void translationRowsDoNotDependOnLayoutOrder()
    {
        MdiChild child;
        const QString longSentence = QStringLiteral("sentence ").repeated(80);
        showDocument(child, { QStringLiteral("a") }, { QStringLiteral("x") }, 20);
        // The translation view lays out before the source view has seen the new text.
        child.sourceModel->setData(child.sourceModel->index(0), longSentence);
        child.translationView->doItemsLayout();
        const int lines = MyWrapItem::lineCount(
            longSentence, QFontMetricsF(testFont()), child.sourceView->viewport()->width() - 8);
        QVERIFY(lines > 1);
        QCOMPARE(rowHeight(child.translationView, 0), 20 * lines);
    }

    void rowColours()
    {
        AppState::listBackgroundColor = 0xFFFF0000u;
        AppState::listSelectionColor = 0xFF00FF00u;
        MdiChild child;
        showDocument(child,
            { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") }, {}, 30);
        // Selected but not current: the style's focus frame would tint the row.
        child.sourceView->selectionModel()->select(child.sourceModel->index(1), QItemSelectionModel::Select);
        const QImage image = child.sourceView->viewport()->grab().toImage();
        const QColor base = child.sourceView->palette().color(QPalette::Base);
        auto colourOfRow = [&](int row) {
            const QRect rect = child.sourceView->visualRect(child.sourceModel->index(row));
            return QColor(image.pixel(rect.right() - 20, rect.center().y()));
        };
        QCOMPARE(colourOfRow(0), QColor(Qt::red));
        QCOMPARE(colourOfRow(1), QColor(Qt::green));
        QCOMPARE(colourOfRow(2), QColor(Qt::red));
        QCOMPARE(colourOfRow(3), base);
    }

    void markupIsShownAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("bold tag") << QStringLiteral("<b>bold</b> and the rest");
        QTest::newRow("less-than before letters") << QStringLiteral("if a <b then c is true");
    }

    void markupIsShownAsWritten()
    {
        QFETCH(QString, text);
        AppState::listBackgroundColor = 0xFFFFFFFFu;
        QListView view;
        QStringListModel model({ text });
        view.setModel(&model);
        MyWrapItem delegate(1, &view, nullptr);

        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.font = testFont();
        option.fontMetrics = QFontMetrics(option.font);
        option.rect = QRect(0, 0, 800, 40);
        option.state = QStyle::State_Enabled | QStyle::State_Active;
        option.palette.setColor(QPalette::Text, Qt::black);
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            delegate.paint(&painter, option, model.index(0));
        }
        const QPair<int, int> span = inkSpan(image);
        QVERIFY(span.first >= 0);
        // The ink spans the whole written text, markup characters included.
        const qreal advance = QFontMetricsF(option.font).horizontalAdvance(text);
        QVERIFY2(qAbs(span.second - span.first + 1 - advance) < advance * 0.1,
            qPrintable(QStringLiteral("ink %1..%2, text %3").arg(span.first).arg(span.second).arg(advance)));
    }
};

TOLVANE_TEST_MAIN(TestMyWrapItem)
#include "tst_mywrapitem.moc"
