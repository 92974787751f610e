// Times reading, encoding and writing a large document: 100,000 Chinese
// sentences with Uyghur translations. Prints the median of several runs.

#include "documents/documentfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const int itemCount = 100000;
const int runs = 7;

const char *const chinesePieces[] = {
    "今天天气很好",
    "我们明天上午九点在会议室开会",
    "请把这份文件翻译成维吾尔语",
    "他说这个问题需要再讨论一下",
    "乌鲁木齐的冬天非常寒冷",
    "孩子们在学校里学习汉语和维吾尔语",
    "这家餐馆的拉条子很好吃",
    "火车晚点了半个小时",
    "你能不能说得慢一点",
    "医生建议他多休息多喝水",
    "我们的产品已经出口到中亚国家",
    "请大家安静，会议马上开始",
};
const char *const uyghurPieces[] = {
    "بۈگۈن ھاۋا ناھايىتى ياخشى",
    "بىز ئەتە سائەت توققۇزدا يىغىن ئۆيىدە يىغىن ئاچىمىز",
    "بۇ ھۆججەتنى ئۇيغۇرچىغا تەرجىمە قىلىپ بېرىڭ",
    "ئۇ بۇ مەسىلىنى يەنە بىر مۇزاكىرە قىلىش كېرەك دېدى",
    "ئۈرۈمچىنىڭ قىشى ناھايىتى سوغۇق",
    "بالىلار مەكتەپتە خەنزۇچە ۋە ئۇيغۇرچە ئۆگىنىدۇ",
    "بۇ ئاشخانىنىڭ لەغمىنى ناھايىتى تەملىك",
    "پويىز يېرىم سائەت كېچىكتى",
    "سەل ئاستاراق سۆزلىيەلەمسىز",
    "دوختۇر ئۇنىڭغا كۆپ ئارام ئېلىپ، كۆپ سۇ ئىچىشنى تەۋسىيە قىلدى",
    "مەھسۇلاتلىرىمىز ئوتتۇرا ئاسىيا دۆلەتلىرىگە ئېكسپورت قىلىندى",
    "ھەممەيلەن جىم بولۇڭلار، يىغىن ھازىر باشلىنىدۇ",
};

QString sentence(const char *const *pieces, int pieceCount, const QString &separator, const QString &end,
    QRandomGenerator &random)
{
    const int parts = 1 + random.bounded(3);
    QString text;
    for (int i = 0; i < parts; ++i) {
        if (i)
            text += separator;
        text += QString::fromUtf8(pieces[random.bounded(pieceCount)]);
    }
    return text + end;
}

struct Timing
{
    double wallMs;
    double cpuMs; // steadier than wall time on a busy machine
};

// reset runs before each timed run: freeing the previous result is not part of the work.
Timing median(
    const std::function<void()> &work, const std::function<void()> &reset = [] {})
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        reset();
        QElapsedTimer timer;
        const std::clock_t cpuStart = std::clock();
        timer.start();
        work();
        wall.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

void print(const char *what, const Timing &timing)
{
    std::printf("%-24s %9.2f ms wall %9.2f ms CPU\n", what, timing.wallMs, timing.cpuMs);
}

} // namespace

int main()
{
    QRandomGenerator random(20240601);
    QStringList sources;
    QStringList translations;
    sources.reserve(itemCount);
    translations.reserve(itemCount);
    const int chineseCount = int(sizeof chinesePieces / sizeof *chinesePieces);
    const int uyghurCount = int(sizeof uyghurPieces / sizeof *uyghurPieces);
    for (int i = 0; i < itemCount; ++i) {
        sources << sentence(chinesePieces, chineseCount, QStringLiteral("，"), QStringLiteral("。"), random);
        translations << sentence(
            uyghurPieces, uyghurCount, QStringLiteral("، "), QStringLiteral("."), random);
    }

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("bench.txt"));

    QByteArray bytes;
    const Timing encodeTime
        = median([&] { bytes = DocumentFile::encode(sources, translations); }, [&] { bytes.clear(); });
    QByteArray csv;
    const Timing csvTime
        = median([&] { csv = DocumentFile::encodeCsv(sources, translations); }, [&] { csv.clear(); });

    QString error;
    bool written = true;
    const Timing writeTime = median([&] { written = DocumentFile::write(path, bytes, &error) && written; });
    if (!written) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(error));
        return 1;
    }

    DocumentFile::Items items;
    const auto clearItems = [&] { items = DocumentFile::Items(); };
    bool read = true;
    const Timing readTime
        = median([&] { read = DocumentFile::read(path, false, &items, &error) && read; }, clearItems);
    if (!read || items.sources != sources || items.translations != translations) {
        std::fprintf(stderr, "reading back gave other items: %s\n", qPrintable(error));
        return 1;
    }
    QString text;
    const Timing decodeTime = median([&] { text = DocumentFile::decode(bytes); }, [&] { text.clear(); });
    const Timing pairsTime = median([&] { items = DocumentFile::parse(text, false); }, clearItems);
    const Timing linesTime = median([&] { items = DocumentFile::parse(text, true); }, clearItems);

    std::printf("document: %d items, %.1f MB UTF-8 (%.1f MB export), median of %d runs\n", itemCount,
        bytes.size() / 1e6, csv.size() / 1e6, runs);
    print("read + split (pairs)", readTime);
    print("  decode UTF-8", decodeTime);
    print("  split pairs", pairsTime);
    print("  split one per line", linesTime);
    print("encode document", encodeTime);
    print("encode export", csvTime);
    print("write (atomic)", writeTime);
    return 0;
}
