// The device frame's archive and journal tables, the display options over the bindings, the
// archive pages' shared sub-tab and the averaging controls of the measuring channels.

#include "DaxFrame.h"

#include "controls/GoodTable.h"
#include "presentation/ArchiveTables.h"
#include "presentation/ExchangeOptions.h"
#include "presentation/qt/GoodTableSink.h"

#include <QCheckBox>
#include <QLocale>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <array>
#include <optional>

namespace {

// Name prefixes of each archive part's panel, page control and grids, by ArchivePart.
constexpr const char* kPartPrefixes[ArchivePart::Count] = {"TS1", "TS2", "CWS", "General"};
// Grid names after the prefix, by ArchiveKind.
constexpr const char* kKindGrids[ArchiveKind::Count] = {"HourArchive", "DayArchive", "MonthArchive",
                                                       "TotalDayArchive", "TotalMonthArchive"};
// The measuring channels' binding group, which alone averages.
constexpr int32_t kMeasuringChannelsGroup = 0;

QString GridName(uint32_t part, int32_t kind)
{
    return QString::fromUtf8(kPartPrefixes[part]) + QString::fromUtf8(kKindGrids[kind]);
}

// The frame's grids as the table fill sees them.
class FrameTableSinks : public ArchiveTableSinks {
public:
    explicit FrameTableSinks(const TDax_Frame& frame)
    {
        for (uint32_t part = 0; part < ArchivePart::Count; ++part)
            for (int32_t kind = 0; kind < ArchiveKind::Count; ++kind)
                if (TGoodTable* grid = frame.ArchiveGrid(part, kind))
                    archives_[part][kind].emplace(*grid);
        if (auto* grid = frame.findChild<TGoodTable*>(QStringLiteral("NotStaffArchive")))
            notStaff_.emplace(*grid);
        if (auto* grid = frame.findChild<TGoodTable*>(QStringLiteral("JournalArchive")))
            operator_.emplace(*grid);
    }

    TableSink* Archive(uint32_t part, int32_t kind) override { return Sink(archives_.at(part).at(kind)); }
    TableSink* NotStaffJournal() override { return Sink(notStaff_); }
    TableSink* OperatorJournal() override { return Sink(operator_); }

private:
    static TableSink* Sink(std::optional<GoodTableSink>& sink) { return sink ? &*sink : nullptr; }

    std::array<std::array<std::optional<GoodTableSink>, ArchiveKind::Count>, ArchivePart::Count> archives_;
    std::optional<GoodTableSink> notStaff_;
    std::optional<GoodTableSink> operator_;
};

} // namespace

char TDax_Frame::SystemDecimalSeparator()
{
    // Separator mode 0 stands for the system's separator; one that is not a plain comma or
    // point (no locale here has one) reads as a point.
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

void TDax_Frame::ApplyOptions()
{
    if (options_ == nullptr)
        return;
    ::ApplyOptions(bindings_, *options_, SystemDecimalSeparator());
    // A read all may be committing records at this moment.
    DaxHelperLocker lock(&daxHelper_);
    FillArchiveTables();
}

void TDax_Frame::FillArchiveTables()
{
    const DisplayOptions options = options_ ? *options_ : DisplayOptions{};
    FrameTableSinks sinks(*this);
    ::FillArchiveTables(daxHelper_, options, SystemDecimalSeparator(), sinks);
}

TGoodTable* TDax_Frame::ArchiveGrid(uint32_t part, int32_t kind) const
{
    if (part >= ArchivePart::Count || kind < 0 || kind >= ArchiveKind::Count)
        return nullptr;
    return findChild<TGoodTable*>(GridName(part, kind));
}

void TDax_Frame::ConnectArchivePages()
{
    for (const char* prefix : kPartPrefixes) {
        auto* tabs = findChild<QTabWidget*>(QString::fromUtf8(prefix) + QStringLiteral("ArchivePageControl"));
        if (tabs == nullptr)
            continue;
        connect(tabs, &QTabWidget::currentChanged, this, [this, tabs](int) { ArchivePageControlChange(tabs); });
    }
    if (auto* enable = findChild<QCheckBox*>(QStringLiteral("AveragingEnable")))
        connect(enable, &QCheckBox::clicked, this, [this] { AveragingEnableClick(); });
    if (auto* reset = findChild<QPushButton*>(QStringLiteral("AveragingReset")))
        connect(reset, &QPushButton::clicked, this, [this] { AveragingResetClick(); });
}

void TDax_Frame::ArchivePageControlChange(QTabWidget* sender)
{
    // Setting the others raises their own change signals, which end here.
    if (archiveTabsChanging_ || sender == nullptr)
        return;
    const QScopedValueRollback guard(archiveTabsChanging_, true);
    const int index = sender->currentIndex();
    for (const char* prefix : kPartPrefixes) {
        auto* tabs = findChild<QTabWidget*>(QString::fromUtf8(prefix) + QStringLiteral("ArchivePageControl"));
        if (tabs != nullptr && tabs != sender)
            tabs->setCurrentIndex(index);
    }
}

void TDax_Frame::AveragingEnableClick()
{
    const auto* enable = findChild<QCheckBox*>(QStringLiteral("AveragingEnable"));
    EnableGroupAveraging(bindings_, kMeasuringChannelsGroup, enable != nullptr && enable->isChecked());
}

void TDax_Frame::AveragingResetClick()
{
    ResetGroupAveraging(bindings_, kMeasuringChannelsGroup);
}
