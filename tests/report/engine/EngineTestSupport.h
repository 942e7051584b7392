#pragma once

// Helpers of the prepared-page store's tests.

#include "PreparedPagesBuilder.h"

#include "report/model/rpXML.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace enginetest {

inline const QString kEngineData = QStringLiteral(DAX_ENGINE_DATA "/");

inline QByteArray ReadFileBytes(const QString& fileName)
{
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

inline void WriteFileBytes(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << fileName.toStdString();
    file.write(bytes);
}

// The element of the store's document at a path of child names ("previewpages/page0").
inline TrpXMLItem* ItemAt(TrpPreviewPages& store, const QString& path)
{
    TrpXMLItem* item = store.XMLDoc().Root();
    for (const QString& name : path.split(u'/')) {
        const int index = item->Find(name);
        if (index < 0)
            return nullptr;
        item = item->Items(index);
    }
    return item;
}

// The names of an element's children, joined by blanks.
inline QString ChildNames(const TrpXMLItem* item)
{
    QStringList names;
    for (int i = 0; item != nullptr && i < item->Count(); ++i)
        names << item->Items(i)->Name();
    return names.join(u' ');
}

} // namespace enginetest
