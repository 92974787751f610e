<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>RealTime</source>
        <translation>实时</translation>
    </message>
    <message>
        <source>File loaded</source>
        <translation>文件已打开</translation>
    </message>
    <message>
        <source>File saved</source>
        <translation>文件已保存</translation>
    </message>
    <message>
        <source>&amp;Translation</source>
        <translation>翻译</translation>
    </message>
    <message>
        <source>Retry failed</source>
        <translation>重试失败的翻译</translation>
    </message>
    <message>
        <source>Translate the failed rows of the document again</source>
        <translation>重新翻译本文档中翻译失败的各行</translation>
    </message>
    <message>
        <source>Cancel translation</source>
        <translation>取消翻译</translation>
    </message>
    <message>
        <source>Cancel the translations still waiting in the document (Esc)</source>
        <translation>取消本文档中尚在等待的翻译（Esc）</translation>
    </message>
    <message>
        <source>&amp;Action</source>
        <translation>录音操作</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>层叠</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>&amp;Lang</source>
        <translation>翻译模式</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>&amp;Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>平铺</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>窗口</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>动作</translation>
    </message>
    <message>
        <source>Add Down</source>
        <translation>下边添加</translation>
    </message>
    <message>
        <source>Add Up</source>
        <translation>上边添加</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Auto Save Setting</source>
        <translation>自动存盘设置</translation>
    </message>
    <message>
        <source>CN</source>
        <translation>汉文</translation>
    </message>
    <message>
        <source>Cascade the windows</source>
        <translation>层叠窗口</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>Chinese--&gt;Uygur Translator</source>
        <translation>汉--&gt;维翻译</translation>
    </message>
    <message>
        <source>Cl&amp;ose</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Close &amp;All</source>
        <translation>关闭全部</translation>
    </message>
    <message>
        <source>Close all the windows</source>
        <translation>关闭所有窗口</translation>
    </message>
    <message>
        <source>Close the active window</source>
        <translation>关闭当前窗口</translation>
    </message>
    <message>
        <source>Copy the current selection&apos;s contents to the clipboard</source>
        <translation>把当前选择的内容复制到剪贴板</translation>
    </message>
    <message>
        <source>Create a new file</source>
        <translation>新建一个文件</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>CurLang</source>
        <translation>当前模式：</translation>
    </message>
    <message>
        <source>CurVoice</source>
        <translation>当前状态：</translation>
    </message>
    <message>
        <source>Cut the current selection&apos;s contents to the clipboard</source>
        <translation>把当前选择的内容剪切到剪贴板</translation>
    </message>
    <message>
        <source>Delete Item</source>
        <translation>删除当前选项</translation>
    </message>
    <message>
        <source>Do you want to restart to take effect?</source>
        <translation>要重启程序才能生效，要重启吗？</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Exit the application</source>
        <translation>退出程序</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Include translation text?</source>
        <translation>文件是否包含翻译文本？</translation>
    </message>
    <message>
        <source>LangCN</source>
        <translation>汉--&gt;维</translation>
    </message>
    <message>
        <source>LangWW</source>
        <translation>维--&gt;汉</translation>
    </message>
    <message>
        <source>Move the focus to the next window</source>
        <translation>把焦点移到下一个窗口</translation>
    </message>
    <message>
        <source>Move the focus to the previous window</source>
        <translation>把焦点移到上一个窗口</translation>
    </message>
    <message>
        <source>Ne&amp;xt</source>
        <translation>下一个</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>No Active Window</source>
        <translation>没有活动窗口</translation>
    </message>
    <message>
        <source>No Items</source>
        <translation>没有内容</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>打开存在的文件</translation>
    </message>
    <message>
        <source>Paste the clipboard&apos;s contents into the current selection</source>
        <translation>把剪贴板的内容粘贴到当前选择区</translation>
    </message>
    <message>
        <source>Phrase Mode</source>
        <translation>短语实时识别</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放右边翻译文本</translation>
    </message>
    <message>
        <source>Please switch to one sentence per line</source>
        <translation>请先把显示方式切换到每句显示为一行</translation>
    </message>
    <message>
        <source>Plesae stop record first</source>
        <translation>请先停止录音</translation>
    </message>
    <message>
        <source>Pre&amp;vious</source>
        <translation>上一个</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>准备就绪</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>录音</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>Save As Excel...</source>
        <translation>导出为Excel文件格式</translation>
    </message>
    <message>
        <source>Save the document to disk</source>
        <translation>保存文档到磁盘</translation>
    </message>
    <message>
        <source>Save the document to excel file</source>
        <translation>导出为Excel文件格式</translation>
    </message>
    <message>
        <source>Save the document under a new name</source>
        <translation>保存文档为另一名称</translation>
    </message>
    <message>
        <source>Select Font</source>
        <translation>汉文字体设置</translation>
    </message>
    <message>
        <source>Select WW Font</source>
        <translation>维文字体设置</translation>
    </message>
    <message>
        <source>Sentence Mode</source>
        <translation>整句实时识别</translation>
    </message>
    <message>
        <source>Set Auto Save Time(Minute)</source>
        <translation>设置自动存盘时间(分)</translation>
    </message>
    <message>
        <source>SetAutoSave</source>
        <translation>自动存盘</translation>
    </message>
    <message>
        <source>SetColor</source>
        <translation>设置颜色</translation>
    </message>
    <message>
        <source>SetFont</source>
        <translation>设置汉文字体</translation>
    </message>
    <message>
        <source>SetFontWW</source>
        <translation>设置维文字体</translation>
    </message>
    <message>
        <source>SetNetwork</source>
        <translation>设置网络</translation>
    </message>
    <message>
        <source>SetPauseMark</source>
        <translation>维文停顿符号设置</translation>
    </message>
    <message>
        <source>SetShowEdit</source>
        <translation>显示方式</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Tile the windows</source>
        <translation>平铺窗口</translation>
    </message>
    <message>
        <source>Tolvane</source>
        <translation>托尔瓦内语音翻译</translation>
    </message>
    <message>
        <source>Total Letter</source>
        <translation>总字数：</translation>
    </message>
    <message>
        <source>Uygur--&gt;Chinese Translator</source>
        <translation>维--&gt;汉翻译</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>aboutContents</source>
        <translation>&lt;h2&gt;&lt;font color=&quot;red&quot;&gt;托尔瓦内语音翻译 V4.1&lt;/font&gt;&lt;/h2&gt;&lt;p&gt;本程序实时识别汉语和维吾尔语语音，把汉语翻译成维吾尔语、把维吾尔语翻译成汉语，并朗读翻译结果。&lt;/p&gt;&lt;p&gt;语音识别与合成技术由语音SDK提供商提供。&lt;/p&gt;&lt;p&gt;网址：&lt;a href=&quot;https://merovaal.example/&quot;&gt;https://merovaal.example/&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>add Down Item</source>
        <translation>下边添加一行</translation>
    </message>
    <message>
        <source>add Up Item</source>
        <translation>上边添加一行</translation>
    </message>
    <message>
        <source>exit program?</source>
        <translation>是否要关闭本程序？</translation>
    </message>
    <message>
        <source>norecording</source>
        <translation>未开始</translation>
    </message>
    <message>
        <source>recording</source>
        <translation>正在录音...</translation>
    </message>
    <message>
        <source>setColor</source>
        <translation>设置颜色</translation>
    </message>
    <message>
        <source>start record failed, errcode:</source>
        <translation>开始录音失败，错误码：</translation>
    </message>
    <message>
        <source>translate all</source>
        <translation>全部翻译</translation>
    </message>
    <message>
        <source>translate selection</source>
        <translation>选中翻译</translation>
    </message>
    <message>
        <source>translate selection item</source>
        <translation>请先选中一个选项，然后翻译</translation>
    </message>
    <message>
        <source>Keep speech heard while a translation is spoken (with headphones)</source>
        <translation>朗读译文时听到的语音也保留（戴耳机时使用）</translation>
    </message>
    <message>
        <source>Listen while speaking</source>
        <translation>朗读时继续识别</translation>
    </message>
    <message>
        <source>Speak translations as they arrive</source>
        <translation>译文到达即朗读</translation>
    </message>
    <message>
        <source>Speaking a translation</source>
        <translation>正在朗读译文</translation>
    </message>
    <message>
        <source>Speaking a translation, %1 waiting</source>
        <translation>正在朗读译文，还有 %1 条等待</translation>
    </message>
    <message>
        <source>Speech heard while speaking a translation is dropped</source>
        <translation>朗读译文时听到的语音已丢弃</translation>
    </message>
    <message>
        <source>While recording, speak each new translation aloud</source>
        <translation>录音时自动朗读每句新译文</translation>
    </message>
</context>
<context>
    <name>MdiChild</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>无法读取文件 %1：
%2。</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1：
%2。</translation>
    </message>
    <message>
        <source>Retry failed</source>
        <translation>重试失败的翻译</translation>
    </message>
    <message>
        <source>Cancel translation</source>
        <translation>取消翻译</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has been modified.
Do you want to save your changes?</source>
        <translation>&apos;%1&apos; 文档已修改，你要保存吗？</translation>
    </message>
    <message>
        <source>Add Down</source>
        <translation>下边添加</translation>
    </message>
    <message>
        <source>Add Up</source>
        <translation>上边添加</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Copy all contents to the clipboard</source>
        <translation>把所有内容复制到剪贴板</translation>
    </message>
    <message>
        <source>Copy the current selection&apos;s contents to the clipboard</source>
        <translation>把当前选择的内容复制到剪贴板</translation>
    </message>
    <message>
        <source>CopyAll</source>
        <translation>复制全部</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除当前选项</translation>
    </message>
    <message>
        <source>Delete Item</source>
        <translation>删除当前选项</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>MDI</source>
        <translation>文档保存提示</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>保存为</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>add Down Item</source>
        <translation>下边添加一行</translation>
    </message>
    <message>
        <source>add Up Item</source>
        <translation>上边添加一行</translation>
    </message>
    <message>
        <source>translate all</source>
        <translation>全部翻译</translation>
    </message>
    <message>
        <source>translate selection</source>
        <translation>选中翻译</translation>
    </message>
    <message>
        <source>translate selection item</source>
        <translation>请先选择一个选择，然后翻译</translation>
    </message>
</context>
<context>
    <name>MyEdit</name>
    <message>
        <source>&amp;Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has been modified.
Do you want to save your changes?</source>
        <translation>&apos;%1&apos; 文档已修改，你要保存吗？</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Copy the current selection&apos;s contents to the clipboard</source>
        <translation>把当前选择的内容复制到剪贴板</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Cut the current selection&apos;s contents to the clipboard</source>
        <translation>把当前选择的内容剪切到剪贴板</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>MDI</source>
        <translation>文档保存提示</translation>
    </message>
    <message>
        <source>Paste the clipboard&apos;s contents into the current selection</source>
        <translation>把剪贴板的内容粘贴到当前选择区</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>保存为</translation>
    </message>
</context>
<context>
    <name>NetworkDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>网络</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Other Server Setting</source>
        <translation>其他服务器设置</translation>
    </message>
    <message>
        <source>Server Setting</source>
        <translation>服务器设置</translation>
    </message>
    <message>
        <source>Translation Host CN</source>
        <translation>维翻汉服务器地址</translation>
    </message>
    <message>
        <source>Translation Host WW</source>
        <translation>汉翻维服务器地址</translation>
    </message>
    <message>
        <source>Use Default Server</source>
        <translation>使用默认服务器</translation>
    </message>
    <message>
        <source>Use Other Server</source>
        <translation>使用其他服务器</translation>
    </message>
    <message>
        <source>Voice Host</source>
        <translation>局域网语音服务器</translation>
    </message>
</context>
<context>
    <name>QColorOption</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Color Option</source>
        <translation>设置颜色选项</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>list background color</source>
        <translation>设置列表框背景色</translation>
    </message>
    <message>
        <source>list default color</source>
        <translation>设置回默认值</translation>
    </message>
    <message>
        <source>list selected color</source>
        <translation>设置当前选择项颜色</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>QLoginDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>WW Pause Mark</source>
        <translation>维文停顿加入符号</translation>
    </message>
    <message>
        <source>add comma</source>
        <translation>加入逗号</translation>
    </message>
    <message>
        <source>add space</source>
        <translation>加入空格</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>QMyKeyboard</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>QMyLineEdit</name>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Forbidden character use /</source>
        <translation>禁止输入字符 /</translation>
    </message>
    <message>
        <source>Forbidden character use `</source>
        <translation>禁止输入字符 `</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>键盘</translation>
    </message>
</context>
<context>
    <name>RecoveryDialog</name>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>文档</translation>
    </message>
    <message>
        <source>Items</source>
        <translation>条数</translation>
    </message>
    <message>
        <source>Last change</source>
        <translation>最后修改时间</translation>
    </message>
    <message>
        <source>Recover Documents</source>
        <translation>恢复文档</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Tolvane did not close properly. These documents had unsaved changes:</source>
        <translation>程序上次没有正常退出，以下文档有未保存的修改：</translation>
    </message>
</context>
<context>
    <name>ShowEditDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Comma separate</source>
        <translation>每句用逗号隔开</translation>
    </message>
    <message>
        <source>Edit Orientation</source>
        <translation>控件显示方式</translation>
    </message>
    <message>
        <source>Horizontal</source>
        <translation>左右显示控件</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Text Mode</source>
        <translation>文本显示方式</translation>
    </message>
    <message>
        <source>Vertical</source>
        <translation>上下显示控件</translation>
    </message>
    <message>
        <source>one sentence per line</source>
        <translation>每句显示为一行</translation>
    </message>
</context>
<context>
    <name>DocumentFile</name>
    <message>
        <source>Not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>文件太大</translation>
    </message>
</context>
<context>
    <name>ItemColumnModel</name>
    <message>
        <source>Translation failed: %1</source>
        <translation>翻译失败：%1</translation>
    </message>
    <message>
        <source>Waiting for the translation server</source>
        <translation>正在等待翻译服务器</translation>
    </message>
</context>
<context>
    <name>PlcThread</name>
    <message>
        <source>The server did not answer in time</source>
        <translation>翻译服务器没有及时应答</translation>
    </message>
    <message>
        <source>The server answered HTTP %1</source>
        <translation>翻译服务器应答 HTTP %1</translation>
    </message>
    <message>
        <source>The server refused the connection</source>
        <translation>翻译服务器拒绝了连接</translation>
    </message>
    <message>
        <source>The reply holds no translation</source>
        <translation>服务器的应答中没有译文</translation>
    </message>
</context>
<context>
    <name>TranslationProgressBar</name>
    <message>
        <source>Translated %v of %m</source>
        <translation>已翻译 %v / %m</translation>
    </message>
</context>
</TS>
