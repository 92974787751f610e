#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class ItemColumnModel;

// One document's words: its items, each with an identity that survives
// inserts, deletes and edits, and the state of its translation; the running
// texts of the "Comma separate" mode; the provisional last item of phrase
// recognition; the modified flag. Widgets show it; recognition, translation
// results and the item commands write into it.
//
// The translation column has a row for every item; a row whose first
// translation has not arrived has no text (its view shows a placeholder while
// it is queued). Files and the item commands take only the leading items whose
// first translation has arrived.
class DocumentModel : public QObject
{
    Q_OBJECT

public:
    enum TranslationState { NotTranslated, Queued, Translated, Failed };

    struct Item
    {
        quint64 id = 0;
        QString source;
        QString translation;
        TranslationState state = NotTranslated;
        bool hasTranslation = false; // the first translation has arrived
        QString failure;             // why the last request failed
        int pending = 0; // requests queued or in flight
        // What a cancel puts back: the state before the requests still pending.
        TranslationState stateBefore = NotTranslated;
        QString failureBefore;
    };

    explicit DocumentModel(QObject *parent = nullptr);
    ~DocumentModel() override;

    // Unique in the process and never reused.
    quint64 documentId() const { return id; }
    // The open document with that id, or null once it has closed.
    static DocumentModel *find(quint64 documentId);

    // An item is one line: every kind of line break becomes one space.
    static QString oneLine(const QString &text);

    int count() const { return items.size(); }
    int translationCount() const { return translated; }
    const Item &at(int row) const { return items.at(row); }
    int rowOf(quint64 itemId) const; // -1 when the item is gone
    QStringList sources() const;
    QStringList translations() const;

    ItemColumnModel *sourceColumn() const { return sourceModel; }
    ItemColumnModel *translationColumn() const { return translationModel; }

    // Replaces every item, as reading a file does; the modified flag is left alone.
    void setItems(const QStringList &sources, const QStringList &translations);
    // Replaces every item with these texts and translation flags (ids are new), as restoring does.
    void restoreItems(const QVector<Item> &restored);
    quint64 appendSource(const QString &text);
    void setSource(int row, const QString &text);
    void setTranslation(int row, const QString &text);
    quint64 insertBlank(int row);
    void remove(int row);

    // Phrase recognition: the sentence still being spoken is a provisional last
    // item, replaced as recognition proceeds and never translated.
    bool hasProvisional() const { return provisional; }
    void showProvisional(const QString &text);
    // A finished sentence: takes the provisional item's place, or is appended.
    quint64 addFinal(const QString &text);
    // Keeps the provisional item as a sentence; its id, or 0 when there was none.
    quint64 settleProvisional();

    // Translation of an item: queued, then its result; the first result gives
    // the row its first translation. first: text is the sentence as it was
    // sent, the fallback of a failed request on a row without a translation.
    // The row stays queued while another request for it is pending. False
    // when the item is gone.
    void markQueued(quint64 itemId);
    bool applyTranslation(quint64 itemId, const QString &text, bool first, bool ok, const QString &failure);
    // Every pending item goes back to the state it had before; the number of items.
    int cancelQueued();

    // The running texts of the "Comma separate" mode.
    QString runningSource() const { return sourceText; }
    QString partialSource() const { return partialText; }
    QString runningTranslation() const { return translationText; }
    // What the source running text shows: the provisional sentence follows while there is one.
    QString shownSource() const { return provisional ? sourceText + partialText : sourceText; }
    // show false: the text came from the view itself, which needs no refresh.
    void setRunningSource(const QString &text, bool show = true);
    void setPartialSource(const QString &text);
    void appendRunningTranslation(const QString &piece);
    void rebuildRunningTexts(const QString &sourceSeparator, const QString &translationSeparator);
    // The source text as the operator sees it in the running text view, typing included.
    // Read when a sentence needs it, not copied on every keystroke.
    QString editedSource() const { return editedReader ? editedReader() : QString(); }
    void setEditedSourceReader(std::function<QString()> reader) { editedReader = std::move(reader); }

    bool isModified() const { return modified; }
    void setModified(bool on);

signals:
    void runningSourceChanged();
    void runningTranslationChanged();
    void modifiedChanged(bool modified);
    // A source row's text changed.
    void sourceTextChanged(int row);

private:
    quint64 insertItem(int row, const Item &item);
    void growTranslated();
    void rebuildIndex() const;

    quint64 id;
    quint64 nextItemId = 1;
    QVector<Item> items;
    int translated = 0;
    mutable QHash<quint64, int> rowById;
    mutable bool indexStale = false;
    bool provisional = false;
    bool modified = false;
    QString sourceText;
    QString partialText;
    QString translationText;
    std::function<QString()> editedReader;
    ItemColumnModel *sourceModel;
    ItemColumnModel *translationModel;
};
