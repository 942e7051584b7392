#pragma once

#include "rpDrawContext.h"
#include "rpFont.h"
#include "rpUtils.h"

#include "platform/Exceptions.h"
#include "report/core/ObjectHandles.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class PropertyRegistry;
class RegisteredClass;
class TrpWideStrings;
class TrpXMLSerializer;
class ITrpExpressionEvaluator;

// The base of every object of a report document: its place in the object tree, bounds in
// pixels at 96 per inch (Left and Top relative to the parent), a font inherited from the
// parent, a name unique within its report, design restrictions, copying through the XML
// serializer and the difference text of prepared pages.
//
// Ownership: a parent owns its children (Objects, in insertion order, which is also the
// drawing and printing order); destroying an object destroys its subtree. An object without
// a parent belongs to whoever created it. Owner, the report of the object, and every other
// reference between objects are weak.

// Set elements; a set is the sum of 1 << ordinal of its elements.
template <class E>
constexpr uint32_t SetBit(E element) noexcept
{
    return uint32_t{1} << static_cast<int>(element);
}

enum TrpRestriction : int { rfDontModify, rfDontSize, rfDontMove, rfDontDelete, rfDontEdit };
using TrpRestrictions = uint32_t;

enum TrpComponentStyleElement : int { csContainer, csPreviewVisible, csDefaultDiff };
using TrpComponentStyle = uint32_t;

enum TrpAlign : int { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };

// The class library's component errors: an invalid or duplicate name.
class EComponentError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

// A class name that no registered class has: "Class <name> not found".
class EClassNotFound : public platform::Exception {
public:
    using platform::Exception::Exception;
};

class TrpComponent : public QObject, public ScriptObject {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }
    // The class name as report files and scripts write it.
    const QString& ClassName() const { return ScriptClass().Name; }
    // Whether the object's class is `className` or descends from it.
    bool InheritsFromClass(QStringView className) const;

    // An object without owner or parent; AttachTo places it. A class that needs its own
    // overrides to run while it is placed delegates: T(TrpComponent* owner) : T() { AttachTo(owner); }.
    TrpComponent();
    explicit TrpComponent(TrpComponent* owner);
    ~TrpComponent() override;
    TrpComponent(const TrpComponent&) = delete;
    TrpComponent& operator=(const TrpComponent&) = delete;

    // Places a new object: its owner becomes the owner's report (none without one) and the
    // owner becomes its parent, which then owns it. Nothing for no owner.
    void AttachTo(TrpComponent* owner);
    // The report (or another object) the object belongs to, or none.
    QObject* Owner() const { return owner_.data(); }
    void SetOwner(QObject* owner) { owner_ = owner; }

    // A new object of a registered class by name, without owner or parent (AttachTo places
    // it); none for a name that is no creatable report class.
    static std::unique_ptr<TrpComponent> CreateByName(QStringView className);
    // What the designer calls to insert an object: IsDesigning is set before the design-time
    // defaults of DesignCreate are given; the owner then owns it.
    static TrpComponent* CreateForDesign(const RegisteredClass& cls, TrpComponent* owner, uint16_t flags);

    // --- names
    const QString& Name() const { return name_; }
    // Renaming: a case-only change does nothing; inside a report another object's name raises
    // EComponentError with "prDupl" and an inherited object raises "clCantRen"; a name that is
    // no identifier ([A-Za-z_][A-Za-z0-9_]*) raises "'<name>' is not a valid component name".
    virtual void SetName(const QString& value);
    // The name the object takes from the first free BaseName + N, N from 1.
    void CreateUniqueName();
    // Stem of unique names: the class name without its first "Trp" and then its first
    // "View" unless a class sets another.
    QString BaseName() const;
    void SetBaseName(const QString& baseName) { baseName_ = baseName; }
    int32_t Tag() const { return tag_; }
    void SetTag(int32_t tag) { tag_ = tag; }
    const QString& Description() const { return description_; }
    void SetDescription(const QString& description) { description_ = description; }
    // The short name the prepared-page dictionary gives the object.
    const QString& AliasName() const { return aliasName_; }
    void SetAliasName(const QString& aliasName) { aliasName_ = aliasName; }

    // --- tree
    TrpComponent* Parent() const { return parent_; }
    // Moves the object into the new parent's Objects (appended), which then owns it, and
    // gives it the parent's font when it follows it. With no parent the object belongs to the
    // caller (see Detach). A parent inside the object itself raises EComponentError
    // ("clCirParent") and changes nothing.
    virtual void SetParent(TrpComponent* value);
    // Takes the object out of its parent and gives it to the caller (for an object that has
    // a parent, or that the caller holds no other way).
    std::unique_ptr<TrpComponent> Detach();
    const std::vector<TrpComponent*>& Objects() const { return objects_; }
    // Moves a child to another place in Objects (the designer's order commands).
    void MoveObject(int from, int to);
    // Every descendant, depth first in Objects order, each before its children; a new list
    // on every call.
    std::vector<TrpComponent*> AllObjects() const;
    // The objects a container shows inside itself; the direct children here.
    virtual std::vector<TrpComponent*> GetContainerObjects() const;
    std::vector<TrpComponent*> ContainerObjects() const { return GetContainerObjects(); }
    // The first object of AllObjects whose name equals `name` ignoring case, or none. Names
    // are looked up in an index kept on the root of the tree (built on the first look-up and
    // kept up to date through renames, moves and frees), so a look-up does not walk the tree.
    TrpComponent* FindObject(QStringView name) const;
    // The nearest page and report up the Parent chain (the object itself included).
    TrpComponent* Page() const;
    TrpComponent* Report() const;
    // Frees every child except those from an ancestor report, which are kept and cleared.
    virtual void Clear();

    // --- kinds of object the base treats apart (their classes answer true)
    virtual bool IsPage() const { return false; }
    virtual bool IsReport() const { return false; }
    virtual bool IsDialogPage() const { return false; }
    virtual bool IsBand() const { return false; }
    virtual bool IsNullBand() const { return false; }
    // Views take part in AlignChildren with their Align.
    virtual bool IsView() const { return false; }
    virtual TrpAlign GetAlign() const { return baNone; }
    // Whether the width follows the content when printed (a memo with AutoWidth): Diff then
    // leaves the width out.
    virtual bool HasAutoWidth() const { return false; }
    // The text lines of a memo view, which the serializer writes as "Text" (and reads from
    // "Text", "x" and "u"); none for other objects.
    virtual TrpWideStrings* MemoLines() { return nullptr; }
    const TrpWideStrings* MemoLines() const { return const_cast<TrpComponent*>(this)->MemoLines(); }

    // --- geometry
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    // Ignored while designing with rfDontMove (Left, Top) or rfDontSize (Width, Height).
    virtual void SetLeft(double value);
    virtual void SetTop(double value);
    virtual void SetWidth(double value);
    virtual void SetHeight(double value);
    void SetBounds(double left, double top, double width, double height);
    // Left and Top plus those of the parents up to a dialog page (whose children are placed
    // in its window).
    double AbsLeft() const;
    double AbsTop() const;

    // --- font
    const TrpFont& Font() const { return *font_; }
    TrpFont& Font() { return *font_; }
    // Copies the font and clears ParentFont.
    virtual void SetFont(const TrpFont& value);
    bool ParentFont() const { return parentFont_; }
    virtual void SetParentFont(bool value);
    // After every change of the own font: ParentFont is cleared and children that follow
    // their parent's font take it again.
    virtual void FontChanged();

    // --- state
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    TrpRestrictions Restrictions() const { return restrictions_; }
    void SetRestrictions(TrpRestrictions value) { restrictions_ = value; }
    int32_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int32_t value) { groupIndex_ = value; }
    TrpComponentStyle rpComponentStyle() const { return componentStyle_; }
    void SetComponentStyle(TrpComponentStyle value) { componentStyle_ = value; }
    bool IsDesigning() const { return isDesigning_; }
    void SetDesigning(bool value) { isDesigning_ = value; }
    bool IsLoading() const { return isLoading_; }
    void SetLoading(bool value) { isLoading_ = value; }
    bool IsPrinting() const { return isPrinting_; }
    void SetPrinting(bool value) { isPrinting_ = value; }
    bool IsWriting() const { return isWriting_; }
    void SetWriting(bool value) { isWriting_ = value; }
    // The object comes from an ancestor (inherited) report.
    bool IsAncestor() const { return ancestor_; }
    void SetAncestor(bool value) { ancestor_ = value; }

    // --- prepared pages
    TrpComponent* OriginalComponent() const { return originalComponent_.data(); }
    void SetOriginalComponent(TrpComponent* value) { originalComponent_ = value; }
    TrpComponent* OriginalBand() const { return originalBand_.data(); }
    void SetOriginalBand(TrpComponent* value) { originalBand_ = value; }
    const TrpRect& OriginalRect() const { return originalRect_; }
    void SetOriginalRect(const TrpRect& value) { originalRect_ = value; }

    // --- design-time hooks (the designer calls them; nothing here)
    // Design-time defaults of a new object; `flags` come from its object-registry entry.
    virtual void DesignCreate(uint16_t flags);
    // The text the designer shows for the class.
    virtual QString GetDescription() const;
    virtual void OnNotify(TrpComponent* sender);
    virtual void OnPaste();
    virtual bool ContainerAdd(TrpComponent* object);
    virtual bool ContainerMouseDown(TrpComponent* sender, int x, int y);
    virtual void ContainerMouseMove(TrpComponent* sender, int x, int y);
    virtual void ContainerMouseUp(TrpComponent* sender, int x, int y);

    // After the serializer has read the object and its references (not called for a report).
    virtual void Loaded();

    // --- report run
    // Places the children whose Align is set (see rpClass_align.cpp).
    virtual void AlignChildren();
    virtual void AddSourceObjects();
    virtual void BeforeStartReport();

    // --- copying and streams (rpClass_streams.cpp)
    // Copies the published properties of another object through the serializer (not its
    // children; this object's children go, as a load starts with Clear).
    virtual void Assign(const TrpComponent& source);
    // The same with the children and Streaming as given.
    void AssignAll(const TrpComponent& source, bool streaming = false);
    // Reads the object (and its children) from the report XML form. Errors of the load do
    // not stop it: they go to the report's error list (LoadErrors without a report).
    virtual void LoadFromStream(QIODevice& stream);
    virtual void SaveToStream(QIODevice& stream, bool saveChildren = true, bool saveDefaultValues = false,
                              bool streaming = false);
    // The errors of the last LoadFromStream of an object outside a report.
    const QStringList& LoadErrors() const { return loadErrors_; }

    // --- difference text of prepared pages (rpClass_diff.cpp)
    // The attributes that differ from the template object, each " name=\"value\"".
    virtual QString Diff(const TrpComponent& original) const;
    // Every stored property (the serializer's attribute text), then Diff against `original`
    // when given.
    QString AllDiff(const TrpComponent* original) const;
    // Position, size, visibility, font and tag where they differ from `original` (a band
    // always writes its top): what prepared pages keep of an object in a first pass.
    QString DiffCommon(const TrpComponent& original) const;

    // The data set named `name` for this object's report (see FindDataSetHook), or `dataSet`
    // when none is found that way.
    TrpComponent* FindDataSet(TrpComponent* dataSet, const QString& name) const;

    // --- what a report adds (the report document overrides these)
    // Whether loads take the model's global lock (the report's thread-safe option).
    virtual bool LoadsThreadSafe() const { return false; }
    // Receives the errors of a load of the report or of one of its objects.
    virtual void AddErrors(const QStringList& errors);
    // The serializer reading the report now, if any (collections read through it).
    virtual TrpXMLSerializer* CurrentSerializer() const { return nullptr; }
    virtual void SetCurrentSerializer(TrpXMLSerializer*) {}
    // Asks the report for the object `name` of its ancestor, to write only differences.
    virtual TrpComponent* AncestorOf(const QString& name) const;
    // The data set a report resolves for a name; the fallback without a report of its own.
    virtual TrpComponent* FindReportDataSet(TrpComponent* dataSet, const QString& name) const;
    // What evaluates the expressions of the report's objects; none outside a report.
    virtual ITrpExpressionEvaluator* ExpressionEvaluator() const { return nullptr; }

    // The look-up of data sets by user name in the process-wide list, set by the data-set
    // unit: (data set asked for, name, report or none) -> data set.
    using DataSetLookup = std::function<TrpComponent*(TrpComponent* dataSet, const QString& name, TrpComponent* report)>;
    static void SetGlobalDataSetLookup(DataSetLookup lookup);

    // Registers TrpComponent with its published properties (Name, Tag).
    static void RegisterClass(PropertyRegistry& registry);

    // How difference texts write and compare floats: 15 significant digits; closer than
    // 0.0001 is no difference.
    static QString DiffFloatText(double value);
    static bool FloatsDiffer(double a, double b);

protected:
    // Moves the object into `value`'s Objects without calling the virtual SetParent.
    void SetParentDirect(TrpComponent* value);
    // Appends " <prefix>Font.<name>=\"value\"" for every font value that differs.
    static void DiffFont(QString& text, const TrpFont& font, const TrpFont& reference, QStringView prefix);
    // Appends one attribute " name=\"value\"".
    static void AppendAttribute(QString& text, QStringView name, const QString& value);

private:
    struct NameIndex;

    void RemoveChild(TrpComponent* child);
    // The top of the tree the object is in (the object itself without a parent).
    const TrpComponent* Root() const;
    // The root's index of its descendants' names, built now when it has none.
    NameIndex& IndexOfRoot() const;
    // Adds or removes the names of the object and its descendants in the index of `root`,
    // when that root keeps one.
    void IndexSubtree(const TrpComponent* root, bool add);

    std::unique_ptr<TrpFont> font_;             // the object's font
    std::vector<TrpComponent*> objects_;        // owned children in printing order
    TrpComponent* parent_ = nullptr;            // owns this object while set
    QPointer<QObject> owner_;                   // the report (or another object) it belongs to
    QString name_;
    QString baseName_;                          // empty: derived from the class name
    QString description_;
    QString aliasName_;
    QStringList loadErrors_;
    double left_ = 0;
    double top_ = 0;
    double width_ = 0;
    double height_ = 0;
    int32_t tag_ = 0;
    int32_t groupIndex_ = 0;
    TrpRestrictions restrictions_ = 0;
    TrpComponentStyle componentStyle_ = SetBit(csPreviewVisible);
    bool parentFont_ = false;
    bool visible_ = true;
    bool isDesigning_ = false;
    bool isLoading_ = false;
    bool isPrinting_ = false;
    bool isWriting_ = false;
    bool ancestor_ = false;
    // On a root that has been searched: its descendants by case-folded name.
    mutable std::unique_ptr<NameIndex> nameIndex_;
    QPointer<TrpComponent> originalComponent_;  // the template object of a prepared copy
    QPointer<TrpComponent> originalBand_;       // the band of the template object
    TrpRect originalRect_;                      // bounds saved by BeforePrint: Right and Bottom hold Width and Height
};

// What every printable or dialog object adds: script event names, the hooks the engine calls
// around each printed copy, drawing, and the bounds restored after each copy.
class TrpReportComponent : public TrpComponent {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpReportComponent();
    explicit TrpReportComponent(TrpComponent* owner);

    // Names of the script procedures run after the data, after and before printing and on a
    // click or double click in the preview; empty for none.
    QString OnAfterData;
    QString OnAfterPrint;
    QString OnBeforePrint;
    QString OnPreviewClick;
    QString OnPreviewDblClick;
    // Vertical shift the engine applies when objects above grow, and the objects shifted with
    // this one.
    double ShiftAmount = 0;
    std::vector<QPointer<TrpComponent>> ShiftChildren;

    virtual void Draw(QPainter& painter, double scaleX, double scaleY, double offsetX, double offsetY,
                      const TrpDrawContext& context) = 0;
    // Saves the bounds; AfterPrint puts them back, so every copy starts from the template's.
    virtual void BeforePrint();
    virtual void GetData();
    virtual void AfterPrint();
    virtual QString GetComponentText() const;
    // The rectangle the object paints (AbsLeft, AbsTop, AbsLeft + Width, AbsTop + Height).
    virtual TrpRect GetRealBounds() const;
    // Gives the keyboard focus to the object's native control; nothing for objects without one.
    virtual void SetFocus() {}

    // Registers TrpReportComponent (it publishes Description; the event names are public).
    static void RegisterClass(PropertyRegistry& registry);
};

// Properties that subclasses publish from these two bases, each in the form the serializer
// and the designer read (see PublishComponentProperty).
enum class TrpCommonProperty {
    Left,
    Top,
    Width,
    Height,
    Font,              // stored only while ParentFont is false
    ParentFont,        // default True
    Visible,           // default True
    Restrictions,      // default empty
    GroupIndex,        // default 0
    Description,
    OnAfterData,
    OnAfterPrint,
    OnBeforePrint,
    OnPreviewClick,
    OnPreviewDblClick,
};

void PublishComponentProperty(RegisteredClass& cls, TrpCommonProperty property);

// Positions and sizes from files and scripts beyond this many pixels either way are refused.
inline constexpr double kMaxCoordinate = 1e7;

// A value rounded to 8 decimal places (paper dimensions): x 10^8, rounded half to even, / 10^8.
double RoundTo8Decimals(double value) noexcept;

// A class name without its first "Trp" and then its first `word` ("TrpMemoView", "View" ->
// "Memo"): the stems of unique names and band names.
QString ClassNameStem(QString className, QStringView word);

// Whether the text is a component name: [A-Za-z_][A-Za-z0-9_]*.
bool IsValidIdent(QStringView name) noexcept;
