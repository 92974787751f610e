// Figures for the document window's list views with 20,000 items (or
// --items N): appending a sentence, replacing the provisional last sentence,
// and handing a whole document to the views, next to the literal approach that
// hands the whole list to the model on every change and lays every row out
// again in plain list views; and the memory a loaded item takes.
// --incremental-only skips the literal approach (for profiling).

#include "app/appstate.h"
#include "documents/documentmodel.h"
#include "documents/mdichild.h"
#include "documents/mywrapitem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QListView>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSplitter>
#include <QStringListModel>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

int itemCount = 20000;

// Resident memory of this process, in KiB.
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

QStringList chineseSentences(int count, quint32 seed)
{
    static const QString common = QString::fromUtf8("的一是不了人我在有他这中大来上国个到说们为子和你地出道也"
                                                    "时年得就那要下以生会自着去之过家学对可她里后小么心"
                                                    "多天而能好都然没日于起还发成事只作当想看文无开手十用主行"
                                                    "方又如前所本见经头面公同三已老从动两长知民样现分将外"
                                                    "但身些与高意进把法此实回二理美点月明其种声全工己话儿者向"
                                                    "情部正名定女问力机给等几很业最间新什打便位因重被走电"
                                                    "四第门相次东政海口使教西再平真听世气信北少关并内加化由却"
                                                    "代军产入先山五太水万市眼体别处总才场师书比住员九笑性"
                                                    "通目华报立马命张活难神数件安表原车白应路期叫死常提感金何"
                                                    "更反合放做系计或司利受光王果亲界及今京务制解各任至清");
    QRandomGenerator random(seed);
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString sentence;
        const int clauses = 1 + random.bounded(3);
        for (int c = 0; c < clauses; ++c) {
            const int length = 6 + random.bounded(18);
            for (int j = 0; j < length; ++j)
                sentence += common.at(random.bounded(common.size()));
            sentence += QChar(c + 1 < clauses ? 0xFF0C : 0x3002);
        }
        out << sentence;
    }
    return out;
}

QStringList uyghurSentences(int count, quint32 seed)
{
    static const QStringList words = QString::fromUtf8(
        "بىز ئۈچۈن ھەققىدە مەكتەپ سالام رەھمەت ياخشى بۈگۈن ئەتە مەن سەن ئۇ سىلەر ئۇلار كىتاب ئوقۇغۇچى "
        "ئوقۇتقۇچى دۆلەت خەلق ئىقتىساد تەرەققىيات ھۆكۈمەت يىغىن مەسىلە ھەل قىلىش كېرەك ۋە بىلەن يېڭى چوڭ "
        "كىچىك شەھەر يېزا ئادەم خىزمەت پىلان تىل تەرجىمە ئاۋاز بولىدۇ قىلدى دېدى ئۆي بالا ئانا دادا سۇ نان "
        "ۋاقىت يىل ئاي كۈن سائەت ھازىر كېيىن بۇرۇن ئالدى ئارقىسى ئىچىدە سىرتىدا ھەممە بەزى كۆپ ئاز ناھايىتى "
        "تېخى ئەمدى يەنە شۇڭا چۈنكى ئەگەر لېكىن ياكى ھەم مۇھىم ئاساسلىق جەمئىيەت تەتقىقات مەدەنىيەت تارىخ")
                                         .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QRandomGenerator random(seed);
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        QStringList sentence;
        const int length = 5 + random.bounded(22);
        for (int j = 0; j < length; ++j)
            sentence << words.at(random.bounded(words.size()));
        out << sentence.join(QLatin1Char(' ')) + QChar(0x060C);
    }
    return out;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double msSince(const QElapsedTimer &clock) { return clock.nsecsElapsed() / 1e6; }

// Counts paints of a viewport.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *viewport) { viewport->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The literal delegate: every row of both lists measured on every layout,
// each row as tall as the longer of its two texts.
class LiteralWrapItem : public MyWrapItem
{
public:
    LiteralWrapItem(int side, QListView *view, QListView *partner)
        : MyWrapItem(side, view, partner)
        , ownView(view)
        , partner(partner)
    { }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int width = ownView->viewport()->width();
        if (width <= 0 || !partner)
            return QItemDelegate::sizeHint(option, index);
        int lines = 1;
        for (QListView *view : { ownView, partner }) {
            const QModelIndex same = view->model()->index(index.row(), 0);
            auto metrics = fontMetrics.find(view);
            if (metrics == fontMetrics.end())
                metrics = fontMetrics.emplace(view, QFontMetricsF(view->font())).first;
            if (same.isValid())
                lines = std::max(
                    lines, lineCount(same.data().toString(), metrics->second, view->viewport()->width() - 8));
        }
        return QSize(width, lineHeight * lines);
    }

    QListView *ownView;
    QListView *partner;
    mutable std::map<QListView *, QFontMetricsF> fontMetrics; // fonts are set before the first layout
};

struct Views
{
    QListView *source;
    QListView *translation;
};

bool laidOut(QListView *view)
{
    const int rows = view->model()->rowCount();
    return rows == 0 || view->visualRect(view->model()->index(rows - 1, 0)).isValid();
}

struct LoadFigures
{
    double firstScreen = -1;
    double fullLayout = -1;
    double longestStall = 0;
};

// Runs the event loop until both views are painted and wholly laid out.
LoadFigures waitForLoad(const Views &views, const QElapsedTimer &clock, PaintCounter &sourcePaints,
    PaintCounter &translationPaints, int paintsBefore1, int paintsBefore2)
{
    LoadFigures figures;
    // Handing the lists over is the first stretch without input.
    figures.longestStall = msSince(clock);
    if (sourcePaints.paints > paintsBefore1 && translationPaints.paints > paintsBefore2)
        figures.firstScreen = msSince(clock);
    for (;;) {
        QElapsedTimer stall;
        stall.start();
        QCoreApplication::processEvents();
        figures.longestStall = std::max(figures.longestStall, msSince(stall));
        if (figures.firstScreen < 0 && sourcePaints.paints > paintsBefore1
            && translationPaints.paints > paintsBefore2)
            figures.firstScreen = msSince(clock);
        if (figures.firstScreen >= 0 && laidOut(views.source) && laidOut(views.translation)) {
            figures.fullLayout = msSince(clock);
            return figures;
        }
        if (clock.elapsed() > 120000)
            return figures;
    }
}

struct Figures
{
    LoadFigures load;
    double append = 0;
    double appendTranslation = 0;
    double replace = 0;
    std::vector<int> sampleHeights;
};

std::vector<int> sampleHeights(const Views &views)
{
    std::vector<int> heights;
    QAbstractItemModel *model = views.source->model();
    for (int row = 0; row < model->rowCount(); row += 997) {
        heights.push_back(views.source->visualRect(model->index(row, 0)).height());
        heights.push_back(views.translation->visualRect(views.translation->model()->index(row, 0)).height());
    }
    return heights;
}

template <typename Append, typename AppendTranslation, typename Replace>
Figures measure(const Views &views, const std::function<void()> &load, Append append,
    AppendTranslation appendTranslation, Replace replace, int rounds, const QStringList &newSources,
    const QStringList &newTranslations)
{
    Figures figures;
    PaintCounter sourcePaints(views.source->viewport());
    PaintCounter translationPaints(views.translation->viewport());

    QElapsedTimer clock;
    clock.start();
    const int before1 = sourcePaints.paints;
    const int before2 = translationPaints.paints;
    load();
    figures.load = waitForLoad(views, clock, sourcePaints, translationPaints, before1, before2);
    figures.sampleHeights = sampleHeights(views);

    auto timeUntilPainted = [&](PaintCounter &counter, const std::function<void()> &change) {
        const int before = counter.paints;
        QElapsedTimer t;
        t.start();
        change();
        while (counter.paints == before)
            QCoreApplication::processEvents();
        // Whatever the change left queued (layouts, repaints) belongs to it too.
        QCoreApplication::processEvents();
        return msSince(t);
    };

    std::vector<double> appends, translations, replaces;
    for (int i = 0; i < rounds; ++i) {
        const QString sentence = newSources.at(i);
        // Phrase mode: a provisional item grows while the operator speaks, then stays.
        appends.push_back(timeUntilPainted(sourcePaints, [&] { append(sentence.left(4)); }));
        for (int length = 8; length <= sentence.size(); length += 8)
            replaces.push_back(timeUntilPainted(sourcePaints, [&] { replace(sentence.left(length)); }));
        replaces.push_back(timeUntilPainted(sourcePaints, [&] { replace(sentence); }));
        translations.push_back(
            timeUntilPainted(translationPaints, [&] { appendTranslation(newTranslations.at(i)); }));
    }
    figures.append = median(appends);
    figures.appendTranslation = median(translations);
    figures.replace = median(replaces);
    return figures;
}

void applyBenchFonts(QListView *source, QListView *translation, MyWrapItem *d1, MyWrapItem *d2)
{
    QFont chinese(QStringLiteral("WenQuanYi Micro Hei"), 14);
    QFont uyghur(QStringLiteral("UKIJ Tuz Tom"), 14);
    const int lineHeight
        = std::max(int(QFontMetricsF(chinese).height()), int(QFontMetricsF(uyghur).height())) + 10;
    source->setFont(chinese);
    translation->setFont(uyghur);
    translation->setLayoutDirection(Qt::RightToLeft);
    d1->lineHeight = lineHeight;
    d2->lineHeight = lineHeight;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The offscreen platform's notes about window hints are noise among the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && type != QtInfoMsg && !message.contains(QLatin1String("propagateSizeHints")))
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });

    const int itemsAt = app.arguments().indexOf(QStringLiteral("--items"));
    if (itemsAt > 0)
        itemCount = app.arguments().value(itemsAt + 1).toInt();
    // Counted from before the texts exist: a document read from a file holds them too.
    const long beforeKiB = residentKiB();
    const QStringList sources = chineseSentences(itemCount, 1);
    const QStringList translations = uyghurSentences(itemCount, 2);
    const QStringList newSources = chineseSentences(200, 3);
    const QStringList newTranslations = uyghurSentences(200, 4);
    const QSize viewSize(1024, 600);

    // The document window.
    AppState::textMode = 1;
    MdiChild child;
    child.newFile();
    child.resize(2 * viewSize.width() + child.handleWidth(), viewSize.height());
    child.setSizes({ viewSize.width(), viewSize.width() });
    child.show();
    if (!QTest::qWaitForWindowExposed(&child))
        return 1;
    {
        QFont chinese(QStringLiteral("WenQuanYi Micro Hei"), 14);
        QFont uyghur(QStringLiteral("UKIJ Tuz Tom"), 14);
        const int lineHeight
            = std::max(int(QFontMetricsF(chinese).height()), int(QFontMetricsF(uyghur).height())) + 10;
        child.applyFonts(chinese, uyghur, false, lineHeight);
        QCoreApplication::processEvents();
    }
    const Views ours { child.sourceView, child.translationView };
    DocumentModel *document = child.model();
    long loadedKiB = 0;
    const Figures fast = measure(
        ours,
        [&] {
            child.setItems(sources, translations);
            loadedKiB = residentKiB();
        },
        [&](const QString &text) { document->appendSource(text); },
        [&](const QString &text) {
            const int row = document->translationCount();
            document->applyTranslation(document->at(row).id, text, true, true, QString());
        },
        [&](const QString &text) { document->setSource(document->count() - 1, text); }, 100, newSources,
        newTranslations);
    child.setModified(false);
    std::printf("memory: %ld KiB before the texts, %ld KiB once loaded; %.0f bytes per item\n", beforeKiB, loadedKiB,
        (loadedKiB - beforeKiB) * 1024.0 / itemCount);
    if (app.arguments().contains(QStringLiteral("--incremental-only"))) {
        std::printf("append %.2f replace %.2f translation %.2f first %.1f full %.1f stall %.1f\n",
            fast.append, fast.replace, fast.appendTranslation, fast.load.firstScreen, fast.load.fullLayout,
            fast.load.longestStall);
        return 0;
    }

    // The literal approach: whole lists handed over, every row measured again.
    QSplitter literal;
    auto *sourceView = new QListView;
    auto *translationView = new QListView;
    QStringListModel sourceModel;
    QStringListModel translationModel;
    QStringList sourceList;
    QStringList translationList;
    sourceView->setModel(&sourceModel);
    translationView->setModel(&translationModel);
    auto *d1 = new LiteralWrapItem(1, sourceView, nullptr);
    d1->partner = translationView;
    auto *d2 = new LiteralWrapItem(2, translationView, sourceView);
    sourceView->setItemDelegate(d1);
    translationView->setItemDelegate(d2);
    literal.addWidget(sourceView);
    literal.addWidget(translationView);
    literal.resize(2 * viewSize.width() + literal.handleWidth(), viewSize.height());
    literal.setSizes({ viewSize.width(), viewSize.width() });
    applyBenchFonts(sourceView, translationView, d1, d2);
    literal.show();
    if (!QTest::qWaitForWindowExposed(&literal))
        return 1;
    const Views theirs { sourceView, translationView };
    const Figures slow = measure(
        theirs,
        [&] {
            sourceList = sources;
            translationList = translations;
            sourceModel.setStringList(sourceList);
            translationModel.setStringList(translationList);
            sourceView->repaint();
            translationView->repaint();
        },
        [&](const QString &text) {
            sourceList.append(text);
            sourceModel.setStringList(sourceList);
            sourceView->viewport()->repaint();
            sourceView->scrollToBottom();
        },
        [&](const QString &text) {
            translationList.append(text);
            translationModel.setStringList(translationList);
            translationView->viewport()->repaint();
            translationView->scrollToBottom();
        },
        [&](const QString &text) {
            sourceList.removeLast();
            sourceList.append(text);
            sourceModel.setStringList(sourceList);
            sourceView->viewport()->repaint();
            sourceView->scrollToBottom();
        },
        3, newSources, newTranslations);

    std::printf("Document view, %d items, two list views of %dx%d (offscreen)\n", itemCount, viewSize.width(),
        viewSize.height());
    std::printf("%-44s %12s %12s\n", "", "incremental", "literal");
    std::printf("%-44s %12.2f %12.2f\n", "append source item, median ms", fast.append, slow.append);
    std::printf("%-44s %12.2f %12.2f\n", "replace provisional item, median ms", fast.replace, slow.replace);
    std::printf("%-44s %12.2f %12.2f\n", "append translation, median ms", fast.appendTranslation,
        slow.appendTranslation);
    std::printf("%-44s %12.1f %12.1f\n", "load: first screenful painted, ms", fast.load.firstScreen,
        slow.load.firstScreen);
    std::printf(
        "%-44s %12.1f %12.1f\n", "load: whole layout done, ms", fast.load.fullLayout, slow.load.fullLayout);
    std::printf("%-44s %12.1f %12.1f\n", "load: longest event-loop stall, ms", fast.load.longestStall,
        slow.load.longestStall);
    std::printf("row heights of sampled rows identical: %s\n",
        fast.sampleHeights == slow.sampleHeights ? "yes" : "NO");
    return 0;
}
