#include "testmain.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
// Texts that read the same in Chinese: patterns, shortcuts, and the language's own name.
const QSet<QString> sameInChinese { QStringLiteral("&%1 %2"), QStringLiteral("%1 %2"), QStringLiteral("Ctrl+B"),
    QStringLiteral("*.txt"), QStringLiteral("*.csv"), QStringLiteral("document%1.txt"), QStringLiteral("English") };

// (context, source) of every message in a .ts file.
QList<QPair<QString, QString>> messages(const QString &path)
{
    QList<QPair<QString, QString>> found;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            found.append({ context, xml.readElementText() });
    }
    return found;
}

QSet<QString> placeholders(const QString &text)
{
    QSet<QString> found;
    for (auto it = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}
}

// The Chinese catalogue judged by what can go wrong: a text the code shows
// that has no finished translation, or a translation that lost a placeholder.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(cn.load(QStringLiteral(":/lang/Tolvane_cn.qm"))); }
    void everyTextOfTheCodeIsTranslated();

private:
    QTranslator cn;
};

void TestCatalogue::everyTextOfTheCodeIsTranslated()
{
    QTemporaryDir dir;
    const QString extracted = dir.filePath(QStringLiteral("code.ts"));
    QCOMPARE(QProcess::execute(QStringLiteral(TOLVANE_LUPDATE),
                 { "-silent", "-locations", "none", QStringLiteral(TOLVANE_SOURCE_DIR "/src"), "-ts", extracted }), 0);
    const auto texts = messages(extracted);
    QVERIFY(texts.size() > 150);
    for (const auto &text : texts) {
        if (sameInChinese.contains(text.second))
            continue;
        const QString chinese = cn.translate(text.first.toUtf8().constData(), text.second.toUtf8().constData());
        const QString where = text.first + QStringLiteral(": ") + text.second;
        QVERIFY2(!chinese.isEmpty() && chinese != text.second, qPrintable(QStringLiteral("untranslated ") + where));
        QVERIFY2(placeholders(chinese) == placeholders(text.second), qPrintable(where + QStringLiteral(" -> ") + chinese));
    }
}

TOLVANE_TEST_MAIN(TestCatalogue)

#include "tst_catalogue.moc"
