// The property editors of the report's own classes, and the way from an event to its handler.

#include "rpDsgnEditors.h"

#include "DesignerRuntime.h"
#include "rpDesgnForm.h"
#include "rpFormatEditor.h"
#include "rpFrameEditor.h"
#include "rpMemoEditor.h"
#include "rpPictureEditor.h"
#include "rpScriptTemplates.h"
#include "rpStringsEditor.h"
#include "rpSynMemo.h"

#include "platform/Exceptions.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Services.h"
#include "report/engine/rpPictureCache.h"
#include "report/engine/rpPrinter.h"
#include "report/model/rpClass_datasets.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpPaperSizes.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include <QPainter>
#include <QWidget>

#include <array>
#include <cmath>
#include <limits>

namespace {

QWidget* Owner(TrpCustomDesigner* designer)
{
    return dynamic_cast<QWidget*>(designer);
}

QString Text(const char* name)
{
    return GetResourcesInstance().Get(QString::fromLatin1(name));
}

// The script as the designer shows it: the script page of a designer window, else the report's.
QStringList ScriptLines(TrpCustomDesigner* designer)
{
    if (auto* window = dynamic_cast<TrpDesignerForm*>(designer); window != nullptr && window->CodeWindow())
        return window->CodeWindow()->Lines().List();
    return designer != nullptr && designer->Report() != nullptr ? designer->Report()->ScriptText() : QStringList();
}

void SetScriptLines(TrpCustomDesigner* designer, const QStringList& lines)
{
    if (auto* window = dynamic_cast<TrpDesignerForm*>(designer); window != nullptr && window->CodeWindow()) {
        window->CodeWindow()->SetLines(lines);
        window->CodeWindow()->SetModified(true);
        return;
    }
    if (designer != nullptr && designer->Report() != nullptr)
        designer->Report()->SetScriptText(lines);
}

QString ScriptLanguage(TrpCustomDesigner* designer)
{
    return designer != nullptr && designer->Report() != nullptr ? designer->Report()->ScriptLanguage : QString();
}

// The script page with the caret at (column, line); nothing without a designer window.
void ShowScriptAt(TrpCustomDesigner* designer, int column, int line)
{
    auto* window = dynamic_cast<TrpDesignerForm*>(designer);
    if (window == nullptr || window->CodeWindow() == nullptr)
        return;
    window->SwitchToCodeWindow();
    window->CodeWindow()->SetPos(column, line);
}

// A memo bound to a field shows the field as its text: [DataSet."Field"].
void UpdateBoundMemo(ScriptObject* object)
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(object);
    if (memo == nullptr || memo->DataField.isEmpty() || memo->DataSet() == nullptr)
        return;
    memo->SetText(QStringLiteral("[") + memo->DataSet()->UserName() + QStringLiteral(".\"") + memo->DataField +
                  QStringLiteral("\"]"));
}

// A length in units as text: whole numbers plain, others with two decimals. A value typed as a
// whole number comes back from pixels a hair off it (1 cm is 37.795... px, 0.9999999999999999
// cm again): such a value counts as whole.
QString LengthText(double value, const FormatSettings& formats)
{
    const double whole = std::round(value);
    if (std::abs(value - whole) < 1e-9)
        value = whole;
    return FloatToShortText(value, formats);
}

// Windows' Rectangle(left, top, right, bottom) leaves out the right and bottom edges.
QRect Rectangle(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace

std::optional<TrpDesignerUnits> DesignUnitsOf(const TrpCustomDesigner* designer)
{
    if (const auto* window = dynamic_cast<const TrpDesignerForm*>(designer))
        return window->Units();
    if (const auto* source = dynamic_cast<const ITrpDesignUnits*>(designer))
        return source->DesignUnits();
    return std::nullopt;
}

bool OpenEventHandler(TrpCustomDesigner* designer, const TrpEventAccess& event, bool raiseWhenMissing)
{
    const QString language = ScriptLanguage(designer);
    QStringList script = ScriptLines(designer);
    const QString current = event.Get();
    if (!current.isEmpty()) {
        const int header = LocateEventHandler(script, language, current);
        ShowScriptAt(designer, 1, header + 3);
        return false;
    }
    const QString name = event.ObjectName + event.EventName;
    event.Set(name);
    int body = -1;
    const int header = LocateEventHandler(script, language, name);
    if (header >= 0) {
        body = header + 3;
    } else {
        body = AddEventHandler(script, language, event.EventType, name);
        if (body >= 0)
            SetScriptLines(designer, script);
    }
    if (body < 0) {
        if (raiseWhenMissing) {
            event.Set(QString());
            throw platform::Exception(Text("dsCantFindProc").toStdString());
        }
        ShowScriptAt(designer, 1, 1);
        return false;
    }
    ShowScriptAt(designer, 3, body);
    return true;
}

// --- dialogs on objects

bool TrpMemoProperty::Edit()
{
    auto* memo = dynamic_cast<TrpCustomMemoView*>(Component());
    if (memo == nullptr)
        return false;
    TrpMemoEditorForm form(Owner(Designer()), Designer());
    form.SetMemoView(memo);
    if (form.Execute() != mrOk)
        return false;
    memo->SetText(form.Text());
    return true;
}

bool TrpFrameProperty::Edit()
{
    auto* frame = dynamic_cast<TrpFrame*>(PropInfo()->GetObject ? PropInfo()->GetObject(*Component()) : nullptr);
    if (frame == nullptr)
        return false;
    TrpFrameEditorForm form(Owner(Designer()), Designer());
    form.SetFrame(*frame);
    if (form.Execute() != mrOk)
        return false;
    // The row stands for every selected object: each takes the frame.
    for (int i = 0; i < EditedCount(); ++i) {
        const PropertyInfo* info = EditedProperty(i);
        if (auto* target = dynamic_cast<TrpFrame*>(info->GetObject ? info->GetObject(*Edited(i)) : nullptr))
            target->Assign(form.Frame());
    }
    return true;
}

namespace {

TrpPicture* EditedPicture(const TrpPropertyEditor& editor)
{
    const PropertyInfo* info = editor.PropInfo();
    return dynamic_cast<TrpPicture*>(info->GetObject ? info->GetObject(*editor.Component()) : nullptr);
}

bool EditPicture(TrpPropertyEditor& editor)
{
    TrpPicture* picture = EditedPicture(editor);
    if (picture == nullptr)
        return false;
    TrpPictureEditorForm form(Owner(editor.Designer()), editor.Designer());
    form.SetPicture(*picture);
    if (form.Execute() != mrOk)
        return false;
    picture->Assign(form.Picture());
    auto* view = dynamic_cast<TrpPictureView*>(editor.Component());
    auto* window = dynamic_cast<TrpDesignerForm*>(editor.Designer());
    if (view != nullptr && window != nullptr && window->PictureCache() != nullptr)
        window->PictureCache()->AddPicture(view);
    return true;
}

} // namespace

QString TrpPictureProperty::GetValue() const
{
    const TrpPicture* picture = EditedPicture(*this);
    return Text(picture != nullptr && !picture->IsEmpty() ? "prPict" : "prNotAssigned");
}

bool TrpPictureProperty::Edit()
{
    return EditPicture(*this);
}

QString TrpBitmapProperty::GetValue() const
{
    return Text("prPict");
}

bool TrpBitmapProperty::Edit()
{
    return EditPicture(*this);
}

bool TrpStringsProperty::Edit()
{
    const PropertyInfo* info = PropInfo();
    if (!info->GetText || !info->SetText)
        return false;
    QStringList lines = info->GetText(*Component()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    TrpStringsEditorForm form(Owner(Designer()), Designer());
    form.SetLines(lines);
    if (form.Execute() != mrOk)
        return false;
    info->SetText(*Component(), form.Lines().join(QStringLiteral("\r\n")));
    return true;
}

// --- data sets and fields

namespace {

TrpDataSet* ReferencedDataSet(const TrpPropertyEditor& editor)
{
    const PropertyInfo* info = editor.PropInfo();
    return dynamic_cast<TrpDataSet*>(info->GetObject ? info->GetObject(*editor.Component()) : nullptr);
}

} // namespace

QString TrpDataSetProperty::GetValue() const
{
    TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
    TrpDataSet* dataSet = ReferencedDataSet(*this);
    const QString alias = report != nullptr && dataSet != nullptr ? report->GetAlias(dataSet) : QString();
    return alias.isEmpty() ? Text("prNotAssigned") : alias;
}

void TrpDataSetProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
    if (report == nullptr)
        return;
    QStringList names;
    std::vector<TrpDataSet*> dataSets;
    report->GetDataSetList(names, dataSets);
    // A data set does not refer to itself.
    const auto* self = dynamic_cast<const TrpDataSet*>(Component());
    const QString own = self != nullptr ? report->GetAlias(self) : QString();
    for (const QString& name : names)
        if (self == nullptr || name.compare(own, Qt::CaseInsensitive) != 0)
            AddValue(name);
}

void TrpDataSetProperty::SetValue(const QString& value)
{
    TrpDataSet* dataSet = nullptr;
    if (!value.isEmpty()) {
        GetValues();
        TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
        if (report == nullptr || !Values().contains(value, Qt::CaseInsensitive))
            RaiseInvalidValue();
        dataSet = report->GetDataset(value);
        if (dataSet == nullptr)
            RaiseInvalidValue();
    }
    for (int i = 0; i < EditedCount(); ++i) {
        const PropertyInfo* info = EditedProperty(i);
        if (info->SetObject)
            info->SetObject(*Edited(i), dataSet);
        UpdateBoundMemo(Edited(i));
    }
}

void TrpDataFieldProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    auto* view = dynamic_cast<TrpView*>(Component());
    if (view == nullptr || view->DataSet() == nullptr)
        return;
    QStringList fields;
    view->DataSet()->GetFieldList(fields);
    for (const QString& field : fields)
        AddValue(field);
}

void TrpDataFieldProperty::SetValue(const QString& value)
{
    WriteText(value);
    for (int i = 0; i < EditedCount(); ++i)
        UpdateBoundMemo(Edited(i));
}

// --- events

void TrpEventProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    QStringList handlers;
    ListEventHandlers(ScriptLines(Designer()), ScriptLanguage(Designer()), PropInfo()->TypeName, handlers);
    for (const QString& handler : handlers)
        AddValue(handler);
}

bool TrpEventProperty::Edit()
{
    if (!CheckOp(drDontEditReportScript))
        return false;
    auto* component = dynamic_cast<TrpComponent*>(Component());
    TrpEventAccess event;
    event.ObjectName = component != nullptr ? component->Name() : QString();
    event.EventName = PropInfo()->Name;
    event.EventType = PropInfo()->TypeName;
    event.Get = [this] { return ReadText(); };
    event.Set = [this](const QString& value) { WriteText(value); };
    return OpenEventHandler(Designer(), event, true);
}

// --- display format, printer, style

QString TrpDisplayFormatProperty::GetValue() const
{
    return QStringLiteral("(") + PropInfo()->TypeName + QStringLiteral(")");
}

bool TrpDisplayFormatProperty::Edit()
{
    auto* first = dynamic_cast<TrpCustomMemoView*>(Component());
    if (first == nullptr)
        return false;
    TrpFormatEditorForm form(Owner(Designer()), Designer());
    form.SetFormat(first->DisplayFormat());
    if (form.Execute() != mrOk)
        return false;
    for (int i = 0; i < EditedCount(); ++i) {
        auto* memo = dynamic_cast<TrpCustomMemoView*>(Edited(i));
        if (memo != nullptr && (memo->Restrictions() & (1u << rfDontModify)) == 0)
            memo->SetDisplayFormat(form.Format());
    }
    return true;
}

void TrpPrinterProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    AddValue(Text("prDefault"));
    for (const QString& name : GetPrintersInstance().Printers())
        AddValue(name);
}

void TrpStyleProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    TrpReport* report = Designer() != nullptr ? Designer()->Report() : nullptr;
    if (report == nullptr)
        return;
    for (int i = 0; i < report->Styles().Count(); ++i)
        AddValue(report->Styles().Items(i)->Name());
}

// --- lengths

double TrpLocSizeXProperty::ToUnits(double stored) const
{
    switch (DesignUnitsOf(Designer()).value_or(duPixels)) {
    case duCM:
        return stored / 96.0 * 2.54;
    case duInches:
        return stored / 96.0;
    case duPixels:
        return stored;
    case duChars:
        return stored / FRatio;
    }
    return stored;
}

double TrpLocSizeXProperty::FromUnits(double value) const
{
    switch (DesignUnitsOf(Designer()).value_or(duPixels)) {
    case duCM:
        return value * 96.0 / 2.54;
    case duInches:
        return value * 96.0;
    case duPixels:
        return value;
    case duChars:
        return value * FRatio;
    }
    return value;
}

QString TrpLocSizeXProperty::GetValue() const
{
    if (!DesignUnitsOf(Designer()))
        return TrpFloatProperty::GetValue();
    return LengthText(ToUnits(ReadFloat()), Formats());
}

void TrpLocSizeXProperty::SetValue(const QString& value)
{
    // A width or height is never negative, but a line's, whose sign gives its direction.
    bool size = false;
    if (const QString name = GetName(); name == QLatin1String("Width") || name == QLatin1String("Height")) {
        for (int i = 0; i < EditedCount(); ++i)
            size = size || dynamic_cast<const TrpCustomLineView*>(Edited(i)) == nullptr;
    }
    const double low = size ? 0 : -kMaxCoordinate;
    if (!DesignUnitsOf(Designer())) {
        WriteFloat(TypedNumber(value, low, kMaxCoordinate));
        return;
    }
    WriteFloat(FromUnits(TypedNumber(value, ToUnits(low), ToUnits(kMaxCoordinate))));
}

double TrpPaperXProperty::ToUnits(double stored) const
{
    switch (DesignUnitsOf(Designer()).value_or(duPixels)) {
    case duCM:
        return stored / 10.0;
    case duInches:
        return stored / 25.4;
    case duPixels:
        return stored * 96.0 / 25.4;
    case duChars:
        return stored * 96.0 / 25.4 / FRatio;
    }
    return stored;
}

double TrpPaperXProperty::FromUnits(double value) const
{
    switch (DesignUnitsOf(Designer()).value_or(duPixels)) {
    case duCM:
        return value * 10.0;
    case duInches:
        return value * 25.4;
    case duPixels:
        return value * 25.4 / 96.0;
    case duChars:
        return value * 25.4 / 96.0 * FRatio;
    }
    return value;
}

QString TrpPaperXProperty::GetValue() const
{
    if (!DesignUnitsOf(Designer()))
        return TrpFloatProperty::GetValue();
    return LengthText(ToUnits(ReadFloat()), Formats());
}

void TrpPaperXProperty::SetValue(const QString& value)
{
    if (!DesignUnitsOf(Designer())) {
        TrpFloatProperty::SetValue(value);
        return;
    }
    WriteFloat(FromUnits(TypedNumber(value, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max())));
}

// --- paper

namespace {

TrpCustomPrinter* CurrentPrinter()
{
    return GetPrintersInstance().Printer();
}

} // namespace

QString TrpPaperProperty::GetValue() const
{
    const int32_t code = ReadOrdinal();
    TrpCustomPrinter* printer = CurrentPrinter();
    if (printer == nullptr)
        return QString::number(code);
    int32_t index = printer->PaperIndex(code);
    if (index < 0)
        index = printer->PaperIndex(kPaperCustom);
    if (index < 0 || index >= static_cast<int32_t>(printer->Papers().size()))
        return QString::number(code);
    return printer->Papers()[static_cast<size_t>(index)].Name;
}

void TrpPaperProperty::GetValues()
{
    TrpPropertyEditor::GetValues();
    if (TrpCustomPrinter* printer = CurrentPrinter())
        for (const TrpPrinterItem& paper : printer->Papers())
            AddValue(paper.Name);
}

void TrpPaperProperty::SetValue(const QString& value)
{
    TrpCustomPrinter* printer = CurrentPrinter();
    if (printer == nullptr) {
        TrpIntegerProperty::SetValue(value);
        return;
    }
    WriteOrdinal(printer->PaperNameToNumber(value));
}

// --- owner drawing

namespace {

Qt::BrushStyle QtBrush(int style)
{
    static const std::array<Qt::BrushStyle, 8> styles{Qt::SolidPattern,  Qt::NoBrush,       Qt::HorPattern,
                                                      Qt::VerPattern,    Qt::FDiagPattern,  Qt::BDiagPattern,
                                                      Qt::CrossPattern,  Qt::DiagCrossPattern};
    return style >= 0 && style < static_cast<int>(styles.size()) ? styles[static_cast<size_t>(style)]
                                                                 : Qt::SolidPattern;
}

void DrawBrushBox(QPainter& painter, const QRect& box, int style)
{
    painter.setPen(Qt::black);
    painter.setBrush(QBrush(Qt::black, QtBrush(style)));
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.drawRect(box);
    painter.setBrush(Qt::NoBrush);
}

// A 32-pixel sample of a frame style: two solid lines two pixels apart for the double style,
// else two adjacent lines in the pen style of the same ordinal.
void DrawFrameSample(QPainter& painter, int x, int y, int style)
{
    static const std::array<Qt::PenStyle, 6> pens{Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                                  Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen pen(Qt::black);
    pen.setWidth(1);
    if (style == fsDouble) {
        painter.setPen(pen);
        painter.drawLine(x, y - 2, x + 31, y - 2);
        painter.drawLine(x, y, x + 31, y);
        return;
    }
    pen.setStyle(style >= 0 && style < static_cast<int>(pens.size()) ? pens[static_cast<size_t>(style)]
                                                                     : Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(x, y - 1, x + 31, y - 1);
    painter.drawLine(x, y, x + 31, y);
}

// The check mark: three polylines one pixel apart.
void DrawCheckMark(QPainter& painter, int left, int top, bool listItem)
{
    const int off = 0;
    painter.setPen(Qt::black);
    for (int k = 0; k < 3; ++k) {
        const std::array<QPoint, 3> line =
            listItem ? std::array<QPoint, 3>{QPoint(left + off + 5, top + off + 6 + k),
                                             QPoint(left + off + 7, top + off + 8 + k),
                                             QPoint(left + off + 12, top + off + 3 + k)}
                     : std::array<QPoint, 3>{QPoint(left + off + 2, top + off + 5 + k),
                                             QPoint(left + off + 4, top + off + 7 + k),
                                             QPoint(left + off + 9, top + off + 2 + k)};
        painter.drawPolyline(line.data(), static_cast<int>(line.size()));
    }
}

} // namespace

void TrpBrushProperty::OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    TrpPropertyEditor::OnDrawLBItem(painter, index, rect, selected);
    if (index < 0 || index >= Values().size() || PropInfo()->Enum == nullptr)
        return;
    const int style = PropInfo()->Enum->OrdinalOf(Values()[index]).value_or(0);
    const int height = rect.height();
    DrawBrushBox(painter, Rectangle(rect.left() + 2, rect.top() + 2, rect.left() + height - 2, rect.bottom() + 1 - 2),
                 style);
}

void TrpBrushProperty::OnDrawItem(QPainter& painter, const QRect& rect)
{
    TrpPropertyEditor::OnDrawItem(painter, rect);
    const int height = rect.height();
    DrawBrushBox(painter, Rectangle(rect.left(), rect.top() + 1, rect.left() + height - 5, rect.bottom() + 1 - 4),
                 ReadOrdinal());
}

void TrpFrameStyleProperty::OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    const QPalette palette;
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    if (index < 0 || index >= Values().size() || PropInfo()->Enum == nullptr)
        return;
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter.drawText(QPoint(rect.left() + 40, rect.top() + 1 + painter.fontMetrics().ascent()), Values()[index]);
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::white);
    painter.drawRect(Rectangle(rect.left() + 2, rect.top() + 2, rect.left() + 36, rect.bottom() + 1 - 2));
    painter.setBrush(Qt::NoBrush);
    DrawFrameSample(painter, rect.left() + 3, rect.top() + rect.height() / 2, PropInfo()->Enum->OrdinalOf(Values()[index]).value_or(0));
}

void TrpFrameStyleProperty::OnDrawItem(QPainter& painter, const QRect& rect)
{
    painter.drawText(QPoint(rect.left() + 38, rect.top() + painter.fontMetrics().ascent()), GetValue());
    painter.setPen(Qt::gray);
    painter.setBrush(Qt::white);
    painter.drawRect(Rectangle(rect.left(), rect.top() + 1, rect.left() + 34, rect.bottom() + 1 - 4));
    painter.setBrush(Qt::NoBrush);
    DrawFrameSample(painter, rect.left() + 1, rect.top() + rect.height() / 2 - 1, ReadOrdinal());
}

void TrpStdBooleanProperty::OnDrawLBItem(QPainter& painter, int index, const QRect& rect, bool selected)
{
    TrpPropertyEditor::OnDrawLBItem(painter, index, rect, selected);
    if (index < 0 || index >= Values().size())
        return;
    const int height = rect.height();
    painter.setPen(Qt::black);
    painter.setBrush(QPalette().base());
    painter.drawRect(Rectangle(rect.left() + 2, rect.top() + 2, rect.left() + height - 2, rect.bottom() + 1 - 2));
    painter.setBrush(Qt::NoBrush);
    if (Values()[index].compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        DrawCheckMark(painter, rect.left(), rect.top(), true);
}

void TrpStdBooleanProperty::OnDrawItem(QPainter& painter, const QRect& rect)
{
    TrpPropertyEditor::OnDrawItem(painter, rect);
    const int height = rect.height();
    painter.setPen(Qt::black);
    painter.drawRect(Rectangle(rect.left(), rect.top() + 1, rect.left() + height - 5, rect.bottom() + 1 - 4));
    if (ReadOrdinal() != 0)
        DrawCheckMark(painter, rect.left(), rect.top(), false);
}
