#include "rpClass_datasets.h"

#include "rpClass_register.h"
#include "rpRes.h"
#include "rpTaggedValues.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"

#include <algorithm>

// --- TrpDialogComponent

const ScriptClassInfo& TrpDialogComponent::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDialogComponent"), &TrpReportComponent::Class()};
    return info;
}

TrpDialogComponent::TrpDialogComponent()
{
    SetComponentStyle(rpComponentStyle() & ~SetBit(csPreviewVisible));
    SetWidth(kDialogComponentSize);
    SetHeight(kDialogComponentSize);
}

TrpDialogComponent::TrpDialogComponent(TrpComponent* owner) : TrpDialogComponent()
{
    AttachTo(owner);
}

TrpDialogComponent::~TrpDialogComponent()
{
    component_.reset();
}

namespace {

// A position as the defined properties keep it: rounded to whole pixels, within 32 bits.
int32_t StoredPosition(double value)
{
    return RoundHalfEvenClamped(value, INT32_MIN, INT32_MAX);
}

} // namespace

void TrpDialogComponent::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpReportComponent::RegisterClass(registry);
    RegisteredClass& c = registry.Register(Class());
    c.AcceptsChild = [](const ScriptObject&, const ScriptClassInfo&) { return false; };
    c.WriteDefined = [](const ScriptObject& o, TrpValueWriter& writer) {
        const auto& component = static_cast<const TrpDialogComponent&>(o);
        if (component.Report() == nullptr)
            return;
        writer.WritePropName(u"pLeft");
        writer.WriteInteger(StoredPosition(component.Left()));
        writer.WritePropName(u"pTop");
        writer.WriteInteger(StoredPosition(component.Top()));
    };
    c.ReadDefined = [](ScriptObject& o, const QString& name, TrpValueReader& reader) {
        auto& component = static_cast<TrpDialogComponent&>(o);
        if (name == u"pLeft") {
            component.SetLeft(reader.ReadInt32());
            return true;
        }
        if (name == u"pTop") {
            component.SetTop(reader.ReadInt32());
            return true;
        }
        return false;
    };
}

// --- TrpDataSet

const ScriptClassInfo& TrpDataSet::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpDataSet"), &TrpDialogComponent::Class()};
    return info;
}

TrpDataSet::TrpDataSet()
{
    TrpGlobalDataSetList::Instance().Add(this);
}

TrpDataSet::TrpDataSet(TrpComponent* owner) : TrpDataSet()
{
    AttachTo(owner);
}

TrpDataSet::~TrpDataSet()
{
    // Out of the list before anything of the object goes, and without holding the list's
    // lock while the rest of it is destroyed (that may reach the list again).
    TrpGlobalDataSetList::Instance().Remove(this);
}

void TrpDataSet::SetUserName(const QString& value)
{
    if (value.trimmed().isEmpty())
        throw EComponentError(GetResourcesInstance().Get(u"prInvProp").toStdString());
    userName_ = value;
}

void TrpDataSet::SetName(const QString& value)
{
    TrpDialogComponent::SetName(value);
    if (!value.isEmpty() && userName_.isEmpty())
        SetUserName(value);
}

QString TrpDataSet::GetDisplayText(const QString&)
{
    return QString();
}

int32_t TrpDataSet::GetDisplayWidth(const QString&)
{
    return 10;
}

TrpFieldType TrpDataSet::GetFieldType(const QString&)
{
    return fftNumeric;
}

Variant TrpDataSet::GetValue(const QString&)
{
    return Variant::NullValue();
}

void TrpDataSet::Initialize() {}
void TrpDataSet::Finalize() {}

void TrpDataSet::Open()
{
    if (OnOpen)
        OnOpen(*this);
}

void TrpDataSet::Close()
{
    if (OnClose)
        OnClose(*this);
}

void TrpDataSet::First()
{
    recNo_ = 0;
    eof_ = false;
    if (OnFirst)
        OnFirst(*this);
}

void TrpDataSet::Next()
{
    eof_ = false;
    ++recNo_;
    if (RangeEnd == reCount && recNo_ >= RangeEndCount) {
        recNo_ = RangeEndCount - 1;
        eof_ = true;
        return;
    }
    if (OnNext)
        OnNext(*this);
}

void TrpDataSet::Prior()
{
    --recNo_;
    if (OnPrior)
        OnPrior(*this);
}

bool TrpDataSet::Eof()
{
    bool result = RangeEnd == reCount && (recNo_ >= RangeEndCount || eof_);
    if (OnCheckEOF)
        OnCheckEOF(*this, result);
    return result;
}

int32_t TrpDataSet::FieldsCount()
{
    return 0;
}

bool TrpDataSet::IsBlobField(const QString&)
{
    return false;
}

int32_t TrpDataSet::RecordCount()
{
    return RangeBegin == rbFirst && RangeEnd == reCount ? RangeEndCount : 0;
}

void TrpDataSet::AssignBlobTo(const QString&, QIODevice&) {}
void TrpDataSet::AssignBlobTo(const QString&, TrpWideStrings&) {}

void TrpDataSet::GetFieldList(QStringList& list)
{
    list.clear();
}

bool TrpDataSet::HasField(const QString& fieldName)
{
    QStringList fields;
    GetFieldList(fields);
    return std::any_of(fields.cbegin(), fields.cend(),
                       [&](const QString& f) { return f.compare(fieldName, Qt::CaseInsensitive) == 0; });
}

void TrpDataSet::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpDialogComponent::RegisterClass(registry);
    const EnumTypeInfo& rangeBegin =
        registry.AddEnum(QStringLiteral("TrpRangeBegin"), {QStringLiteral("rbFirst"), QStringLiteral("rbCurrent")});
    const EnumTypeInfo& rangeEnd = registry.AddEnum(
        QStringLiteral("TrpRangeEnd"), {QStringLiteral("reLast"), QStringLiteral("reCurrent"), QStringLiteral("reCount")});
    registry.AddEnum(QStringLiteral("TrpFieldType"),
                     {QStringLiteral("fftNumeric"), QStringLiteral("fftString"), QStringLiteral("fftBoolean")});
    using T = TrpDataSet;
    RegisteredClass& c = registry.Register(Class());
    // The events are the application's (method references), which files do not hold.
    rpreg::Bool<T>(c, "Enabled", &T::Enabled, true);
    rpreg::Enum<T, TrpRangeBegin>(c, "RangeBegin", rangeBegin, &T::RangeBegin, rbFirst);
    rpreg::Enum<T, TrpRangeEnd>(c, "RangeEnd", rangeEnd, &T::RangeEnd, reLast);
    c.AddInteger(QStringLiteral("RangeEndCount"), GetterOf<T>([](const T& o) { return Variant(o.RangeEndCount); }),
                 SetterOf<T>([](T& o, const Variant& v) {
                     o.RangeEndCount = rpreg::Bounded(QStringLiteral("RangeEndCount"), v, 0, INT32_MAX);
                 }));
    c.AddString(QStringLiteral("UserName"), GetterOf<T>([](const T& o) { return Variant(o.UserName()); }),
                SetterOf<T>([](T& o, const Variant& v) { o.SetUserName(v.ToString()); }));
}

// --- TrpUserDataSet

const ScriptClassInfo& TrpUserDataSet::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpUserDataSet"), &TrpDataSet::Class()};
    return info;
}

TrpUserDataSet::TrpUserDataSet() = default;

TrpUserDataSet::TrpUserDataSet(TrpComponent* owner) : TrpUserDataSet()
{
    AttachTo(owner);
}

Variant TrpUserDataSet::GetValue(const QString& fieldName)
{
    Variant value = Variant::NullValue();
    if (OnGetValue)
        OnGetValue(fieldName, value);
    if (OnNewGetValue)
        OnNewGetValue(*this, fieldName, value);
    return value;
}

QString TrpUserDataSet::GetDisplayText(const QString& fieldName)
{
    QString text;
    if (OnGetValue) {
        Variant value = Variant::NullValue();
        OnGetValue(fieldName, value);
        text = value.ToString();
    }
    if (OnNewGetValue) {
        Variant value = Variant::NullValue();
        OnNewGetValue(*this, fieldName, value);
        text = value.ToString();
    }
    return text;
}

void TrpUserDataSet::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpDataSet::RegisterClass(registry);
    using T = TrpUserDataSet;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Lines<T>(c, "Fields", &T::Fields, &T::SetFields);
}

// --- TrpCustomDBDataSet

const ScriptClassInfo& TrpCustomDBDataSet::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomDBDataSet"), &TrpDataSet::Class()};
    return info;
}

TrpCustomDBDataSet::TrpCustomDBDataSet() = default;

TrpCustomDBDataSet::TrpCustomDBDataSet(TrpComponent* owner) : TrpCustomDBDataSet()
{
    AttachTo(owner);
}

namespace {

// A line "field=alias" split at its first '='; false without one.
bool SplitAlias(const QString& line, QString& field, QString& alias)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return false;
    field = line.left(equals);
    alias = line.mid(equals + 1);
    return true;
}

} // namespace

QString TrpCustomDBDataSet::GetAlias(const QString& fieldName) const
{
    QString field;
    QString alias;
    for (const QString& line : aliases_) {
        if (SplitAlias(line, field, alias) && field.compare(fieldName, Qt::CaseInsensitive) == 0)
            return alias;
    }
    return fieldName;
}

QString TrpCustomDBDataSet::ConvertAlias(const QString& aliasName) const
{
    QString field;
    QString alias;
    for (const QString& line : aliases_) {
        if (SplitAlias(line, field, alias) && alias.compare(aliasName, Qt::CaseInsensitive) == 0)
            return field;
    }
    return aliasName;
}

int32_t TrpCustomDBDataSet::FieldsCount()
{
    QStringList fields;
    GetFieldList(fields);
    return static_cast<int32_t>(fields.size());
}

void TrpCustomDBDataSet::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpDataSet::RegisterClass(registry);
    using T = TrpCustomDBDataSet;
    RegisteredClass& c = registry.Register(Class());
    rpreg::Bool<T>(c, "CloseDataSource", &T::CloseDataSource, false).Default = Variant();
    rpreg::Lines<T>(c, "FieldAliases", &T::FieldAliases, &T::SetFieldAliases);
    rpreg::Bool<T>(c, "OpenDataSource", &T::OpenDataSource, true);
}

// --- TrpCustomDatabase

const ScriptClassInfo& TrpCustomDatabase::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpCustomDatabase"), &TrpDialogComponent::Class()};
    return info;
}

TrpCustomDatabase::TrpCustomDatabase() = default;

TrpCustomDatabase::TrpCustomDatabase(TrpComponent* owner) : TrpCustomDatabase()
{
    AttachTo(owner);
}

void TrpCustomDatabase::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpDialogComponent::RegisterClass(registry);
    registry.Register(Class());
}

// --- the process-wide list

TrpGlobalDataSetList& TrpGlobalDataSetList::Instance()
{
    static TrpGlobalDataSetList* list = new TrpGlobalDataSetList; // outlives every static data set
    return *list;
}

void TrpGlobalDataSetList::Add(TrpDataSet* dataSet)
{
    const auto lock = Lock();
    dataSets_.push_back(dataSet);
}

void TrpGlobalDataSetList::Remove(TrpDataSet* dataSet)
{
    const auto lock = Lock();
    const auto found = std::find(dataSets_.begin(), dataSets_.end(), dataSet);
    if (found != dataSets_.end())
        dataSets_.erase(found);
}

std::vector<TrpDataSet*> TrpGlobalDataSetList::DataSets()
{
    const auto lock = Lock();
    return dataSets_;
}

TrpDataSet* TrpGlobalDataSetList::Find(const QString& name, const TrpComponent* report, TrpDataSet* fallback)
{
    if (name.isEmpty())
        return nullptr;
    if (report == nullptr)
        return fallback;
    const auto lock = Lock();
    for (TrpDataSet* dataSet : dataSets_) {
        if (dataSet->UserName().compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const auto* owner = dynamic_cast<const TrpComponent*>(dataSet->Owner());
        if (owner != nullptr && owner->IsReport() && owner != report)
            continue;
        return dataSet;
    }
    return fallback;
}

void TrpGlobalDataSetList::GetUsable(QStringList& names, std::vector<TrpDataSet*>& dataSets)
{
    names.clear();
    dataSets.clear();
    const auto lock = Lock();
    for (TrpDataSet* dataSet : dataSets_) {
        if (dataSet->UserName().isEmpty() || !dataSet->Enabled)
            continue;
        names.append(dataSet->UserName());
        dataSets.push_back(dataSet);
    }
}
