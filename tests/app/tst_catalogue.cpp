#include "testmain.h"

#include <QtTest>

// The Chinese catalogue judged by what can go wrong: a text the code shows
// that has no finished translation, or a translation that lost a placeholder.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void everyTextOfTheCodeIsTranslated()
    {
        QTranslator cn;
        QVERIFY(cn.load(QStringLiteral(":/lang/Tolvane_cn.qm")));
        QTemporaryDir dir;
        QFile extracted(dir.filePath(QStringLiteral("code.ts")));
        QCOMPARE(QProcess::execute(QStringLiteral(TOLVANE_LUPDATE),
                     { "-silent", "-locations", "none", QStringLiteral(TOLVANE_SOURCE_DIR "/src"), "-ts",
                         extracted.fileName() }),
            0);
        QVERIFY(extracted.open(QIODevice::ReadOnly));
        // Texts that read the same in Chinese: patterns, shortcuts, and the language's own name.
        const QSet<QString> same { "&%1 %2", "%1 %2", "Ctrl+B", "*.txt", "*.csv", "document%1.txt", "English" };
        int texts = 0;
        QString context;
        for (QXmlStreamReader xml(&extracted); !xml.atEnd();) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("name"))
                context = xml.readElementText();
            if (!xml.isStartElement() || xml.name() != QLatin1String("source"))
                continue;
            const QString source = xml.readElementText(), where = context + QStringLiteral(": ") + source;
            const QString chinese = cn.translate(context.toUtf8().constData(), source.toUtf8().constData());
            ++texts;
            if (same.contains(source))
                continue;
            QVERIFY2(!chinese.isEmpty() && chinese != source, qPrintable(QStringLiteral("untranslated ") + where));
            for (const QString &mark : QStringLiteral("%0 %1 %2 %3 %4 %5 %6 %7 %8 %9").split(' '))
                QVERIFY2(chinese.contains(mark) == source.contains(mark), qPrintable(where + " -> " + chinese));
        }
        QVERIFY(texts > 150);
    }
};

TOLVANE_TEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
