#include "report/designer/rpWizardStd.h"

#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpDrawContext.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"
#include "report/core/Services.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

// Lengths in report pixels (96 per inch).
constexpr double kMm5 = 18.89765;
constexpr double kMm6 = 22.67718;
constexpr double kMm7 = 26.45671;
constexpr double kCm2 = 75.5906;
constexpr double kBandStep = 30;

QString Res(const char* name)
{
    return GetResourcesInstance().Get(QString::fromLatin1(name));
}

QString Caption(int id)
{
    return GetResourcesInstance().GetResourceTextById(id);
}

void LoadReportResource(TrpReport& report, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    report.LoadFromStream(file);
}

// Keeps the designer locked for a change of the whole report and reloads it at the end,
// also when the change fails.
struct DesignerLock {
    explicit DesignerLock(TrpCustomDesigner* designer) : Designer(designer)
    {
        if (Designer != nullptr)
            Designer->Lock();
    }
    ~DesignerLock()
    {
        if (Designer != nullptr)
            Designer->ReloadReport();
    }
    DesignerLock(const DesignerLock&) = delete;
    DesignerLock& operator=(const DesignerLock&) = delete;
    TrpCustomDesigner* Designer;
};

// An empty report: a data page "Data" and one page "Page1" with its defaults.
void ResetReport(TrpReport& report, bool dotMatrix)
{
    report.Clear();
    auto* data = new TrpDataPage(&report);
    data->SetName(QStringLiteral("Data"));
    TrpReportPage* page = dotMatrix ? new TrpDMPPage(&report) : new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
}

bool RunEmptyWizard(TrpCustomWizard& wizard, bool dotMatrix)
{
    TrpReport* report = wizard.Report();
    if (report == nullptr)
        return false;
    DesignerLock lock(wizard.Designer());
    report->Clear();
    report->SetFileName(QString());
    report->DotMatrixReport = dotMatrix;
    auto* data = new TrpDataPage(report);
    data->SetName(QStringLiteral("Data"));
    TrpReportPage* page = dotMatrix ? new TrpDMPPage(report) : new TrpReportPage(report);
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    return true;
}

bool RunWizardForm(TrpCustomWizard& wizard, bool dotMatrix)
{
    if (wizard.Report() == nullptr)
        return false;
    TrpStdWizardForm form(wizard.Designer(), dotMatrix);
    form.FormShow();
    return ReportServices::Ui().RunModal(form, form.objectName()) == mrOk;
}

std::map<QString, WizardFactory>& WizardClasses()
{
    static std::map<QString, WizardFactory> classes;
    return classes;
}

template <typename T>
void RegisterOne(const char* name, int imageIndex)
{
    const QString className = QString::fromLatin1(name);
    GetWizardRegistry().Register1(className, imageIndex);
    RegisterWizardClass(className, [](TrpCustomDesigner* designer) { return std::make_unique<T>(designer); });
}

constexpr const char* kWizardNames[] = {"TrpStdWizard", "TrpStdEmptyWizard", "TrpDotMatrixWizard", "TrpDMPEmptyWizard"};

// A paint box drawing a sample report.
class SampleBox : public QWidget {
public:
    SampleBox(QWidget* parent, std::function<TrpReport&()> sample) : QWidget(parent), sample_(std::move(sample)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        TrpStdWizardForm::DrawSample(painter, size(), sample_());
    }

private:
    std::function<TrpReport&()> sample_;
};

// The entries of a list moved to the end of another, top to bottom: the selected ones, or
// only the current one; the entry now at the first moved one's place (the last entry when
// that was the end) becomes the current and only selected one. Nothing without a current entry.
void MoveEntries(QListWidget* from, QListWidget* to, bool selectedOnly)
{
    if (from->currentRow() < 0)
        return;
    std::vector<int> rows;
    if (selectedOnly) {
        for (int i = 0; i < from->count(); ++i) {
            if (from->item(i)->isSelected())
                rows.push_back(i);
        }
    }
    if (rows.empty())
        rows.push_back(from->currentRow());
    std::vector<QListWidgetItem*> moved;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        moved.insert(moved.begin(), from->takeItem(*it));
    for (QListWidgetItem* item : moved) {
        item->setSelected(false);
        to->addItem(item);
    }
    from->clearSelection();
    if (from->count() == 0)
        return;
    const int focus = std::min(rows.front(), from->count() - 1);
    from->setCurrentRow(focus);
    from->item(focus)->setSelected(true);
}

void Exchange(QListWidget* list, int delta)
{
    const int row = list->currentRow();
    const int other = row + delta;
    if (row < 0 || other < 0 || other >= list->count())
        return;
    const QString text = list->item(row)->text();
    list->item(row)->setText(list->item(other)->text());
    list->item(other)->setText(text);
    if (delta > 0) {
        list->clearSelection();
        list->setCurrentRow(other);
    }
}

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace

// --- the wizards ----------------------------------------------------------------------------

QString TrpStdWizard::GetDescription() const
{
    return Res("wzStd");
}

bool TrpStdWizard::Execute()
{
    return RunWizardForm(*this, false);
}

QString TrpStdEmptyWizard::GetDescription() const
{
    return Res("wzStdEmpty");
}

bool TrpStdEmptyWizard::Execute()
{
    return RunEmptyWizard(*this, false);
}

QString TrpDotMatrixWizard::GetDescription() const
{
    return Res("wzDMP");
}

bool TrpDotMatrixWizard::Execute()
{
    return RunWizardForm(*this, true);
}

QString TrpDMPEmptyWizard::GetDescription() const
{
    return Res("wzDMPEmpty");
}

bool TrpDMPEmptyWizard::Execute()
{
    return RunEmptyWizard(*this, true);
}

void RegisterWizardClass(const QString& name, WizardFactory factory)
{
    WizardClasses()[name] = std::move(factory);
}

void UnregisterWizardClass(QStringView name)
{
    WizardClasses().erase(name.toString());
}

std::unique_ptr<TrpCustomWizard> CreateWizard(QStringView className, TrpCustomDesigner* designer)
{
    const auto found = WizardClasses().find(className.toString());
    if (found == WizardClasses().end())
        return nullptr;
    return found->second(designer);
}

void RegisterStandardWizards()
{
    RegisterOne<TrpStdWizard>(kWizardNames[0], 1);
    RegisterOne<TrpStdEmptyWizard>(kWizardNames[1], 0);
    RegisterOne<TrpDotMatrixWizard>(kWizardNames[2], 1);
    RegisterOne<TrpDMPEmptyWizard>(kWizardNames[3], 0);
}

void UnregisterStandardWizards()
{
    for (const char* name : kWizardNames) {
        GetWizardRegistry().Unregister(QString::fromLatin1(name));
        UnregisterWizardClass(QString::fromLatin1(name));
    }
}

// --- the window -----------------------------------------------------------------------------

TrpStdWizardForm::TrpStdWizardForm(TrpCustomDesigner* designer, bool dotMatrix, QWidget* parent)
    : QDialog(parent), FDesigner(designer), FDotMatrix(dotMatrix),
      FReport(designer != nullptr ? designer->Report() : nullptr), FStyleReport(std::make_unique<TrpReport>()),
      FLayoutReport(std::make_unique<TrpReport>()), FStyleSheet(std::make_unique<TrpStyleSheet>())
{
    setObjectName(QStringLiteral("TrpStdWizardForm"));
    setWindowTitle(Caption(5600));
    setLayoutDirection(QApplication::layoutDirection());
    setFixedSize(443, 317);

    // The style sheet: a "wizstyle.xml" beside the program replaces the built-in one.
    const QString own = QDir(GetModuleFolder()).filePath(QStringLiteral("wizstyle.xml"));
    QFile sheet(QFileInfo::exists(own) ? own : QStringLiteral(":/report/designer/wizstyle.xml"));
    if (sheet.open(QIODevice::ReadOnly))
        FStyleSheet->LoadFromStream(sheet);
    LoadReportResource(*FStyleReport, QStringLiteral(":/report/designer/wizard-style-sample.zi3"));

    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    layout->addWidget(Pages);

    const auto stepLabel = [](QWidget* tab, int id, const char* name) {
        auto* label = new QLabel(Caption(id), tab);
        label->setObjectName(QString::fromLatin1(name));
        label->setWordWrap(true);
        return label;
    };
    const auto button = [](QWidget* parent, const QString& text, const char* name) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    const auto list = [](QWidget* parent, const char* name, bool multi) {
        auto* l = new QListWidget(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        return l;
    };

    // Data.
    DataTab = new QWidget(Pages);
    DataTab->setObjectName(QStringLiteral("DataTab"));
    {
        auto* v = new QVBoxLayout(DataTab);
        v->addWidget(stepLabel(DataTab, 5606, "Step1L"));
        DatasetsCB = new QComboBox(DataTab);
        DatasetsCB->setObjectName(QStringLiteral("DatasetsCB"));
        v->addWidget(DatasetsCB);
        auto* h = new QHBoxLayout;
        NewTableB = button(DataTab, Caption(5630), "NewTableB");
        NewQueryB = button(DataTab, Caption(5631), "NewQueryB");
        h->addWidget(NewTableB);
        h->addWidget(NewQueryB);
        h->addStretch();
        v->addLayout(h);
        v->addStretch();
    }
    Pages->addTab(DataTab, Caption(5601));

    // Fields.
    FieldsTab = new QWidget(Pages);
    FieldsTab->setObjectName(QStringLiteral("FieldsTab"));
    {
        auto* grid = new QGridLayout(FieldsTab);
        grid->addWidget(stepLabel(FieldsTab, 5607, "Step2L"), 0, 0, 1, 4);
        auto* available = new QLabel(Caption(5618), FieldsTab);
        available->setObjectName(QStringLiteral("AvailableFieldsL"));
        auto* selected = new QLabel(Caption(5617), FieldsTab);
        selected->setObjectName(QStringLiteral("SelectedFieldsL"));
        grid->addWidget(available, 1, 0);
        grid->addWidget(selected, 1, 2);
        FieldsLB = list(FieldsTab, "FieldsLB", true);
        SelectedFieldsLB = list(FieldsTab, "SelectedFieldsLB", true);
        auto* buttons = new QVBoxLayout;
        AddFieldB = button(FieldsTab, Caption(5611), "AddFieldB");
        AddAllFieldsB = button(FieldsTab, Caption(5612), "AddAllFieldsB");
        RemoveFieldB = button(FieldsTab, Caption(5613), "RemoveFieldB");
        RemoveAllFieldsB = button(FieldsTab, Caption(5614), "RemoveAllFieldsB");
        for (QPushButton* b : {AddFieldB, AddAllFieldsB, RemoveFieldB, RemoveAllFieldsB})
            buttons->addWidget(b);
        buttons->addStretch();
        auto* updown = new QVBoxLayout;
        FieldUpB = button(FieldsTab, QStringLiteral("\u2191"), "FieldUpB");
        FieldDownB = button(FieldsTab, QStringLiteral("\u2193"), "FieldDownB");
        updown->addWidget(FieldUpB);
        updown->addWidget(FieldDownB);
        updown->addStretch();
        grid->addWidget(FieldsLB, 2, 0);
        grid->addLayout(buttons, 2, 1);
        grid->addWidget(SelectedFieldsLB, 2, 2);
        grid->addLayout(updown, 2, 3);
    }
    Pages->addTab(FieldsTab, Caption(5602));

    // Groups.
    GroupsTab = new QWidget(Pages);
    GroupsTab->setObjectName(QStringLiteral("GroupsTab"));
    {
        auto* grid = new QGridLayout(GroupsTab);
        grid->addWidget(stepLabel(GroupsTab, 5608, "Step3L"), 0, 0, 1, 4);
        auto* available = new QLabel(Caption(5618), GroupsTab);
        available->setObjectName(QStringLiteral("AvailableFieldsL1"));
        auto* groups = new QLabel(Caption(5619), GroupsTab);
        groups->setObjectName(QStringLiteral("GroupsL"));
        grid->addWidget(available, 1, 0);
        grid->addWidget(groups, 1, 2);
        AvailableFieldsLB = list(GroupsTab, "AvailableFieldsLB", false);
        GroupsLB = list(GroupsTab, "GroupsLB", false);
        auto* buttons = new QVBoxLayout;
        AddGroupB = button(GroupsTab, Caption(5615), "AddGroupB");
        RemoveGroupB = button(GroupsTab, Caption(5616), "RemoveGroupB");
        buttons->addWidget(AddGroupB);
        buttons->addWidget(RemoveGroupB);
        buttons->addStretch();
        auto* updown = new QVBoxLayout;
        GroupUpB = button(GroupsTab, QStringLiteral("\u2191"), "GroupUpB");
        GroupDownB = button(GroupsTab, QStringLiteral("\u2193"), "GroupDownB");
        updown->addWidget(GroupUpB);
        updown->addWidget(GroupDownB);
        updown->addStretch();
        grid->addWidget(AvailableFieldsLB, 2, 0);
        grid->addLayout(buttons, 2, 1);
        grid->addWidget(GroupsLB, 2, 2);
        grid->addLayout(updown, 2, 3);
    }
    Pages->addTab(GroupsTab, Caption(5603));

    // Layout.
    LayoutTab = new QWidget(Pages);
    LayoutTab->setObjectName(QStringLiteral("LayoutTab"));
    {
        auto* grid = new QGridLayout(LayoutTab);
        grid->addWidget(stepLabel(LayoutTab, 5609, "Step4L"), 0, 0, 1, 2);
        auto* orientation = new QGroupBox(Caption(5620), LayoutTab);
        orientation->setObjectName(QStringLiteral("OrientationL"));
        auto* o = new QGridLayout(orientation);
        PortraitRB = new QRadioButton(Caption(5622), orientation);
        PortraitRB->setObjectName(QStringLiteral("PortraitRB"));
        LandscapeRB = new QRadioButton(Caption(5623), orientation);
        LandscapeRB->setObjectName(QStringLiteral("LandscapeRB"));
        PortraitRB->setChecked(true);
        PortraitImg = new QLabel(orientation);
        PortraitImg->setObjectName(QStringLiteral("PortraitImg"));
        LandscapeImg = new QLabel(orientation);
        LandscapeImg->setObjectName(QStringLiteral("LandscapeImg"));
        // A sheet drawn upright or on its side.
        const auto sheetPicture = [](int w, int h) {
            QPixmap pixmap(34, 34);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setPen(Qt::black);
            painter.setBrush(Qt::white);
            painter.drawRect((34 - w) / 2, (34 - h) / 2, w - 1, h - 1);
            for (int y = (34 - h) / 2 + 4; y < (34 + h) / 2 - 3; y += 4)
                painter.drawLine((34 - w) / 2 + 3, y, (34 + w) / 2 - 4, y);
            return pixmap;
        };
        PortraitImg->setPixmap(sheetPicture(24, 32));
        LandscapeImg->setPixmap(sheetPicture(32, 24));
        o->addWidget(PortraitRB, 0, 0);
        o->addWidget(LandscapeRB, 1, 0);
        o->addWidget(PortraitImg, 0, 1, 2, 1);
        o->addWidget(LandscapeImg, 0, 1, 2, 1);
        auto* kind = new QGroupBox(Caption(5621), LayoutTab);
        kind->setObjectName(QStringLiteral("LayoutL"));
        auto* k = new QVBoxLayout(kind);
        TabularRB = new QRadioButton(Caption(5624), kind);
        TabularRB->setObjectName(QStringLiteral("TabularRB"));
        ColumnarRB = new QRadioButton(Caption(5625), kind);
        ColumnarRB->setObjectName(QStringLiteral("ColumnarRB"));
        TabularRB->setChecked(true);
        k->addWidget(TabularRB);
        k->addWidget(ColumnarRB);
        FitWidthCB = new QCheckBox(Caption(5626), LayoutTab);
        FitWidthCB->setObjectName(QStringLiteral("FitWidthCB"));
        FitWidthCB->setChecked(true);
        LayoutPB = new SampleBox(LayoutTab, [this]() -> TrpReport& { return *FLayoutReport; });
        LayoutPB->setObjectName(QStringLiteral("LayoutPB"));
        auto* left = new QVBoxLayout;
        left->addWidget(orientation);
        left->addWidget(kind);
        left->addWidget(FitWidthCB);
        left->addStretch();
        grid->addLayout(left, 1, 0);
        grid->addWidget(LayoutPB, 1, 1);
        grid->setColumnStretch(1, 1);
    }
    Pages->addTab(LayoutTab, Caption(5604));

    // Style.
    StyleTab = new QWidget(Pages);
    StyleTab->setObjectName(QStringLiteral("StyleTab"));
    {
        auto* grid = new QGridLayout(StyleTab);
        grid->addWidget(stepLabel(StyleTab, 5610, "Step5L"), 0, 0, 1, 2);
        StyleLB = list(StyleTab, "StyleLB", false);
        StylePB = new SampleBox(StyleTab, [this]() -> TrpReport& { return *FStyleReport; });
        StylePB->setObjectName(QStringLiteral("StylePB"));
        StyleLB->setMaximumWidth(120);
        grid->addWidget(StyleLB, 1, 0);
        grid->addWidget(StylePB, 1, 1);
        grid->setColumnStretch(1, 2);
    }
    Pages->addTab(StyleTab, Caption(5605));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    BackB = button(this, Caption(5627), "BackB");
    NextB = button(this, Caption(5628), "NextB");
    FinishB = button(this, Caption(5629), "FinishB");
    BackB->setEnabled(false);
    bottom->addWidget(BackB);
    bottom->addWidget(NextB);
    bottom->addWidget(FinishB);
    layout->addLayout(bottom);

    connect(DatasetsCB, QOverload<int>::of(&QComboBox::activated), this, [this] { DatasetsCBClick(); });
    connect(NewTableB, &QPushButton::clicked, this, [this] { NewTableBClick(); });
    connect(NewQueryB, &QPushButton::clicked, this, [this] { NewQueryBClick(); });
    connect(AddFieldB, &QPushButton::clicked, this, [this] { AddFieldBClick(); });
    connect(AddAllFieldsB, &QPushButton::clicked, this, [this] { AddAllFieldsBClick(); });
    connect(RemoveFieldB, &QPushButton::clicked, this, [this] { RemoveFieldBClick(); });
    connect(RemoveAllFieldsB, &QPushButton::clicked, this, [this] { RemoveAllFieldsBClick(); });
    connect(FieldUpB, &QPushButton::clicked, this, [this] { FieldUpBClick(); });
    connect(FieldDownB, &QPushButton::clicked, this, [this] { FieldDownBClick(); });
    connect(AddGroupB, &QPushButton::clicked, this, [this] { AddGroupBClick(); });
    connect(RemoveGroupB, &QPushButton::clicked, this, [this] { RemoveGroupBClick(); });
    connect(GroupUpB, &QPushButton::clicked, this, [this] { GroupUpBClick(); });
    connect(GroupDownB, &QPushButton::clicked, this, [this] { GroupDownBClick(); });
    connect(PortraitRB, &QRadioButton::toggled, this, [this] { PortraitRBClick(); });
    connect(TabularRB, &QRadioButton::toggled, this, [this] { TabularRBClick(); });
    connect(StyleLB, &QListWidget::currentRowChanged, this, [this] { StyleLBClick(); });
    connect(NextB, &QPushButton::clicked, this, [this] { NextBClick(); });
    connect(BackB, &QPushButton::clicked, this, [this] { BackBClick(); });
    // A failing build cannot cross the event loop: its message is shown and the window stays.
    connect(FinishB, &QPushButton::clicked, this, [this] {
        ReportServices::Guarded([this] { FinishBClick(); },
                                [](const QString&, const QString& message) { ReportServices::Ui().ShowMessage(message); });
    });
    connect(Pages, &QTabWidget::currentChanged, this, [this] { PagesChange(); });
    PortraitRBClick();
}

TrpStdWizardForm::~TrpStdWizardForm() = default;

void TrpStdWizardForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        GetResourcesInstance().Help(u"TrpStdWizardForm");
        return;
    }
    QDialog::keyPressEvent(event);
}

void TrpStdWizardForm::FormShow()
{
    if (FReport != nullptr) {
        DesignerLock lock(FDesigner);
        ResetReport(*FReport, FDotMatrix);
        if (FDesigner != nullptr)
            FDesigner->SetReportDefaults();
    }
    FillDataSets();
    if (DatasetsCB->count() > 0)
        DatasetsCB->setCurrentIndex(0);
    FillFields();
    StyleLB->clear();
    QStringList styles;
    FStyleSheet->GetList(styles);
    StyleLB->addItems(styles);
    if (StyleLB->count() > 0)
        StyleLB->setCurrentRow(0);
    StyleLBClick();
    TabularRBClick();
    if (FDotMatrix) {
        const int index = Pages->indexOf(StyleTab);
        if (index >= 0)
            Pages->removeTab(index);
        StyleTab->hide();
    }
    UpdateButtons();
}

TrpDataSet* TrpStdWizardForm::ChosenDataSet() const
{
    if (DatasetsCB->currentIndex() < 0)
        return nullptr;
    return static_cast<TrpDataSet*>(DatasetsCB->currentData().value<void*>());
}

void TrpStdWizardForm::FillDataSets()
{
    DatasetsCB->clear();
    if (FReport == nullptr)
        return;
    QStringList names;
    std::vector<TrpDataSet*> dataSets;
    FReport->GetActiveDataSetList(names, dataSets);
    std::vector<std::pair<QString, TrpDataSet*>> entries;
    for (size_t i = 0; i < dataSets.size(); ++i)
        entries.emplace_back(names.value(static_cast<int>(i)), dataSets[i]);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    for (const auto& [name, dataSet] : entries) {
        if (dynamic_cast<TrpCustomDBDataSet*>(dataSet) != nullptr)
            DatasetsCB->addItem(dataSet->UserName(), QVariant::fromValue<void*>(dataSet));
    }
}

void TrpStdWizardForm::FillFields()
{
    FieldsLB->clear();
    SelectedFieldsLB->clear();
    FillGroupFields();
    TrpDataSet* dataSet = ChosenDataSet();
    if (dataSet == nullptr)
        return;
    QStringList fields;
    dataSet->GetFieldList(fields);
    FieldsLB->addItems(fields);
    if (FieldsLB->count() > 0) {
        FieldsLB->setCurrentRow(0);
        FieldsLB->item(0)->setSelected(true);
        FieldsLB->setFocus();
    }
}

void TrpStdWizardForm::FillGroupFields()
{
    AvailableFieldsLB->clear();
    AvailableFieldsLB->addItems(Texts(SelectedFieldsLB));
    GroupsLB->clear();
}

void TrpStdWizardForm::DatasetsCBClick()
{
    FillFields();
}

void TrpStdWizardForm::RunDataWizard(const QString& className)
{
    bool registered = false;
    for (int i = 0; i < GetWizardRegistry().Count(); ++i)
        registered = registered || GetWizardRegistry().Items(i).ClassRef == className;
    std::unique_ptr<TrpCustomWizard> wizard = registered ? CreateWizard(className, FDesigner) : nullptr;
    if (wizard == nullptr || FReport == nullptr)
        return;
    FReport->DataSets().Clear();
    if (!wizard->Execute())
        return;
    FillDataSets();
    if (FReport->DataSets().Count() > 0 && FReport->DataSets().Items(0)->DataSet() != nullptr) {
        const int index = DatasetsCB->findText(FReport->DataSets().Items(0)->DataSet()->UserName());
        DatasetsCB->setCurrentIndex(index);
    }
    FillFields();
    FReport->DataSets().Clear();
    if (FDesigner != nullptr)
        FDesigner->ReloadReport();
}

void TrpStdWizardForm::NewTableBClick()
{
    RunDataWizard(QStringLiteral("TrpDBTableWizard"));
}

void TrpStdWizardForm::NewQueryBClick()
{
    RunDataWizard(QStringLiteral("TrpDBQueryWizard"));
}

void TrpStdWizardForm::AddFieldBClick()
{
    MoveEntries(FieldsLB, SelectedFieldsLB, true);
    FillGroupFields();
}

void TrpStdWizardForm::AddAllFieldsBClick()
{
    if (FieldsLB->count() == 0)
        return;
    FillFields();
    SelectedFieldsLB->addItems(Texts(FieldsLB));
    FieldsLB->clear();
    FillGroupFields();
}

void TrpStdWizardForm::RemoveFieldBClick()
{
    MoveEntries(SelectedFieldsLB, FieldsLB, true);
    FillGroupFields();
}

void TrpStdWizardForm::RemoveAllFieldsBClick()
{
    FillFields();
}

void TrpStdWizardForm::FieldUpBClick()
{
    Exchange(SelectedFieldsLB, -1);
    FillGroupFields();
}

void TrpStdWizardForm::FieldDownBClick()
{
    Exchange(SelectedFieldsLB, 1);
    FillGroupFields();
}

void TrpStdWizardForm::GroupsTabShow()
{
    if (AvailableFieldsLB->count() > 0)
        AvailableFieldsLB->setCurrentRow(0);
}

void TrpStdWizardForm::AddGroupBClick()
{
    MoveEntries(AvailableFieldsLB, GroupsLB, false);
}

void TrpStdWizardForm::RemoveGroupBClick()
{
    MoveEntries(GroupsLB, AvailableFieldsLB, false);
}

void TrpStdWizardForm::GroupUpBClick()
{
    Exchange(GroupsLB, -1);
}

void TrpStdWizardForm::GroupDownBClick()
{
    Exchange(GroupsLB, 1);
}

void TrpStdWizardForm::PortraitRBClick()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(!PortraitRB->isChecked());
}

void TrpStdWizardForm::TabularRBClick()
{
    LoadReportResource(*FLayoutReport, TabularRB->isChecked() ? QStringLiteral(":/report/designer/wizard-tabular.zi3")
                                                              : QStringLiteral(":/report/designer/wizard-columnar.zi3"));
    if (FStyleSheet->Count() > 0)
        FLayoutReport->SetStyles(FStyleSheet->Items(0));
    LayoutPB->update();
}

void TrpStdWizardForm::StyleLBClick()
{
    if (StyleLB->currentItem() == nullptr)
        return;
    FStyleReport->SetStyles(FStyleSheet->Find(StyleLB->currentItem()->text()));
    StylePB->update();
}

void TrpStdWizardForm::DrawSample(QPainter& painter, const QSize& box, TrpReport& sample)
{
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), box));
    painter.setPen(Qt::black);
    painter.setBrush(QApplication::palette().color(QPalette::Base));
    painter.drawRect(0, 0, box.width() - 1, box.height() - 1);
    for (TrpComponent* object : sample.AllObjects()) {
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
            memo->Draw(painter, 1, 1, 10, 10, TrpDrawContext{});
    }
    painter.restore();
}

int TrpStdWizardForm::LastPageIndex() const
{
    return Pages->count() - 1;
}

void TrpStdWizardForm::UpdateButtons()
{
    NextB->setEnabled(Pages->currentIndex() < LastPageIndex());
    BackB->setEnabled(Pages->currentIndex() > 0);
}

void TrpStdWizardForm::NextBClick()
{
    if (Pages->currentIndex() < LastPageIndex())
        Pages->setCurrentIndex(Pages->currentIndex() + 1);
    UpdateButtons();
}

void TrpStdWizardForm::BackBClick()
{
    if (Pages->currentIndex() > 0)
        Pages->setCurrentIndex(Pages->currentIndex() - 1);
    UpdateButtons();
}

void TrpStdWizardForm::PagesChange()
{
    if (Pages->currentWidget() == GroupsTab)
        GroupsTabShow();
    UpdateButtons();
}

// --- building the report --------------------------------------------------------------------

struct TrpStdWizardForm::Build {
    TrpDataSet* DataSet = nullptr;
    QStringList Columns;
    QStringList Groups;
    TrpReportPage* Page = nullptr;
    double W = 0;              // the printable width
    std::vector<double> C;     // column widths
    std::vector<double> V;     // data widths
    double M = 0;              // the widest caption
    double Y = 0;              // running band position
};

namespace {

TrpCustomMemoView* NewMemo(TrpComponent* owner, bool dotMatrix)
{
    TrpCustomMemoView* memo =
        dotMatrix ? static_cast<TrpCustomMemoView*>(new TrpDMPMemoView(owner)) : new TrpMemoView(owner);
    memo->CreateUniqueName();
    return memo;
}

template <typename Band>
Band* NewBand(TrpComponent* page, double top, double height)
{
    auto* band = new Band(page);
    band->CreateUniqueName();
    band->SetTop(top);
    band->SetHeight(height);
    return band;
}

} // namespace

void TrpStdWizardForm::SetupPage(Build& build)
{
    build.Page = dynamic_cast<TrpReportPage*>(FReport->Pages(1));
    if (build.Page == nullptr)
        throw platform::Exception("the report has no page after its data page");
    build.Page->SetOrientation(PortraitRB->isChecked() ? poPortrait : poLandscape);
    build.W = (build.Page->PaperWidth() - build.Page->LeftMargin - build.Page->RightMargin) * 96 / 25.4;
}

void TrpStdWizardForm::CalcColumnWidths(Build& build)
{
    const auto makeMeasure = [this]() -> std::unique_ptr<TrpCustomMemoView> {
        if (FDotMatrix)
            return std::make_unique<TrpDMPMemoView>();
        return std::make_unique<TrpMemoView>();
    };
    std::unique_ptr<TrpCustomMemoView> header = makeMeasure();
    std::unique_ptr<TrpCustomMemoView> data = makeMeasure();
    if (!FDotMatrix && StyleLB->currentItem() != nullptr) {
        if (TrpStyles* styles = FStyleSheet->Find(StyleLB->currentItem()->text())) {
            header->ApplyStyle(styles->Find(QStringLiteral("Header")));
            data->ApplyStyle(styles->Find(QStringLiteral("Data")));
        }
    }
    const int n = static_cast<int>(build.Columns.size());
    std::vector<double> h(static_cast<size_t>(n));
    build.C.assign(static_cast<size_t>(n), 0);
    build.V.assign(static_cast<size_t>(n), 0);
    double excess = 0, sumC = 0, sumH = 0;
    build.M = 0;
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<size_t>(i);
        header->SetText(build.Columns[i]);
        h[k] = header->CalcWidth();
        const int digits = build.DataSet != nullptr ? std::max(0, build.DataSet->GetDisplayWidth(build.Columns[i])) : 0;
        data->SetText(QString(digits, u'0'));
        build.V[k] = data->CalcWidth();
        if (h[k] <= build.V[k]) {
            build.C[k] = build.V[k];
            excess += build.V[k] - h[k];
        } else {
            build.C[k] = h[k];
        }
        sumC += build.C[k];
        sumH += h[k];
        build.M = std::max(build.M, h[k]);
    }
    if (FitWidthCB->isChecked() && sumC > build.W) {
        if (sumH <= build.W) {
            for (int i = 0; i < n; ++i) {
                const auto k = static_cast<size_t>(i);
                if (h[k] < build.V[k])
                    build.C[k] -= (sumC - build.W) * (build.V[k] - h[k]) / excess;
            }
        } else {
            for (int i = 0; i < n; ++i) {
                const auto k = static_cast<size_t>(i);
                build.C[k] = h[k] * build.W / sumH;
            }
        }
    }
}

void TrpStdWizardForm::CreateReportTitle(Build& build)
{
    auto* band = NewBand<TrpReportTitle>(build.Page, 0, kMm7);
    TrpCustomMemoView* memo = NewMemo(band, FDotMatrix);
    memo->SetBounds(0, 0, build.W, kMm6);
    memo->Align = baWidth;
    memo->HAlign = haCenter;
    memo->VAlign = vaCenter;
    memo->SetText(QStringLiteral("Report"));
    memo->SetStyle(QStringLiteral("Title"));
    build.Y = kBandStep;
}

void TrpStdWizardForm::CreatePageHeader(Build& build)
{
    if (ColumnarRB->isChecked())
        return;
    auto* band = NewBand<TrpPageHeader>(build.Page, build.Y, kMm7);
    TrpCustomMemoView* line = NewMemo(band, FDotMatrix);
    line->SetBounds(0, 0, build.W, kMm6);
    line->SetStyle(QStringLiteral("Header line"));
    double x = 0, y = 0;
    for (int i = 0; i < build.Columns.size(); ++i) {
        const double width = build.C[static_cast<size_t>(i)];
        if (x + width > build.W + 1) {
            x = 0;
            y += kMm6;
        }
        TrpCustomMemoView* memo = NewMemo(band, FDotMatrix);
        memo->SetBounds(x, y, width, kMm6);
        memo->SetText(build.Columns[i]);
        memo->SetStyle(QStringLiteral("Header"));
        x += width;
    }
    band->SetHeight(y + kMm6);
    line->SetHeight(band->Height());
    if (FDotMatrix)
        delete line;
    build.Y += band->Height();
}

void TrpStdWizardForm::CreateGroupHeaders(Build& build)
{
    const QString alias = build.DataSet != nullptr ? build.DataSet->UserName() : QString();
    for (const QString& group : build.Groups) {
        auto* band = NewBand<TrpGroupHeader>(build.Page, build.Y, kMm7);
        band->Condition = alias + QStringLiteral(".\"") + group + u'"';
        build.Y += kBandStep;
        TrpCustomMemoView* memo = NewMemo(band, FDotMatrix);
        memo->SetBounds(0, 0, build.W, kMm6);
        memo->Align = baWidth;
        memo->VAlign = vaCenter;
        memo->SetDataSet(build.DataSet);
        memo->DataField = group;
        memo->SetStyle(QStringLiteral("Group header"));
    }
}

void TrpStdWizardForm::CreateMasterData(Build& build)
{
    auto* band = NewBand<TrpMasterData>(build.Page, build.Y, kMm5);
    band->SetDataSet(build.DataSet);
    build.Y += kBandStep;
    double x = 0, y = 0;
    for (int i = 0; i < build.Columns.size(); ++i) {
        const auto k = static_cast<size_t>(i);
        const QString& field = build.Columns[i];
        if (ColumnarRB->isChecked()) {
            TrpCustomMemoView* caption = NewMemo(band, FDotMatrix);
            caption->SetBounds(0, y, build.M, kMm5);
            caption->SetText(field);
            caption->SetStyle(QStringLiteral("Header"));
            TrpCustomMemoView* memo = NewMemo(band, FDotMatrix);
            memo->SetBounds(build.M + kMm5, y, build.V[k], kMm5);
            memo->SetDataSet(build.DataSet);
            memo->DataField = field;
            memo->SetStyle(QStringLiteral("Data"));
            y += kMm5;
            continue;
        }
        if (x + build.C[k] > build.W + 1) {
            x = 0;
            y += kMm5;
        }
        TrpCustomMemoView* memo = NewMemo(band, FDotMatrix);
        memo->SetBounds(x, y, build.C[k], kMm5);
        memo->SetDataSet(build.DataSet);
        memo->DataField = field;
        memo->SetStyle(QStringLiteral("Data"));
        x += build.C[k];
    }
    band->SetHeight(y + kMm5);
    build.Y += band->Height();
}

void TrpStdWizardForm::CreateGroupFooters(Build& build)
{
    double top = 1000;
    for (int i = 0; i < build.Groups.size(); ++i) {
        NewBand<TrpGroupFooter>(build.Page, top, 0);
        top -= kBandStep;
    }
}

void TrpStdWizardForm::CreatePageFooter(Build& build)
{
    auto* band = NewBand<TrpPageFooter>(build.Page, 1000, kMm7);
    TrpCustomMemoView* rule = NewMemo(band, FDotMatrix);
    rule->SetBounds(0, 0, build.W, kMm6);
    rule->Align = baWidth;
    rule->Frame().Typ = 1u << ftTop;
    rule->Frame().SetWidth(2);
    TrpCustomMemoView* date = NewMemo(band, FDotMatrix);
    date->SetBounds(0, 1, kCm2, kMm6);
    date->AutoWidth = true;
    date->SetText(QStringLiteral("[Date] [Time]"));
    TrpCustomMemoView* page = NewMemo(band, FDotMatrix);
    page->SetBounds(100, 1, kCm2, kMm6);
    page->Align = baRight;
    page->HAlign = haRight;
    page->SetText(QStringLiteral("Page [Page#]"));
}

void TrpStdWizardForm::FinishBClick()
{
    if (FReport == nullptr)
        return;
    {
        DesignerLock lock(FDesigner);
        FReport->SetFileName(QString());
        FReport->DotMatrixReport = FDotMatrix;
        FReport->DataSets().Clear();
        Build build;
        build.DataSet = ChosenDataSet();
        if (build.DataSet != nullptr)
            FReport->DataSets().Add(build.DataSet);
        build.Columns = Texts(AvailableFieldsLB);
        build.Groups = Texts(GroupsLB);
        SetupPage(build);
        CalcColumnWidths(build);
        CreateReportTitle(build);
        CreatePageHeader(build);
        CreateGroupHeaders(build);
        CreateMasterData(build);
        CreateGroupFooters(build);
        CreatePageFooter(build);
        if (!FDotMatrix && StyleLB->currentItem() != nullptr)
            FReport->SetStyles(FStyleSheet->Find(StyleLB->currentItem()->text()));
    }
    accept();
}
