#pragma once

#include <QPlainTextEdit>

class QMenu;

// Plain-text view of a document's continuous text ("Comma separate" mode).
// In the source view, cut and paste make the running source text what the
// operator now sees, so the next recognised sentence is appended to it.
class MyEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MyEdit(QWidget *parent = nullptr);

    void setSourceSide(bool source) { sourceSide = source; }
    bool isSourceSide() const { return sourceSide; }

    // The context menu's entries, built afresh; the caller owns the menu.
    QMenu *createContextMenu();

signals:
    void closeChild();
    // The source view's whole text after a cut, copy or paste: the running
    // source text the next recognised sentence continues.
    void sourceTextTaken(const QString &text);

public slots:
    void cut1();
    void copy1();
    void paste1();
    void documentWasModified();

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void takeOverSourceText();

    bool sourceSide = false;
};
