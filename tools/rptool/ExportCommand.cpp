#include "ExportCommand.h"

#include "report/core/PropertyRegistry.h"
#include "report/export/ExportRuntime.h"
#include "report/export/rpExportDefaults.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportPDF.h"
#include "report/engine/rpPreviewPages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpRes.h"
#include "report/model/rpStreams.h"
#include "report/model/rpXMLSerializer.h"

#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>
#include <memory>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFileError = 1;
constexpr int kExitRefused = 2;

const char kUsage[] = "usage: rptool export IN.zp3 --format pdf|html --out OUT [--set NAME=VALUE]... [--pages LIST]\n";

void Print(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

// The text of an XML attribute value.
QString AttributeValue(const QString& text)
{
    QString result;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&': result += QStringLiteral("&amp;"); break;
        case u'<': result += QStringLiteral("&lt;"); break;
        case u'>': result += QStringLiteral("&gt;"); break;
        case u'"': result += QStringLiteral("&quot;"); break;
        default: result += c;
        }
    }
    return result;
}

// The HTML export writes its files itself, each whole or not at all; its errors are printed.
int ExportFiles(TrpReport& report, TrpCustomExportFilter& filter)
{
    bool exported = false;
    try {
        exported = report.Export(&filter);
    } catch (const platform::Exception& failure) {
        report.AddError(QString::fromStdString(failure.Message()));
    }
    if (!exported || !report.Errors().isEmpty()) {
        for (const QString& error : report.Errors())
            Print(error);
        if (report.Errors().isEmpty())
            Print(QStringLiteral("The export failed."));
        return kExitRefused;
    }
    return kExitDone;
}

} // namespace

int RunExport(const QStringList& arguments)
{
    QString in;
    QString format;
    QString out;
    QString pages;
    bool havePages = false;
    QStringList sets;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QStringLiteral("--format") && hasValue) {
            format = arguments[++i];
        } else if (argument == QStringLiteral("--out") && hasValue) {
            out = arguments[++i];
        } else if (argument == QStringLiteral("--pages") && hasValue) {
            pages = arguments[++i];
            havePages = true;
        } else if (argument == QStringLiteral("--set") && hasValue) {
            const QString setting = arguments[++i];
            if (setting.indexOf(u'=') <= 0)
                return Usage();
            sets << setting;
        } else if (argument.startsWith(u'-') || !in.isEmpty()) {
            return Usage();
        } else {
            in = argument;
        }
    }
    const bool html = format.compare(QStringLiteral("html"), Qt::CaseInsensitive) == 0;
    if (in.isEmpty() || out.isEmpty() || (!html && format.compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0))
        return Usage();
    Q_UNUSED(havePages);

    try {
        ExportRuntime::init();
    } catch (const platform::Exception& failure) {
        Print(QString::fromStdString(failure.Message()));
        return kExitRefused;
    }
    auto report = std::make_unique<TrpReport>();
    report->EngineOptions().NewSilentMode = simSilent;
    auto* store = dynamic_cast<TrpPreviewPages*>(report->PreviewPages());
    if (store == nullptr)
        return kExitFileError;
    try {
        store->LoadFromFile(in, true);
    } catch (const EFOpenError& failure) {
        Print(QString::fromStdString(failure.Message()));
        return kExitFileError;
    } catch (const platform::Exception& failure) {
        Print(QString::fromStdString(failure.Message()));
        return kExitRefused;
    }

    std::unique_ptr<TrpCustomExportFilter> filter;
    if (html) {
        auto htmlFilter = TrpCustomExportFilter::CreateNoRegister<TrpHTMLExport>();
        ApplyDeviceFrameSettings(*htmlFilter);
        filter = std::move(htmlFilter);
    } else {
        auto pdf = TrpCustomExportFilter::CreateNoRegister<TrpPDFExport>();
        ApplyDeviceFrameSettings(*pdf);
        filter = std::move(pdf);
    }
    filter->ShowDialog = false;
    filter->FileName = out;
    filter->PageNumbers = pages;
    {
        TrpXMLSerializer serializer;
        for (const QString& setting : sets) {
            const qsizetype equals = setting.indexOf(u'=');
            const QString name = setting.left(equals).trimmed();
            const RegisteredClass* registered = PropertyRegistry::Global().Find(filter->ScriptClass());
            const PropertyInfo* property = registered != nullptr ? registered->Find(name) : nullptr;
            if (property == nullptr) {
                Print(ResourceText(u"xrPropertyDoesNotExist", {Variant(name)}));
                return kExitRefused;
            }
            QString value = setting.mid(equals + 1);
            // A set may be given by its element names, "[ePrint,eCopy]"; files store the bits.
            if (property->Kind == PropertyKind::Set && property->Enum != nullptr && value.startsWith(u'[')
                && value.endsWith(u']')) {
                int32_t bits = 0;
                for (const QString& element : value.mid(1, value.size() - 2).split(u',', Qt::SkipEmptyParts)) {
                    const std::optional<int> ordinal = property->Enum->OrdinalOf(element.trimmed());
                    if (!ordinal) {
                        Print(QStringLiteral("\"%1\" is no element of %2").arg(element.trimmed(), property->TypeName));
                        return kExitRefused;
                    }
                    bits |= int32_t{1} << *ordinal;
                }
                value = QString::number(bits);
            }
            // An enumeration is given by its element name or ordinal; another name is refused
            // here, as files would silently keep the default.
            if (property->Kind == PropertyKind::Enum && property->Enum != nullptr
                && !property->Enum->OrdinalOf(value.trimmed()) && !QRegularExpression(QStringLiteral("^[0-9]+$")).match(value.trimmed()).hasMatch()) {
                Print(QStringLiteral("\"%1\" is no element of %2").arg(value.trimmed(), property->TypeName));
                return kExitRefused;
            }
            // Lists of lines are written as their text.
            const bool lines = property->Kind == PropertyKind::StringList || property->Kind == PropertyKind::WideStringList;
            const QString text = name + (lines ? QStringLiteral(".Text") : QString()) + QStringLiteral("=\"")
                                 + AttributeValue(value) + u'"';
            try {
                serializer.XMLToObj(text, filter.get());
            } catch (const platform::Exception& failure) {
                Print(QString::fromStdString(failure.Message()));
                return kExitRefused;
            }
        }
        if (!serializer.Errors().isEmpty()) {
            for (const QString& error : serializer.Errors())
                Print(error);
            return kExitRefused;
        }
    }
    if (html)
        return ExportFiles(*report, *filter);
    // The file is written whole or not at all: the filter writes into a file committed only
    // when the export succeeded.
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) {
        Print(QStringLiteral("Cannot create file \"%1\". %2").arg(out, file.errorString()));
        return kExitFileError;
    }
    filter->Stream = &file;
    bool exported = false;
    try {
        exported = report->Export(filter.get());
    } catch (const platform::Exception& failure) {
        report->AddError(QString::fromStdString(failure.Message()));
    }
    if (!exported || !report->Errors().isEmpty()) {
        file.cancelWriting();
        for (const QString& error : report->Errors())
            Print(error);
        if (report->Errors().isEmpty())
            Print(QStringLiteral("The export failed."));
        return kExitRefused;
    }
    if (!file.commit()) {
        Print(QStringLiteral("Cannot create file \"%1\". %2").arg(out, file.errorString()));
        return kExitFileError;
    }
    return kExitDone;
}
