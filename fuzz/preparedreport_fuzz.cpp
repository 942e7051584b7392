// Prepared reports (.zp3) from arbitrary bytes, loaded whole into the prepared-page store of a
// report; every page is rebuilt (a page may refuse, with our own error). Promises checked: a
// refused file leaves the store as it was, and what a load leaves saves, loads back and saves
// to the same bytes.

#include "FuzzTarget.h"

#include "report/engine/EngineRuntime.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_report.h"

#include <QBuffer>

#include <memory>

namespace {

// A report with the engine's store; errors neither shown nor raised.
struct Prepared {
    Prepared()
    {
        report.EngineOptions().NewSilentMode = simSilent;
        store = dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
        daxfuzz::Require(store != nullptr, "a report has the engine's store");
    }
    TrpReport report;
    TrpPreviewPages* store = nullptr;
};

void Load(TrpPreviewPages& store, const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    store.LoadFromStream(buffer, false);
}

QByteArray Save(TrpPreviewPages& store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    store.SaveToStream(buffer);
    return buffer.data();
}

void RebuildEveryPage(TrpPreviewPages& store)
{
    for (int32_t i = 0; i < store.GetCount(); ++i) {
        try {
            store.GetPage(i);
        } catch (const platform::Exception&) {
            // A page whose objects cannot be made: the others are still read.
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool initialized = [] {
        EngineRuntime::init();
        return true;
    }();
    (void)initialized;
    return daxfuzz::RunDecoder([&] {
        Prepared prepared;
        const QByteArray empty = Save(*prepared.store);
        try {
            Load(*prepared.store, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        } catch (const platform::Exception&) {
            daxfuzz::Require(Save(*prepared.store) == empty, "a refused file leaves the store as it was");
            throw;
        }
        RebuildEveryPage(*prepared.store);
        const QByteArray saved = Save(*prepared.store);
        Prepared again;
        try {
            Load(*again.store, saved);
        } catch (const platform::Exception&) {
            daxfuzz::Require(false, "a saved prepared report loads");
        }
        RebuildEveryPage(*again.store);
        daxfuzz::Require(Save(*again.store) == saved, "a saved prepared report saves again to the same bytes");
    });
}
