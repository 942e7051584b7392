// The aggregate items of a report run: finding them in the footers of a page, accumulating,
// keep-together blocks, resetting and answering the report's aggregate functions.

#include "rpClass_aggregates.h"

#include "rpClass_bands.h"
#include "rpClass_memo.h"
#include "rpClass_pages.h"
#include "rpClass_report.h"
#include "rpRes.h"
#include "rpUtils.h"

#include "report/core/Conversions.h"

#include <set>

namespace {

TrpAggregateFunction FunctionOfName(const QString& name)
{
    const QString upper = name.trimmed().toUpper();
    if (upper == u"SUM")
        return agSum;
    if (upper == u"AVG")
        return agAvg;
    if (upper == u"MIN")
        return agMin;
    if (upper == u"MAX")
        return agMax;
    return agCount;
}

bool IsTrue(const Variant& value)
{
    return value.Kind() == VariantKind::Boolean && value.AsBoolean();
}

// The expressions between a memo's delimiters, in text order. An opening delimiter without its
// closing one, or an empty pair, ends the search.
template <class Found>
void ForEachExpression(const QString& text, QStringView open, QStringView close, Found found)
{
    if (open.isEmpty() || close.isEmpty())
        return;
    qsizetype from = 0;
    for (;;) {
        const qsizetype position = text.indexOf(open, from);
        if (position < 0)
            return;
        int start = static_cast<int>(position);
        int end = start;
        bool closed = false;
        const QString expression = FindBracketedText(text, open, close, start, end, &closed);
        if (!closed || expression.isEmpty())
            return;
        found(expression);
        from = end + 1;
    }
}

// Bands a memo may come from when the engine moves it into a vertical band.
bool IsTotalBand(const TrpComponent* band)
{
    return band != nullptr && (dynamic_cast<const TrpReportSummary*>(band) != nullptr ||
                               dynamic_cast<const TrpPageFooter*>(band) != nullptr ||
                               dynamic_cast<const TrpFooter*>(band) != nullptr ||
                               dynamic_cast<const TrpGroupFooter*>(band) != nullptr);
}

} // namespace

// --- items ---------------------------------------------------------------------------------

void TrpAggregateItem::Combine(Variant& total, const Variant& value) const
{
    if (total.IsNull()) {
        total = value;
        return;
    }
    if (value.IsNull())
        return;
    switch (AggregateFunction) {
    case agSum:
    case agAvg:
        total = VariantAdd(total, value);
        break;
    case agMin:
        if (VariantCompare(VariantRelation::Less, value, total))
            total = value;
        break;
    case agMax:
        if (VariantCompare(VariantRelation::Greater, value, total))
            total = value;
        break;
    case agCount:
        break;
    }
}

void TrpAggregateItem::EnsureColumn(int32_t column)
{
    if (column >= kMaxAggregateColumns)
        throw platform::Exception(
            FormatResource(GetResourcesInstance().Get(u"rnTooManyColumns"), {Variant(kMaxAggregateColumns)})
                .toStdString());
    // The columns grow as the engine reaches them (there is no fixed bound to write past).
    const size_t needed = static_cast<size_t>(column) + 1;
    if (itemsArray_.size() < needed) {
        itemsArray_.resize(needed, Variant::NullValue());
        itemsCountArray_.resize(needed, 0);
    }
}

void TrpAggregateItem::Calc()
{
    if (Band != nullptr && !Band->Visible() && !CountInvisibleBands)
        return;
    if (report_ != nullptr)
        report_->CurObject = MemoName;
    Variant value = Variant::NullValue();
    if (AggregateFunction != agCount && report_ != nullptr)
        value = report_->Calc(Expression);
    if (IsTrue(value))
        value = Variant(int32_t{1});
    const bool counts = AggregateFunction != agAvg || !value.IsNull();

    if (VColumn >= 1) {
        EnsureColumn(VColumn);
        const auto column = static_cast<size_t>(VColumn);
        if (counts)
            ++itemsCountArray_[column];
        Combine(itemsArray_[column], value);
    } else if (keeping_) {
        if (counts)
            ++tempItemsCount_;
        Combine(tempItemsValue_, value);
    } else {
        lastCount_ = itemsCount_;
        lastValue_ = itemsValue_;
        if (counts)
            ++itemsCount_;
        Combine(itemsValue_, value);
    }
}

void TrpAggregateItem::DeleteValue()
{
    itemsCount_ = lastCount_;
    itemsValue_ = lastValue_;
}

void TrpAggregateItem::Reset(bool full)
{
    if (DontReset && !full && itemsCount_ > 0)
        return;
    itemsCount_ = 0;
    itemsValue_ = Variant::NullValue();
    lastCount_ = 0;
    lastValue_ = Variant::NullValue();
    std::fill(itemsArray_.begin(), itemsArray_.end(), Variant::NullValue());
    std::fill(itemsCountArray_.begin(), itemsCountArray_.end(), 0);
}

void TrpAggregateItem::StartKeep()
{
    if (!IsPageFooter || keeping_)
        return;
    keeping_ = true;
    tempItemsCount_ = 0;
    tempItemsValue_ = Variant::NullValue();
}

void TrpAggregateItem::EndKeep()
{
    if (!IsPageFooter || !keeping_)
        return;
    keeping_ = false;
    itemsCount_ += tempItemsCount_;
    Combine(itemsValue_, tempItemsValue_);
}

int32_t TrpAggregateItem::Count() const
{
    if (itemsArray_.empty())
        return itemsCount_;
    return VColumn >= 0 && static_cast<size_t>(VColumn) < itemsCountArray_.size()
               ? itemsCountArray_[static_cast<size_t>(VColumn)]
               : 0;
}

Variant TrpAggregateItem::Value() const
{
    Variant value = Variant::NullValue();
    if (itemsArray_.empty()) {
        value = itemsValue_;
    } else if (VColumn >= 0 && static_cast<size_t>(VColumn) < itemsArray_.size()) {
        value = itemsArray_[static_cast<size_t>(VColumn)];
    }
    const int32_t count = Count();
    switch (AggregateFunction) {
    case agAvg:
        // No values: Null, shown as 0 below.
        value = count > 0 && !value.IsNull() ? VariantBinary(VariantOp::Divide, value, Variant(count))
                                             : Variant::NullValue();
        break;
    case agCount:
        value = Variant(count);
        break;
    default:
        break;
    }
    return value.IsNull() ? Variant(int32_t{0}) : value;
}

// --- the list ------------------------------------------------------------------------------

TrpAggregateItem& TrpAggregateList::AddItem(const TrpAggregateCall& call, TrpDataBand* dataBand, TrpBand* parentBand,
                                            const QString& memoName)
{
    auto item = std::make_unique<TrpAggregateItem>(report_);
    item->AggregateFunction = FunctionOfName(call.Name);
    const QStringList& arguments = call.Arguments;
    const auto argument = [&arguments](int index) {
        return index < arguments.size() ? arguments[index] : QString();
    };
    const bool isCount = item->AggregateFunction == agCount;
    if (!isCount)
        item->Expression = argument(0);
    const QString bandName = argument(isCount ? 0 : 1);
    const QString flagsText = argument(isCount ? 1 : 2);
    item->Band = dataBand;
    if (!bandName.isEmpty() && report_ != nullptr) {
        if (auto* named = dynamic_cast<TrpDataBand*>(report_->FindObject(bandName)))
            item->Band = named;
    }
    const int32_t flags = flagsText.isEmpty() ? 0 : StrToInt(flagsText);
    item->CountInvisibleBands = (flags & 1) != 0;
    item->DontReset = (flags & 2) != 0;
    item->ParentBand = parentBand;
    item->IsPageFooter = dynamic_cast<TrpPageFooter*>(parentBand) != nullptr;
    item->OriginalName = call.Text.trimmed();
    item->MemoName = memoName;
    item->Reset(true);
    list_.push_back(std::move(item));
    return *list_.back();
}

void TrpAggregateList::ScanMemos(TrpBand* band, TrpDataBand* dataBand)
{
    TrpAggregateScanner scanner;
    scanner.VariableText = [this](const QString& name) -> std::optional<QString> {
        const int index = report_->Variables().IndexOf(name);
        if (index < 0 || name.startsWith(u' '))
            return std::nullopt;
        return VarToStr(report_->Variables().Items(index)->Value);
    };
    scanner.IsDataField = [this](const QString& text) {
        TrpDataSet* dataSet = nullptr;
        QString field;
        report_->GetDatasetAndField(text, dataSet, field);
        return dataSet != nullptr;
    };
    for (TrpComponent* object : band->Objects()) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
        if (memo == nullptr || !memo->AllowExpressions)
            continue;
        TrpBand* parentBand = band;
        if (band->Vertical && IsTotalBand(memo->OriginalBand()))
            parentBand = static_cast<TrpBand*>(memo->OriginalBand());
        const QString delimiters = memo->ExpressionDelimiters.left(255);
        const qsizetype comma = delimiters.indexOf(u',');
        const QString open = comma < 0 ? delimiters : delimiters.left(comma);
        const QString close = comma < 0 ? QString() : delimiters.mid(comma + 1);
        ForEachExpression(memo->Text(), open, close, [&](const QString& expression) {
            std::vector<TrpAggregateCall> calls;
            scanner.Scan(expression, calls);
            for (const TrpAggregateCall& call : calls)
                AddItem(call, dataBand, parentBand, memo->Name());
        });
    }
}

void TrpAggregateList::ScanBand(TrpBand* band, TrpDataBand* dataBand)
{
    // The band and its chain of child bands (a chain never comes back, but a broken file is
    // not trusted to keep that).
    std::set<TrpBand*> seen;
    for (TrpBand* current = band; current != nullptr && seen.insert(current).second; current = current->Child())
        ScanMemos(current, dataBand);
}

void TrpAggregateList::AddCalls(TrpDataBand* dataBand)
{
    if (dataBand->Footer != nullptr)
        ScanBand(dataBand->Footer, dataBand);
    if (dataBand->Group != nullptr) {
        for (const QPointer<TrpBand>& group : dataBand->Group->SubBands) {
            if (group != nullptr && group->Footer != nullptr)
                ScanBand(group->Footer, dataBand);
        }
    }
    if (dataBand->Vertical)
        ScanMemos(dataBand, dataBand);
    for (const QPointer<TrpBand>& detail : dataBand->SubBands) {
        if (auto* detailBand = dynamic_cast<TrpDataBand*>(detail.data()))
            AddCalls(detailBand);
    }
}

void TrpAggregateList::AddItems(TrpReportPage* page)
{
    if (page == nullptr || report_ == nullptr)
        return;
    for (const auto* tree : {&page->SubBands, &page->VSubBands}) {
        for (const QPointer<TrpBand>& band : *tree) {
            if (auto* dataBand = dynamic_cast<TrpDataBand*>(band.data()))
                AddCalls(dataBand);
        }
    }
    TrpDataBand* firstMaster = nullptr;
    for (const QPointer<TrpBand>& band : page->SubBands) {
        if (auto* master = dynamic_cast<TrpMasterData*>(band.data())) {
            firstMaster = master;
            break;
        }
    }
    if (firstMaster == nullptr)
        return;
    for (const ScriptClassInfo* kind : {&TrpPageFooter::Class(), &TrpColumnFooter::Class(), &TrpReportSummary::Class()}) {
        if (TrpBand* band = page->FindBand(*kind))
            ScanBand(band, firstMaster);
    }
}

void TrpAggregateList::AddValue(TrpDataBand* band, int32_t vColumn)
{
    for (const auto& item : list_) {
        if (item->Band == band) {
            item->VColumn = vColumn;
            item->Calc();
        }
    }
}

void TrpAggregateList::DeleteValue(TrpDataBand* band)
{
    for (const auto& item : list_) {
        if (item->Band == band)
            item->DeleteValue();
    }
}

void TrpAggregateList::Reset(TrpBand* parentBand)
{
    for (const auto& item : list_) {
        if (item->ParentBand == parentBand)
            item->Reset();
    }
}

void TrpAggregateList::StartKeep()
{
    for (const auto& item : list_)
        item->StartKeep();
}

void TrpAggregateList::EndKeep()
{
    for (const auto& item : list_)
        item->EndKeep();
}

void TrpAggregateList::ClearValues()
{
    for (const auto& item : list_)
        item->Reset(true);
}

Variant TrpAggregateList::GetValue(TrpBand* parentBand, int32_t vColumn, const QString& name,
                                   const QString& expression, TrpBand* band, int32_t flags)
{
    const TrpAggregateFunction function = FunctionOfName(name);
    const QString trimmed = expression.trimmed();
    for (const auto& item : list_) {
        if (item->ParentBand != parentBand || item->AggregateFunction != function ||
            item->Expression.compare(trimmed, Qt::CaseInsensitive) != 0)
            continue;
        if (band != nullptr && item->Band != band)
            continue;
        if (item->CountInvisibleBands != ((flags & 1) != 0) || item->DontReset != ((flags & 2) != 0))
            continue;
        item->VColumn = vColumn;
        return item->Value();
    }
    return Variant::NullValue();
}

Variant TrpAggregateList::GetValue(TrpBand* parentBand, const QString& text, int32_t vColumn)
{
    const QString trimmed = text.trimmed();
    for (const auto& item : list_) {
        if (item->ParentBand == parentBand && item->OriginalName.compare(trimmed, Qt::CaseInsensitive) == 0) {
            item->VColumn = vColumn;
            return item->Value();
        }
    }
    return Variant::NullValue();
}
