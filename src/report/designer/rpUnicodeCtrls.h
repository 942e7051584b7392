#pragma once

// The multi-line text box used wherever report text is typed: its text and selected text are
// UTF-16, and characters typed or composed by an input method reach it unchanged.

#include <QPlainTextEdit>

class TUnicodeMemo : public QPlainTextEdit {
public:
    explicit TUnicodeMemo(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

    QString Text() const { return toPlainText(); }
    // Setting the text it already holds sends no change notice.
    void SetText(const QString& text)
    {
        if (text != toPlainText())
            setPlainText(text);
    }
    QString SelText() const { return textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'); }
    void SetSelText(const QString& text) { textCursor().insertText(text); }
};
