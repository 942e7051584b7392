#include "ScriptMemory.h"

#include "ScriptErrors.h"
#include "Variant.h"

#include <algorithm>
#include <new>

namespace scriptmemory {
thread_local constinit ScriptMemory* tActive = nullptr;
} // namespace scriptmemory

namespace {

// Memory kept aside while a script runs, given back when the allocator fails, so that the
// error's handler (setting ExceptionMessage, showing it) does not fail in turn.
constexpr size_t kReserveBytes = size_t{256} << 10;

// A count costs as much as what the script holds: between two counts at least this share of
// the limit is charged, so the account may pass the limit by that much before it notices.
constexpr int64_t kCountIntervalShare = 64;
// What the account grants after raising EOutOfMemory, so that the handler can run.
constexpr int64_t kGraceShare = 16;

} // namespace

ScriptMemory::ScriptMemory() : FReserve(new (std::nothrow) char[kReserveBytes])
{
    FNextCount = FLimit;
}

ScriptMemory::~ScriptMemory() = default;

void ScriptMemory::SetLimit(int64_t bytes) noexcept
{
    FLimit = std::max(bytes, kScriptMemoryMinimumLimit);
    FNextCount = std::max(FLimit - FCounted, FLimit / kCountIntervalShare);
}

void ScriptMemory::Charge(int64_t bytes)
{
    if (FSince + bytes > FNextCount)
        Recount(bytes);
    FSince += bytes;
}

void ScriptMemory::MarkDue() noexcept
{
    if (FDue)
        return;
    FDue = true;
    OnCheckDue();
}

void ScriptMemory::Check()
{
    if (!FDue)
        return;
    FDue = false;
    // A count since the check became due (a charge made one) may have settled it.
    if (FSince > FNextCount)
        Recount(0);
}

void ScriptMemory::Recount(int64_t pending)
{
    ScriptMemoryCounter counter;
    CountHeld(counter);
    FCounted = counter.Total();
    FSince = 0;
    const int64_t interval = FLimit / kCountIntervalShare;
    if (FCounted + pending > FLimit) {
        // Over: raise, and count again only after a little more, so that the handler runs.
        FNextCount = std::max(FLimit / kGraceShare, interval);
        throw EOutOfMemory();
    }
    FNextCount = std::max(FLimit - FCounted - pending, interval);
}

bool ScriptMemory::ReleaseReserve() noexcept
{
    if (!FReserve)
        return false;
    FReserve.reset();
    return true;
}

// --- Counting -------------------------------------------------------------------------------

void ScriptMemoryCounter::AddText(const QString& text)
{
    const qsizetype capacity = text.capacity();
    if (capacity <= 0)
        return; // empty, or static text of the program
    if (!text.isDetached() && !FSeen.insert(text.constData()).second)
        return;
    FTotal += ScriptTextBytes(capacity);
}

void ScriptMemoryCounter::AddValue(const Variant& value)
{
    AddValue(value, 0);
}

void ScriptMemoryCounter::AddValue(const Variant& value, int depth)
{
    switch (value.Kind()) {
    case VariantKind::String:
        AddText(value.str_);
        return;
    case VariantKind::Array: {
        const std::shared_ptr<VariantArray>& array = value.arr_;
        if (array.use_count() > 1 && !FSeen.insert(array.get()).second)
            return;
        FTotal += static_cast<int64_t>(sizeof(VariantArray)) +
                  static_cast<int64_t>(array->Items.capacity()) * static_cast<int64_t>(sizeof(Variant));
        // Arrays nest at most kMaxArrayNesting deep; the bound keeps a count finite anyway.
        if (depth > kMaxArrayNesting)
            return;
        for (const Variant& item : array->Items) {
            if (item.Kind() >= VariantKind::String)
                AddValue(item, depth + 1);
        }
        return;
    }
    case VariantKind::Dispatch:
        FTotal += kScriptObjectBytes;
        return;
    default:
        return;
    }
}
