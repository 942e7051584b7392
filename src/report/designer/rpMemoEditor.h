#pragma once

// The memo editor: the text of a memo on its first page (with insert expression, insert
// aggregate, insert format suffix and word wrap), its display format and its highlight on the
// other two. The caller stores Text after OK; format and highlight change only on OK.

#include "rpDsgnDialog.h"

class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolBar;
class QToolButton;
class TrpCustomMemoView;
class TrpFormat;
class TrpFormatEditorForm;
class TrpHighlightEditorForm;

class TrpMemoEditorForm : public TrpDesignerDialog {
public:
    TrpMemoEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpMemoEditorForm() override;

    TrpCustomMemoView* MemoView() const { return FMemoView; }
    void SetMemoView(TrpCustomMemoView* memo) { FMemoView = memo; }
    // The edited text, after the dialog closed.
    const QString& Text() const { return FText; }
    bool IsUnicode() const { return FIsUnicode; }
    // The editing control (while the dialog is shown).
    QPlainTextEdit* Editor() const { return Memo; }
    TrpFormatEditorForm* FormatEditor() const { return FFormat; }
    TrpHighlightEditorForm* HighlightEditor() const { return FHighlight; }

    void ExprBClick();
    void AggregateBClick();
    void LocalFormatBClick();
    void WordWrapBClick();
    // The suffix a display format adds to an expression (" #n%2,2n"); empty for text.
    static QString FormatSuffix(const TrpFormat& format, const QString& systemSeparator);
    // Puts `text` in place of the editor's selection.
    void ReplaceSelection(const QString& text);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TextTS = nullptr;
    QWidget* FormatTS = nullptr;
    QWidget* HighlightTS = nullptr;
    QToolBar* ToolBar = nullptr;
    QToolButton* ExprB = nullptr;
    QToolButton* AggregateB = nullptr;
    QToolButton* LocalFormatB = nullptr;
    QToolButton* WordWrapB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TrpCustomMemoView* FMemoView = nullptr;
    bool FIsUnicode = false;
    QPlainTextEdit* Memo = nullptr;
    QString FText;
    TrpFormatEditorForm* FFormat = nullptr;
    TrpHighlightEditorForm* FHighlight = nullptr;
};
