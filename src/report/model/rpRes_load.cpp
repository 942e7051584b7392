// Resource documents: the built-in blocks and language files.

#include "rpRes.h"

#include "rpStreams.h"
#include "rpXML.h"

#include "report/core/Conversions.h"
#include "report/core/NumberText.h"

#include <QBuffer>
#include <QFile>

void TrpResources::LoadFromStream(QIODevice& stream)
{
    TrpXMLDocument document;
    document.LoadFromStream(stream);
    const TrpXMLItem* root = document.Root();
    if (root->Name() == u"Resources") {
        const QString codePage = root->Prop(u"CodePage");
        int64_t number = 0;
        if (!TextToInt64(codePage, number) || number < 0 || number > UINT32_MAX)
            RaiseInvalidInteger(codePage);
        codePage_ = static_cast<uint32_t>(number);
        for (int i = 0; i < root->Count(); ++i) {
            const TrpXMLItem* entry = root->Items(i);
            if (entry->Name() != u"StrRes")
                continue;
            QString text = UnescapeXMLText(entry->Prop(u"Text"));
            if (document.OldVersion())
                text = QString::fromUtf8(StringToAnsi(text));
            AddW(entry->Prop(u"Name"), text);
        }
    }
    UpdateSCResources();
}

void TrpResources::AddXML(QByteArrayView document)
{
    QByteArray bytes = document.toByteArray();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void TrpResources::LoadFromFile(const QString& fileName)
{
    if (!QFile::exists(fileName))
        return;
    ReadFileWith(fileName, [this](QIODevice& file) { LoadFromStream(file); }, kMaxResourceFileBytes);
}
