// Copying, loading and saving components through the XML serializer.

#include "rpClass.h"

#include "ModelRuntime.h"
#include "rpXMLSerializer.h"

#include <QBuffer>

#include <mutex>

namespace {

// Points the report at the serializer reading it for as long as the read runs.
class CurrentSerializerScope {
public:
    CurrentSerializerScope(TrpComponent* report, TrpXMLSerializer* serializer) : report_(report)
    {
        if (report_ != nullptr) {
            previous_ = report_->CurrentSerializer();
            report_->SetCurrentSerializer(serializer);
        }
    }
    ~CurrentSerializerScope()
    {
        if (report_ != nullptr)
            report_->SetCurrentSerializer(previous_);
    }
    CurrentSerializerScope(const CurrentSerializerScope&) = delete;
    CurrentSerializerScope& operator=(const CurrentSerializerScope&) = delete;

private:
    TrpComponent* report_;
    TrpXMLSerializer* previous_ = nullptr;
};

} // namespace

void TrpComponent::LoadFromStream(QIODevice& stream)
{
    Clear();
    TrpComponent* report = IsReport() ? this : Report();
    TrpXMLSerializer serializer(&stream);
    serializer.SetOwner(report);
    const CurrentSerializerScope current(report, &serializer);
    const auto reportErrors = [&] {
        if (serializer.Errors().isEmpty())
            return;
        if (report != nullptr)
            report->AddErrors(serializer.Errors());
        else
            AddErrors(serializer.Errors());
    };
    try {
        if (report != nullptr && report->LoadsThreadSafe()) {
            const std::lock_guard lock(ModelRuntime::GlobalLock());
            serializer.ReadRootComponent(this);
        } else {
            serializer.ReadRootComponent(this);
        }
    } catch (...) {
        reportErrors();
        throw;
    }
    reportErrors();
}

void TrpComponent::SaveToStream(QIODevice& stream, bool saveChildren, bool saveDefaultValues, bool streaming)
{
    TrpXMLSerializer serializer(&stream);
    serializer.SetOwner(IsReport() ? this : Report());
    serializer.SerializeDefaultValues = saveDefaultValues;
    if (IsReport()) {
        serializer.OnGetAncestor = [this](const QString& name, TrpComponent*& ancestor) { ancestor = AncestorOf(name); };
    }
    serializer.WriteRootComponent(this, saveChildren, nullptr, streaming);
}

void TrpComponent::Assign(const TrpComponent& source)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const_cast<TrpComponent&>(source).SaveToStream(buffer, false, true, false);
    buffer.seek(0);
    LoadFromStream(buffer);
}

void TrpComponent::AssignAll(const TrpComponent& source, bool streaming)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const_cast<TrpComponent&>(source).SaveToStream(buffer, true, true, streaming);
    buffer.seek(0);
    LoadFromStream(buffer);
}
