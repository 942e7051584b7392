#pragma once

// The frame editor: which sides are drawn, the current line's colour, style and width (the
// first entry of the line list edits all four lines through the frame's own setters) and the
// drop shadow. It edits its own copy; the caller takes Frame after OK.

#include "rpDesgnCtrls.h"
#include "rpDsgnDialog.h"

#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QToolBar;
class QToolButton;

class TrpFrame;
class TrpFrameLine;

class TrpFrameEditorForm : public TrpDesignerDialog {
public:
    TrpFrameEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpFrameEditorForm() override;

    TrpFrame& Frame() { return *FFrame; }
    void SetFrame(const TrpFrame& frame);
    // The line the controls edit: the left one for the first two entries.
    TrpFrameLine& CurrentLine();
    // Every control's action by its tag; 70, 80 and 110 are the pickers' answers with `value`
    // the chosen colour or style.
    void BClick(int tag, int value = 0);
    // The picker opened last, while it is open.
    TrpCustomSelector* Selector() const { return FSelector.data(); }

    QLabel* FrameL = nullptr;
    QLabel* LineL = nullptr;
    QLabel* ShadowL = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* FrameTopB = nullptr;
    QToolButton* FrameBottomB = nullptr;
    QToolButton* FrameLeftB = nullptr;
    QToolButton* FrameRightB = nullptr;
    QToolButton* FrameAllB = nullptr;
    QToolButton* FrameNoB = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolButton* FrameColorB = nullptr;
    QToolButton* FrameStyleB = nullptr;
    QComboBox* FrameWidthCB = nullptr;
    QToolBar* ToolBar3 = nullptr;
    QToolButton* ShadowB = nullptr;
    QToolButton* ShadowColorB = nullptr;
    QComboBox* ShadowWidthCB = nullptr;
    QLabel* FLineL = nullptr;
    QComboBox* FrameLineCB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void CheckValues() override;

private:
    void UpdateControls();
    // The width typed into `box`, refused outside what a frame takes.
    double WidthOf(QComboBox* box, const QLabel* group) const;
    void Run(int tag, int value = 0);

    std::unique_ptr<TrpFrame> FFrame;
    QPointer<TrpCustomSelector> FSelector;
    bool FUpdating = false;
};
