// The in-memory table of text cells and the report data set that serves it.

#include "DaxReportSetupFrame.h"

#include "report/core/PropertyRegistry.h"
#include "report/model/ModelRuntime.h"

namespace {

// An index as the table compares it: unsigned, so a negative one is out of range.
bool Within(int32_t index, size_t count)
{
    return static_cast<uint32_t>(index) < count;
}

} // namespace

// --- TSimpleBase

void TSimpleBase::Clear()
{
    Records.clear();
    Fields.clear();
}

void TSimpleBase::AddField(const QString& name, int32_t width, uint8_t align)
{
    Fields.emplace_back(name, width, align);
}

QString TSimpleBase::FieldName(int32_t index) const
{
    return Within(index, Fields.size()) ? Fields[static_cast<uint32_t>(index)].Name : QString();
}

int32_t TSimpleBase::FieldWidth(int32_t index) const
{
    return Within(index, Fields.size()) ? Fields[static_cast<uint32_t>(index)].Width : 0;
}

uint8_t TSimpleBase::FieldAlign(int32_t index) const
{
    return Within(index, Fields.size()) ? Fields[static_cast<uint32_t>(index)].Align : 0;
}

int32_t TSimpleBase::FieldIndex(const QString& name) const
{
    for (size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i].Name == name)
            return static_cast<int32_t>(i);
    return -1;
}

int32_t TSimpleBase::AddRecord(const TSimpleRecord& record)
{
    Records.push_back(record);
    return static_cast<int32_t>(Records.size()) - 1;
}

QString TSimpleBase::Cell(int32_t field, int32_t record) const
{
    if (!Within(record, Records.size()))
        return QString();
    const std::vector<QString>& cells = Records[static_cast<uint32_t>(record)].Cells;
    return Within(field, cells.size()) ? cells[static_cast<uint32_t>(field)] : QString();
}

QString TSimpleBase::Value(const QString& fieldName, int32_t record) const
{
    const int32_t field = FieldIndex(fieldName);
    return field < 0 ? QString() : Cell(field, record);
}

// --- TrpSimpleBaseDataSet

const ScriptClassInfo& TrpSimpleBaseDataSet::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpSimpleBaseDataSet"), &TrpUserDataSet::Class()};
    return info;
}

TrpSimpleBaseDataSet::TrpSimpleBaseDataSet(TrpComponent* owner, uint16_t /*flags*/)
{
    ValuesFollowRecNo = true;
    OnCheckEOF = [this](TrpDataSet& sender, bool& eof) { CheckEOF(sender, eof); };
    OnGetValue = [this](const QString& fieldName, Variant& value) { GetValue(fieldName, value); };
    AttachTo(owner);
}

TrpSimpleBaseDataSet::~TrpSimpleBaseDataSet()
{
    Table.Clear();
}

void TrpSimpleBaseDataSet::CheckEOF(TrpDataSet&, bool& eof)
{
    eof = !Within(RecNo(), Table.Records.size());
}

void TrpSimpleBaseDataSet::GetValue(const QString& fieldName, Variant& value)
{
    value = Variant(Table.Value(fieldName, RecNo()));
}

void TrpSimpleBaseDataSet::RegisterClass(PropertyRegistry& registry)
{
    if (registry.Contains(Class()))
        return;
    TrpUserDataSet::RegisterClass(registry);
    registry.Register(Class(), [] { return std::make_unique<TrpSimpleBaseDataSet>(); });
}

// Resources compiled into a static library need an explicit initialisation, outside any
// namespace.
static void InitDeviceReportTemplates()
{
    Q_INIT_RESOURCE(DeviceReportTemplates);
}

void DevReportRuntime::init()
{
    InitDeviceReportTemplates();
    ModelRuntime::init();
    TrpSimpleBaseDataSet::RegisterClass(PropertyRegistry::Global());
}
