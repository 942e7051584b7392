// The print dialog and the page settings offscreen, with a stand-in printer back end and file
// chooser; printing through the dialog runner; the script print dialogs.

#include "PreparedPagesBuilder.h"
#include "RecordingPrinter.h"

#include "report/engine/EngineServices.h"
#include "report/engine/rpPrinter.h"
#include "report/engine/ui/EngineUi.h"
#include "report/engine/ui/rpPreviewPageSettings.h"
#include "report/engine/ui/rpPrintDialog.h"
#include "report/model/rpClass_options.h"
#include "report/model/rpRes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace enginetest;

namespace {

// The user: a file chooser answering `chosenFile` (none: refused) and a modal seam that hands
// the dialog to `onModal`.
class StandInUser : public IUiService {
public:
    StandInUser() { ReportServices::SetUi(this); }
    ~StandInUser() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString& text) override { messages << text; }
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t) override
    {
        messages << text;
        return mrNone;
    }
    bool SaveFileDialog(UiFileDialog& dialog) override
    {
        fileDialogs << dialog.Title + u'|' + dialog.Filter;
        if (chosenFile.isEmpty())
            return false;
        dialog.FileName = chosenFile;
        return true;
    }
    int RunModal(QObject& dialog, const QString& caption) override
    {
        modals << caption;
        return onModal ? onModal(dialog) : mrCancel;
    }

    QString chosenFile;
    std::function<int(QObject&)> onModal;
    QStringList messages;
    QStringList fileDialogs;
    QStringList modals;
};

// Two recording printers, One (the default) and Two, and the PDF-file printer; the engine's
// own dialog runner.
class DialogFixture : public testing::Test {
protected:
    DialogFixture() : scope_(Table(log_)) {}

    static TrpEngineServices Table(QStringList& log)
    {
        EngineUi::init();
        TrpEngineServices services = EngineServices();
        services.PdfFilePrinter = TrpPdfFilePrinterMode::Listed;
        services.PrinterNames = [] { return QStringList{QStringLiteral("One"), QStringLiteral("Two")}; };
        services.DefaultPrinterName = [] { return QStringLiteral("One"); };
        services.CreatePrinter = [&log](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
            return std::make_unique<RecordingPrinter>(log, name);
        };
        return services;
    }

    template <class T>
    static T* Find(QObject& parent, const char* name)
    {
        T* child = parent.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    QStringList log_;
    EngineServicesScope scope_;
    StandInUser user_;
};

TEST_F(DialogFixture, CancelAfterSwitchingPrinterRestoresTheOldOne)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    EXPECT_EQ(dialog.OldIndex, 0);
    auto* printers = Find<QComboBox>(dialog, "PrintersCB");
    ASSERT_EQ(printers->count(), 3);
    EXPECT_EQ(printers->itemText(2), PdfFilePrinterName());
    printers->setCurrentIndex(1);
    dialog.PrintersCBClick();
    EXPECT_EQ(GetPrintersInstance().PrinterIndex(), 1);
    EXPECT_FALSE(dialog.FormHide(false));
    EXPECT_EQ(GetPrintersInstance().PrinterIndex(), 0);
}

TEST_F(DialogFixture, TheSheetPaperIsKeptWhenTheNewPrinterHasIt)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    auto* mode = Find<QComboBox>(dialog, "PrintModeCB");
    auto* sheet = Find<QComboBox>(dialog, "PagPageSizeCB");
    mode->setCurrentIndex(pmSplit);
    dialog.PrintModeCBClick();
    sheet->setCurrentIndex(sheet->findData(8));
    auto* printers = Find<QComboBox>(dialog, "PrintersCB");
    printers->setCurrentIndex(2);
    dialog.PrintersCBClick();
    EXPECT_EQ(sheet->currentData().toInt(), 8);
    EXPECT_EQ(sheet->itemText(0), GetResourcesInstance().Get(u"pgDefault"));
}

TEST_F(DialogFixture, ARefusedFileDialogCancelsThePrint)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    Find<QCheckBox>(dialog, "FileCB")->setChecked(true);
    EXPECT_FALSE(dialog.FormHide(true));
    ASSERT_EQ(user_.fileDialogs.size(), 1);
    EXPECT_EQ(user_.fileDialogs[0], GetResourcesInstance().Get(u"507") + u'|' + GetResourcesInstance().Get(u"prPdfFilter"));
}

TEST_F(DialogFixture, PrintToFileWritesAPdfNamedSo)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    Find<QCheckBox>(dialog, "FileCB")->setChecked(true);
    user_.chosenFile = QStringLiteral("/tmp/out/report.prn");
    EXPECT_TRUE(dialog.FormHide(true));
    EXPECT_EQ(GetPrintersInstance().Printer()->FileName, QStringLiteral("/tmp/out/report.pdf"));
    EXPECT_EQ(prepared.Report().PrintOptions().PrnOutFileName, QStringLiteral("/tmp/out/report.pdf"));
}

TEST_F(DialogFixture, CurrentPageTakesThePreviewsPage)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}, PaperPage{}});
    prepared.Store().CurPreviewPage = 3;
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    Find<QRadioButton>(dialog, "CurPageRB")->setChecked(true);
    Find<QSpinBox>(dialog, "CopiesE")->setValue(4);
    Find<QCheckBox>(dialog, "CollateCB")->setChecked(false);
    Find<QComboBox>(dialog, "OrderCB")->setCurrentIndex(1);
    Find<QComboBox>(dialog, "PrintPagesCB")->setCurrentIndex(ppEven);
    Find<QComboBox>(dialog, "DuplexCB")->setCurrentIndex(dmHorizontal);
    ASSERT_TRUE(dialog.FormHide(true));
    const TrpPrintOptions& options = prepared.Report().PrintOptions();
    EXPECT_EQ(options.PageNumbers, QStringLiteral("3"));
    EXPECT_EQ(options.Copies, 4);
    EXPECT_FALSE(options.Collate);
    EXPECT_TRUE(options.Reverse);
    EXPECT_EQ(options.PrintPages, ppEven);
    EXPECT_EQ(dialog.ADuplexMode, dmHorizontal);
    EXPECT_EQ(options.PrintMode, pmDefault);
    EXPECT_EQ(options.PrintOnSheet, kPaperCustom) << "the default entry gives the first paper's code";
}

TEST_F(DialogFixture, CopiesStayWithinTheirRange)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    prepared.Report().PrintOptions().Copies = 5000;
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    auto* copies = Find<QSpinBox>(dialog, "CopiesE");
    EXPECT_EQ(copies->value(), TrpPrintDialog::kMaxCopies);
    copies->setValue(0);
    EXPECT_EQ(copies->value(), 1);
}

TEST_F(DialogFixture, ScalingChoosesA4AndDefaultDisablesTheSheetList)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmNone);
    auto* mode = Find<QComboBox>(dialog, "PrintModeCB");
    auto* sheet = Find<QComboBox>(dialog, "PagPageSizeCB");
    EXPECT_FALSE(sheet->isEnabled());
    EXPECT_EQ(mode->itemText(pmScale), QStringLiteral("Масштабировать"));
    mode->setCurrentIndex(pmScale);
    dialog.PrintModeCBClick();
    EXPECT_TRUE(sheet->isEnabled());
    EXPECT_EQ(sheet->currentData().toInt(), kPaperA4);
    mode->setCurrentIndex(pmDefault);
    dialog.PrintModeCBClick();
    EXPECT_FALSE(sheet->isEnabled());
    EXPECT_EQ(sheet->currentIndex(), 0);
    EXPECT_EQ(mode->itemText(pmDefault), QStringLiteral("По умолчанию"));
}

TEST_F(DialogFixture, TheDialogShowsTheOptions)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    options.PageNumbers = QStringLiteral("2-3");
    options.PrintMode = pmJoin;
    options.PrintOnSheet = 8;
    options.Copies = 3;
    TrpPrintDialog dialog(&prepared.Report(), dmVertical);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Печать"));
    EXPECT_TRUE(Find<QRadioButton>(dialog, "PageNumbersRB")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(dialog, "PageNumbersE")->text(), QStringLiteral("2-3"));
    EXPECT_EQ(Find<QComboBox>(dialog, "PagPageSizeCB")->currentData().toInt(), 8);
    EXPECT_EQ(Find<QComboBox>(dialog, "DuplexCB")->currentIndex(), dmVertical);
    EXPECT_EQ(Find<QSpinBox>(dialog, "CopiesE")->value(), 3);
    EXPECT_EQ(Find<QLabel>(dialog, "DescrL")->text(), GetResourcesInstance().Get(u"9"));
}

TEST_F(DialogFixture, PrintingShowsTheDialogThroughTheModalSeam)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}, PaperPage{}});
    TrpPrintOptions& options = prepared.Report().PrintOptions();
    ASSERT_TRUE(options.ShowDialog);
    user_.onModal = [](QObject& window) {
        window.findChild<QSpinBox*>(QStringLiteral("CopiesE"))->setValue(2);
        window.findChild<QComboBox*>(QStringLiteral("PrintersCB"))->setCurrentIndex(1);
        static_cast<TrpPrintDialog&>(window).PrintersCBClick();
        return static_cast<int>(mrOk);
    };
    EXPECT_TRUE(prepared.Store().Print());
    EXPECT_EQ(user_.modals, QStringList{QStringLiteral("TrpPrintDialog")});
    EXPECT_EQ(prepared.Store().PrintedSheets(), 4);
    EXPECT_TRUE(log_.contains(QStringLiteral("begin Бумага")));
    EXPECT_EQ(GetPrintersInstance().PrinterIndex(), 1) << "the chosen printer stays current";
    EXPECT_EQ(options.Copies, 1) << "the choice lasts for this print only";

    log_.clear();
    user_.onModal = [](QObject&) { return static_cast<int>(mrCancel); };
    EXPECT_FALSE(prepared.Store().Print());
    EXPECT_TRUE(log_.isEmpty());
}

// A printer whose own settings dialog chooses one-sided printing (device duplex 1).
class OneSidedPrinter : public RecordingPrinter {
public:
    using RecordingPrinter::RecordingPrinter;
    void PropertiesDlg() override { duplex_ = 1; }
};

TEST_F(DialogFixture, ThePrintersOwnDuplexChoiceReachesTheDuplexList)
{
    QStringList log;
    TrpEngineServices services = EngineServices();
    services.CreatePrinter = [&log](const QString& name) -> std::unique_ptr<TrpCustomPrinter> {
        return std::make_unique<OneSidedPrinter>(log, name);
    };
    const EngineServicesScope scope(std::move(services));
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpPrintDialog dialog(&prepared.Report(), dmVertical);
    dialog.PropButtonClick();
    EXPECT_EQ(dialog.ADuplexMode, dmSimplex);
    EXPECT_EQ(Find<QComboBox>(dialog, "DuplexCB")->currentIndex(), dmSimplex);
}

// --- page settings ------------------------------------------------------------------------------

TEST_F(DialogFixture, TypingAWidthChoosesTheCustomSizeAndThePrinterIsUntouched)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpReportPage page;
    page.SetPaperSize(kPaperA4);
    page.LeftMargin = 10;
    TrpPageSettingsForm form(&prepared.Report(), &page);
    auto* size = Find<QComboBox>(form, "SizeCB");
    auto* width = Find<QLineEdit>(form, "WidthE");
    EXPECT_EQ(size->currentData().toInt(), kPaperA4);
    EXPECT_EQ(width->text(), QStringLiteral("21"));
    // Browsing sizes leaves the printer's paper alone.
    size->setCurrentIndex(size->findData(8));
    form.SizeCBClick();
    EXPECT_EQ(Find<QLineEdit>(form, "HeightE")->text(), QStringLiteral("42"));
    EXPECT_EQ(GetPrintersInstance().Printer()->Paper(), kPaperA4);
    width->setText(QStringLiteral("15,5"));
    EXPECT_EQ(size->currentData().toInt(), kPaperCustom);
    form.FormHide(true);
    EXPECT_EQ(page.PaperSize(), kPaperCustom);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 155);
    EXPECT_DOUBLE_EQ(page.PaperHeight(), 420);
}

TEST_F(DialogFixture, LandscapeTakesTheTableSizeTurned)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpReportPage page;
    TrpPageSettingsForm form(&prepared.Report(), &page);
    Find<QRadioButton>(form, "LandscapeRB")->setChecked(true);
    form.PortraitRBClick();
    EXPECT_EQ(Find<QLineEdit>(form, "WidthE")->text(), QStringLiteral("29.70"));
    EXPECT_FALSE(Find<QLabel>(form, "PortraitImg")->isVisibleTo(&form));
    Find<QRadioButton>(form, "ApplyToAllRB")->setChecked(true);
    EXPECT_TRUE(form.NeedRebuild());
    form.FormHide(true);
    EXPECT_EQ(page.Orientation(), poLandscape);
    EXPECT_EQ(page.PaperSize(), kPaperA4);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 297);
}

TEST_F(DialogFixture, PixelUnitsAreShownInCentimetresAndInchesInInches)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("report.ini"));
    const auto units = [&](int value) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Form.TrpDesignerForm]\nUnits=" + QByteArray::number(value) + "\n");
    };
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    prepared.Report().IniFile = ini;
    TrpReportPage page;
    page.SetPaperSize(kPaperA4);
    units(2);
    {
        TrpPageSettingsForm form(&prepared.Report(), &page);
        EXPECT_EQ(form.Units(), duPixels);
        EXPECT_EQ(Find<QLabel>(form, "UnitL1")->text(), QStringLiteral("см"));
        EXPECT_EQ(Find<QLineEdit>(form, "HeightE")->text(), QStringLiteral("29.70"));
    }
    units(1);
    TrpPageSettingsForm form(&prepared.Report(), &page);
    EXPECT_EQ(Find<QLabel>(form, "UnitL6")->text(), QStringLiteral("in"));
    EXPECT_EQ(Find<QLineEdit>(form, "WidthE")->text(), QStringLiteral("8.27"));
}

TEST_F(DialogFixture, AnUnreadableNumberChangesNothing)
{
    PreparedReport prepared = BuildPaperStore({PaperPage{}});
    TrpReportPage page;
    page.LeftMargin = 10;
    TrpPageSettingsForm form(&prepared.Report(), &page);
    Find<QLineEdit>(form, "MarginLeftE")->setText(QStringLiteral("abc"));
    Find<QRadioButton>(form, "LandscapeRB")->setChecked(true);
    EXPECT_THROW(form.FormHide(true), platform::Exception);
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_DOUBLE_EQ(page.LeftMargin, 10);
}

// --- the script print dialogs -------------------------------------------------------------------

class AnsweringService : public QtPrintingUiService {
public:
    int RunModal(QObject& dialog, const QString& caption) override
    {
        captions << caption + u':' + dialog.metaObject()->className();
        return answer;
    }
    QStringList captions;
    int answer = mrOk;
};

TEST(ScriptPrintDialogs, TheyComeAsQtsDialogs)
{
    // Never the machine's printers: no scheduler answers there.
    QTemporaryDir folder;
    qputenv("CUPS_SERVER", folder.filePath(QStringLiteral("none")).toLocal8Bit());
    AnsweringService service;
    UiPrintDialog dialog;
    dialog.Copies = 3;
    dialog.MinPage = 1;
    dialog.MaxPage = 9;
    dialog.FromPage = 2;
    dialog.ToPage = 4;
    dialog.PrintRange = 2;
    EXPECT_TRUE(service.PrintDialog(dialog));
    EXPECT_EQ(dialog.Copies, 3);
    EXPECT_EQ(dialog.FromPage, 2);
    EXPECT_EQ(dialog.PrintRange, 2);
    EXPECT_TRUE(service.PrinterSetupDialog());
    service.answer = mrCancel;
    EXPECT_FALSE(service.PrintDialog(dialog));
    EXPECT_FALSE(service.PrinterSetupDialog());
    ASSERT_EQ(service.captions.size(), 4);
    EXPECT_TRUE(service.captions[0].startsWith(u"QPrintDialog:")) << service.captions[0].toStdString();
    EXPECT_TRUE(service.captions[1].startsWith(u"QPageSetupDialog:")) << service.captions[1].toStdString();
}

} // namespace
