#pragma once

// The designer options: grid steps and units, the script and memo editor fonts, the colours of
// the workspace and the tool windows, and the behaviour switches. On OK every field is read
// first, so a field that is not a number shows the conversion error and changes nothing. With
// a designer that is no designer window (a stand-in) the dialog shows the defaults and keeps
// what it is given to itself.

#include "rpDsgnDialog.h"

#include "report/core/Colors.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TrpDesignerForm;

class TrpOptionsEditor : public TrpDesignerDialog {
public:
    TrpOptionsEditor(QWidget* owner, TrpCustomDesigner* designer);

    TrpDesignerForm* Form() const { return FForm; }
    TColor WorkspaceColor() const { return FWColor; }
    TColor ToolsColor() const { return FTColor; }

    // The handlers (tests call them as the controls do).
    void FormShow();
    void WorkspaceBClick();
    void ToolBClick();
    void RestoreDefaultsBClick();
    void FormHide(bool ok);
    // Whether the last OK reached the designer.
    bool Applied() const { return FApplied; }

    QGroupBox* GridGB = nullptr;
    QGroupBox* FontsGB = nullptr;
    QGroupBox* ColorsGB = nullptr;
    QGroupBox* OtherGB = nullptr;
    QLabel* Label[18] = {};  // Label1 .. Label17 at their numbers
    QRadioButton* CMRB = nullptr;
    QRadioButton* InchesRB = nullptr;
    QRadioButton* PixelsRB = nullptr;
    QLineEdit* CME = nullptr;
    QLineEdit* InchesE = nullptr;
    QLineEdit* PixelsE = nullptr;
    QLineEdit* DialogFormE = nullptr;
    QCheckBox* ShowGridCB = nullptr;
    QCheckBox* AlignGridCB = nullptr;
    QCheckBox* LCDCB = nullptr;
    QComboBox* CodeWindowFontCB = nullptr;
    QComboBox* CodeWindowSizeCB = nullptr;
    QComboBox* MemoEditorFontCB = nullptr;
    QComboBox* MemoEditorSizeCB = nullptr;
    QCheckBox* ObjectFontCB = nullptr;
    QWidget* WorkspacePB = nullptr;
    QWidget* ToolPB = nullptr;
    QPushButton* WorkspaceB = nullptr;
    QPushButton* ToolB = nullptr;
    QCheckBox* EditAfterInsCB = nullptr;
    QCheckBox* FreeBandsCB = nullptr;
    QLineEdit* GapE = nullptr;
    QCheckBox* BandsCaptionsCB = nullptr;
    QCheckBox* DropFieldsCB = nullptr;
    QCheckBox* StartupCB = nullptr;
    QPushButton* RestoreDefaultsB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    void CheckValues() override;

private:
    // The numbers typed into the dialog, each checked against its field's range.
    struct Numbers {
        double Grid[4] = {};
        int32_t Gap = 0;
        int32_t ScriptFontSize = 0;
        int32_t MemoFontSize = 0;
    };
    Numbers ReadNumbers() const;

    TrpDesignerForm* FForm = nullptr;
    TColor FWColor = clWhite;
    TColor FTColor = clWhite;
    bool FApplied = false;
};
