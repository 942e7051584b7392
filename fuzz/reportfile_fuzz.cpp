// Report files: a report loaded from arbitrary bytes (a load never fails, it reports its
// errors). Promise checked: what a load leaves saves, loads back and saves to the same bytes.
// Templates a file names are not looked up (the application's template loader does nothing),
// and the password check is left out as for a report reloading itself.

#include "FuzzTarget.h"

#include "report/model/ModelRuntime.h"
#include "report/model/rpClass_report.h"

#include <QBuffer>

namespace {

void Prepare(TrpReport& report)
{
    report.EngineOptions().NewSilentMode = simSilent;
    report.Reloading = true;
    report.OnLoadTemplate = [](TrpReport&, const QString&) {};
}

void Load(TrpReport& report, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    report.LoadFromStream(buffer);
}

QByteArray Save(TrpReport& report)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    return buffer.data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool initialized = [] {
        ModelRuntime::init();
        return true;
    }();
    (void)initialized;
    return daxfuzz::RunDecoder([&] {
        TrpReport report;
        Prepare(report);
        Load(report, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        // A password the file holds that cannot be written back is refused here (our own error).
        const QByteArray saved = Save(report);
        TrpReport again;
        Prepare(again);
        Load(again, saved);
        daxfuzz::Require(again.StreamLoaded(), "a saved report loads");
        daxfuzz::Require(Save(again) == saved, "a saved report saves again to the same bytes");
    });
}
