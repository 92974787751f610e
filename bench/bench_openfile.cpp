// Opens a 100,000-item document file in a document window until the first
// screenful of both lists is painted, and saves it again; prints the median of
// several runs beside the floor of merely reading and splitting the same file.

#include "app/resources.h"
#include "documents/documentfile.h"
#include "documents/mdichild.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
const int itemCount = 100000;
const int runs = 5;

// Counts paints of one widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString makeDocument(const QString &path)
{
    const QString chinese[] = { QStringLiteral("今天天气很好，我们去公园散步吧。"),
                                QStringLiteral("请问火车站怎么走？"),
                                QStringLiteral("明天上午九点我们在办公室开会，请大家准时参加。") };
    const QString uyghur[] = { QStringLiteral("بۈگۈن ھاۋا ناھايىتى ياخشى، باغچىغا بېرىپ سەيلە قىلايلى."),
                               QStringLiteral("كەچۈرۈڭ، پويىز ئىستانسىسىغا قانداق بارسا بولىدۇ؟"),
                               QStringLiteral("ئەتە سائەت توققۇزدا ئىشخانىدا يىغىن ئاچىمىز، ۋاقتىدا كېلىڭلار.") };
    QStringList sources;
    QStringList translations;
    for (int i = 0; i < itemCount; ++i) {
        sources << QStringLiteral("%1 %2").arg(chinese[i % 3]).arg(i);
        translations << QStringLiteral("%1 %2").arg(uyghur[i % 3]).arg(i);
    }
    QString error;
    if (!DocumentFile::write(path, DocumentFile::encode(sources, translations), &error))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
    return path;
}
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    initResources();
    QApplication app(argc, argv);
    configureApplication(app);

    QTemporaryDir dir;
    const QString path = makeDocument(dir.filePath(QStringLiteral("big.txt")));

    std::vector<double> floor, open, save;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        DocumentFile::Items items;
        QString error;
        DocumentFile::read(path, false, &items, &error);
        floor.push_back(clock.nsecsElapsed() / 1e6);

        MdiChild child;
        child.resize(1024, 600);
        child.show();
        QCoreApplication::processEvents();
        PaintCounter sourcePaints, translationPaints;
        child.sourceView->viewport()->installEventFilter(&sourcePaints);
        child.translationView->viewport()->installEventFilter(&translationPaints);

        clock.restart();
        child.loadFile(path, false);
        while (sourcePaints.paints == 0 || translationPaints.paints == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        open.push_back(clock.nsecsElapsed() / 1e6);
        if (child.sources().size() != itemCount)
            qFatal("read %d items instead of %d", int(child.sources().size()), itemCount);

        clock.restart();
        child.saveFile(dir.filePath(QStringLiteral("saved.txt")));
        save.push_back(clock.nsecsElapsed() / 1e6);
        child.setModified(false);
    }

    std::printf("Document file of %d items (pairs, UTF-8), median of %d runs\n", itemCount, runs);
    std::printf("%-52s %8.1f ms\n", "read and split only (floor)", median(floor));
    std::printf("%-52s %8.1f ms\n", "open until both lists have painted (target 1000)", median(open));
    std::printf("%-52s %8.1f ms\n", "save (target 100)", median(save));
    return 0;
}
