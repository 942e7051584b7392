#pragma once

// The highlight editor: the condition under which a memo is highlighted and the highlight's
// font style, font colour and background. It runs as a dialog or with its groups hosted on the
// memo editor's page; either way the memo's highlight changes only on OK.

#include "rpDsgnDialog.h"

#include "report/core/Colors.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QToolButton;
class TrpComboEdit;
class TrpCustomMemoView;

class TrpHighlightEditorForm : public TrpDesignerDialog {
public:
    TrpHighlightEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    TrpCustomMemoView* MemoView() const { return FMemoView; }
    void SetMemoView(TrpCustomMemoView* memo) { FMemoView = memo; }
    TColor FontColor() const { return FFontColor; }
    TColor BackColor() const { return FBackColor; }

    void HostControls(QWidget* host);
    // Writes back into the memo's highlight when the result is OK.
    void UnhostControls(int modalResult);

    // The 14 x 15 glyph of a colour button.
    static QPixmap ColorGlyph(TColor color);

    QGroupBox* ConditionL = nullptr;
    TrpComboEdit* ConditionE = nullptr;
    QGroupBox* FontL = nullptr;
    QToolButton* FontColorB = nullptr;
    QCheckBox* BoldCB = nullptr;
    QCheckBox* ItalicCB = nullptr;
    QCheckBox* UnderlineCB = nullptr;
    QGroupBox* BackgroundL = nullptr;
    QRadioButton* TransparentRB = nullptr;
    QRadioButton* OtherRB = nullptr;
    QToolButton* BackColorB = nullptr;
    QPushButton* OKB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void Fill();
    void WriteBack();
    void FontColorBClick();
    void BackColorBClick();
    void TransparentRBClick();
    void ConditionEButtonClick();
    void UpdateGlyphs();

    TrpCustomMemoView* FMemoView = nullptr;
    TColor FFontColor = clBlack;
    TColor FBackColor = clNone;
    QWidget* FGroups = nullptr;
};
