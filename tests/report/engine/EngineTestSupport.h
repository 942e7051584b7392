#pragma once

// Helpers of the prepared-page store's tests.

#include "PreparedPagesBuilder.h"

#include "report/core/NumberText.h"
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

// A rebuilt page as rptool zp3-dump prints it: one line per object, indented by nesting.
inline QString DumpPage(TrpPreviewPages& store, TrpReportPage* page)
{
    QStringList lines;
    const auto fixed = [](double value) { return FloatToFixedText(value, 2, u'.'); };
    const auto dump = [&](const auto& self, const TrpComponent& parent, int depth) -> void {
        for (TrpComponent* object : parent.Objects()) {
            QString line = QString(2 * depth, u' ')
                           + (object->AliasName().isEmpty() ? object->ClassName() : object->AliasName()) + u' '
                           + store.Dictionary().GetSourceName(object->AliasName()) + u' ' + fixed(object->Left())
                           + u' ' + fixed(object->Top()) + u' ' + fixed(object->Width()) + u' '
                           + fixed(object->Height());
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(object))
                line += u' ' + memo->Text().trimmed();
            lines << line;
            self(self, *object, depth + 1);
        }
    };
    if (page != nullptr)
        dump(dump, *page, 0);
    return lines.join(u'\n');
}

// A report page "Page1" with one master data band "MasterData1" (top 0, height 20) holding
// the memo "Row" (text "[Row]").
inline TrpReportPage* AddRowsPage(TrpReport& report)
{
    report.CheckDataPage();
    auto* page = new TrpReportPage(&report);
    page->SetName(QStringLiteral("Page1"));
    page->LeftMargin = page->TopMargin = 10;
    auto* band = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 0, 20);
    AddMemo(band, QStringLiteral("Row"), 0, 0, 200, 20, QStringLiteral("[Row]"));
    return page;
}

// Fills the store with `pages` pages of `rows` rows each ("Row P.R"), in one pass.
inline void FillRows(PreparedReport& prepared, TrpReportPage* page, int pages, int rows)
{
    TrpPreviewPages& store = prepared.Store();
    auto* band = dynamic_cast<TrpBand*>(page->FindObject(u"MasterData1"));
    auto* memo = dynamic_cast<TrpCustomMemoView*>(page->FindObject(u"Row"));
    prepared.Engine().Running = true;
    store.Initialize();
    store.AddSourcePage(page);
    store.BeginPass();
    store.AddPageAction = apAdd;
    for (int p = 1; p <= pages; ++p) {
        store.AddPage(page);
        for (int r = 1; r <= rows; ++r)
            PrintBand(store, *band, 20.0 * (r - 1), [&] { memo->SetText(QStringLiteral("Row %1.%2").arg(p).arg(r)); });
    }
    store.Finish();
    prepared.Engine().Running = false;
}

} // namespace enginetest
