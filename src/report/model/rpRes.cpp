#include "rpRes.h"

// Resources compiled into a static library need an explicit initialisation, outside any
// namespace.
static void InitModelResourceBlocks()
{
    Q_INIT_RESOURCE(rpRes);
}

#include "platform/Exceptions.h"
#include "rpUtils.h"

#include "report/core/FormatSettings.h"
#include "report/core/Formats.h"
#include "report/core/Services.h"
#include "report/script/sc_iconsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

struct HelpTopicRow {
    const char16_t* className;
    const char16_t* page;
};

constexpr std::array<HelpTopicRow, 17> kHelpTopics{{
    {u"TrpDesignerForm", u"Designer.htm"},
    {u"TrpOptionsEditor", u"Designer_options.htm"},
    {u"TrpReportEditorForm", u"Report_options.htm"},
    {u"TrpPageEditorForm", u"Page_options.htm"},
    {u"TrpCrossEditorForm", u"Cross_tab_reports.htm"},
    {u"TrpChartEditorForm", u"Diagrams.htm"},
    {u"TrpSyntaxMemo", u"Script.htm"},
    {u"TrpDialogPage", u"Dialogue_forms.htm"},
    {u"TrpDialogComponent", u"Data_access_components.htm"},
    {u"TrpVarEditorForm", u"Variables.htm"},
    {u"TrpHighlightEditorForm", u"Conditional_highlighting.htm"},
    {u"TrpSysMemoEditorForm", u"Inserting_aggregate_function.htm"},
    {u"TrpFormatEditorForm", u"Values_formatting.htm"},
    {u"TrpGroupEditorForm", u"Report_with_groups.htm"},
    {u"TrpPictureEditorForm", u"Picture_object.htm"},
    {u"TrpMemoEditorForm", u"Text_object.htm"},
    {u"TrpSQLEditorForm", u"TrpADOQuery.htm"},
}};

QString WithoutBang(const QString& text)
{
    return text.startsWith(u'!') ? text.mid(1) : text;
}

} // namespace

TrpResources::TrpResources() : helpFile_(QStringLiteral("ZOZude.vev"))
{
    ScanLanguages();
}

QString TrpResources::Get(QStringView name) const
{
    const auto found = names_.find(name.toString());
    if (found == names_.end()) {
        if (missingTextObserver_)
            missingTextObserver_(name);
        return WithoutBang(name.toString());
    }
    return WithoutBang(values_[static_cast<size_t>(found->second)]);
}

QString TrpResources::GetResourceTextById(int id) const
{
    return Get(QString::number(id));
}

void TrpResources::AddW(const QString& name, const QString& text)
{
    const auto found = names_.find(name);
    if (found != names_.end()) {
        values_[static_cast<size_t>(found->second)] = text;
        return;
    }
    values_.push_back(text);
    names_.emplace(name, static_cast<int>(values_.size() - 1));
}

void TrpResources::AddStrings(QStringView text)
{
    for (QStringView line : text.tokenize(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || equals == line.size() - 1)
            continue;
        AddW(line.left(equals).toString(), line.mid(equals + 1).toString());
    }
}

void TrpResources::UpdateSCResources() const
{
    for (int i = 0; i < kScEngineMessageCount; ++i) {
        const auto id = static_cast<TscMessage>(i);
        SetScMessage(id, Get(ScMessageKey(id)));
    }
}

void TrpResources::Clear()
{
    names_.clear();
    values_.clear();
}

void TrpResources::ScanLanguages(const QString& folderName)
{
    languages_.clear();
    languagesFolder_ = folderName.isEmpty() ? GetModuleFolder() : folderName;
    const QDir folder(languagesFolder_);
    for (const QString& file : folder.entryList({QStringLiteral("*.zrc")}, QDir::Files)) {
        QString name = file.toLower();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
        const qsizetype extension = name.indexOf(QLatin1String(".zrc"));
        if (extension >= 0)
            name.remove(extension, 4);
        languages_ << name;
    }
    languages_.sort();
}

QString TrpResources::HelpTopic(QStringView className)
{
    for (const HelpTopicRow& row : kHelpTopics) {
        if (className.compare(QStringView(row.className), Qt::CaseInsensitive) == 0)
            return QStringLiteral("::/") + QString::fromUtf16(row.page);
    }
    return QString();
}

void TrpResources::Help(QStringView senderClassName) const
{
    ReportServices::Ui().ShowHelp(helpFile_, HelpTopic(senderClassName));
}

namespace {

// The built-in blocks: the texts of the preview, printing, engine and script messages, the
// texts the model adds itself, and the designer's texts block, whose invalid-value,
// duplicate-name and password texts the model raises too (each text has its one home there).
const char* const kResourceBlocks[] = {":/report/model/rpRes.xml", ":/report/model/rpModelRes.xml",
                                       ":/report/designer/rpDsgnRes.xml"};

void AddBuiltInBlocks(TrpResources& resources)
{
    InitModelResourceBlocks();
    for (const char* block : kResourceBlocks) {
        const QString name = QString::fromLatin1(block);
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            throw platform::Exception(FormatScMessage(TscMessage::SCannotOpenFile, {name, file.errorString()}).toStdString());
        resources.LoadFromStream(file);
    }
}

} // namespace

TrpResources& GetResourcesInstance()
{
    static TrpResources* instance = [] {
        auto* resources = new TrpResources; // outlives every static object
        AddBuiltInBlocks(*resources);
        return resources;
    }();
    return *instance;
}

QString ResourceText(QStringView name, std::initializer_list<Variant> values)
{
    return FormatResource(GetResourcesInstance().Get(name), values);
}

QString FormatResource(const QString& text, std::initializer_list<Variant> values)
{
    return FormatText(text, values);
}
