#pragma once

// The memory a script holds, against a limit. A script comes from a report file and is not
// trusted: without a bound a loop that keeps what it makes (texts in arrays, objects, lines of
// lists) would exhaust the machine and end the program.
//
// One account per script: what it makes is charged as it is made (new texts, arrays, the
// objects it creates and what they grow by). Charges only add up, so when they pass what is
// left under the limit the account counts what the script really holds (its variables'
// values, shared texts and arrays once, and its objects with their contents) and goes on from
// that count. Past the limit the script gets EOutOfMemory, which it can catch: the account
// then grants a little more, so that the handler can run, and raises again when that is used up.

#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_set>

class Variant;
class ScriptMemoryCounter;

// The limit a script gets unless its caller sets another: well under a machine's memory.
inline constexpr int64_t kScriptMemoryDefaultLimit = int64_t{512} << 20;
// The smallest limit a caller may set.
inline constexpr int64_t kScriptMemoryMinimumLimit = int64_t{1} << 20;

class ScriptMemory {
public:
    ScriptMemory();
    ScriptMemory(const ScriptMemory&) = delete;
    ScriptMemory& operator=(const ScriptMemory&) = delete;
    virtual ~ScriptMemory();

    int64_t Limit() const noexcept { return FLimit; }
    // At least kScriptMemoryMinimumLimit.
    void SetLimit(int64_t bytes) noexcept;

    // What the script holds as far as the account knows: the last count plus what was charged
    // since.
    int64_t Held() const noexcept { return FCounted + FSince; }

    // Bytes the script is about to hold in addition; EOutOfMemory (and nothing charged) when
    // that passes the limit once counted.
    void Charge(int64_t bytes);
    // Bytes the script may now hold, noted where raising is not safe (a value being made):
    // when they pass what is left, a check is due, and the interpreter makes it (Check) before
    // its next statement.
    void Note(int64_t bytes) noexcept
    {
        FSince += bytes;
        if (FSince > FNextCount) [[unlikely]]
            MarkDue();
    }
    bool CheckDue() const noexcept { return FDue; }
    // Counts when a check is due; EOutOfMemory past the limit.
    void Check();

    // The allocator failed (std::bad_alloc): gives back the reserve kept for this moment, so
    // that what handles the error has memory to work with. True when there was one to give.
    bool ReleaseReserve() noexcept;

protected:
    // Everything the script holds now (see ScriptMemoryCounter).
    virtual void CountHeld(ScriptMemoryCounter& counter) const = 0;
    // A check became due (Note); the interpreter arranges to call Check.
    virtual void OnCheckDue() noexcept {}

private:
    void MarkDue() noexcept;
    // Counts; raises when the count plus `pending` passes the limit.
    void Recount(int64_t pending);

    int64_t FLimit = kScriptMemoryDefaultLimit;
    int64_t FCounted = 0;   // bytes the last count found
    int64_t FSince = 0;     // bytes charged or noted since
    int64_t FNextCount = 0; // count when FSince passes this
    bool FDue = false;
    std::unique_ptr<char[]> FReserve;
};

// Adds up what a script holds, each shared text and array once.
class ScriptMemoryCounter {
public:
    void AddBytes(int64_t bytes) noexcept { FTotal += bytes; }
    void AddText(const QString& text);
    void AddValue(const Variant& value);
    int64_t Total() const noexcept { return FTotal; }

private:
    void AddValue(const Variant& value, int depth);

    int64_t FTotal = 0;
    std::unordered_set<const void*> FSeen; // shared texts and arrays already counted
};

// What the counts and charges take for one text of this many characters (its heap block).
inline int64_t ScriptTextBytes(qsizetype characters)
{
    return characters > 0 ? 2 * int64_t{characters} + 32 : 0;
}
// What an object takes when its class says nothing more (with its handle and bookkeeping).
inline constexpr int64_t kScriptObjectBytes = 256;

namespace scriptmemory {
extern thread_local constinit ScriptMemory* tActive;
} // namespace scriptmemory

// The account of the script running on this thread, or null.
inline ScriptMemory* ActiveScriptMemory() noexcept
{
    return scriptmemory::tActive;
}

// Makes an account the active one for its lifetime (nested runs restore the one before).
class ActiveScriptMemoryScope {
public:
    explicit ActiveScriptMemoryScope(ScriptMemory* memory) noexcept : FPrevious(scriptmemory::tActive)
    {
        scriptmemory::tActive = memory;
    }
    ~ActiveScriptMemoryScope() { scriptmemory::tActive = FPrevious; }
    ActiveScriptMemoryScope(const ActiveScriptMemoryScope&) = delete;
    ActiveScriptMemoryScope& operator=(const ActiveScriptMemoryScope&) = delete;

private:
    ScriptMemory* FPrevious;
};

// Charge and Note on the active account; nothing while no script runs.
inline void ChargeScriptMemory(int64_t bytes)
{
    if (ScriptMemory* memory = scriptmemory::tActive)
        memory->Charge(bytes);
}
inline void NoteScriptMemory(int64_t bytes) noexcept
{
    if (ScriptMemory* memory = scriptmemory::tActive)
        memory->Note(bytes);
}
