#include "rpDesgn.h"

#include "report/core/Rounding.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_memo.h"

namespace {

// The component the designer window reads; a weak reference, so that a component freed in
// any order never leaves a dangling current one.
QPointer<TrpDesigner>& CurrentComponent()
{
    static QPointer<TrpDesigner> component;
    return component;
}

constexpr double kPixelsPerMm = 3.77953;
constexpr double kCharWidth = 9.6;
constexpr double kCharHeight = 17;

} // namespace

TrpDesigner::TrpDesigner(QObject* owner) : QObject(owner)
{
    defaultFont_.SetName(QStringLiteral("Arial"));
    defaultFont_.SetSize(10);
    CurrentComponent() = this;
}

TrpDesigner::~TrpDesigner()
{
    if (CurrentComponent() == this)
        CurrentComponent() = nullptr;
}

void TrpDesigner::ApplyDeviceFrameValues()
{
    defaultFont_.SetName(QStringLiteral("Arial"));
    defaultFont_.SetHeight(-13);
}

TrpDesigner* CurrentDesignerComponent()
{
    return CurrentComponent().data();
}

void SetCurrentDesignerComponent(TrpDesigner* component)
{
    CurrentComponent() = component;
}

bool CheckOp(TrpDesignerRestriction restriction)
{
    const TrpDesigner* component = CurrentDesignerComponent();
    return component == nullptr || (component->Restrictions & RestrictionBit(restriction)) == 0;
}

double mmToUnits(double mm, TrpDesignerUnits units, bool horizontal)
{
    switch (units) {
    case duCM:
        return mm / 10;
    case duInches:
        return mm / 25.4;
    case duPixels:
        return mm * 96 / 25.4;
    case duChars:
        return RoundHalfEven(mm * kPixelsPerMm / (horizontal ? kCharWidth : kCharHeight));
    }
    return mm;
}

double UnitsTomm(double value, TrpDesignerUnits units, bool horizontal)
{
    switch (units) {
    case duCM:
        return value * 10;
    case duInches:
        return value * 25.4;
    case duPixels:
        return value / 96 * 25.4;
    case duChars:
        return RoundHalfEven(value) * (horizontal ? kCharWidth : kCharHeight) / kPixelsPerMm;
    }
    return value;
}

TSampleFormat::TSampleFormat() : memo_(std::make_unique<TrpMemoView>())
{
    if (const TrpDesigner* component = CurrentDesignerComponent()) {
        memo_->SetFont(component->DefaultFont());
        memo_->RTLReading = component->RTLLanguage;
        memo_->SetParentFont(component->MemoParentFont);
    }
}

TSampleFormat::~TSampleFormat() = default;

void TSampleFormat::ApplySample(TrpCustomMemoView& memo) const
{
    memo.Color = memo_->Color;
    if (dynamic_cast<TrpDMPMemoView*>(&memo) == nullptr)
        memo.SetFont(memo_->Font());
    memo.SetFrame(memo_->Frame());
    memo.HAlign = memo_->HAlign;
    memo.VAlign = memo_->VAlign;
    memo.RTLReading = memo_->RTLReading;
    memo.SetParentFont(memo_->ParentFont());
}

void TSampleFormat::SetAsSample(const TrpCustomMemoView& memo)
{
    memo_->Color = memo.Color;
    memo_->SetFont(memo.Font());
    memo_->SetFrame(memo.Frame());
    memo_->HAlign = memo.HAlign;
    memo_->VAlign = memo.VAlign;
    memo_->RTLReading = memo.RTLReading;
    memo_->SetParentFont(memo.ParentFont());
}
