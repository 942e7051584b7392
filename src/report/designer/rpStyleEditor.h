#pragma once

// The style editor: the report's named styles on a working copy (colour, font, frame, the
// default character set), a drawn sample, adding, renaming and deleting, and ".fs3" style
// files. The report takes the copy only on OK.

#include "rpDesgnCtrls.h"
#include "rpDsgnDialog.h"

#include <QPointer>

#include <memory>

class QCheckBox;
class QPushButton;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TrpReport;
class TrpStyleItem;
class TrpStyles;

class TrpStyleEditorForm : public TrpDesignerDialog {
public:
    TrpStyleEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpStyleEditorForm() override;

    TrpStyles& Styles() { return *FStyles; }
    // The selected style, none without one.
    TrpStyleItem* Selected() const;
    // Fills the tree and selects the style at `index` (the last one when beyond).
    void FillTree(int index);

    void BClick(int tag);
    // The colour picker's answer (tag 20).
    void ColorPicked(int color);
    void AddBClick();
    void DeleteBClick();
    void EditBClick();
    void LoadBClick();
    void SaveBClick();
    void DefCBClick();
    TrpColorSelector* Selector() const { return FSelector.data(); }

    QToolBar* ToolBar = nullptr;
    QToolButton* AddB = nullptr;
    QToolButton* DeleteB = nullptr;
    QToolButton* EditB = nullptr;
    QToolButton* LoadB = nullptr;
    QToolButton* SaveB = nullptr;
    QToolButton* CancelB = nullptr;
    QToolButton* OkB = nullptr;
    QTreeWidget* StylesTV = nullptr;
    QWidget* PaintBox = nullptr;
    QPushButton* ColorB = nullptr;
    QPushButton* FontB = nullptr;
    QPushButton* FrameB = nullptr;
    QCheckBox* DefCB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateControls();
    void PaintBoxPaint();
    void StylesTVEdited(QTreeWidgetItem* item);

    std::unique_ptr<TrpStyles> FStyles;
    TrpReport* FReport = nullptr;
    QPointer<TrpColorSelector> FSelector;
    bool FFilling = false;
};
