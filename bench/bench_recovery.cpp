// What keeping a document's recovery file up to date costs per change, at
// 1,000, 20,000 and 100,000 items (or --items N): each kind of change timed on
// a document with a RecoveryJournal and on the same document without one; the
// difference of the medians is the journal's share. Also the whole-file write
// that starts the journal at the first unsaved change, and the file's size.

#include "documents/documentmodel.h"
#include "documents/recoveryjournal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const int ChangesPerKind = 2000;

QString sentence(QRandomGenerator &random)
{
    static const QString letters
        = QString::fromUtf8("的一是不了人我在有他这中大来上国个到说们为子和你地出道也"
                            "بىز ئۈچۈن ھەققىدە مەكتەپ سالام رەھمەت ياخشى");
    QString text;
    const int length = 10 + random.bounded(40);
    for (int i = 0; i < length; ++i)
        text += letters.at(random.bounded(letters.size()));
    return text;
}

struct Kind
{
    const char *name;
    std::function<void(DocumentModel &, QRandomGenerator &)> change;
};

const Kind kinds[] = {
    { "recognised sentence appended",
        [](DocumentModel &d, QRandomGenerator &r) { d.appendSource(sentence(r)); } },
    { "provisional sentence replaced",
        [](DocumentModel &d, QRandomGenerator &r) { d.showProvisional(sentence(r)); } },
    { "translation arrives",
        [](DocumentModel &d, QRandomGenerator &r) {
            d.applyTranslation(d.at(r.bounded(d.translationCount())).id, sentence(r), false, true, QString());
        } },
    { "item edited",
        [](DocumentModel &d, QRandomGenerator &r) { d.setSource(r.bounded(d.count()), sentence(r)); } },
    { "blank item inserted",
        [](DocumentModel &d, QRandomGenerator &r) { d.insertBlank(r.bounded(d.count())); } },
    { "item deleted", [](DocumentModel &d, QRandomGenerator &r) { d.remove(r.bounded(d.count())); } },
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p * double(values.size()))));
}

std::unique_ptr<DocumentModel> document(int items)
{
    QRandomGenerator random(7);
    QStringList sources;
    QStringList translations;
    for (int i = 0; i < items; ++i) {
        sources << sentence(random);
        translations << sentence(random);
    }
    auto doc = std::make_unique<DocumentModel>();
    doc->setItems(sources, translations);
    return doc;
}

// Microseconds per change of one kind.
std::vector<double> time(DocumentModel &doc, const Kind &kind)
{
    QRandomGenerator random(11);
    std::vector<double> us;
    us.reserve(ChangesPerKind);
    QElapsedTimer clock;
    for (int i = 0; i < ChangesPerKind; ++i) {
        clock.start();
        kind.change(doc, random);
        us.push_back(double(clock.nsecsElapsed()) / 1000.0);
    }
    return us;
}

void run(int items)
{
    QTemporaryDir dir;
    auto journaled = document(items);
    auto plain = document(items);
    const QString path = dir.filePath(QStringLiteral("doc.jsonl"));
    RecoveryJournal journal(
        journaled.get(), path, [] { return QString(); }, [] { return QStringLiteral("doc"); });
    QElapsedTimer clock;
    clock.start();
    journaled->setModified(true);
    const double startMs = double(clock.nsecsElapsed()) / 1e6;

    std::printf("\n%d items: first unsaved change writes the file whole in %.1f ms (%.1f MB)\n", items,
        startMs, double(QFileInfo(path).size()) / 1e6);
    std::printf("  %-30s %12s %12s %12s %12s %10s\n", "change", "median us", "without us", "journal us",
        "p99 us", "max ms");
    std::vector<double> all;
    for (const Kind &kind : kinds) {
        const std::vector<double> with = time(*journaled, kind);
        const std::vector<double> without = time(*plain, kind);
        const double cost = percentile(with, 0.5) - percentile(without, 0.5);
        std::printf("  %-30s %12.2f %12.2f %12.2f %12.2f %10.2f\n", kind.name, percentile(with, 0.5),
            percentile(without, 0.5), cost, percentile(with, 0.99), percentile(with, 1.0) / 1000.0);
        all.insert(all.end(), with.begin(), with.end());
    }
    double total = 0;
    for (const double us : all)
        total += us;
    std::printf(
        "  all changes with the journal: median %.2f us, mean %.2f us (compaction included), file %.1f MB\n",
        percentile(all, 0.5), total / double(all.size()), double(QFileInfo(path).size()) / 1e6);
}

}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::vector<int> sizes = { 1000, 20000, 100000 };
    const int given = app.arguments().indexOf(QStringLiteral("--items"));
    if (given > 0 && given + 1 < app.arguments().size())
        sizes = { app.arguments().at(given + 1).toInt() };
    std::printf("Recovery journal: %d changes of each kind, times per change\n", ChangesPerKind);
    for (const int items : sizes)
        run(items);
    return 0;
}
