#include "StandInDesigner.h"

#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpWizardStd.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpDsgnIntf.h"
#include "report/script/ScriptedUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <map>
#include <numeric>

namespace {

// A database data set with fixed fields and display widths.
class TableDataSet : public TrpCustomDBDataSet {
public:
    TableDataSet(const QString& name, QStringList fields, std::map<QString, int> widths = {})
        : list_(std::move(fields)), widths_(std::move(widths))
    {
        SetUserName(name);
    }
    void GetFieldList(QStringList& list) override { list = list_; }
    int32_t GetDisplayWidth(const QString& field) override
    {
        const auto found = widths_.find(field);
        return found != widths_.end() ? found->second : 10;
    }

private:
    QStringList list_;
    std::map<QString, int> widths_;
};

class CountingDesigner : public StandInDesigner {
public:
    using StandInDesigner::StandInDesigner;
    void Lock() override { ++Locks; }
    void ReloadReport() override { ++Reloads; }
    void SetReportDefaults() override { ++Defaults; }
    int Locks = 0;
    int Reloads = 0;
    int Defaults = 0;
};

struct UiScope {
    UiScope() { ReportServices::SetUi(&ui); }
    ~UiScope() { ReportServices::SetUi(nullptr); }
    ScriptedUi ui;
};

QStringList Texts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

template <typename T>
std::vector<T*> All(const TrpReport& report)
{
    std::vector<T*> found;
    for (TrpComponent* object : report.AllObjects())
        if (auto* typed = dynamic_cast<T*>(object))
            found.push_back(typed);
    return found;
}

std::vector<TrpCustomMemoView*> Memos(TrpComponent* band)
{
    std::vector<TrpCustomMemoView*> memos;
    for (TrpComponent* object : band->AllObjects())
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object); memo != nullptr && memo != band)
            memos.push_back(memo);
    return memos;
}

void Shot(QWidget& window, const QString& name)
{
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty())
        window.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(name));
}

// The widths the wizard gives its columns, measured as it measures them.
struct Widths {
    std::vector<double> H, V;
};

Widths Measure(const QStringList& fields, TrpDataSet& dataSet, const TrpStyles* styles)
{
    TrpMemoView header, data;
    if (styles != nullptr) {
        header.ApplyStyle(styles->Find(QStringLiteral("Header")));
        data.ApplyStyle(styles->Find(QStringLiteral("Data")));
    }
    Widths w;
    for (const QString& field : fields) {
        header.SetText(field);
        w.H.push_back(header.CalcWidth());
        data.SetText(QString(dataSet.GetDisplayWidth(field), u'0'));
        w.V.push_back(data.CalcWidth());
    }
    return w;
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override { DesignerRuntime::init(); }
    TrpReport report;
    CountingDesigner designer{&report};
    UiScope scope;
};

TEST_F(Wizard, RegisteredInOrderWithImagesAndMadeByName)
{
    const TrpWizardCollection& registry = GetWizardRegistry();
    std::vector<std::pair<QString, int>> rows;
    for (int i = 0; i < registry.Count(); ++i)
        rows.emplace_back(registry.Items(i).ClassRef, registry.Items(i).ButtonImageIndex);
    const std::vector<std::pair<QString, int>> expected = {
        {"TrpStdWizard", 1}, {"TrpStdEmptyWizard", 0}, {"TrpDotMatrixWizard", 1}, {"TrpDMPEmptyWizard", 0}};
    EXPECT_EQ(rows, expected);
    const std::map<QString, QString> descriptions = {{"TrpStdWizard", "Мастер стандартного отчета"},
                                                     {"TrpStdEmptyWizard", "Пустой стандартный отчет"},
                                                     {"TrpDotMatrixWizard", "Мастер матричного отчета"},
                                                     {"TrpDMPEmptyWizard", "Пустой матричный отчет"}};
    for (const auto& [name, description] : descriptions) {
        std::unique_ptr<TrpCustomWizard> wizard = CreateWizard(name, &designer);
        ASSERT_NE(wizard, nullptr) << name.toStdString();
        EXPECT_EQ(wizard->GetDescription(), description);
        EXPECT_EQ(wizard->Report(), &report);
    }
    EXPECT_EQ(CreateWizard(u"TrpDBTableWizard", &designer), nullptr);
}

TEST_F(Wizard, EmptyWizardsResetTheReport)
{
    for (const bool dotMatrix : {false, true}) {
        SCOPED_TRACE(dotMatrix ? "dot-matrix" : "standard");
        new TrpMasterData(new TrpReportPage(&report));
        report.SetFileName(QStringLiteral("/tmp/old.zi3"));
        report.DotMatrixReport = !dotMatrix;
        const int reloads = designer.Reloads;
        std::unique_ptr<TrpCustomWizard> wizard =
            CreateWizard(dotMatrix ? u"TrpDMPEmptyWizard" : u"TrpStdEmptyWizard", &designer);
        EXPECT_TRUE(wizard->Execute());
        EXPECT_EQ(designer.Reloads, reloads + 1);
        EXPECT_EQ(report.FileName(), QString());
        EXPECT_EQ(report.DotMatrixReport, dotMatrix);
        ASSERT_EQ(report.PagesCount(), 2);
        EXPECT_EQ(report.Pages(0)->Name(), QStringLiteral("Data"));
        EXPECT_NE(dynamic_cast<TrpDataPage*>(report.Pages(0)), nullptr);
        EXPECT_EQ(report.Pages(1)->Name(), QStringLiteral("Page1"));
        EXPECT_EQ(dynamic_cast<TrpDMPPage*>(report.Pages(1)) != nullptr, dotMatrix);
        EXPECT_EQ(report.Pages(1)->Objects().size(), 0u);
    }
}

TEST_F(Wizard, CancelLeavesTheResetReport)
{
    new TrpMasterData(new TrpReportPage(&report));
    scope.ui.OnModal = [](QObject&, const QString&) { return static_cast<int>(mrCancel); };
    TrpStdWizard wizard(&designer);
    EXPECT_FALSE(wizard.Execute());
    ASSERT_EQ(report.PagesCount(), 2);
    EXPECT_EQ(report.Pages(1)->Objects().size(), 0u);
    EXPECT_EQ(designer.Defaults, 1);
    EXPECT_GE(designer.Reloads, 1);
}

TEST_F(Wizard, FieldAndGroupLists)
{
    TableDataSet customers(QStringLiteral("Customers"), {"Company", "City", "Amount", "Phone"});
    TrpStdWizardForm form(&designer, false);
    form.FormShow();
    ASSERT_EQ(form.DatasetsCB->findText(QStringLiteral("Customers")) >= 0, true);
    form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("Customers")));
    form.DatasetsCBClick();
    EXPECT_EQ(Texts(form.FieldsLB), (QStringList{"Company", "City", "Amount", "Phone"}));

    // Two selected fields move in their order; the focus stays at the first one's place.
    form.FieldsLB->setCurrentRow(1);
    form.FieldsLB->clearSelection();
    form.FieldsLB->item(1)->setSelected(true);
    form.FieldsLB->item(3)->setSelected(true);
    form.AddFieldB->click();
    EXPECT_EQ(Texts(form.SelectedFieldsLB), (QStringList{"City", "Phone"}));
    EXPECT_EQ(Texts(form.FieldsLB), (QStringList{"Company", "Amount"}));
    EXPECT_EQ(form.FieldsLB->currentRow(), 1);
    EXPECT_EQ(Texts(form.AvailableFieldsLB), Texts(form.SelectedFieldsLB));

    // Down moves the focused field and the focus with it; up at the top does nothing.
    form.SelectedFieldsLB->setCurrentRow(0);
    form.FieldDownB->click();
    EXPECT_EQ(Texts(form.SelectedFieldsLB), (QStringList{"Phone", "City"}));
    EXPECT_EQ(form.SelectedFieldsLB->currentRow(), 1);
    form.SelectedFieldsLB->setCurrentRow(0);
    form.FieldUpB->click();
    EXPECT_EQ(Texts(form.SelectedFieldsLB), (QStringList{"Phone", "City"}));

    // Groups are chosen from the selected fields and chosen again after the fields change.
    form.Pages->setCurrentWidget(form.GroupsTab);
    EXPECT_EQ(form.AvailableFieldsLB->currentRow(), 0);
    form.AddGroupB->click();
    EXPECT_EQ(Texts(form.GroupsLB), QStringList{"Phone"});
    EXPECT_EQ(Texts(form.AvailableFieldsLB), QStringList{"City"});
    form.SelectedFieldsLB->setCurrentRow(1);
    form.RemoveFieldB->click();
    EXPECT_EQ(Texts(form.FieldsLB), (QStringList{"Company", "Amount", "City"}));
    EXPECT_TRUE(form.GroupsLB->count() == 0);

    // Add all resets the order to the data set's.
    form.AddAllFieldsB->click();
    EXPECT_EQ(Texts(form.SelectedFieldsLB), (QStringList{"Company", "City", "Amount", "Phone"}));
    EXPECT_EQ(form.FieldsLB->count(), 0);
    form.AddAllFieldsB->click(); // nothing left to add
    EXPECT_EQ(form.SelectedFieldsLB->count(), 4);
    form.RemoveAllFieldsB->click();
    EXPECT_EQ(form.SelectedFieldsLB->count(), 0);
    EXPECT_EQ(form.FieldsLB->count(), 4);
}

TEST_F(Wizard, OnlyDatabaseDataSetsAreOffered)
{
    TableDataSet customers(QStringLiteral("Customers"), {"Company"});
    TableDataSet bills(QStringLiteral("Bills"), {"Sum"});
    TrpUserDataSet plain;
    plain.SetUserName(QStringLiteral("Plain"));
    TrpStdWizardForm form(&designer, false);
    form.FormShow();
    QStringList offered;
    for (int i = 0; i < form.DatasetsCB->count(); ++i)
        offered.append(form.DatasetsCB->itemText(i));
    EXPECT_TRUE(offered.contains(QStringLiteral("Customers")));
    EXPECT_TRUE(offered.contains(QStringLiteral("Bills")));
    EXPECT_FALSE(offered.contains(QStringLiteral("Plain")));
    EXPECT_LT(offered.indexOf(QStringLiteral("Bills")), offered.indexOf(QStringLiteral("Customers"))) << "sorted";
}

TEST_F(Wizard, NavigationAndPagesPerMode)
{
    for (const bool dotMatrix : {false, true}) {
        SCOPED_TRACE(dotMatrix ? "dot-matrix" : "standard");
        TrpStdWizardForm form(&designer, dotMatrix);
        form.FormShow();
        EXPECT_EQ(form.Pages->count(), dotMatrix ? 4 : 5);
        EXPECT_EQ(form.Pages->indexOf(form.StyleTab) >= 0, !dotMatrix);
        EXPECT_FALSE(form.BackB->isEnabled());
        EXPECT_TRUE(form.NextB->isEnabled());
        for (int i = 0; i < form.Pages->count() - 1; ++i)
            form.NextB->click();
        EXPECT_EQ(form.Pages->currentWidget(), dotMatrix ? form.LayoutTab : form.StyleTab);
        EXPECT_FALSE(form.NextB->isEnabled());
        EXPECT_TRUE(form.BackB->isEnabled());
        form.BackB->click();
        EXPECT_TRUE(form.NextB->isEnabled());
        if (!dotMatrix) {
            form.Pages->setCurrentIndex(0);
            for (int i = 0; i < form.Pages->count(); ++i) {
                form.Pages->setCurrentIndex(i);
                Shot(form, QStringLiteral("wizard-page%1.png").arg(i + 1));
            }
        }
    }
}

TEST_F(Wizard, FinishBuildsTheStandardReport)
{
    TableDataSet customers(QStringLiteral("Customers"), {"Company", "City", "Amount"}, {{"Amount", 8}});
    scope.ui.OnModal = [](QObject& dialog, const QString&) {
        auto& form = static_cast<TrpStdWizardForm&>(dialog);
        form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("Customers")));
        form.DatasetsCBClick();
        form.AddAllFieldsB->click();
        form.Pages->setCurrentWidget(form.GroupsTab);
        form.AddGroupB->click(); // Company
        form.StyleLB->setCurrentRow(0);
        form.FinishB->click();
        return form.result();
    };
    report.SetFileName(QStringLiteral("/tmp/old.zi3"));
    TrpStdWizard wizard(&designer);
    ASSERT_TRUE(wizard.Execute());

    EXPECT_EQ(report.FileName(), QString());
    ASSERT_EQ(report.DataSets().Count(), 1);
    EXPECT_EQ(report.DataSets().Items(0)->DataSet(), &customers);

    auto* page = dynamic_cast<TrpReportPage*>(report.Pages(1));
    ASSERT_NE(page, nullptr);
    const double w = (page->PaperWidth() - page->LeftMargin - page->RightMargin) * 96 / 25.4;

    const std::vector<TrpReportTitle*> titles = All<TrpReportTitle>(report);
    ASSERT_EQ(titles.size(), 1u);
    ASSERT_EQ(Memos(titles[0]).size(), 1u);
    TrpCustomMemoView* title = Memos(titles[0])[0];
    EXPECT_EQ(title->Text(), QStringLiteral("Report\r\n"));
    EXPECT_EQ(title->Style(), QStringLiteral("Title"));
    EXPECT_EQ(title->Align, baWidth);
    EXPECT_EQ(title->HAlign, haCenter);
    EXPECT_EQ(title->VAlign, vaCenter);
    EXPECT_EQ(title->Color, 8421504) << "the first style of the sheet is applied";

    const std::vector<TrpPageHeader*> headers = All<TrpPageHeader>(report);
    ASSERT_EQ(headers.size(), 1u);
    const std::vector<TrpCustomMemoView*> headerMemos = Memos(headers[0]);
    ASSERT_EQ(headerMemos.size(), 3u);
    EXPECT_EQ(headerMemos[0]->Style(), QStringLiteral("Header line"));
    EXPECT_DOUBLE_EQ(headerMemos[0]->Width(), w);
    EXPECT_DOUBLE_EQ(headerMemos[0]->Height(), headers[0]->Height());
    EXPECT_EQ(headerMemos[1]->Text(), QStringLiteral("City\r\n"));
    EXPECT_EQ(headerMemos[2]->Text(), QStringLiteral("Amount\r\n"));

    const std::vector<TrpGroupHeader*> groups = All<TrpGroupHeader>(report);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]->Condition, QStringLiteral("Customers.\"Company\""));
    ASSERT_EQ(Memos(groups[0]).size(), 1u);
    EXPECT_EQ(Memos(groups[0])[0]->DataField, QStringLiteral("Company"));
    EXPECT_EQ(Memos(groups[0])[0]->DataSet(), &customers);

    const std::vector<TrpMasterData*> master = All<TrpMasterData>(report);
    ASSERT_EQ(master.size(), 1u);
    EXPECT_EQ(master[0]->DataSet(), &customers);
    const std::vector<TrpCustomMemoView*> data = Memos(master[0]);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0]->DataField, QStringLiteral("City"));
    EXPECT_EQ(data[1]->DataField, QStringLiteral("Amount"));
    EXPECT_DOUBLE_EQ(data[1]->Left(), data[0]->Width());
    EXPECT_DOUBLE_EQ(master[0]->Height(), 18.89765);

    // The widths are the measured ones: everything fits.
    const Widths measured =
        Measure({"City", "Amount"}, customers, report.Styles().Count() > 0 ? &report.Styles() : nullptr);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(data[i]->Width(), std::max(measured.H[i], measured.V[i]), 1e-9) << i;

    EXPECT_EQ(All<TrpGroupFooter>(report).size(), 1u);
    const std::vector<TrpPageFooter*> footers = All<TrpPageFooter>(report);
    ASSERT_EQ(footers.size(), 1u);
    const std::vector<TrpCustomMemoView*> footerMemos = Memos(footers[0]);
    ASSERT_EQ(footerMemos.size(), 3u);
    EXPECT_EQ(footerMemos[0]->Frame().Typ, 4u);
    EXPECT_EQ(footerMemos[1]->Text(), QStringLiteral("[Date] [Time]\r\n"));
    EXPECT_TRUE(footerMemos[1]->AutoWidth);
    EXPECT_EQ(footerMemos[2]->Text(), QStringLiteral("Page [Page#]\r\n"));
    EXPECT_EQ(footerMemos[2]->Align, baRight);
    EXPECT_EQ(footerMemos[2]->HAlign, haRight);

    // Every object has a name of its own.
    QStringList names;
    for (TrpComponent* object : report.AllObjects())
        names.append(object->Name());
    QStringList unique = names;
    unique.removeDuplicates();
    EXPECT_EQ(unique.size(), names.size());
    EXPECT_EQ(report.Styles().Count(), 6);
}

struct WidthCase {
    const char* name;
    QStringList fields;
    std::map<QString, int> displayWidths;
    bool fit;
    bool landscape;
};

TEST_F(Wizard, ColumnWidthsFitThePageOrWrap)
{
    const WidthCase cases[] = {
        {"captions alone wider than the page", {"A very long caption of the first column", "Another quite long caption",
                                                "A third caption that is long as well", "And a fourth long caption"},
         {}, true, false},
        {"data wider than the page, captions narrow", {"A", "B", "C"}, {{"A", 60}, {"B", 40}, {"C", 5}}, true, false},
        {"fit off keeps the widths and wraps", {"A", "B", "C"}, {{"A", 60}, {"B", 40}, {"C", 5}}, false, false},
        {"everything fits", {"A", "B"}, {{"A", 10}, {"B", 10}}, true, true},
    };
    for (const WidthCase& c : cases) {
        SCOPED_TRACE(c.name);
        TableDataSet table(QStringLiteral("T"), c.fields, c.displayWidths);
        TrpStdWizardForm form(&designer, false);
        form.FormShow();
        form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("T")));
        form.DatasetsCBClick();
        form.AddAllFieldsB->click();
        form.FitWidthCB->setChecked(c.fit);
        (c.landscape ? form.LandscapeRB : form.PortraitRB)->setChecked(true);
        form.StyleLB->setCurrentRow(1);
        form.FinishBClick();

        auto* page = dynamic_cast<TrpReportPage*>(report.Pages(1));
        EXPECT_EQ(page->Orientation(), c.landscape ? poLandscape : poPortrait);
        const double w = (page->PaperWidth() - page->LeftMargin - page->RightMargin) * 96 / 25.4;
        const Widths m = Measure(c.fields, table, form.StyleSheet().Items(1));
        const size_t n = c.fields.size();
        std::vector<double> expected(n);
        double sumC = 0, sumH = 0, excess = 0;
        for (size_t i = 0; i < n; ++i) {
            expected[i] = std::max(m.H[i], m.V[i]);
            sumC += expected[i];
            sumH += m.H[i];
            excess += m.H[i] <= m.V[i] ? m.V[i] - m.H[i] : 0;
        }
        if (c.fit && sumC > w) {
            for (size_t i = 0; i < n; ++i) {
                if (sumH > w)
                    expected[i] = m.H[i] * w / sumH;
                else if (m.H[i] < m.V[i])
                    expected[i] -= (sumC - w) * (m.V[i] - m.H[i]) / excess;
            }
        }
        const std::vector<TrpCustomMemoView*> data = Memos(All<TrpMasterData>(report).front());
        ASSERT_EQ(data.size(), n);
        double x = 0, y = 0, total = 0;
        for (size_t i = 0; i < n; ++i) {
            EXPECT_NEAR(data[i]->Width(), expected[i], 1e-6) << i;
            if (x + expected[i] > w + 1) {
                x = 0;
                y += 18.89765;
            }
            EXPECT_NEAR(data[i]->Left(), x, 1e-6) << i;
            EXPECT_NEAR(data[i]->Top(), y, 1e-6) << i;
            x += expected[i];
            total += data[i]->Width();
        }
        if (c.fit && sumC > w) {
            EXPECT_NEAR(total, w, 1e-6) << "the columns fill the page exactly";
        }
        EXPECT_NEAR(All<TrpMasterData>(report).front()->Height(), y + 18.89765, 1e-6);
    }
}

TEST_F(Wizard, FinishWithoutFieldsOrDataSet)
{
    TrpStdWizardForm form(&designer, false);
    form.FormShow();
    ASSERT_EQ(form.DatasetsCB->count(), 0);
    form.FinishBClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(report.DataSets().Count(), 0);
    EXPECT_EQ(All<TrpReportTitle>(report).size(), 1u);
    const std::vector<TrpPageHeader*> headers = All<TrpPageHeader>(report);
    ASSERT_EQ(headers.size(), 1u);
    ASSERT_EQ(Memos(headers[0]).size(), 1u);
    EXPECT_EQ(Memos(headers[0])[0]->Style(), QStringLiteral("Header line"));
    const std::vector<TrpMasterData*> master = All<TrpMasterData>(report);
    ASSERT_EQ(master.size(), 1u);
    EXPECT_EQ(master[0]->DataSet(), nullptr);
    EXPECT_DOUBLE_EQ(master[0]->Height(), 18.89765);
    EXPECT_TRUE(Memos(master[0]).empty());
    EXPECT_TRUE(All<TrpGroupFooter>(report).empty());
    EXPECT_EQ(All<TrpPageFooter>(report).size(), 1u);
}

TEST_F(Wizard, DotMatrixReportHasNoHeaderLineAndNoStyles)
{
    TableDataSet customers(QStringLiteral("Customers"), {"Company", "City"});
    scope.ui.OnModal = [](QObject& dialog, const QString&) {
        auto& form = static_cast<TrpStdWizardForm&>(dialog);
        form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("Customers")));
        form.DatasetsCBClick();
        form.AddAllFieldsB->click();
        form.FinishB->click();
        return form.result();
    };
    TrpDotMatrixWizard wizard(&designer);
    ASSERT_TRUE(wizard.Execute());
    EXPECT_TRUE(report.DotMatrixReport);
    EXPECT_NE(dynamic_cast<TrpDMPPage*>(report.Pages(1)), nullptr);
    const std::vector<TrpPageHeader*> headers = All<TrpPageHeader>(report);
    ASSERT_EQ(headers.size(), 1u);
    const std::vector<TrpCustomMemoView*> captions = Memos(headers[0]);
    ASSERT_EQ(captions.size(), 2u);
    for (TrpCustomMemoView* memo : captions)
        EXPECT_NE(memo->Style(), QStringLiteral("Header line"));
    for (TrpCustomMemoView* memo : All<TrpCustomMemoView>(report))
        EXPECT_NE(dynamic_cast<TrpDMPMemoView*>(memo), nullptr) << memo->Name().toStdString();
    EXPECT_EQ(report.Styles().Count(), 0);
}

TEST_F(Wizard, ColumnarLayoutPairsCaptionsWithData)
{
    TableDataSet customers(QStringLiteral("Customers"), {"Company", "City"});
    TrpStdWizardForm form(&designer, false);
    form.FormShow();
    form.DatasetsCB->setCurrentIndex(form.DatasetsCB->findText(QStringLiteral("Customers")));
    form.DatasetsCBClick();
    form.AddAllFieldsB->click();
    form.ColumnarRB->setChecked(true);
    form.FinishBClick();
    EXPECT_TRUE(All<TrpPageHeader>(report).empty());
    const std::vector<TrpCustomMemoView*> memos = Memos(All<TrpMasterData>(report).front());
    ASSERT_EQ(memos.size(), 4u);
    const double m = std::max(memos[0]->Width(), memos[2]->Width());
    for (size_t i = 0; i < 2; ++i) {
        TrpCustomMemoView* caption = memos[2 * i];
        TrpCustomMemoView* value = memos[2 * i + 1];
        EXPECT_EQ(caption->Style(), QStringLiteral("Header"));
        EXPECT_DOUBLE_EQ(caption->Left(), 0);
        EXPECT_DOUBLE_EQ(caption->Width(), m);
        EXPECT_DOUBLE_EQ(caption->Top(), 18.89765 * static_cast<double>(i));
        EXPECT_EQ(value->DataField, caption->Text().trimmed());
        EXPECT_DOUBLE_EQ(value->Left(), m + 18.89765);
    }
    Shot(form, QStringLiteral("wizard-columnar.png"));
}

} // namespace
