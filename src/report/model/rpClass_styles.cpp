#include "rpClass_styles.h"

#include "rpClass_datasets.h"
#include "rpClass_memo.h"
#include "rpClass_register.h"
#include "rpRes.h"
#include "rpStreams.h"
#include "rpXML.h"
#include "rpXMLSerializer.h"

#include "report/core/PropertyRegistry.h"
#include "report/script/sc_iconsts.h"

#include <algorithm>

namespace {

// Letter case ignored for ASCII letters only, as the data-set list compares user names.
bool SameTextAscii(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

// --- TrpDataSetItem

const ScriptClassInfo& TrpDataSetItem::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDataSetItem"), nullptr};
    return info;
}

TrpDataSet* TrpDataSetItem::DataSet() const
{
    return dynamic_cast<TrpDataSet*>(dataSet_.data());
}

void TrpDataSetItem::Bind(TrpDataSet* dataSet)
{
    dataSet_ = dataSet;
    bound_ = dataSet != nullptr;
    if (dataSet != nullptr && list_ != nullptr)
        list_->Watch(dataSet);
}

void TrpDataSetItem::SetDataSet(TrpDataSet* dataSet)
{
    Bind(dataSet);
    dataSetName_ = dataSet != nullptr ? dataSet->UserName() : QString();
}

QString TrpDataSetItem::DataSetName() const
{
    const TrpDataSet* bound = DataSet();
    return bound != nullptr ? bound->UserName() : dataSetName_;
}

void TrpDataSetItem::SetDataSetName(const QString& name)
{
    dataSetName_ = name;
    if (name.isEmpty()) {
        Bind(nullptr);
        return;
    }
    TrpComponent* report = list_ != nullptr ? list_->Report() : nullptr;
    if (report != nullptr)
        Bind(dynamic_cast<TrpDataSet*>(report->FindDataSet(DataSet(), name)));
}

void TrpDataSetItem::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    using I = TrpDataSetItem;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Reference<I, TrpDataSet>(c, "DataSet", &I::DataSet, &I::SetDataSet);
    rpreg::Str<I>(c, "DataSetName", &I::DataSetName, &I::SetDataSetName);
}

// --- TrpReportDataSets

ScriptObject* TrpReportDataSets::AddItem()
{
    items_.push_back(std::make_unique<TrpDataSetItem>(this));
    return items_.back().get();
}

TrpDataSetItem* TrpReportDataSets::Add(TrpDataSet* dataSet)
{
    auto* item = static_cast<TrpDataSetItem*>(AddItem());
    item->SetDataSet(dataSet);
    return item;
}

void TrpReportDataSets::DropGone()
{
    const auto gone = std::remove_if(items_.begin(), items_.end(), [](const auto& item) { return item->DataSetGone(); });
    if (gone == items_.end())
        return;
    items_.erase(gone, items_.end());
    if (OnDropped)
        OnDropped();
}

TrpReportDataSets::~TrpReportDataSets()
{
    for (const auto& watched : watched_)
        QObject::disconnect(watched.second);
}

void TrpReportDataSets::Watch(TrpDataSet* dataSet)
{
    // Without a report to tie the connection to, the list is tidied before it is used.
    if (report_ == nullptr)
        return;
    for (const auto& watched : watched_) {
        if (watched.first == dataSet)
            return;
    }
    const QMetaObject::Connection connection =
        QObject::connect(dataSet, &QObject::destroyed, report_.data(), [this, dataSet] {
            watched_.erase(std::remove_if(watched_.begin(), watched_.end(),
                                          [dataSet](const auto& watched) { return watched.first == dataSet; }),
                           watched_.end());
            DropGone();
        });
    watched_.emplace_back(dataSet, connection);
}

void TrpReportDataSets::Initialize()
{
    DropGone();
    for (const auto& item : items_) {
        if (TrpDataSet* dataSet = item->DataSet()) {
            dataSet->SetReportRef(report_.data());
            dataSet->Initialize();
        }
    }
}

void TrpReportDataSets::Finalize()
{
    for (const auto& item : items_) {
        if (TrpDataSet* dataSet = item->DataSet())
            dataSet->Finalize();
    }
}

TrpDataSetItem* TrpReportDataSets::Find(const TrpDataSet* dataSet) const
{
    for (const auto& item : items_) {
        if (dataSet != nullptr && item->DataSet() == dataSet)
            return item.get();
    }
    return nullptr;
}

TrpDataSetItem* TrpReportDataSets::Find(const QString& name) const
{
    for (const auto& item : items_) {
        const TrpDataSet* dataSet = item->DataSet();
        if (dataSet != nullptr && SameTextAscii(dataSet->UserName(), name))
            return item.get();
    }
    return nullptr;
}

void TrpReportDataSets::Delete(const QString& name)
{
    const TrpDataSetItem* found = Find(name);
    if (found == nullptr)
        return;
    items_.erase(std::find_if(items_.begin(), items_.end(), [found](const auto& item) { return item.get() == found; }));
}

void TrpReportDataSets::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    items_.erase(items_.begin() + index);
}

void TrpReportDataSets::Rebind()
{
    for (const auto& item : items_) {
        const QString name = item->DataSetName();
        if (!name.isEmpty())
            item->SetDataSetName(name);
    }
}

void TrpReportDataSets::Assign(const TrpReportDataSets& source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const auto& item : source.items_) {
        auto* copy = static_cast<TrpDataSetItem*>(AddItem());
        if (item->DataSet() != nullptr)
            copy->SetDataSet(item->DataSet());
        else
            copy->SetDataSetName(item->DataSetName());
    }
}

// --- TrpStyleItem

const ScriptClassInfo& TrpStyles::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpStyles"), nullptr};
    return info;
}

const ScriptClassInfo& TrpStyleItem::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpStyleItem"), nullptr};
    return info;
}

TrpStyleItem::TrpStyleItem(TrpStyles* styles) : styles_(styles)
{
    font_.SetName(QStringLiteral("Arial"));
    font_.SetSize(10);
    font_.SetCharset(kDefaultCharset);
}

void TrpStyleItem::SetName(const QString& name)
{
    if (styles_ != nullptr) {
        for (int i = 0; i < styles_->Count(); ++i) {
            const TrpStyleItem* other = styles_->Items(i);
            if (other != this && SameName(other->Name(), name))
                throw EComponentError(GetResourcesInstance().Get(u"clDupName").toStdString());
        }
    }
    name_ = name;
}

void TrpStyleItem::CreateUniqueName()
{
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("Style") + QString::number(n);
        if (styles_ == nullptr || styles_->Find(candidate) == nullptr) {
            name_ = candidate;
            return;
        }
    }
}

void TrpStyleItem::Assign(const TrpStyleItem& source)
{
    name_ = source.name_;
    Color = source.Color;
    font_.Assign(source.font_);
    frame_.Assign(source.frame_);
}

void TrpStyleItem::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpFrame::RegisterClass(registry);
    TrpFont::RegisterClass(registry);
    using S = TrpStyleItem;
    RegisteredClass& c = registry.Register(Class(), [] { return std::make_unique<TrpStyleItem>(); });
    c.AddString(QStringLiteral("Name"), GetterOf<S>([](const S& o) { return Variant(o.Name()); }),
                SetterOf<S>([](S& o, const Variant& v) { o.SetName(v.ToString()); }));
    rpreg::Int<S>(c, "Color", &S::Color, std::nullopt, "TColor");
    rpreg::Nested<S, TrpFont>(c, "Font", &S::Font, &S::SetFont);
    rpreg::Nested<S, TrpFrame>(c, "Frame", &S::Frame, &S::SetFrame);
}

// --- TrpStyles

TrpStyleItem* TrpStyles::Add()
{
    items_.push_back(std::make_unique<TrpStyleItem>(this));
    return items_.back().get();
}

void TrpStyles::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    items_.erase(items_.begin() + index);
}

TrpStyleItem* TrpStyles::Find(const QString& name) const
{
    for (const auto& item : items_) {
        if (SameName(item->Name(), name))
            return item.get();
    }
    return nullptr;
}

void TrpStyles::GetList(QStringList& list) const
{
    list.clear();
    for (const auto& item : items_)
        list.append(item->Name());
}

void TrpStyles::Assign(const TrpStyles& source)
{
    if (&source == this)
        return;
    items_.clear();
    Name = source.Name;
    for (const auto& item : source.items_)
        Add()->Assign(*item);
}

void TrpStyles::Apply()
{
    if (report_ == nullptr)
        return;
    for (TrpComponent* object : report_->AllObjects()) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
        if (memo == nullptr)
            continue;
        if (Find(memo->Style()) != nullptr)
            memo->SetStyle(memo->Style());
        else
            memo->SetStyle(QString());
    }
}

void TrpStyles::LoadFromFile(const QString& fileName)
{
    ReadFileWith(fileName, [this](QIODevice& in) { LoadFromStream(in); });
}

void TrpStyles::LoadFromStream(QIODevice& stream)
{
    Clear();
    TrpXMLDocument document;
    document.LoadFromStream(stream);
    TrpXMLItem* root = document.Root();
    if (root->Name().compare(u"style", Qt::CaseInsensitive) == 0)
        LoadFromXMLItem(*root, document.OldVersion());
}

void TrpStyles::LoadFromXMLItem(TrpXMLItem& item, bool oldXMLFormat)
{
    Clear();
    Name = item.Prop(u"Name");
    TrpXMLSerializer serializer;
    serializer.OldFormat = oldXMLFormat;
    for (int i = 0; i < item.Count(); ++i) {
        TrpXMLItem& child = *item.Items(i);
        if (child.Name().compare(u"item", Qt::CaseInsensitive) == 0)
            serializer.XMLToObj(child.Text(), Add());
    }
    Apply();
}

void TrpStyles::SaveToXMLItem(TrpXMLItem& item) const
{
    item.SetName(QStringLiteral("style"));
    item.SetProp(u"Name", Name);
    TrpXMLSerializer serializer;
    for (const auto& style : items_)
        item.Add(QStringLiteral("item"))->SetText(serializer.ObjToXML(style.get()));
}

void TrpStyles::SaveToStream(QIODevice& stream) const
{
    TrpXMLDocument document;
    document.SetAutoIndent(true);
    SaveToXMLItem(*document.Root());
    document.SaveToStream(stream);
}

void TrpStyles::SaveToFile(const QString& fileName) const
{
    SaveFileAtomically(fileName, [this](QIODevice& out) { SaveToStream(out); });
}

// --- TrpStyleSheet

void TrpStyleSheet::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw platform::Exception(FormatScMessage(TscMessage::SListIndexError, QString::number(index)).toStdString());
    sets_.erase(sets_.begin() + index);
}

TrpStyles* TrpStyleSheet::Add()
{
    sets_.push_back(std::make_unique<TrpStyles>());
    return sets_.back().get();
}

TrpStyles* TrpStyleSheet::Find(const QString& name) const
{
    const int index = IndexOf(name);
    return index >= 0 ? Items(index) : nullptr;
}

int TrpStyleSheet::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (SameName(Items(i)->Name, name))
            return i;
    }
    return -1;
}

void TrpStyleSheet::GetList(QStringList& list) const
{
    list.clear();
    for (const auto& set : sets_)
        list.append(set->Name);
}

void TrpStyleSheet::LoadFromFile(const QString& fileName)
{
    ReadFileWith(fileName, [this](QIODevice& in) { LoadFromStream(in); });
}

void TrpStyleSheet::LoadFromStream(QIODevice& stream)
{
    Clear();
    TrpXMLDocument document;
    document.LoadFromStream(stream);
    TrpXMLItem* root = document.Root();
    if (root->Name().compare(u"stylesheet", Qt::CaseInsensitive) != 0)
        return;
    for (int i = 0; i < root->Count(); ++i) {
        TrpXMLItem& child = *root->Items(i);
        if (child.Name().compare(u"style", Qt::CaseInsensitive) == 0)
            Add()->LoadFromXMLItem(child, document.OldVersion());
    }
}

void TrpStyleSheet::SaveToStream(QIODevice& stream) const
{
    TrpXMLDocument document;
    document.SetAutoIndent(true);
    document.Root()->SetName(QStringLiteral("stylesheet"));
    for (const auto& set : sets_)
        set->SaveToXMLItem(*document.Root()->Add());
    document.SaveToStream(stream);
}

void TrpStyleSheet::SaveToFile(const QString& fileName) const
{
    SaveFileAtomically(fileName, [this](QIODevice& out) { SaveToStream(out); });
}
