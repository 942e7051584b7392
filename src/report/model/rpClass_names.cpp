// The name index of an object tree: every look-up of a name (FindObject, the duplicate test of
// SetName, the serializer resolving elements and references) is answered from a table kept on
// the root of the tree instead of a walk over all objects, so loading a report is linear in
// its objects. The table is built on the first look-up and then follows every rename, move
// and free of an object below the root.

#include "rpClass_names.h"

#include <algorithm>

namespace {

// The place of an object in a pre-order walk from `root`: the positions among its siblings,
// from the root down. Comparing two such paths orders the objects as AllObjects lists them.
std::vector<size_t> PathFrom(const TrpComponent* root, const TrpComponent* object)
{
    std::vector<size_t> path;
    for (const TrpComponent* c = object; c != root && c->Parent() != nullptr; c = c->Parent()) {
        const std::vector<TrpComponent*>& siblings = c->Parent()->Objects();
        path.push_back(static_cast<size_t>(std::find(siblings.begin(), siblings.end(), c) - siblings.begin()));
    }
    std::reverse(path.begin(), path.end());
    return path;
}

bool IsBelow(const TrpComponent* object, const TrpComponent* ancestor)
{
    for (const TrpComponent* p = object->Parent(); p != nullptr; p = p->Parent()) {
        if (p == ancestor)
            return true;
    }
    return false;
}

} // namespace

const TrpComponent* TrpComponent::Root() const
{
    const TrpComponent* root = this;
    while (root->parent_ != nullptr)
        root = root->parent_;
    return root;
}

TrpComponent::NameIndex& TrpComponent::IndexOfRoot() const
{
    const TrpComponent* root = Root();
    if (root->nameIndex_ == nullptr) {
        auto index = std::make_unique<NameIndex>();
        for (TrpComponent* object : root->AllObjects())
            index->Add(object);
        root->nameIndex_ = std::move(index);
    }
    return *root->nameIndex_;
}

void TrpComponent::IndexSubtree(const TrpComponent* root, bool add)
{
    if (root == nullptr || root->nameIndex_ == nullptr)
        return;
    NameIndex& index = *root->nameIndex_;
    // Without recursion, so a deep tree cannot exhaust the stack.
    std::vector<TrpComponent*> pending{this};
    while (!pending.empty()) {
        TrpComponent* object = pending.back();
        pending.pop_back();
        if (add)
            index.Add(object);
        else
            index.Remove(object, object->name_);
        pending.insert(pending.end(), object->objects_.begin(), object->objects_.end());
    }
}

TrpComponent* TrpComponent::FindObject(QStringView name) const
{
    if (name.isEmpty()) {
        // Unnamed objects are not indexed; the first of them is what AllObjects would give.
        for (TrpComponent* object : AllObjects()) {
            if (object->name_.isEmpty())
                return object;
        }
        return nullptr;
    }
    const NameIndex& index = IndexOfRoot();
    const auto found = index.ByName.constFind(name.toString().toCaseFolded());
    if (found == index.ByName.constEnd())
        return nullptr;
    const bool fromRoot = parent_ == nullptr;
    TrpComponent* first = nullptr;
    std::vector<size_t> firstPath;
    for (TrpComponent* object : found.value()) {
        if (object == this || (!fromRoot && !IsBelow(object, this)))
            continue;
        if (first == nullptr) {
            first = object;
            continue;
        }
        // The same name twice (objects moved in from elsewhere): the first in tree order wins.
        if (firstPath.empty())
            firstPath = PathFrom(this, first);
        std::vector<size_t> path = PathFrom(this, object);
        if (path < firstPath) {
            first = object;
            firstPath = std::move(path);
        }
    }
    return first;
}
