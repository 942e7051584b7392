// AlignChildren: bands and pages place their views by each view's Align.

#include "rpClass.h"

#include "report/core/FormatSettings.h"
#include "report/core/Formats.h"

#include <algorithm>

namespace {

// Views closer than this count as touching, not overlapping.
constexpr double kAlignTolerance = 0.0001;

// The sort key of a view: "1" and Left as "%9.2f" for Left >= 0, "0" and -Left for a negative
// Left, so negative Lefts come first, ordered by magnitude.
QString AlignKey(double left)
{
    const bool negative = left < 0;
    const Variant value(negative ? -left : left);
    return (negative ? QStringLiteral("0") : QStringLiteral("1")) +
           Format(u"%9.2f", std::span<const Variant>(&value, 1), FormatSettings::C());
}

bool OverlapVertically(const TrpComponent& a, const TrpComponent& b)
{
    const double aTop = a.AbsTop();
    const double bTop = b.AbsTop();
    return aTop < bTop + b.Height() - kAlignTolerance && bTop < aTop + a.Height() - kAlignTolerance;
}

} // namespace

void TrpComponent::AlignChildren()
{
    struct Entry {
        QString Key;
        TrpComponent* View;
    };
    std::vector<Entry> views;
    for (TrpComponent* child : objects_) {
        if (child->IsView())
            views.push_back(Entry{AlignKey(child->Left()), child});
    }
    // Equal keys keep the children's order.
    std::stable_sort(views.begin(), views.end(), [](const Entry& a, const Entry& b) { return a.Key < b.Key; });

    const int count = static_cast<int>(views.size());
    for (int i = 0; i < count; ++i) {
        TrpComponent& view = *views[static_cast<size_t>(i)].View;
        const TrpAlign align = view.GetAlign();
        if (align != baLeft && align != baWidth)
            continue;
        const TrpComponent* neighbour = nullptr;
        for (int j = i - 1; j >= 0; --j) {
            const TrpComponent& candidate = *views[static_cast<size_t>(j)].View;
            if (align == baWidth && candidate.Left() > view.Left())
                continue;
            if (OverlapVertically(candidate, view)) {
                neighbour = &candidate;
                break;
            }
        }
        view.SetLeft(neighbour != nullptr ? neighbour->Left() + neighbour->Width() : 0);
    }

    for (int i = count - 1; i >= 0; --i) {
        TrpComponent& view = *views[static_cast<size_t>(i)].View;
        const TrpAlign align = view.GetAlign();
        if (align != baRight && align != baWidth)
            continue;
        const TrpComponent* neighbour = nullptr;
        for (int j = i + 1; j < count; ++j) {
            const TrpComponent& candidate = *views[static_cast<size_t>(j)].View;
            if (align == baWidth && candidate.Left() + candidate.Width() < view.Left() + view.Width())
                continue;
            if (OverlapVertically(candidate, view)) {
                neighbour = &candidate;
                break;
            }
        }
        const double edge = neighbour != nullptr ? neighbour->Left() : Width();
        if (align == baRight)
            view.SetLeft(edge - view.Width());
        else
            view.SetWidth(edge - view.Left());
    }

    for (const Entry& entry : views) {
        TrpComponent& view = *entry.View;
        switch (view.GetAlign()) {
        case baCenter:
            view.SetLeft((Width() - view.Width()) / 2);
            break;
        case baBottom:
            view.SetTop(Height() - view.Height());
            break;
        case baClient:
            view.SetLeft(0);
            view.SetTop(0);
            view.SetWidth(Width());
            view.SetHeight(Height());
            break;
        default:
            break;
        }
    }
}
