#include "testmain.h"

#include "app/appstate.h"
#include "documents/documentmodel.h"
#include "documents/linecountcache.h"
#include "documents/mdichild.h"
#include "documents/mywrapitem.h"

#include <QFontMetricsF>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QRandomGenerator>
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

    // Through appends, inserts, removals, edits and translations in any order,
    // the rows of both lists stay level and contiguous, every row shown holds
    // both its texts as drawn (Chinese that may not break before punctuation,
    // translations longer than their sources), and laying the lists out afresh
    // gives the rows each change left. Seeded; TOLVANE_SEED repeats a run.
    void rowsHoldBothTextsThroughEdits()
    {
        const quint32 seed = qEnvironmentVariableIsSet("TOLVANE_SEED") ? qgetenv("TOLVANE_SEED").toUInt()
                                                                      : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QString hanzi = QStringLiteral("的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下");
        const QStringList words = QStringLiteral("a an of to words which have many different lengths wrap")
                                      .split(QLatin1Char(' '));
        auto sentence = [&](bool chinese) {
            QString text;
            const int length = 1 + random.bounded(chinese ? 70 : 30);
            for (int i = 0; i < length; ++i) {
                if (chinese)
                    text += random.bounded(3) == 0 ? QChar(0xFF0C) : hanzi.at(random.bounded(hanzi.size()));
                else
                    text += words.at(random.bounded(words.size())) + QLatin1Char(' ');
            }
            return chinese ? text + QChar(0x3002) : text.trimmed();
        };
        QFont chinese(QStringLiteral("WenQuanYi Micro Hei"));
        chinese.setPixelSize(16);
        constexpr int lineHeight = 30;
        // Every length of a Chinese sentence whose punctuation falls where lines
        // would break, and of a translation whose word ends sweep across the view.
        QStringList sources;
        QStringList translations;
        const QString punctuated = QString::fromUtf8("的一是不了，人我在有他。这中大来上，国个到说们为子和你，").repeated(3);
        const QString latin = QStringLiteral("a sentence of words which have many different lengths, to "
                                             "wrap at every possible place; ")
                                  .repeated(3);
        for (int length = 1; length <= latin.size(); length += 3) {
            sources << punctuated.left(30 + length % 20);
            translations << latin.left(length);
        }
        MdiChild child;
        showDocument(child, sources, translations, lineHeight, 300);
        child.resize(child.width(), 2000);
        // A scroll bar coming and going would lay both lists out afresh and hide a wrong row table.
        child.sourceView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        child.translationView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        child.sourceView->doItemsLayout();
        child.translationView->doItemsLayout();
        child.applyFonts(chinese, testFont(), false, lineHeight);
        DocumentModel *document = child.model();
        auto drawnLines = [](const QString &text, const QFont &font, int width) {
            QTextLayout layout(text, font);
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            int lines = 0;
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(width);
                ++lines;
            }
            layout.endLayout();
            return lines;
        };
        // Step -1 checks the document as read, shown from its top.
        for (int step = -1; step < 100; ++step) {
            const int rows = document->count();
            const int row = random.bounded(qMax(rows, 1));
            switch (step < 0 ? -1 : random.bounded(5)) {
            case -1:
                break;
            case 0:
                document->appendSource(sentence(true));
                break;
            case 1:
                document->insertBlank(random.bounded(rows + 1));
                break;
            case 2:
                if (rows > 1)
                    document->remove(row);
                break;
            case 3:
                document->setSource(row, sentence(true));
                break;
            default:
                document->applyTranslation(document->at(row).id, sentence(false), true, true, QString());
            }
            // Each change (and the rows its own repaint found taller) left both
            // lists as a fresh layout would: level, contiguous, every row as
            // tall as its delegate says.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            const QString where = QStringLiteral("step %1, seed %2").arg(step).arg(seed);
            const QStyleOptionViewItem option;
            int top = child.sourceView->visualRect(child.sourceModel->index(0)).top();
            for (int r = 0; r < document->count(); ++r) {
                const QRect source = child.sourceView->visualRect(child.sourceModel->index(r));
                const QRect translation = child.translationView->visualRect(child.translationModel->index(r));
                const int height = child.sourceView->itemDelegate()->sizeHint(option, child.sourceModel->index(r)).height();
                // Word-wrapped text is counted right without painting it first.
                const int translationLines
                    = drawnLines(document->at(r).translation, testFont(), translation.width() - 8);
                QVERIFY2(source.top() == top && source.height() == height && translation.top() == source.top()
                        && translation.height() == height && height >= lineHeight * translationLines,
                    qPrintable(where + QStringLiteral(", row %1").arg(r)));
                top += height;
            }
            // Painted as the screen would be; rows shown hold their texts as drawn.
            child.grab();
            QCoreApplication::processEvents();
            for (int r = 0; r < document->count(); ++r) {
                const QRect source = child.sourceView->visualRect(child.sourceModel->index(r));
                if (!source.intersects(child.sourceView->viewport()->rect()))
                    continue;
                const int lines = qMax(drawnLines(document->at(r).source, chinese, source.width() - 8),
                    drawnLines(document->at(r).translation, testFont(), source.width() - 8));
                QVERIFY2(source.height() >= lineHeight * lines, qPrintable(where + QStringLiteral(", row %1").arg(r)));
                QCOMPARE(child.translationView->visualRect(child.translationModel->index(r)), source);
            }
        }
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
