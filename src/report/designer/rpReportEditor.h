#pragma once

// The report options: the report's printer, copies and engine switches, its password, its
// description (name, author, text, picture, version, dates) and its inheritance from a
// template (detach, or inherit from one of the template folder's reports). On OK the copies
// are read first, so a bad number changes nothing; a hidden password is never replaced; the
// inheritance runs with the designer locked and ends in a reload of the report.

#include "rpDsgnDialog.h"

#include <QStringList>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TrpPicture;

class TrpReportEditorForm : public TrpDesignerDialog {
public:
    TrpReportEditorForm(QWidget* owner, TrpCustomDesigner* designer);
    ~TrpReportEditorForm() override;

    // The picture of the description page, as OK stores it.
    TrpPicture& Picture() { return *FPicture; }
    // The template files offered, sorted, with their full paths.
    const QStringList& Templates() const { return FTemplates; }
    // The folder the template list was read from.
    QString TemplatePath() const;

    // The handlers (tests call them as the controls do).
    void FormShow();
    void PictureBClick();
    void BrowseBClick();
    // Enter in PathE: the typed folder when it exists.
    void PathEReturn();
    void PageControlChange();
    void FillTemplatelist();
    void FormHide(bool ok);
    // Whether the last OK reached the report.
    bool Applied() const { return FApplied; }

    QTabWidget* PageControl = nullptr;
    QWidget* GeneralTS = nullptr;
    QWidget* DescriptionTS = nullptr;
    QWidget* InheritTS = nullptr;
    // General.
    QLabel* ReportSettingsL = nullptr;
    QListWidget* PrintersLB = nullptr;
    QLabel* CopiesL = nullptr;
    QLineEdit* CopiesE = nullptr;
    QCheckBox* CollateCB = nullptr;
    QLabel* GeneralL = nullptr;
    QCheckBox* DoublePassCB = nullptr;
    QCheckBox* PrintIfEmptyCB = nullptr;
    QLabel* PasswordL = nullptr;
    QLineEdit* PasswordE = nullptr;
    // Description.
    QLabel* DescriptionL = nullptr;
    QLabel* NameL = nullptr;
    QLineEdit* NameE = nullptr;
    QLabel* Description1L = nullptr;
    QPlainTextEdit* DescriptionE = nullptr;
    QLabel* PictureL = nullptr;
    QLabel* PictureImg = nullptr;
    QPushButton* PictureB = nullptr;
    QLabel* AuthorL = nullptr;
    QLineEdit* AuthorE = nullptr;
    QLabel* VersionL = nullptr;
    QLabel* MajorL = nullptr;
    QLabel* MinorL = nullptr;
    QLabel* ReleaseL = nullptr;
    QLabel* BuildL = nullptr;
    QLineEdit* MajorE = nullptr;
    QLineEdit* MinorE = nullptr;
    QLineEdit* ReleaseE = nullptr;
    QLineEdit* BuildE = nullptr;
    QLabel* CreatedL = nullptr;
    QLabel* Created1L = nullptr;
    QLabel* ModifiedL = nullptr;
    QLabel* Modified1L = nullptr;
    // Inheritance.
    QGroupBox* InheritGB = nullptr;
    QLabel* InheritStateL = nullptr;
    QLabel* SelectL = nullptr;
    QRadioButton* DontChangeRB = nullptr;
    QRadioButton* DetachRB = nullptr;
    QRadioButton* InheritRB = nullptr;
    QListWidget* InheritLV = nullptr;
    QLabel* PathLB = nullptr;
    QLineEdit* PathE = nullptr;
    QPushButton* BrowseB = nullptr;
    QPushButton* OkB = nullptr;
    QPushButton* CancelB = nullptr;

protected:
    void Showing() override;
    void Hiding(int result) override;
    void CheckValues() override;

private:
    // The copies typed, refused outside 1 to the most a report prints.
    int32_t ReadCopies() const;
    void ShowPicture();
    void SetTemplatePath(const QString& folder);

    std::unique_ptr<TrpPicture> FPicture;
    QStringList FTemplates;
    QString FTemplatePath;  // the folder of a designer that is no designer window
    bool FApplied = false;
};
