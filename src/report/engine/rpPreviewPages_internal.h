#pragma once

// Helpers the units of the prepared-page store share.

#include "report/core/NumberText.h"
#include "report/model/rpXML.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <limits>

namespace previewpages {

// The number of an attribute the store writes itself (page indexes, positions, logical page
// numbers): `fallback` when it is empty or no 32-bit integer.
inline int32_t IntProp(const TrpXMLItem* item, QStringView name, int32_t fallback = 0)
{
    int64_t value = 0;
    const QString text = item->Prop(name);
    if (text.isEmpty() || !TextToInt64(text, value) || value < std::numeric_limits<int32_t>::min()
        || value > std::numeric_limits<int32_t>::max())
        return fallback;
    return static_cast<int32_t>(value);
}

// Whether an attribute holds a 32-bit integer (empty when `emptyAllowed`).
inline bool IsIntProp(const TrpXMLItem* item, QStringView name, bool emptyAllowed)
{
    const QString text = item->Prop(name);
    if (text.isEmpty())
        return emptyAllowed;
    int64_t value = 0;
    return TextToInt64(text, value) && value >= std::numeric_limits<int32_t>::min()
           && value <= std::numeric_limits<int32_t>::max();
}

inline QString IntText(int64_t value)
{
    return QString::number(value);
}

} // namespace previewpages
