#pragma once

// The script object: the symbol table of everything a script can name, the compiled main
// statement list, the run flags, the registration operations through which native code
// becomes visible to scripts, and running, calling and evaluating. Local programs of script
// routines are script objects too, chained to their enclosing program through Parent.

#include "sc_iinterpreter.h"

#include "report/core/FileAccess.h"
#include "report/core/FormatSettings.h"
#include "report/core/ScriptMemory.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <vector>

class QIODevice;
class TscExpression;
class TscILParser;
class TscStatement;
class TscXMLItem;

// Nested routine calls allowed at once (recursion, re-entry from native code); one more is
// EStackOverflow. Chosen so that a plain recursion reaches it within the 8 MiB main-thread
// stack also in the sanitizer build (about 8 KiB a level there, under 2 KiB otherwise).
// Independently of it the interpreter stops before the thread's stack runs out, whatever the
// script nests (ScCheckStack).
inline constexpr int kScDefaultMaxCallDepth = 500;
// Compiled Evaluate expressions kept per program.
inline constexpr int kScMaxEvaluateCache = 1024;

// Destroys a native object, or, while it (or a child of it) delivers an event, makes its handle
// stale and its events empty and destroys it when control is back in the event loop.
void ScDestroyNativeObject(ScriptObject* object);

// Receives the errors of event handlers, which cannot pass through the toolkit's event loop:
// the class name a script sees and the message.
using TscErrorSink = std::function<void(const QString& className, const QString& message)>;

using TscRunLineEvent = std::function<void(TscScript* sender, const QString& unitName, const QString& sourcePos)>;
// Supplies the text of an included unit: source text (OnGetUnit) or a saved program tree
// (OnGetILUnit). Left empty, the unit comes from the include path (source) or is parsed
// (program tree).
using TscScriptUnitEvent = std::function<void(const QString& unitName, QString& unitText)>;

class TscScript {
public:
    explicit TscScript(TscScript* parent = nullptr);
    TscScript(const TscScript&) = delete;
    TscScript& operator=(const TscScript&) = delete;
    ~TscScript();

    // Symbol table. Names compare after one locale-free case fold; a name may occur several
    // times and a lookup finds the newest item of that name.
    TscObject* Add(const QString& name, std::unique_ptr<TscObject> item);
    // An entry for an item owned elsewhere (a routine's parameters in its local program).
    void AddReference(const QString& name, TscObject* item);
    template <typename T>
    T* AddItem(const QString& name, std::unique_ptr<T> item)
    {
        T* raw = item.get();
        Add(name, std::move(item));
        return raw;
    }
    int Count() const { return static_cast<int>(FItems.size()); }
    // The entries in the order they were added.
    TscObject* Item(int index) const { return FItems[static_cast<size_t>(index)].Item; }
    const QString& ItemName(int index) const { return FItems[static_cast<size_t>(index)].Name; }
    // Takes the entry out without freeing it.
    std::unique_ptr<TscObject> Remove(TscObject* item);
    // This script, then its parents.
    TscCustomVariable* Find(const QString& name) const;
    // This script only; binding module objects are never found.
    TscCustomVariable* FindLocal(const QString& name) const;
    TscClassVariable* FindClass(const QString& name) const;
    // Frees every entry marked with this owner, newest first.
    void RemoveItems(const void* owner);
    // RemoveItems, then empties the program and its line table.
    void ClearItems(const void* owner);
    // Frees everything but the binding modules and what they registered; empties the program,
    // the line table and the error.
    void Clear();
    // Sets the variable of that name, or adds a Variant variable holding the value.
    void SetVariable(const QString& name, const Variant& value);

    // Registration.
    // Nothing (null) when the name is known already.
    TscClassVariable* AddClass(const QString& name, const ScriptClassInfo* classInfo, const QString& ancestor);
    TscVariable* AddConst(const QString& name, const QString& typ, const Variant& value);
    void AddEnum(const QString& typ, const QString& names);
    void AddEnumSet(const QString& typ, const QString& names);
    TscMethodHelper* AddMethod(const QString& syntax, TscNativeCallable call, const QString& category = QString(),
                               const QString& description = QString());
    TscVariable* AddObject(const QString& name, ScriptObject* object);
    TscVariable* AddVariable(const QString& name, const QString& typ, const Variant& value);
    TscTypeVariable* AddType(const QString& typeName, TscVarType parentType);

    // Program.
    // Parses Lines in the language SyntaxType and builds the program. False on a syntax or
    // semantic error (ErrorMsg, ErrorPos, ErrorUnit tell it); everything the failed compile
    // added is removed again. An unknown language raises.
    bool Compile();
    // Runs the main statement list. Refused (EScriptException) after a compile that failed.
    void Execute();
    // Compile, then Execute when it succeeded.
    bool Run();
    // Writes the program tree of Lines instead of building it (true without error).
    bool GetILCode(QIODevice& stream);
    // Builds the program from a saved program tree (true without error). The tree is not
    // trusted: whatever does not fit is a compile error.
    bool SetILCode(QIODevice& stream);
    // The value of an expression text, compiled in the context of the routine running (or of
    // this script) and kept for the next time. A compile error sets EvaluteRiseError and
    // *error and gives Null; run-time errors raise.
    Variant Evaluate(const QString& expression, QString* error = nullptr);
    // Evaluates a built expression as one run of this script (compile-time constants).
    Variant RunExpression(TscExpression& expression);
    // Stops the run at the next statement, here and in every routine's program.
    void Terminate();
    // Asks for Terminate from any thread: the running script terminates at its next statement
    // or loop pass (evaluations and compile-time code included).
    void RequestTerminate();
    // Instantiates every binding module of the module list once.
    void AddRTTI();
    void ClearRTTI();

    // Calls a script routine of this script by name with the elements of params (a Variant
    // array, or anything else for no arguments). An unknown name or one that is no script
    // routine gives Null. More arguments than parameters is an error, and so is leaving out
    // a parameter without a default ("Not enough actual parameters").
    Variant CallFunction(const QString& name, Variant& params);
    // The same, with every parameter's final value copied back into params.
    Variant CallFunction1(const QString& name, Variant& params);
    Variant CallFunction2(TscProcVariable* func, Variant& params, bool copyBack = false);
    Variant CallFunction(const QString& name, std::span<Variant> arguments);

    // Statement line table for breakpoints.
    void AddCodeLine(const QString& unitName, const QString& pos);
    bool IsExecutableLine(int lineN, const QString& unitName) const;

    // Called before each statement runs: the first program up the parent chain that has a
    // run-line handler gets the call.
    void NotifyRunLine(const QString& unitName, const QString& sourcePos)
    {
        if (sAttention.load(std::memory_order_relaxed) > 0)
            NotifyRunLineSlow(unitName, sourcePos);
    }

    void SetOnRunLine(TscRunLineEvent handler);
    const TscRunLineEvent& OnRunLine() const { return FOnRunLine; }

    // Number and date texts of the values (the C set unless set otherwise); one set for a
    // program and all its routines.
    const FormatSettings& Settings() const { return FRoot->FSettings; }
    void SetFormatSettings(const FormatSettings& settings) { FRoot->FSettings = settings; }
    int MaxCallDepth() const { return FRoot->FMaxCallDepth; }
    void SetMaxCallDepth(int depth) { FRoot->FMaxCallDepth = depth; }

    // Objects the script created with constructors. They belong to the program (kept on the
    // root): Free destroys one, and whatever is left is destroyed when the script is cleared
    // or destroyed, newest first.
    Variant AdoptObject(std::unique_ptr<ScriptObject> object);
    // Whether the script created the object of this handle (and it still lives).
    bool CreatedObject(uint32_t handle) const;
    // Destroys an object the script created; EInvalidPointer for any other object (the
    // report's, the application), nothing for nil. An object that is delivering an event is
    // destroyed when the delivery returns, but its handle is stale at once.
    void FreeObject(uint32_t handle);
    // Objects created and not yet destroyed.
    size_t CreatedCount() const;

    // The memory the script holds, one account for the program and its routines (kept on the
    // root): past its limit the script gets EOutOfMemory. The limit is
    // kScriptMemoryDefaultLimit unless the caller sets another.
    ScriptMemory& Memory();
    int64_t MemoryLimit() { return Memory().Limit(); }
    void SetMemoryLimit(int64_t bytes) { Memory().SetLimit(bytes); }

    // The files the script may touch (none unless the caller allows folders).
    FileAccessPolicy& FileAccess() { return FRoot->FFileAccess; }
    const FileAccessPolicy& FileAccess() const { return FRoot->FFileAccess; }

    // Where errors of event handlers go; without a sink they are shown in a message dialog of
    // the user-interface service.
    void SetErrorSink(TscErrorSink sink) { FRoot->FErrorSink = std::move(sink); }
    void ReportError(const QString& className, const QString& message);
    // The script is being cleared or destroyed: event handlers do not run.
    bool TearingDown() const { return FRoot->FTearingDown > 0; }

    TscScript* Parent() const { return FParent; }
    // Chains the program to another enclosing one, so that its lookups continue there (the
    // report's expression cache follows whichever program asks it). The outermost program of
    // the chain, with its settings and stop flags, becomes the new parent's. A parent inside
    // this program or its routines raises, and so does moving to another outermost program
    // while either of them runs.
    void SetParent(TscScript* parent);
    // The outermost program of the chain.
    TscScript* Root() const { return FRoot; }
    TscStatement* Statement() const { return FStatement.get(); }
    // The first program up the chain that is the outermost running one, else this.
    TscScript* MainProgram()
    {
        for (TscScript* script = this; script != nullptr; script = script->FParent) {
            if (script->MainProg)
                return script;
        }
        return FRoot;
    }

    bool Terminated() const { return FTerminated; }
    bool IsRunning() const { return FIsRunning; }
    TscScript* ProgRunning() const { return FProgRunning; }

    // Run flags (statements set and test them).
    bool FBreakCalled = false;
    bool FContinueCalled = false;
    bool FExitCalled = false;
    bool FTerminated = false;

    const void* AddedBy = nullptr;
    QString ErrorMsg;
    QString ErrorPos;
    QString ErrorUnit;
    bool ExtendedCharset = false;
    QStringList Lines;
    bool MainProg = false;
    QString SyntaxType = QStringLiteral("RireroRidoze");
    bool UseClassLateBinding = false;
    bool EvaluteRiseError = false;
    TscGetVariableValueEvent OnGetVarValue;
    TscScriptUnitEvent OnGetUnit;
    TscScriptUnitEvent OnGetILUnit;
    QStringList IncludePath{QString()};

private:
    friend class TscProcVariable;
    friend class TscScriptRunScope;
    class TscMemory;

    struct Entry {
        QString Name;
        QString Folded;
        TscObject* Item = nullptr;
        std::unique_ptr<TscObject> Owned; // null for references
        const void* Owner = nullptr;      // AddedBy of a value item at the time it was added
    };

    void NotifyRunLineSlow(const QString& unitName, const QString& sourcePos);
    void RemoveAt(size_t index, bool free);
    void RemoveWhere(const std::function<bool(const Entry&)>& remove);
    void RebuildIndex();
    void ClearProgram();
    Variant CallWithArguments(TscProcVariable* func, std::vector<Variant>& arguments);
    bool BuildTree(const TscXMLItem* root, const class TscILParser* parser);
    void RollBack(size_t keep);
    void SetRoot(TscScript* root);
    void FreeCreatedObjects();
    // What the program holds: its variables' values (its routines' too, and the locals saved by
    // nested calls) and the objects it created.
    void CountHeld(ScriptMemoryCounter& counter) const;
    // The account of this program when it is the root (made on first use).
    TscMemory& OwnMemory();

    // Scripts that have a run-line handler or a terminate request pending: while there are
    // none, a statement pays one test for both.
    static inline std::atomic<int> sAttention{0};

    std::vector<Entry> FItems;
    uint64_t FItemsVersion = 0; // changes whenever an item is added or removed
    QHash<QString, std::vector<size_t>> FIndex; // folded name -> entries, oldest first
    TscScript* FParent;
    TscScript* FRoot;
    std::unique_ptr<TscStatement> FStatement;
    std::map<QString, std::set<int>> FUnitLines;
    TscRunLineEvent FOnRunLine;
    TscScript* FProgRunning = nullptr;
    bool FIsRunning = false;
    bool FRTTIAdded = false;
    bool FCompileFailed = false;
    // Compiled Evaluate expressions of this program, by text.
    QHash<QString, std::shared_ptr<TscExpression>> FEvaluateCache;
    // The parser Evaluate used last, kept ready for the next text (none while one is in use).
    std::unique_ptr<TscILParser> FEvaluateParser;
    // Shared by a program and its routines (kept on the root).
    FormatSettings FSettings;
    int FMaxCallDepth = kScDefaultMaxCallDepth;
    int FCallDepth = 0;  // routine calls running
    // Locals of routines called again while running, saved by the nested call (on the root).
    std::vector<std::pair<TscCustomVariable*, Variant>> FSavedLocals;
    int FEntryDepth = 0; // runs entered from native code (Execute, CallFunction, Evaluate)
    std::atomic<bool> FTerminateRequested{false};
    // Kept on the root: what the script created, may touch, and where handler errors go.
    std::vector<uint32_t> FCreated; // handles, oldest first
    FileAccessPolicy FFileAccess;
    std::unique_ptr<TscMemory> FMemory;
    TscErrorSink FErrorSink;
    int FTearingDown = 0;
};
