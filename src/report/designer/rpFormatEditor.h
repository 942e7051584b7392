#pragma once

// The display format editor: a category (text, number, date and time, boolean), a sample list
// of the category's formats, the format string and the decimal separator. It runs as a dialog
// or with its three groups hosted on another window's page (the memo editor's).

#include "rpDsgnDialog.h"

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TrpFormat;

class TrpFormatEditorForm : public TrpDesignerDialog {
public:
    TrpFormatEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpFormatEditorForm() override;

    // The dialog's own copy: assign before showing, read after OK.
    TrpFormat& Format() { return *FFormat; }
    void SetFormat(const TrpFormat& format);

    // Moves the three groups onto the host and fills them from the format; UnhostControls
    // writes the controls back into the format.
    void HostControls(QWidget* host);
    void UnhostControls();

    QGroupBox* CategoryL = nullptr;
    QListWidget* CategoryLB = nullptr;
    QGroupBox* FormatL = nullptr;
    QListWidget* FormatLB = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* FormatStrL = nullptr;
    QLabel* SeparatorL = nullptr;
    QLineEdit* FormatE = nullptr;
    QLineEdit* SeparatorE = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;

private:
    void CategoryLBClick();
    void FormatLBClick();
    void Fill();
    void WriteBack();

    std::unique_ptr<TrpFormat> FFormat;
    QWidget* FGroups = nullptr; // the three groups, moved as one
};
