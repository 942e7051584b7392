#include "rpClass.h"
#include "rpClass_names.h"

#include "rpRes.h"

#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"

#include <algorithm>
#include <cmath>

namespace {

TrpComponent::DataSetLookup& GlobalDataSetLookup()
{
    static TrpComponent::DataSetLookup lookup;
    return lookup;
}

QString DefaultBaseName(const QString& className)
{
    return ClassNameStem(className, u"View");
}

} // namespace

QString ClassNameStem(QString className, QStringView word)
{
    const qsizetype trp = className.indexOf(QLatin1String("Trp"));
    if (trp >= 0)
        className.remove(trp, 3);
    const qsizetype at = className.indexOf(word);
    if (at >= 0)
        className.remove(at, word.size());
    return className;
}

bool IsValidIdent(QStringView name) noexcept
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
        const bool digit = c >= u'0' && c <= u'9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

double RoundTo8Decimals(double value) noexcept
{
    return RoundHalfEven(value * 1e8) / 1e8;
}

// --- TrpComponent

const ScriptClassInfo& TrpComponent::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpComponent"), nullptr};
    return info;
}

bool TrpComponent::InheritsFromClass(QStringView className) const
{
    for (const ScriptClassInfo* c = &ScriptClass(); c != nullptr; c = c->Ancestor) {
        if (c->Name.compare(className, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TrpComponent::TrpComponent() : font_(std::make_unique<TrpFont>())
{
    font_->OnChange = [this] { FontChanged(); };
    visible_ = true;
    SetParentFont(true);
}

TrpComponent::TrpComponent(TrpComponent* owner) : TrpComponent()
{
    AttachTo(owner);
}

TrpComponent::~TrpComponent()
{
    // The font may not call back into a half-destroyed object.
    font_->OnChange = nullptr;
    // The names below go with the object: out of the index of the tree it leaves, and its own
    // index is dropped first, so that the children freed below find none to update.
    nameIndex_.reset();
    if (parent_ != nullptr) {
        IndexSubtree(Root(), false);
        parent_->RemoveChild(this);
    }
    parent_ = nullptr;
    // Each child takes itself out of objects_ as it goes.
    while (!objects_.empty())
        delete objects_.back();
}

void TrpComponent::AttachTo(TrpComponent* owner)
{
    if (owner == nullptr)
        return;
    owner_ = owner->Report();
    SetParent(owner);
}

std::unique_ptr<TrpComponent> TrpComponent::CreateByName(QStringView className)
{
    const RegisteredClass* cls = PropertyRegistry::Global().FindCreatable(className);
    if (cls == nullptr || !cls->Info.InheritsFrom(Class()))
        return nullptr;
    std::unique_ptr<ScriptObject> made = cls->Factory();
    auto* component = dynamic_cast<TrpComponent*>(made.get());
    if (component == nullptr)
        return nullptr;
    made.release();
    return std::unique_ptr<TrpComponent>(component);
}

TrpComponent* TrpComponent::CreateForDesign(const RegisteredClass& cls, TrpComponent* owner, uint16_t flags)
{
    std::unique_ptr<TrpComponent> made = CreateByName(cls.Name());
    if (made == nullptr)
        return nullptr;
    made->SetDesigning(true);
    made->DesignCreate(flags);
    if (owner == nullptr)
        return made.release();
    TrpComponent* raw = made.release();
    raw->AttachTo(owner);
    return raw;
}

// --- names

void TrpComponent::SetName(const QString& value)
{
    if (value.compare(name_, Qt::CaseInsensitive) == 0)
        return;
    if (!value.isEmpty()) {
        if (const TrpComponent* report = Report()) {
            const TrpComponent* other = report->FindObject(value);
            if (other != nullptr && other != this)
                throw EComponentError(ResourceText(u"prDupl").toStdString());
            if (IsAncestor())
                throw EComponentError(ResourceText(u"clCantRen", {Variant(name_)}).toStdString());
        }
        if (!IsValidIdent(value))
            throw EComponentError(ResourceText(u"clInvalidName", {Variant(value)}).toStdString());
    }
    const TrpComponent* root = Root();
    if (root != this && root->nameIndex_ != nullptr) {
        root->nameIndex_->Remove(this, name_);
        name_ = value;
        root->nameIndex_->Add(this);
        return;
    }
    name_ = value;
}

void TrpComponent::CreateUniqueName()
{
    const TrpComponent* scope = Report();
    if (scope == nullptr)
        scope = parent_;
    const QString stem = BaseName();
    for (int i = 1;; ++i) {
        const QString candidate = stem + QString::number(i);
        if (scope == nullptr || scope->FindObject(candidate) == nullptr) {
            SetName(candidate);
            return;
        }
    }
}

QString TrpComponent::BaseName() const
{
    return baseName_.isEmpty() ? DefaultBaseName(ClassName()) : baseName_;
}

// --- tree

void TrpComponent::RemoveChild(TrpComponent* child)
{
    // From the end: children are freed last first, so freeing a parent stays linear.
    const auto found = std::find(objects_.rbegin(), objects_.rend(), child);
    if (found != objects_.rend())
        objects_.erase(std::next(found).base());
}

void TrpComponent::SetParentDirect(TrpComponent* value)
{
    if (value == parent_)
        return;
    // An object cannot hold itself: that would own a cycle.
    for (const TrpComponent* p = value; p != nullptr; p = p->parent_) {
        if (p == this)
            throw EComponentError(ResourceText(u"clCirParent", {Variant(name_)}).toStdString());
    }
    const TrpComponent* oldRoot = Root();
    if (parent_ != nullptr)
        parent_->RemoveChild(this);
    parent_ = value;
    if (value != nullptr)
        value->objects_.push_back(this);
    // The names move to the index of the tree the object now belongs to (a root's own index
    // goes: the object is no root any more, and a new root builds one when searched).
    const TrpComponent* newRoot = Root();
    if (newRoot != oldRoot) {
        if (oldRoot != this)
            IndexSubtree(oldRoot, false);
        nameIndex_.reset();
        IndexSubtree(newRoot, true);
    }
    if (value != nullptr)
        SetParentFont(parentFont_);
}

void TrpComponent::SetParent(TrpComponent* value)
{
    SetParentDirect(value);
}

std::unique_ptr<TrpComponent> TrpComponent::Detach()
{
    SetParent(nullptr);
    return std::unique_ptr<TrpComponent>(this);
}

void TrpComponent::MoveObject(int from, int to)
{
    const int count = static_cast<int>(objects_.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    TrpComponent* moved = objects_[static_cast<size_t>(from)];
    objects_.erase(objects_.begin() + from);
    objects_.insert(objects_.begin() + to, moved);
}

std::vector<TrpComponent*> TrpComponent::AllObjects() const
{
    std::vector<TrpComponent*> all;
    // Depth first without recursion, so a deep tree cannot exhaust the stack.
    std::vector<std::pair<const TrpComponent*, size_t>> stack{{this, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next >= node->objects_.size()) {
            stack.pop_back();
            continue;
        }
        TrpComponent* child = node->objects_[next++];
        all.push_back(child);
        stack.emplace_back(child, 0);
    }
    return all;
}

std::vector<TrpComponent*> TrpComponent::GetContainerObjects() const
{
    return objects_;
}

TrpComponent* TrpComponent::Page() const
{
    for (const TrpComponent* c = this; c != nullptr; c = c->parent_) {
        if (c->IsPage())
            return const_cast<TrpComponent*>(c);
    }
    return nullptr;
}

TrpComponent* TrpComponent::Report() const
{
    for (const TrpComponent* c = this; c != nullptr; c = c->parent_) {
        if (c->IsReport())
            return const_cast<TrpComponent*>(c);
    }
    return nullptr;
}

void TrpComponent::Clear()
{
    // The kept children stay listed; the others are taken off the list before they are freed,
    // so that freeing many children does not search and shift the list each time.
    std::vector<TrpComponent*> children;
    children.swap(objects_);
    for (TrpComponent* child : children) {
        if (child->IsAncestor())
            objects_.push_back(child);
    }
    for (TrpComponent* child : children) {
        if (child->IsAncestor())
            child->Clear();
        else
            delete child;
    }
}

// --- geometry

void TrpComponent::SetLeft(double value)
{
    if (isDesigning_ && (restrictions_ & SetBit(rfDontMove)) != 0)
        return;
    left_ = value;
}

void TrpComponent::SetTop(double value)
{
    if (isDesigning_ && (restrictions_ & SetBit(rfDontMove)) != 0)
        return;
    top_ = value;
}

void TrpComponent::SetWidth(double value)
{
    if (isDesigning_ && (restrictions_ & SetBit(rfDontSize)) != 0)
        return;
    width_ = value;
}

void TrpComponent::SetHeight(double value)
{
    if (isDesigning_ && (restrictions_ & SetBit(rfDontSize)) != 0)
        return;
    height_ = value;
}

void TrpComponent::SetBounds(double left, double top, double width, double height)
{
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

double TrpComponent::AbsLeft() const
{
    double result = left_;
    for (const TrpComponent* p = parent_; p != nullptr && !p->IsDialogPage(); p = p->parent_)
        result += p->left_;
    return result;
}

double TrpComponent::AbsTop() const
{
    double result = top_;
    for (const TrpComponent* p = parent_; p != nullptr && !p->IsDialogPage(); p = p->parent_)
        result += p->top_;
    return result;
}

// --- font

void TrpComponent::SetFont(const TrpFont& value)
{
    font_->Assign(value);
    parentFont_ = false;
}

void TrpComponent::SetParentFont(bool value)
{
    if (value && parent_ != nullptr)
        SetFont(parent_->Font());
    parentFont_ = value;
}

void TrpComponent::FontChanged()
{
    parentFont_ = false;
    // A copy: a child's font change cannot change this list, but a derived hook might.
    const std::vector<TrpComponent*> children = objects_;
    for (TrpComponent* child : children) {
        if (child->parentFont_)
            child->SetParentFont(true);
    }
}

void TrpComponent::SetVisible(bool value)
{
    visible_ = value;
}

// --- hooks

void TrpComponent::DesignCreate(uint16_t) {}
void TrpComponent::Loaded() {}

QString TrpComponent::GetDescription() const
{
    return QString();
}

void TrpComponent::OnNotify(TrpComponent*) {}
void TrpComponent::OnPaste() {}

bool TrpComponent::ContainerAdd(TrpComponent*)
{
    return false;
}

bool TrpComponent::ContainerMouseDown(TrpComponent*, int, int)
{
    return false;
}

void TrpComponent::ContainerMouseMove(TrpComponent*, int, int) {}
void TrpComponent::ContainerMouseUp(TrpComponent*, int, int) {}
void TrpComponent::AddSourceObjects() {}
void TrpComponent::BeforeStartReport() {}

void TrpComponent::AddErrors(const QStringList& errors)
{
    loadErrors_ += errors;
}

TrpComponent* TrpComponent::AncestorOf(const QString&) const
{
    return nullptr;
}

TrpComponent* TrpComponent::FindReportDataSet(TrpComponent* dataSet, const QString&) const
{
    return dataSet;
}

void TrpComponent::SetGlobalDataSetLookup(DataSetLookup lookup)
{
    GlobalDataSetLookup() = std::move(lookup);
}

TrpComponent* TrpComponent::FindDataSet(TrpComponent* dataSet, const QString& name) const
{
    TrpComponent* report = Report();
    if (report != nullptr)
        return report->FindReportDataSet(dataSet, name);
    const DataSetLookup& lookup = GlobalDataSetLookup();
    return lookup ? lookup(dataSet, name, nullptr) : dataSet;
}

// --- TrpReportComponent

const ScriptClassInfo& TrpReportComponent::Class()
{
    static const ScriptClassInfo info{QStringLiteral("TrpReportComponent"), &TrpComponent::Class()};
    return info;
}

TrpReportComponent::TrpReportComponent() = default;

TrpReportComponent::TrpReportComponent(TrpComponent* owner) : TrpReportComponent()
{
    AttachTo(owner);
}

void TrpReportComponent::BeforePrint()
{
    SetOriginalRect(TrpRect{Left(), Top(), Width(), Height()});
}

void TrpReportComponent::GetData() {}

void TrpReportComponent::AfterPrint()
{
    const TrpRect& saved = OriginalRect();
    SetBounds(saved.Left, saved.Top, saved.Right, saved.Bottom);
}

QString TrpReportComponent::GetComponentText() const
{
    return QString();
}

TrpRect TrpReportComponent::GetRealBounds() const
{
    const double left = AbsLeft();
    const double top = AbsTop();
    return TrpRect{left, top, left + Width(), top + Height()};
}
