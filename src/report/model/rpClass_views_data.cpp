// How the views take their data while a report prints: tags and links with expressions,
// memo texts from fields and expressions with their display formats, check boxes from fields
// and expressions, pictures from files and blob fields; and the memo split across pages.

#include "rpChBox.h"
#include "rpClass_datasets.h"
#include "rpClass_expressions.h"
#include "rpClass_memo.h"
#include "rpClass_report.h"
#include "rpExpressionEvaluator.h"
#include "rpGraphicUtils.h"

#include "report/core/Formats.h"
#include "report/core/InputFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <mutex>

namespace {

const FormatSettings& SettingsOf(const ITrpExpressionEvaluator* evaluator)
{
    static const FormatSettings defaults = FormatSettings::C();
    return evaluator != nullptr ? evaluator->Settings() : defaults;
}

// The open and close delimiters of a memo's "open,close" setting.
std::pair<QString, QString> SplitDelimiters(const QString& delimiters)
{
    const qsizetype comma = delimiters.indexOf(u',');
    if (comma < 0)
        return {delimiters, QString()};
    return {delimiters.left(comma), delimiters.mid(comma + 1)};
}

} // namespace

// --- TrpView

ITrpExpressionEvaluator* TrpView::Evaluator() const
{
    const TrpComponent* report = Report();
    return report != nullptr ? report->ExpressionEvaluator() : nullptr;
}

QString TrpView::ExpandExpressions(const QString& text) const
{
    ITrpExpressionEvaluator* evaluator = Evaluator();
    if (evaluator == nullptr || !text.contains(u'['))
        return text;
    const FormatSettings& settings = evaluator->Settings();
    return ExpandBracketedExpressions(text, u"[", u"]", [&](const QString& expression) {
        return evaluator->Calc(expression).ToString(settings);
    });
}

void TrpView::BeforePrint()
{
    TrpReportComponent::BeforePrint();
    TempTag = TagStr;
    TempURL = URL;
    if (ITrpExpressionEvaluator* evaluator = Evaluator())
        evaluator->SetSelfValue(this);
}

void TrpView::GetData()
{
    TagStr = ExpandExpressions(TagStr);
    URL = ExpandExpressions(URL);
}

void TrpView::AfterPrint()
{
    TrpReportComponent::AfterPrint();
    TagStr = TempTag;
    URL = TempURL;
}

// --- TrpCustomMemoView

void TrpCustomMemoView::BeforePrint()
{
    TrpView::BeforePrint();
    if (!IsDataField())
        tempMemo_ = Text();
}

void TrpCustomMemoView::AfterPrint()
{
    if (!IsDataField())
        SetText(tempMemo_);
    TrpView::AfterPrint();
}

QString TrpCustomMemoView::FormatData(const Variant& value, const TrpFormat* format) const
{
    if (value.IsNull())
        return QString();
    const TrpFormat& used = format != nullptr ? *format : DisplayFormat();
    const FormatSettings& settings = SettingsOf(Evaluator());
    try {
        switch (used.Kind) {
        case fkNumeric:
            return FormatNumericValue(value, used.FormatStr, used.DecimalSeparator, used.ThousandSeparator, settings);
        case fkDateTime:
            return FormatDateTime(used.FormatStr, value.ToDouble(settings), settings);
        case fkBoolean:
            return FormatBooleanValue(value, used.FormatStr, settings);
        case fkText:
            break;
        }
        return value.ToString(settings);
    } catch (const platform::Exception&) {
        // A format that does not suit the value prints the value as it is.
    }
    try {
        return value.ToString(settings);
    } catch (const platform::Exception&) {
        return QString();
    }
}

QString TrpCustomMemoView::ExpressionText(const QString& expression)
{
    const TrpExpressionFormat split = SplitExpressionFormat(expression);
    const QString macro = MacroOfExpression(split.Expression);
    if (!macro.isEmpty())
        return macro;
    ITrpExpressionEvaluator* evaluator = Evaluator();
    if (evaluator == nullptr)
        return QString();
    Value = evaluator->Calc(split.Expression);
    if (HideZeros && IsZeroValue(Value, evaluator->Settings()))
        return QString();
    if (!split.HasFormat)
        return FormatData(Value);
    TrpFormat format;
    switch (split.KindLetter.toUpper().unicode()) {
    case u'N':
        format.Kind = fkNumeric;
        break;
    case u'D':
    case u'T':
        format.Kind = fkDateTime;
        break;
    case u'B':
        format.Kind = fkBoolean;
        break;
    default:
        format.Kind = fkText;
        break;
    }
    format.FormatStr = split.FormatStr;
    format.DecimalSeparator = split.DecimalSeparator;
    return FormatData(Value, &format);
}

void TrpCustomMemoView::GetData()
{
    TrpView::GetData();
    ITrpExpressionEvaluator* evaluator = Evaluator();
    if (IsDataField()) {
        TrpDataSet* dataSet = DataSet();
        if (dataSet->IsBlobField(DataField)) {
            dataSet->AssignBlobTo(DataField, Memo());
        } else {
            Value = dataSet->GetValue(DataField);
            QString text = DisplayFormat().Kind != fkText ? FormatData(Value) : dataSet->GetDisplayText(DataField);
            if (HideZeros && IsZeroValue(Value, SettingsOf(evaluator)))
                text.clear();
            SetText(text);
        }
    } else if (AllowExpressions) {
        const auto [open, close] = SplitDelimiters(ExpressionDelimiters);
        const QString text = Text();
        if (!open.isEmpty() && text.contains(open)) {
            SetText(ExpandBracketedExpressions(text, open, close,
                                               [this](const QString& expression) { return ExpressionText(expression); }));
        }
    }
    if (evaluator != nullptr)
        evaluator->SetLocalValue(Value);
    Highlight().Active = false;
    if (!Highlight().Condition.trimmed().isEmpty() && evaluator != nullptr)
        Highlight().Active = evaluator->Calc(Highlight().Condition).ToBoolean(evaluator->Settings());
    if (SuppressRepeated) {
        const QString text = Text();
        if (LastValue.IsString() && LastValue.AsString() == text)
            SetText(QString());
        else
            LastValue = Variant(text);
    }
    if (TrpCustomMemoView* target = FlowTo()) {
        InitPart();
        DrawPart();
        target->SetText(partMemo_);
        target->AllowExpressions = false;
    }
}

void TrpCustomMemoView::ExtractMacros()
{
    if (!AllowExpressions)
        return;
    const QString text = Text();
    if (!text.contains(u'['))
        return;
    QString copyName;
    if (auto* report = dynamic_cast<TrpReport*>(Report())) {
        const Variant name = report->Variables().GetValue(QStringLiteral("CopyName"));
        if (!name.IsNull()) {
            try {
                copyName = name.ToString(SettingsOf(Evaluator())) + QString::number(CopyNo);
            } catch (const platform::Exception&) {
                copyName.clear();
            }
        }
    }
    bool replaced = false;
    const QString result = ReplaceMacros(text, TotalPages, copyName, replaced);
    if (replaced)
        SetText(result);
}

QString TrpCustomMemoView::GetComponentText() const
{
    return AllowExpressions ? ReplaceTotalPagesField(Text(), TotalPages) : Text();
}

QString TrpCustomMemoView::WrapText(bool wrapWords)
{
    TrpDrawText& renderer = Renderer();
    std::lock_guard lock(renderer.Mutex());
    LayOutAtScaleOne(renderer, false);
    return wrapWords ? renderer.WrappedText() : TrpDrawText::DeleteTags(Text());
}

void TrpCustomMemoView::InitPart()
{
    partMemo_ = Text();
    FirstParaBreak = false;
    LastParaBreak = false;
}

double TrpCustomMemoView::DrawPart()
{
    TrpDrawText& renderer = Renderer();
    std::lock_guard lock(renderer.Mutex());
    SetText(partMemo_);
    LayOutAtScaleOne(renderer, false);
    renderer.SetParaBreaks(FirstParaBreak, LastParaBreak);
    bool paraBreak = false;
    partMemo_ = renderer.GetOutBoundsText(paraBreak);
    SetText(renderer.GetInBoundsText());
    LastParaBreak = paraBreak;
    const double unused = renderer.UnusedSpace();
    return unused == 0 ? Height() : unused;
}

// --- TrpCheckBoxView

void TrpCheckBoxView::GetData()
{
    TrpView::GetData();
    ITrpExpressionEvaluator* evaluator = Evaluator();
    const FormatSettings& settings = SettingsOf(evaluator);
    if (IsDataField()) {
        const Variant value = DataSet()->GetValue(DataField);
        Checked = !value.IsNull() && value.ToBoolean(settings);
    } else if (!Expression.isEmpty() && evaluator != nullptr) {
        Checked = evaluator->Calc(Expression).ToBoolean(settings);
    }
}

// --- TrpPictureView

uint32_t TrpPictureView::LoadPictureFromStream(QIODevice& stream, bool resetStreamPos)
{
    const qint64 start = resetStreamPos ? 0 : stream.pos();
    const qint64 size = stream.size();
    stream.seek(start);
    if (size - start > 7) {
        const QByteArray header = stream.read(kPictureBlobHeaderSize);
        if (!IsPictureBlobHeader(header, size))
            stream.seek(start);
    }
    const qint64 remaining = size - stream.pos();
    QString kind;
    QByteArray bytes;
    if (remaining > 0 && remaining <= kMaxPictureBytes) {
        bytes = stream.read(remaining);
        kind = SniffPictureKind(bytes);
    }
    if (kind.isEmpty()) {
        picture_.Clear();
        return kPictureNotRecognised;
    }
    picture_.SetData(kind, bytes);
    return 0;
}

void TrpPictureView::GetData()
{
    TrpView::GetData();
    if (!FileLink.isEmpty()) {
        // Any picture file the user can read: reports are opened by the user on purpose.
        const QString fileName = ExpandExpressions(FileLink);
        QByteArray bytes;
        QString reason;
        if (!ReadInputFile(fileName, kMaxPictureBytes, bytes, reason))
            bytes.clear(); // no picture: a missing, unreadable or oversized file shows none
        const QString kind = DetectPictureFileKind(bytes);
        if (kind.isEmpty())
            picture_.Clear();
        else
            picture_.SetData(kind, bytes);
    } else if (IsDataField() && DataSet()->IsBlobField(DataField)) {
        QByteArray blob;
        QBuffer stream(&blob);
        stream.open(QIODevice::ReadWrite);
        DataSet()->AssignBlobTo(DataField, stream);
        LoadPictureFromStream(stream, true);
    }
}
