// The device frame's archive and journal grids on real widgets: each grid shows its own
// archive kind and part, a bad check word paints its row red, refills replace everything,
// the display options reach the bindings and the grids, and the archive pages keep one
// sub-tab.

#include "app/DaxFrame.h"

#include "CraftedArchives.h"
#include "DataFile.h"
#include "DemoState.h"
#include "UnderLocale.h"

#include "controls/GoodTable.h"
#include "presentation/ArchiveGrid.h"
#include "presentation/ArchiveSchemas.h"
#include "presentation/AveragingExchangeInfo.h"
#include "presentation/ExchangeInfo.h"
#include "presentation/JournalTables.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <utility>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr const char* kPartNames[ArchivePart::Count] = {"TS1", "TS2", "CWS", "General"};
constexpr const char* kKindNames[ArchiveKind::Count] = {"Hour", "Day", "Month", "TotalDay", "TotalMonth"};

// A grid as the user sees it: captions, then per row the text and colour of every cell.
struct GridContents {
    std::vector<std::string> Captions;
    std::vector<std::vector<TableCell>> Rows;

    friend bool operator==(const GridContents&, const GridContents&) = default;
};

GridContents Read(const TGoodTable& grid)
{
    GridContents contents;
    for (int32_t col = 0; col < grid.GetColCount(); ++col)
        contents.Captions.push_back(grid.GetCaptions(col));
    for (int32_t row = 0; row < grid.GetRowCount(); ++row) {
        std::vector<TableCell> cells;
        for (int32_t col = 0; col < grid.GetColCount(); ++col)
            cells.push_back({grid.GetCells(row, col), grid.GetCellsTextColor(row, col)});
        contents.Rows.push_back(std::move(cells));
    }
    return contents;
}

GridContents Read(const VectorTableSink& sink)
{
    return {sink.Captions(), sink.Rows()};
}

void PrintTo(const GridContents& contents, std::ostream* out)
{
    *out << contents.Captions.size() << " columns, " << contents.Rows.size() << " rows";
}

// What a grid of that part and kind must hold, formatted straight from the helper's vector of
// that kind with that part's columns.
GridContents Expected(DaxHelper& helper, uint32_t part, int32_t kind, const DisplayOptions& options)
{
    DaxHelperLocker lock(&helper);
    const SchemaInputs inputs =
        MakeSchemaInputs(helper.InputRegisterImage, helper.HoldingRegisterImage, part, options,
                         TDax_Frame::SystemDecimalSeparator());
    ArchiveTableExchangeContainer columns;
    BuildArchiveColumns(inputs, columns, kind, part, true, true, true, false, false);
    VectorTableSink sink;
    switch (kind) {
    case ArchiveKind::Hour: FillArchiveGrid(helper.HourArchive, columns, sink); break;
    case ArchiveKind::Day: FillArchiveGrid(helper.DayArchive, columns, sink); break;
    case ArchiveKind::Month: FillArchiveGrid(helper.MonthArchive, columns, sink); break;
    case ArchiveKind::TotalDay: FillTotalArchiveGrid(helper.TotalDayArchive, columns, sink); break;
    default: FillTotalArchiveGrid(helper.TotalMonthArchive, columns, sink); break;
    }
    return Read(sink);
}

class ArchiveTables : public testing::Test {
protected:
    void SetUp() override
    {
        frame_ = std::make_unique<TDax_Frame>();
        frame_->BuildPageTree();
        frame_->SetOptions(&options_);
    }

    // Loads the data file of an instrument and refills the grids, as a load does.
    void LoadInstrument(daxsim::InstrumentState state)
    {
        daxsim::Instrument instrument(std::move(state), 1);
        frame_->Helper().LoadDataFileBytes(daxsim::DataFileBytesOfInstrument(instrument));
        Refill();
    }

    void Refill()
    {
        DaxHelperLocker lock(&frame_->Helper());
        frame_->FillArchiveTables();
    }

    TGoodTable& Grid(uint32_t part, int32_t kind)
    {
        TGoodTable* grid = frame_->ArchiveGrid(part, kind);
        EXPECT_NE(grid, nullptr) << kPartNames[part] << " " << kKindNames[kind];
        return *grid;
    }

    TGoodTable& Journal(const char* name) { return *frame_->findChild<TGoodTable*>(QString::fromUtf8(name)); }

    DisplayOptions options_;
    std::unique_ptr<TDax_Frame> frame_;
};

TEST_F(ArchiveTables, EachGridShowsItsOwnKindAndPart)
{
    LoadInstrument(daxsim::DemoState(daxsim::Model::Dax02));

    // Rows per kind: every hour from 1 May 00:00 to 14 June 09:00, the days from 16 March to
    // 13 June, the months March to May.
    const size_t kRows[ArchiveKind::Count] = {1066, 90, 3, 90, 3};
    std::set<std::vector<std::string>> captionsSeen;
    for (uint32_t part = 0; part < ArchivePart::Count; ++part) {
        for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind) {
            SCOPED_TRACE(std::string(kPartNames[part]) + " " + kKindNames[kind]);
            const TGoodTable& grid = Grid(part, kind);
            const GridContents shown = Read(grid);
            EXPECT_EQ(grid.objectName().toStdString(), std::string(kPartNames[part]) + kKindNames[kind] + "Archive");
            EXPECT_EQ(shown.Rows.size(), kRows[kind]);
            EXPECT_EQ(shown, Expected(frame_->Helper(), part, kind, options_));
            EXPECT_EQ(shown.Captions.at(0), "Дата");
            EXPECT_EQ(shown.Captions.size() > 1 && shown.Captions[1] == "Час", kind == ArchiveKind::Hour);
            for (int32_t col = 0; col < grid.GetColCount(); ++col) {
                EXPECT_TRUE(grid.GetColReadOnly(col));
                EXPECT_EQ(grid.GetColTypes(col), ColType::Text);
            }
            captionsSeen.insert(shown.Captions);
        }
    }
    // The parts' schemes differ, so the parts' layouts do: a grid filled with another part's
    // columns would not match.
    EXPECT_GE(captionsSeen.size(), 12u);

    VectorTableSink notStaff;
    VectorTableSink operatorJournal;
    {
        DaxHelperLocker lock(&frame_->Helper());
        FillNotStaffJournalGrid(frame_->Helper().NotStaffJournal, notStaff);
        FillOperatorJournalGrid(frame_->Helper().OperatorJournal, frame_->Helper().HoldingRegisterImage, options_,
                                operatorJournal);
    }
    EXPECT_EQ(Read(Journal("NotStaffArchive")), Read(notStaff));
    EXPECT_EQ(Read(Journal("JournalArchive")), Read(operatorJournal));
    EXPECT_EQ(Journal("JournalArchive").GetRowCount(), 8);
}

// No header is cut short: every column of every archive and journal grid is at least as wide
// as its caption, with the long flag captions of full masks ("Флаги событий" over eight bits
// of ten pixels each) and the short ones of lists alike.
TEST_F(ArchiveTables, EveryColumnIsAsWideAsItsCaption)
{
    LoadInstrument(daxsim::DemoState(daxsim::Model::Dax02));
    std::vector<TGoodTable*> grids = {&Journal("NotStaffArchive"), &Journal("JournalArchive")};
    for (uint32_t part = 0; part < ArchivePart::Count; ++part)
        for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind)
            grids.push_back(&Grid(part, kind));
    bool eventFlagsSeen = false;
    for (const int32_t bitsFormat : {0, 1}) {
        options_.BitsFormat = bitsFormat;
        frame_->ApplyOptions();
        for (const TGoodTable* grid : grids) {
            const QHeaderView* header = grid->horizontalHeader();
            const QFontMetrics metrics(header->font());
            const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int32_t col = 0; col < grid->GetColCount(); ++col) {
                const QString caption = grid->GetCaptionsW(col);
                eventFlagsSeen = eventFlagsSeen || caption == QStringLiteral("Флаги событий");
                EXPECT_GE(grid->GetWidths(col), metrics.horizontalAdvance(caption) + margins)
                    << grid->objectName().toStdString() << " \"" << caption.toStdString() << "\", flags format "
                    << bitsFormat;
            }
        }
    }
    EXPECT_TRUE(eventFlagsSeen);
}

TEST_F(ArchiveTables, TheBadCheckWordRowIsRedInEveryHourGrid)
{
    LoadInstrument(daxsim::DemoState(daxsim::Model::Dax01));
    for (uint32_t part = 0; part < ArchivePart::Count; ++part) {
        SCOPED_TRACE(kPartNames[part]);
        const TGoodTable& grid = Grid(part, ArchiveKind::Hour);
        // Reading order starts at the oldest record; the hour of 20 May 13:00 is the bad one.
        const auto bad = static_cast<int32_t>(daxsim::kDemoBadHourIndex);
        for (int32_t row = 0; row < grid.GetRowCount(); ++row)
            EXPECT_EQ(grid.GetCellsTextColor(row, 0), row == bad ? kCellRed : kCellBlack) << row;
        for (int32_t col = 0; col < grid.GetColCount(); ++col)
            EXPECT_EQ(grid.GetCellsTextColor(bad, col), kCellRed) << col;
    }
}

TEST_F(ArchiveTables, EmptyVectorsGiveHeadersOnly)
{
    for (uint32_t part = 0; part < ArchivePart::Count; ++part) {
        for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind) {
            const TGoodTable& grid = Grid(part, kind);
            EXPECT_GE(grid.GetColCount(), 1) << kPartNames[part] << kKindNames[kind];
            EXPECT_EQ(grid.GetRowCount(), 0);
        }
    }
    EXPECT_EQ(Journal("NotStaffArchive").GetColCount(), 4);
    EXPECT_EQ(Journal("NotStaffArchive").GetRowCount(), 0);
    EXPECT_EQ(Journal("JournalArchive").GetColCount(), 4);
    EXPECT_EQ(Journal("JournalArchive").GetRowCount(), 0);
}

TEST_F(ArchiveTables, ARefillAfterASmallerLoadLeavesNoOldRows)
{
    LoadInstrument(daxsim::DemoState(daxsim::Model::Dax01));
    ASSERT_EQ(Grid(ArchivePart::HeatSystem1, ArchiveKind::Hour).GetRowCount(), 1066);
    testsupport::PutCraftedArchives(frame_->Helper());
    Refill();
    for (uint32_t part = 0; part < ArchivePart::Count; ++part) {
        for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind)
            EXPECT_EQ(Read(Grid(part, kind)), Expected(frame_->Helper(), part, kind, options_))
                << kPartNames[part] << kKindNames[kind];
    }
    EXPECT_EQ(Grid(ArchivePart::HeatSystem1, ArchiveKind::Hour).GetRowCount(), 2);
    EXPECT_EQ(Grid(ArchivePart::General, ArchiveKind::Day).GetRowCount(), 0);
    EXPECT_EQ(Journal("NotStaffArchive").GetRowCount(), 2);
    EXPECT_EQ(Journal("JournalArchive").GetRowCount(), 1);
}

// The display options reach the grids at once, whatever the C library's locale.
class ArchiveTablesOptions : public testsupport::UnderLocale {
protected:
    void SetUp() override
    {
        UnderLocale::SetUp();
        frame_ = std::make_unique<TDax_Frame>();
        frame_->BuildPageTree();
        frame_->SetOptions(&options_);
        testsupport::PutCraftedArchives(frame_->Helper());
        DaxHelperLocker lock(&frame_->Helper());
        frame_->FillArchiveTables();
    }

    std::string Cell(uint32_t part, int32_t kind, int32_t row, const std::string& caption)
    {
        const TGoodTable& grid = *frame_->ArchiveGrid(part, kind);
        for (int32_t col = 0; col < grid.GetColCount(); ++col)
            if (grid.GetCaptions(col) == caption)
                return grid.GetCells(row, col);
        ADD_FAILURE() << "no column " << caption;
        return {};
    }

    // A number text with the system's decimal separator.
    static std::string Separated(std::string text)
    {
        std::replace(text.begin(), text.end(), '.', TDax_Frame::SystemDecimalSeparator());
        return text;
    }

    DisplayOptions options_;
    std::unique_ptr<TDax_Frame> frame_;
};

TEST_P(ArchiveTablesOptions, SeparatorModesReachTheGrids)
{
    // Mode 0 shows the system's separator, which the C library's locale does not change.
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 0, "Q1(ГДж)"), Separated("1.250"));
    options_.CommaSeparator = 1;
    frame_->ApplyOptions();
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 0, "Q1(ГДж)"), "1,250");
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 1, "t1(°C)"), "-15,25");
    options_.CommaSeparator = 2;
    frame_->ApplyOptions();
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 0, "Q1(ГДж)"), "1.250");
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 1, "t1(°C)"), "-15.25");
}

TEST_P(ArchiveTablesOptions, TimeFormatShowsDaysInTheDurationColumns)
{
    EXPECT_EQ(Cell(ArchivePart::General, ArchiveKind::TotalDay, 0, "Твкл"), "1166:40");
    options_.TimeFormat = 1;
    frame_->ApplyOptions();
    EXPECT_EQ(Cell(ArchivePart::General, ArchiveKind::TotalDay, 0, "Твкл"), "48-сут 14:40");
}

TEST_P(ArchiveTablesOptions, ExactCountersTakeSixDecimalsAtTheirNextShow)
{
    // Q1 of heat system 1: integer part 12, fraction 0.25.
    {
        DaxHelperLocker lock(&frame_->Helper());
        testsupport::SetInputRegister(frame_->Helper(), 30217, 0);
        testsupport::SetInputRegister(frame_->Helper(), 30218, 12);
        const uint32_t quarter = std::bit_cast<uint32_t>(0.25f);
        testsupport::SetInputRegister(frame_->Helper(), 30219, static_cast<uint16_t>(quarter >> 16));
        testsupport::SetInputRegister(frame_->Helper(), 30220, static_cast<uint16_t>(quarter));
        frame_->Bindings().Show(1);
    }
    auto* q1 = frame_->findChild<QWidget*>(QStringLiteral("TS1_Current"))->findChild<QLineEdit*>(QStringLiteral("Q1Current"));
    ASSERT_NE(q1, nullptr);
    EXPECT_EQ(q1->text().toStdString(), Separated("000000012.250"));

    options_.AccuracyCounters = true;
    options_.CommaSeparator = 1;
    frame_->ApplyOptions();
    size_t counters = 0;
    frame_->Bindings().ForEach(-1, [&](ExchangeInfo& binding) {
        if (binding.GetType() == ExchangeTypeCode::Exact) {
            ++counters;
            EXPECT_EQ(binding.Format(), "%016.6f") << binding.GetName();
        }
    });
    EXPECT_GT(counters, 0u);
    // What is shown keeps its text until it is shown again; the grids are rebuilt at once.
    EXPECT_EQ(q1->text().toStdString(), Separated("000000012.250"));
    EXPECT_EQ(Cell(ArchivePart::HeatSystem1, ArchiveKind::Hour, 0, "Q1(ГДж)"), "1,250");
    {
        DaxHelperLocker lock(&frame_->Helper());
        frame_->Bindings().Show(1);
    }
    EXPECT_EQ(q1->text(), QStringLiteral("000000012,250000"));

    options_.AccuracyCounters = false;
    frame_->ApplyOptions();
    frame_->Bindings().ForEach(-1, [&](ExchangeInfo& binding) {
        if (binding.GetType() == ExchangeTypeCode::Exact) {
            EXPECT_EQ(binding.Format(), "%013.3f") << binding.GetName();
        }
    });
}

DAX_INSTANTIATE_UNDER_LOCALES(ArchiveTablesOptions);

TEST_F(ArchiveTables, ArchivePagesKeepOneSubTab)
{
    std::vector<QTabWidget*> controls;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const char* part : {"General", "TS1", "TS2", "CWS"}) {
        auto* tabs = frame_->findChild<QTabWidget*>(QString::fromUtf8(part) + QStringLiteral("ArchivePageControl"));
        ASSERT_NE(tabs, nullptr) << part;
        ASSERT_EQ(tabs->count(), 5);
        controls.push_back(tabs);
        spies.push_back(std::make_unique<QSignalSpy>(tabs, &QTabWidget::currentChanged));
    }
    // "Месячный" on heat system 1's archive page.
    ASSERT_EQ(controls[1]->tabText(2), QStringLiteral("Месячный"));
    controls[1]->setCurrentIndex(2);
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]->currentIndex(), 2) << i;
        EXPECT_EQ(spies[i]->count(), 1) << i;
    }
    // Then "Итоговый суточный" on the cold-water page.
    controls[3]->setCurrentIndex(3);
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]->currentIndex(), 3) << i;
        EXPECT_EQ(spies[i]->count(), 2) << i;
    }
}

TEST_F(ArchiveTables, TheTablesFollowTheWindow)
{
    frame_->resize(1036, 640);
    frame_->show();
    for (int32_t pageId : {5, 6, 7, 8, 9, 10}) {
        QWidget* page = frame_->Page(pageId);
        ASSERT_NE(page, nullptr);
        // The grid of the shown sub-tab.
        TGoodTable* grid = nullptr;
        for (TGoodTable* candidate : page->findChildren<TGoodTable*>())
            if (!grid && !candidate->isHidden())
                grid = candidate;
        ASSERT_NE(grid, nullptr);
        std::vector<int> widths;
        for (const QSize size : {QSize(1036, 640), QSize(640, 400), QSize(1200, 700)}) {
            frame_->resize(size);
            static_cast<QStackedWidget*>(page->parentWidget())->setCurrentWidget(page);
            QApplication::processEvents();
            const QRect shown(grid->mapTo(frame_.get(), QPoint(0, 0)), grid->size());
            EXPECT_LE(shown.right(), frame_->width()) << pageId << " at " << size.width();
            EXPECT_LE(shown.bottom(), frame_->height()) << pageId << " at " << size.height();
            widths.push_back(grid->width());
        }
        EXPECT_LT(widths[1], widths[0]) << pageId;
        EXPECT_GT(widths[2], widths[0]) << pageId;
    }
}

// A journal's rows reach the grid's right edge at every width: no empty area with stray row
// lines right of the last column.
TEST_F(ArchiveTables, TheJournalRowsReachTheRightEdge)
{
    LoadInstrument(daxsim::DemoState(daxsim::Model::Dax01));
    frame_->show();
    for (int32_t pageId : {9, 10}) {
        QWidget* page = frame_->Page(pageId);
        TGoodTable* grid = page->findChild<TGoodTable*>();
        ASSERT_NE(grid, nullptr);
        for (const QSize size : {QSize(1036, 640), QSize(1600, 900), QSize(1200, 300)}) {
            frame_->resize(size);
            static_cast<QStackedWidget*>(page->parentWidget())->setCurrentWidget(page);
            QApplication::processEvents();
            int columns = 0;
            for (int32_t col = 0; col < grid->GetColCount(); ++col)
                columns += grid->GetWidths(col);
            EXPECT_GE(columns, grid->viewport()->width()) << pageId << " at " << size.width() << "x" << size.height();
        }
    }
}

// Whether each averaging binding of a group averages: (averaging, not averaging).
std::pair<size_t, size_t> Averaging(TDax_Frame& frame, int32_t group)
{
    std::pair<size_t, size_t> counts;
    frame.Bindings().ForEach(group, [&](ExchangeInfo& binding) {
        bool on = false;
        if (const auto* f = dynamic_cast<const AveragingExchangeInfo<float>*>(&binding))
            on = f->AveragingEnabled();
        else if (const auto* w = dynamic_cast<const AveragingExchangeInfo<uint16_t>*>(&binding))
            on = w->AveragingEnabled();
        else
            return;
        ++(on ? counts.first : counts.second);
    });
    return counts;
}

TEST_F(ArchiveTables, TheHiddenAveragingSwitchActsOnTheMeasuringChannels)
{
    auto* enable = frame_->findChild<QCheckBox*>(QStringLiteral("AveragingEnable"));
    auto* reset = frame_->findChild<QPushButton*>(QStringLiteral("AveragingReset"));
    ASSERT_NE(enable, nullptr);
    ASSERT_NE(reset, nullptr);
    EXPECT_TRUE(enable->isHidden());
    EXPECT_TRUE(reset->isHidden());
    const auto before = Averaging(*frame_, 0);
    ASSERT_GT(before.second, 0u);
    EXPECT_EQ(before.first, 0u);

    enable->click();
    EXPECT_EQ(Averaging(*frame_, 0), std::make_pair(before.second, size_t{0}));
    // Only the measuring channels average.
    EXPECT_EQ(Averaging(*frame_, -1).first, before.second);
    reset->click();
    EXPECT_EQ(Averaging(*frame_, 0).first, before.second);
    enable->click();
    EXPECT_EQ(Averaging(*frame_, 0), before);
}

} // namespace
