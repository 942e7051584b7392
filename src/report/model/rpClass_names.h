#pragma once

// The name index kept on the root of an object tree (see rpClass_names.cpp); shared by the
// units of the component base only.

#include "rpClass.h"

#include <QHash>

#include <algorithm>
#include <vector>

struct TrpComponent::NameIndex {
    QHash<QString, std::vector<TrpComponent*>> ByName; // case-folded name -> objects, any order

    void Add(TrpComponent* object)
    {
        if (!object->Name().isEmpty())
            ByName[object->Name().toCaseFolded()].push_back(object);
    }

    void Remove(TrpComponent* object, const QString& name)
    {
        if (name.isEmpty())
            return;
        const auto found = ByName.find(name.toCaseFolded());
        if (found == ByName.end())
            return;
        std::vector<TrpComponent*>& objects = found.value();
        const auto at = std::find(objects.begin(), objects.end(), object);
        if (at != objects.end())
            objects.erase(at);
        if (objects.empty())
            ByName.erase(found);
    }
};
