// The outline of prepared pages and the dictionary of aliases.

#include "rpPreviewPages.h"

#include "rpPreviewPages_internal.h"

#include "report/model/rpXML.h"

using previewpages::IntProp;
using previewpages::IntText;

// --- TrpOutline ------------------------------------------------------------------------------

const ScriptClassInfo& TrpOutline::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpOutline"), &TrpCustomOutline::Class()};
    return info;
}

TrpOutline::TrpOutline(TrpPreviewPages* previewPages) : TrpCustomOutline(previewPages), store_(previewPages) {}

TrpXMLItem* TrpOutline::Root()
{
    return store_->RootItem(QStringLiteral("outline"));
}

int32_t TrpOutline::GetCount()
{
    return CurItem != nullptr ? CurItem->Count() : 0;
}

void TrpOutline::AddItem(const QString& text, int32_t top)
{
    // The engine starts every report page at the root; an entry before that goes there too.
    if (CurItem == nullptr)
        LevelRoot();
    TrpXMLItem* item = CurItem->Add(QStringLiteral("item"));
    item->SetText(QStringLiteral("text=\"") + EscapeXMLText(text) + QStringLiteral("\" page=\"")
                  + IntText(store_->CurPage) + QStringLiteral("\" top=\"") + IntText(top) + u'"');
    CurItem = item;
}

void TrpOutline::LevelDown(int32_t index)
{
    if (CurItem != nullptr)
        CurItem = CurItem->Items(index);
}

void TrpOutline::LevelRoot()
{
    CurItem = Root();
}

void TrpOutline::LevelUp()
{
    if (CurItem != nullptr && CurItem != Root() && CurItem->Parent() != nullptr)
        CurItem = CurItem->Parent();
}

void TrpOutline::GetItem(int32_t index, QString& text, int32_t& page, int32_t& top)
{
    if (CurItem == nullptr)
        return;
    const TrpXMLItem* item = CurItem->Items(index);
    text = item->Prop(u"text");
    page = IntProp(item, u"page", page);
    top = IntProp(item, u"top", top);
}

TrpOutlinePosition TrpOutline::GetCurPosition()
{
    return TrpOutlinePosition{CurItem, CurItem != nullptr ? CurItem->Count() : 0};
}

void TrpOutline::ShiftItems(const TrpOutlinePosition& from, int32_t newTop)
{
    TrpXMLItem* parent = from.Parent;
    if (parent == nullptr || from.Count < 0 || from.Count >= parent->Count())
        return;
    const int32_t delta = newTop - IntProp(parent->Items(from.Count), u"top");
    const int32_t page = store_->CurPage;
    const auto shift = [&](const auto& self, TrpXMLItem* item) -> void {
        item->SetProp(u"page", IntText(page));
        item->SetProp(u"top", IntText(int64_t{IntProp(item, u"top")} + delta));
        for (int i = 0; i < item->Count(); ++i)
            self(self, item->Items(i));
    };
    for (int i = from.Count; i < parent->Count(); ++i)
        shift(shift, parent->Items(i));
}

// --- TrpDictionary ---------------------------------------------------------------------------

void TrpDictionary::Clear()
{
    names_.clear();
    sourceNames_.clear();
    sources_.clear();
}

void TrpDictionary::Add(const QString& name, const QString& sourceName, TrpComponent* obj)
{
    const auto index = static_cast<int32_t>(sourceNames_.size());
    sourceNames_.append(sourceName);
    sources_.emplace_back(obj);
    names_.emplace(name, index);
}

QString TrpDictionary::AddUnique(const QString& base, const QString& sourceName, TrpComponent* obj)
{
    const QString name = CreateUniqueName(base);
    Add(name, sourceName, obj);
    return name;
}

bool TrpDictionary::Contains(QStringView name) const
{
    return names_.find(name) != names_.end();
}

QString TrpDictionary::CreateUniqueName(const QString& base) const
{
    int number = 10000;
    while (number > 1 && !Contains(base + IntText(number)))
        number /= 2;
    while (Contains(base + IntText(number)))
        ++number;
    return base + IntText(number);
}

TrpComponent* TrpDictionary::GetObject(QStringView name) const
{
    const auto found = names_.find(name);
    return found != names_.end() ? sources_[static_cast<size_t>(found->second)].data() : nullptr;
}

QString TrpDictionary::GetSourceName(QStringView name) const
{
    const auto found = names_.find(name);
    return found != names_.end() ? sourceNames_[found->second] : QString();
}

QStringList TrpDictionary::Names() const
{
    QStringList names;
    names.reserve(static_cast<qsizetype>(names_.size()));
    for (const auto& [name, index] : names_)
        names << name;
    return names;
}
