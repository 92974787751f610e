#include "app/resources.h"

#include <QApplication>
#include <QTranslator>
#include <QtTest>

namespace {

struct Entry
{
    const char *context;
    const char *source;
    const char *chinese;
};

// Kept apart from the .ts on purpose: the catalogue is checked against these texts, not itself.
const Entry chineseEntries[] = {
    { "MainWindow", "&Action", "录音操作" },
    { "MainWindow", "&Cascade", "层叠" },
    { "MainWindow", "&Copy", "复制" },
    { "MainWindow", "&Delete", "删除" },
    { "MainWindow", "&Edit", "编辑" },
    { "MainWindow", "&File", "文件" },
    { "MainWindow", "&Help", "帮助" },
    { "MainWindow", "&Lang", "翻译模式" },
    { "MainWindow", "&New", "新建" },
    { "MainWindow", "&Open...", "打开" },
    { "MainWindow", "&Paste", "粘贴" },
    { "MainWindow", "&Save", "保存" },
    { "MainWindow", "&Setting", "设置" },
    { "MainWindow", "&Tile", "平铺" },
    { "MainWindow", "&Window", "窗口" },
    { "MainWindow", "A&bout", "关于" },
    { "MainWindow", "Action", "动作" },
    { "MainWindow", "Add Down", "下边添加" },
    { "MainWindow", "Add Up", "上边添加" },
    { "MainWindow", "Application", "工具" },
    { "MainWindow", "Auto Save Setting", "自动存盘设置" },
    { "MainWindow", "CN", "汉文" },
    { "MainWindow", "Cascade the windows", "层叠窗口" },
    { "MainWindow", "Chinese", "中文" },
    { "MainWindow", "Chinese-->Uygur Translator", "汉-->维翻译" },
    { "MainWindow", "Cl&ose", "关闭" },
    { "MainWindow", "Close &All", "关闭全部" },
    { "MainWindow", "Close all the windows", "关闭所有窗口" },
    { "MainWindow", "Close the active window", "关闭当前窗口" },
    { "MainWindow", "Copy the current selection's contents to the clipboard",
        "把当前选择的内容复制到剪贴板" },
    { "MainWindow", "Create a new file", "新建一个文件" },
    { "MainWindow", "Cu&t", "剪切" },
    { "MainWindow", "CurLang", "当前模式：" },
    { "MainWindow", "CurVoice", "当前状态：" },
    { "MainWindow", "Cut the current selection's contents to the clipboard", "把当前选择的内容剪切到剪贴板" },
    { "MainWindow", "Delete Item", "删除当前选项" },
    { "MainWindow", "Do you want to restart to take effect?", "要重启程序才能生效，要重启吗？" },
    { "MainWindow", "E&xit", "退出" },
    { "MainWindow", "Exit the application", "退出程序" },
    { "MainWindow", "File", "文件" },
    { "MainWindow", "Include translation text?", "文件是否包含翻译文本？" },
    { "MainWindow", "LangCN", "汉-->维" },
    { "MainWindow", "LangWW", "维-->汉" },
    { "MainWindow", "Move the focus to the next window", "把焦点移到下一个窗口" },
    { "MainWindow", "Move the focus to the previous window", "把焦点移到上一个窗口" },
    { "MainWindow", "Ne&xt", "下一个" },
    { "MainWindow", "No", "否" },
    { "MainWindow", "No Active Window", "没有活动窗口" },
    { "MainWindow", "No Items", "没有内容" },
    { "MainWindow", "Open an existing file", "打开存在的文件" },
    { "MainWindow", "Paste the clipboard's contents into the current selection",
        "把剪贴板的内容粘贴到当前选择区" },
    { "MainWindow", "Phrase Mode", "短语实时识别" },
    { "MainWindow", "Play", "播放右边翻译文本" },
    { "MainWindow", "Please switch to one sentence per line", "请先把显示方式切换到每句显示为一行" },
    { "MainWindow", "Plesae stop record first", "请先停止录音" },
    { "MainWindow", "Pre&vious", "上一个" },
    { "MainWindow", "Ready", "准备就绪" },
    { "MainWindow", "Record", "录音" },
    { "MainWindow", "Save &As...", "另存为" },
    { "MainWindow", "Save As Excel...", "导出为Excel文件格式" },
    { "MainWindow", "Save the document to disk", "保存文档到磁盘" },
    { "MainWindow", "Save the document to excel file", "导出为Excel文件格式" },
    { "MainWindow", "Save the document under a new name", "保存文档为另一名称" },
    { "MainWindow", "Select Font", "汉文字体设置" },
    { "MainWindow", "Select WW Font", "维文字体设置" },
    { "MainWindow", "Sentence Mode", "整句实时识别" },
    { "MainWindow", "Set Auto Save Time(Minute)", "设置自动存盘时间(分)" },
    { "MainWindow", "SetAutoSave", "自动存盘" },
    { "MainWindow", "SetColor", "设置颜色" },
    { "MainWindow", "SetFont", "设置汉文字体" },
    { "MainWindow", "SetFontWW", "设置维文字体" },
    { "MainWindow", "SetNetwork", "设置网络" },
    { "MainWindow", "SetPauseMark", "维文停顿符号设置" },
    { "MainWindow", "SetShowEdit", "显示方式" },
    { "MainWindow", "Status", "状态" },
    { "MainWindow", "Stop", "停止" },
    { "MainWindow", "Tile the windows", "平铺窗口" },
    { "MainWindow", "Total Letter", "总字数：" },
    { "MainWindow", "Uygur-->Chinese Translator", "维-->汉翻译" },
    { "MainWindow", "Yes", "是" },
    { "MainWindow", "Keep speech heard while a translation is spoken (with headphones)", "朗读译文时听到的语音也保留（戴耳机时使用）" },
    { "MainWindow", "Listen while speaking", "朗读时继续识别" },
    { "MainWindow", "Speak translations as they arrive", "译文到达即朗读" },
    { "MainWindow", "Speaking a translation", "正在朗读译文" },
    { "MainWindow", "Speaking a translation, %1 waiting", "正在朗读译文，还有 %1 条等待" },
    { "MainWindow", "Speech heard while speaking a translation is dropped", "朗读译文时听到的语音已丢弃" },
    { "MainWindow", "While recording, speak each new translation aloud", "录音时自动朗读每句新译文" },
    { "MainWindow", "add Down Item", "下边添加一行" },
    { "MainWindow", "add Up Item", "上边添加一行" },
    { "MainWindow", "exit program?", "是否要关闭本程序？" },
    { "MainWindow", "norecording", "未开始" },
    { "MainWindow", "recording", "正在录音..." },
    { "MainWindow", "setColor", "设置颜色" },
    { "MainWindow", "start record failed, errcode:", "开始录音失败，错误码：" },
    { "MainWindow", "translate all", "全部翻译" },
    { "MainWindow", "translate selection", "选中翻译" },
    { "MainWindow", "translate selection item", "请先选中一个选项，然后翻译" },
    { "MdiChild", "'%1' has been modified.\nDo you want to save your changes?",
        "'%1' 文档已修改，你要保存吗？" },
    { "MdiChild", "Add Down", "下边添加" },
    { "MdiChild", "Add Up", "上边添加" },
    { "MdiChild", "Application", "工具" },
    { "MdiChild", "Cancel", "取消" },
    { "MdiChild", "Copy", "复制" },
    { "MdiChild", "Copy all contents to the clipboard", "把所有内容复制到剪贴板" },
    { "MdiChild", "Copy the current selection's contents to the clipboard", "把当前选择的内容复制到剪贴板" },
    { "MdiChild", "CopyAll", "复制全部" },
    { "MdiChild", "Delete", "删除当前选项" },
    { "MdiChild", "Delete Item", "删除当前选项" },
    { "MdiChild", "Discard", "放弃" },
    { "MdiChild", "MDI", "文档保存提示" },
    { "MdiChild", "Save", "保存" },
    { "MdiChild", "Save As", "保存为" },
    { "MdiChild", "add Down Item", "下边添加一行" },
    { "MdiChild", "add Up Item", "上边添加一行" },
    { "MdiChild", "translate all", "全部翻译" },
    { "MdiChild", "translate selection", "选中翻译" },
    { "MdiChild", "translate selection item", "请先选择一个选择，然后翻译" },
    { "MyEdit", "&Copy", "复制" },
    { "MyEdit", "&Paste", "粘贴" },
    { "MyEdit", "'%1' has been modified.\nDo you want to save your changes?",
        "'%1' 文档已修改，你要保存吗？" },
    { "MyEdit", "Application", "工具" },
    { "MyEdit", "Cancel", "取消" },
    { "MyEdit", "Copy the current selection's contents to the clipboard", "把当前选择的内容复制到剪贴板" },
    { "MyEdit", "Cu&t", "剪切" },
    { "MyEdit", "Cut the current selection's contents to the clipboard", "把当前选择的内容剪切到剪贴板" },
    { "MyEdit", "Discard", "放弃" },
    { "MyEdit", "MDI", "文档保存提示" },
    { "MyEdit", "Paste the clipboard's contents into the current selection",
        "把剪贴板的内容粘贴到当前选择区" },
    { "MyEdit", "Save", "保存" },
    { "MyEdit", "Save As", "保存为" },
    { "NetworkDialog", "Cancel", "取消" },
    { "NetworkDialog", "Network", "网络" },
    { "NetworkDialog", "OK", "确定" },
    { "NetworkDialog", "Other Server Setting", "其他服务器设置" },
    { "NetworkDialog", "Server Setting", "服务器设置" },
    { "NetworkDialog", "Translation Host CN", "维翻汉服务器地址" },
    { "NetworkDialog", "Translation Host WW", "汉翻维服务器地址" },
    { "NetworkDialog", "Use Default Server", "使用默认服务器" },
    { "NetworkDialog", "Use Other Server", "使用其他服务器" },
    { "NetworkDialog", "Voice Host", "局域网语音服务器" },
    { "QColorOption", "Cancel", "取消" },
    { "QColorOption", "Color Option", "设置颜色选项" },
    { "QColorOption", "OK", "确定" },
    { "QColorOption", "list background color", "设置列表框背景色" },
    { "QColorOption", "list default color", "设置回默认值" },
    { "QColorOption", "list selected color", "设置当前选择项颜色" },
    { "QColorOption", "setting", "设置" },
    { "QLoginDialog", "Cancel", "取消" },
    { "QLoginDialog", "OK", "确定" },
    { "QLoginDialog", "WW Pause Mark", "维文停顿加入符号" },
    { "QLoginDialog", "add comma", "加入逗号" },
    { "QLoginDialog", "add space", "加入空格" },
    { "QLoginDialog", "setting", "设置" },
    { "QMyKeyboard", "Cancel", "取消" },
    { "QMyKeyboard", "OK", "确定" },
    { "ShowEditDialog", "Cancel", "取消" },
    { "ShowEditDialog", "Comma separate", "每句用逗号隔开" },
    { "ShowEditDialog", "Edit Orientation", "控件显示方式" },
    { "ShowEditDialog", "Horizontal", "左右显示控件" },
    { "ShowEditDialog", "OK", "确定" },
    { "ShowEditDialog", "Text Mode", "文本显示方式" },
    { "ShowEditDialog", "Vertical", "上下显示控件" },
    { "ShowEditDialog", "one sentence per line", "每句显示为一行" },
};

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void chineseEntry_data();
    void chineseEntry();
    void chineseCatalogueIsZhCn();
    void productTitle();
    void lineEditTexts_data();
    void lineEditTexts();


    void qtCatalogueTranslatesStandardTexts_data();
    void qtCatalogueTranslatesStandardTexts();

private:
    QTranslator cn;
};

void TestCatalogue::initTestCase()
{
    QVERIFY(cn.load(QStringLiteral(":/lang/Tolvane_cn.qm")));
    QVERIFY(!cn.isEmpty());
}

void TestCatalogue::chineseEntry_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("chinese");

    for (const Entry &e : chineseEntries) {
        QByteArray tag = QByteArray(e.context) + ": " + QByteArray(e.source).replace('\n', "\\n");
        QTest::newRow(tag.constData())
            << QByteArray(e.context) << QByteArray(e.source) << QString::fromUtf8(e.chinese);
    }
}

void TestCatalogue::chineseEntry()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, chinese);

    QCOMPARE(cn.translate(context.constData(), source.constData()), chinese);
}

void TestCatalogue::chineseCatalogueIsZhCn() { QCOMPARE(cn.language(), QStringLiteral("zh_CN")); }

void TestCatalogue::productTitle()
{
    const QString title = cn.translate("MainWindow", "Tolvane");
    QVERIFY(!title.isEmpty());
    QVERIFY2(title != QLatin1String("Tolvane"), qPrintable(title));
}

void TestCatalogue::lineEditTexts_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("mustKeep");

    QTest::newRow("Error") << QByteArray("Error") << QString();
    QTest::newRow("Keyboard") << QByteArray("Keyboard") << QString();
    // The operator has to see which character was refused.
    QTest::newRow("backtick") << QByteArray("Forbidden character use `") << QStringLiteral("`");
    QTest::newRow("slash") << QByteArray("Forbidden character use /") << QStringLiteral("/");
}

void TestCatalogue::lineEditTexts()
{
    QFETCH(QByteArray, source);
    QFETCH(QString, mustKeep);

    const QString text = cn.translate("QMyLineEdit", source.constData());
    QVERIFY(!text.isEmpty());
    QVERIFY2(text != QLatin1String(source), qPrintable(text));
    QVERIFY2(text.contains(mustKeep), qPrintable(text));
}

void TestCatalogue::qtCatalogueTranslatesStandardTexts_data()
{
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("chinese");

    QTest::newRow("Yes button") << QByteArray("QPlatformTheme") << QByteArray("&Yes")
                                << QStringLiteral("是(&Y)");
    QTest::newRow("No button") << QByteArray("QPlatformTheme") << QByteArray("&No")
                               << QStringLiteral("否(&N)");
    QTest::newRow("Cancel button") << QByteArray("QPlatformTheme") << QByteArray("Cancel")
                                   << QStringLiteral("取消");
}

void TestCatalogue::qtCatalogueTranslatesStandardTexts()
{
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, chinese);

    QTranslator qt;
    QVERIFY(qt.load(QStringLiteral(":/lang/qt_zh_CN.qm")));
    QCOMPARE(qt.translate(context.constData(), source.constData()), chinese);
}

int main(int argc, char **argv)
{
    initResources();
    QApplication app(argc, argv);
    TestCatalogue t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_catalogue.moc"
