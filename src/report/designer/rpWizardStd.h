#pragma once

// The report wizards: the standard and the dot-matrix report wizard, which ask for a data set,
// fields, groups, orientation, layout and style and build a whole report page of bands and
// memos, and the two wizards that reset the report to an empty data page and one empty page.
// The designer's New Item dialog offers them by class name.

#include "report/model/rpClass_wizard.h"

#include <QDialog>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPainter;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TrpDataSet;
class TrpReport;
class TrpStyleSheet;

class TrpStdWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override;
    bool Execute() override;
};

class TrpStdEmptyWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override;
    bool Execute() override;
};

class TrpDotMatrixWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override;
    bool Execute() override;
};

class TrpDMPEmptyWizard : public TrpCustomWizard {
public:
    using TrpCustomWizard::TrpCustomWizard;
    QString GetDescription() const override;
    bool Execute() override;
};

// Wizard classes by name: the wizard registry lists names, this table makes the wizards.
using WizardFactory = std::function<std::unique_ptr<TrpCustomWizard>(TrpCustomDesigner*)>;
void RegisterWizardClass(const QString& name, WizardFactory factory);
void UnregisterWizardClass(QStringView name);
// A new wizard of a registered class name, owned by the caller; none for an unknown name.
std::unique_ptr<TrpCustomWizard> CreateWizard(QStringView className, TrpCustomDesigner* designer);

// The four wizards of this unit, in the wizard registry (in this order, with their images) and
// in the factory table; the second takes them out of both.
void RegisterStandardWizards();
void UnregisterStandardWizards();

// The window of the standard and the dot-matrix report wizard.
class TrpStdWizardForm : public QDialog {
public:
    TrpStdWizardForm(TrpCustomDesigner* designer, bool dotMatrix, QWidget* parent = nullptr);
    ~TrpStdWizardForm() override;

    // Resets the designer's report and fills the lists; Execute calls it before the window
    // runs, so a cancelled wizard leaves an empty report.
    void FormShow();

    // Handlers (public: the wizard's buttons call them, tests and tools too).
    void DatasetsCBClick();
    void NewTableBClick();
    void NewQueryBClick();
    void AddFieldBClick();
    void AddAllFieldsBClick();
    void RemoveFieldBClick();
    void RemoveAllFieldsBClick();
    void FieldUpBClick();
    void FieldDownBClick();
    void GroupsTabShow();
    void AddGroupBClick();
    void RemoveGroupBClick();
    void GroupUpBClick();
    void GroupDownBClick();
    void PortraitRBClick();
    void TabularRBClick();
    void StyleLBClick();
    void NextBClick();
    void BackBClick();
    void PagesChange();
    // Builds the report from the choices and closes the window with the OK result.
    void FinishBClick();

    TrpStyleSheet& StyleSheet() const { return *FStyleSheet; }
    TrpReport& StyleReport() const { return *FStyleReport; }
    TrpReport& LayoutReport() const { return *FLayoutReport; }
    bool DotMatrix() const { return FDotMatrix; }
    // The data set chosen in DatasetsCB; none without one.
    TrpDataSet* ChosenDataSet() const;

    QTabWidget* Pages = nullptr;
    QWidget* DataTab = nullptr;
    QWidget* FieldsTab = nullptr;
    QWidget* GroupsTab = nullptr;
    QWidget* LayoutTab = nullptr;
    QWidget* StyleTab = nullptr;
    QComboBox* DatasetsCB = nullptr;
    QPushButton* NewTableB = nullptr;
    QPushButton* NewQueryB = nullptr;
    QListWidget* FieldsLB = nullptr;
    QListWidget* SelectedFieldsLB = nullptr;
    QPushButton* AddFieldB = nullptr;
    QPushButton* AddAllFieldsB = nullptr;
    QPushButton* RemoveFieldB = nullptr;
    QPushButton* RemoveAllFieldsB = nullptr;
    QPushButton* FieldUpB = nullptr;
    QPushButton* FieldDownB = nullptr;
    QListWidget* AvailableFieldsLB = nullptr;
    QListWidget* GroupsLB = nullptr;
    QPushButton* AddGroupB = nullptr;
    QPushButton* RemoveGroupB = nullptr;
    QPushButton* GroupUpB = nullptr;
    QPushButton* GroupDownB = nullptr;
    QRadioButton* PortraitRB = nullptr;
    QRadioButton* LandscapeRB = nullptr;
    QLabel* PortraitImg = nullptr;
    QLabel* LandscapeImg = nullptr;
    QRadioButton* TabularRB = nullptr;
    QRadioButton* ColumnarRB = nullptr;
    QCheckBox* FitWidthCB = nullptr;
    QWidget* LayoutPB = nullptr;
    QListWidget* StyleLB = nullptr;
    QWidget* StylePB = nullptr;
    QPushButton* BackB = nullptr;
    QPushButton* NextB = nullptr;
    QPushButton* FinishB = nullptr;

    // Paints a preview: a framed white box and every memo of the sample at scale 1, offset 10.
    static void DrawSample(QPainter& painter, const QSize& box, TrpReport& sample);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillDataSets();
    void FillFields();
    void FillGroupFields();
    void RunDataWizard(const QString& className);
    void UpdateButtons();
    int LastPageIndex() const;
    // The build steps of Finish.
    struct Build;
    void SetupPage(Build& build);
    void CalcColumnWidths(Build& build);
    void CreateReportTitle(Build& build);
    void CreatePageHeader(Build& build);
    void CreateGroupHeaders(Build& build);
    void CreateMasterData(Build& build);
    void CreateGroupFooters(Build& build);
    void CreatePageFooter(Build& build);

    TrpCustomDesigner* FDesigner;
    bool FDotMatrix;
    TrpReport* FReport;
    std::unique_ptr<TrpReport> FStyleReport;
    std::unique_ptr<TrpReport> FLayoutReport;
    std::unique_ptr<TrpStyleSheet> FStyleSheet;
};
