// How the designer window shows the state of the selection and the report: the formatting
// controls, which commands are enabled, the status bar, recent files and caption, and the two
// view settings that change the geometry, scale and units.

#include "rpDesgnForm.h"

#include "DesignerRuntime.h"
#include "rpDesgnCtrls.h"
#include "rpDesgnForm_internal.h"
#include "rpDataTree.h"
#include "rpDsgnImages.h"
#include "rpInsp.h"
#include "rpReportTree.h"
#include "rpSynMemo.h"

#include "report/core/NumberText.h"
#include "report/core/PropertyRegistry.h"
#include "report/core/Rounding.h"
#include "report/core/gui/QtConversions.h"
#include "report/engine/rpDMPClass.h"
#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_styles.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

namespace {

bool Publishes(const TrpComponent* object, QStringView property)
{
    if (object == nullptr)
        return false;
    const RegisteredClass* registered = PropertyRegistry::Global().FindFor(object->ScriptClass());
    return registered != nullptr && registered->Find(property) != nullptr;
}

QComboBox* Combo(QWidget* widget)
{
    return static_cast<QComboBox*>(widget);
}

} // namespace

void TrpDesignerForm::Enable(const QString& name, bool enabled)
{
    if (QAction* action = Action(name)) {
        // What the state allows, kept for the command's handler, which not every command has yet.
        action->setProperty("allowed", enabled);
        action->setEnabled(enabled && HasHandler(name));
        return;
    }
    if (QWidget* control = Control(name)) {
        control->setEnabled(enabled);
        if (!enabled)
            if (auto* button = qobject_cast<QToolButton*>(control); button != nullptr && button->isCheckable())
                button->setChecked(false);
    }
}

void TrpDesignerForm::SetDown(const QString& name, bool down)
{
    if (auto* button = qobject_cast<QToolButton*>(Control(name)))
        button->setChecked(down);
}

void TrpDesignerForm::UpdateControls()
{
    if (FCodeWindow == nullptr)
        return;
    FUpdatingControls = true;
    const size_t n = SelectedObjects().size();
    TrpComponent* c = n > 0 ? SelectedObjects().front().data() : nullptr;
    const bool pageShown = Page() != nullptr;
    auto* memo = dynamic_cast<TrpCustomMemoView*>(c);
    const bool dotMatrixPage = dynamic_cast<TrpDMPPage*>(Page()) != nullptr;
    const bool cIsDMPPage = dynamic_cast<TrpDMPPage*>(c) != nullptr;

    auto* fontName = Combo(Control(QStringLiteral("FontNameCB")));
    auto* fontSize = Combo(Control(QStringLiteral("FontSizeCB")));
    auto* style = Combo(Control(QStringLiteral("StyleCB")));
    auto* frameWidth = Combo(Control(QStringLiteral("FrameWidthCB")));
    static const char* const kToggles[] = {"BoldB", "ItalicB", "UnderlineB", "TextAlignLeftB", "TextAlignCenterB",
                                           "TextAlignRightB", "TextAlignBlockB", "TextAlignTopB",
                                           "TextAlignMiddleB", "TextAlignBottomB", "FrameTopB", "FrameBottomB",
                                           "FrameLeftB", "FrameRightB", "ShadowB"};
    if (n == 1 && c != nullptr) {
        // The index first: choosing none empties the edit text.
        fontName->setCurrentIndex(fontName->findText(c->Font().Name()));
        fontName->setEditText(c->Font().Name());
        fontSize->setEditText(QString::number(c->Font().Size()));
        const uint32_t fontStyle = c->Font().Style();
        SetDown(QStringLiteral("BoldB"), fontStyle & kFontStyleBold);
        SetDown(QStringLiteral("ItalicB"), fontStyle & kFontStyleItalic);
        SetDown(QStringLiteral("UnderlineB"), fontStyle & kFontStyleUnderline);
        if (memo != nullptr) {
            SetDown(QStringLiteral("TextAlignLeftB"), memo->HAlign == haLeft);
            SetDown(QStringLiteral("TextAlignCenterB"), memo->HAlign == haCenter);
            SetDown(QStringLiteral("TextAlignRightB"), memo->HAlign == haRight);
            SetDown(QStringLiteral("TextAlignBlockB"), memo->HAlign == haBlock);
            SetDown(QStringLiteral("TextAlignTopB"), memo->VAlign == vaTop);
            SetDown(QStringLiteral("TextAlignMiddleB"), memo->VAlign == vaCenter);
            SetDown(QStringLiteral("TextAlignBottomB"), memo->VAlign == vaBottom);
            if (dynamic_cast<TrpDMPMemoView*>(memo) == nullptr) {
                const int index = memo->Style().isEmpty() ? 0 : style->findText(memo->Style());
                style->setCurrentIndex(index >= 0 ? index : 0);
            }
        }
        const TrpFrame* frame = nullptr;
        if (auto* view = dynamic_cast<TrpView*>(c))
            frame = &view->Frame();
        else if (auto* reportPage = dynamic_cast<TrpReportPage*>(c))
            frame = &reportPage->Frame();
        frameWidth->clear();
        // The widths as short as they are, with the locale's decimal separator.
        const auto widthText = [](double width) {
            return QString::number(width).replace(u'.', DesignerRuntime::Formats().DecimalSeparator);
        };
        for (double width : {0.1, 0.5, 1.0, 1.5, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0})
            frameWidth->addItem(widthText(width));
        if (frame != nullptr) {
            SetDown(QStringLiteral("FrameTopB"), frame->Typ & SetBit(ftTop));
            SetDown(QStringLiteral("FrameBottomB"), frame->Typ & SetBit(ftBottom));
            SetDown(QStringLiteral("FrameLeftB"), frame->Typ & SetBit(ftLeft));
            SetDown(QStringLiteral("FrameRightB"), frame->Typ & SetBit(ftRight));
            SetDown(QStringLiteral("ShadowB"), frame->DropShadow);
            frameWidth->setEditText(widthText(frame->Width()));
        }
    } else {
        fontName->setCurrentIndex(-1);
        fontSize->setCurrentIndex(-1);
        fontSize->setEditText(QString());
        style->setCurrentIndex(-1);
        for (const char* name : kToggles)
            SetDown(QString::fromLatin1(name), false);
    }

    const bool fontCapable = Publishes(c, u"Font") && !cIsDMPPage && pageShown;
    const bool memoShown = memo != nullptr && pageShown;
    const bool isLineOrShape = dynamic_cast<TrpCustomLineView*>(c) != nullptr || dynamic_cast<TrpShapeView*>(c) != nullptr;
    const bool frameCapable = Publishes(c, u"Frame") && !isLineOrShape && !cIsDMPPage && pageShown;
    const bool frameColourCapable = Publishes(c, u"Frame") && !cIsDMPPage && pageShown;
    const bool fillCapable = Publishes(c, u"Color") && !cIsDMPPage && pageShown;
    const bool many = n > 1;
    for (const char* name : {"FontNameCB", "FontSizeCB", "BoldB", "ItalicB", "UnderlineB", "FontColorB"})
        Enable(QString::fromLatin1(name), (fontCapable || many) && !dotMatrixPage);
    const bool dmpObject = dynamic_cast<TrpDMPMemoView*>(c) != nullptr || dynamic_cast<TrpDMPLineView*>(c) != nullptr ||
                           dynamic_cast<TrpDMPCommand*>(c) != nullptr || cIsDMPPage;
    Enable(QStringLiteral("FontB"), fontCapable || dmpObject || many);
    for (const char* name : {"TextAlignLeftB", "TextAlignCenterB", "TextAlignRightB", "TextAlignBlockB",
                             "TextAlignTopB", "TextAlignMiddleB", "TextAlignBottomB"})
        Enable(QString::fromLatin1(name), memoShown || many);
    for (const char* name : {"StyleCB", "HighlightB", "RotateB"})
        Enable(QString::fromLatin1(name), (memoShown || many) && !dotMatrixPage);
    for (const char* name : {"FrameTopB", "FrameBottomB", "FrameLeftB", "FrameRightB", "FrameAllB", "FrameNoB",
                             "ShadowB"})
        Enable(QString::fromLatin1(name), frameCapable || many);
    for (const char* name : {"FrameColorB", "FrameStyleB", "FrameWidthCB"})
        Enable(QString::fromLatin1(name), (frameColourCapable || many) && !dotMatrixPage);
    Enable(QStringLiteral("FillColorB"), fillCapable && !dotMatrixPage);
    UpdateDMPControls();

    // Commands.
    const bool somethingButPage = c != nullptr && c != Page();
    Enable(QStringLiteral("UndoCmd"), FUndoBuffer != nullptr && FUndoBuffer->UndoCount() > 1);
    Enable(QStringLiteral("RedoCmd"), FUndoBuffer != nullptr && FUndoBuffer->RedoCount() > 0 && pageShown);
    Enable(QStringLiteral("CutCmd"), !pageShown || somethingButPage);
    Enable(QStringLiteral("CopyCmd"), !pageShown || somethingButPage);
    Enable(QStringLiteral("PasteCmd"), !pageShown || (FClipboard != nullptr && FClipboard->PasteAvailable()));
    Enable(QStringLiteral("PageSettingsCmd"), IsReportPageShown() && CheckOp(drDontChangePageOptions));
    const bool inherited = Page() != nullptr && Page()->IsAncestor();
    Enable(QStringLiteral("DeletePageCmd"), Report()->PagesCount() >= 3 && pageShown && !IsDataPageShown() &&
                                                CheckOp(drDontDeletePage) && !inherited);
    Enable(QStringLiteral("SaveCmd"), Modified() && CheckOp(drDontSaveReport));
    for (const char* name : {"DeleteCmd", "BringToFrontCmd", "SendToBackCmd", "SetToGridB"})
        Enable(QString::fromLatin1(name), somethingButPage);
    Enable(QStringLiteral("SelectAllCmd"), !(pageShown && Objects().size() <= 2));
    Enable(QStringLiteral("EditCmd"), n == 1 && pageShown);
    Enable(QStringLiteral("GroupCmd"), somethingButPage && c != Report());
    Enable(QStringLiteral("UngroupCmd"), somethingButPage && c != Report());
    for (const char* name : {"ScaleCB", "HandToolB", "ZoomToolB", "TextToolB"})
        Enable(QString::fromLatin1(name), IsReportPageShown());
    if (auto* tabOrder = findChild<QAction*>(QStringLiteral("TabOrderMI")))
        tabOrder->setVisible(IsDialogPageShown());

    // Status panel 2: the selected object.
    QString text;
    if (n == 1 && c != nullptr) {
        text = c->Name();
        if (auto* view = dynamic_cast<TrpView*>(c); view != nullptr && view->IsDataField()) {
            text += QStringLiteral(": ") + Report()->GetAlias(view->DataSet()) + QStringLiteral(".\"") +
                    view->DataField + u'"';
        } else if (memo != nullptr) {
            text += QStringLiteral(": ") + memo->Text().left(128);
        } else if (auto* band = dynamic_cast<TrpDataBand*>(c); band != nullptr && band->DataSet() != nullptr) {
            text += QStringLiteral(": ") + Report()->GetAlias(band->DataSet());
        } else if (auto* group = dynamic_cast<TrpGroupHeader*>(c)) {
            text += QStringLiteral(": ") + group->Condition;
        }
    }
    // One line in the status bar: line breaks of a memo's text show as blanks.
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    FStatusObject->setText(text);
    FUpdatingControls = false;
}

void TrpDesignerForm::TimerTimer()
{
    Enable(QStringLiteral("PasteCmd"), Page() == nullptr || (FClipboard != nullptr && FClipboard->PasteAvailable()));
}

// --- scale ---

void TrpDesignerForm::SetScale(double value)
{
    if (value == 0)
        value = 1;
    if (value > 20)
        value = 20;
    FScale = value;
    FTopRuler->SetScale(value);
    FLeftRuler->SetScale(value);
    if (Page() != nullptr && !IsDialogPageShown() && !IsDataPageShown())
        FWorkspace->SetScale(value);
    auto* scale = Combo(Control(QStringLiteral("ScaleCB")));
    scale->setEditText(QString::number(static_cast<int64_t>(RoundHalfEven(value * 100))) + u'%');
    UpdatePageDimensions();
}

void TrpDesignerForm::ScaleCBClick()
{
    auto* scale = Combo(Control(QStringLiteral("ScaleCB")));
    const int index = scale->currentIndex();
    auto* page = dynamic_cast<TrpReportPage*>(Page());
    QString text;
    const int boxWidth = FScrollBox->viewport()->width();
    const int boxHeight = FScrollBox->viewport()->height();
    if (index == 6 && page != nullptr && scale->currentText() == scale->itemText(6)) {
        text = QString::number(static_cast<int64_t>(
            RoundHalfEven((boxWidth - 40) / (page->PaperWidth() * 96 / 25.4) * 100)));
    } else if (index == 7 && page != nullptr && scale->currentText() == scale->itemText(7)) {
        const auto byWidth = static_cast<int64_t>(RoundHalfEven(double(boxWidth - 20) / FWorkspace->PageWidth() * 100));
        const auto byHeight =
            static_cast<int64_t>(RoundHalfEven(double(boxHeight - 20) / FWorkspace->PageHeight() * 100));
        text = QString::number(byWidth < byHeight ? byWidth : byHeight);
    } else {
        text = scale->currentText();
    }
    const qsizetype percent = text.indexOf(u'%');
    if (percent >= 0)
        text[percent] = u' ';
    text.remove(u' ');
    if (text.isEmpty())
        return;
    text.replace(u',', u'.');
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok)
        return;
    SetScale(number / 100);
    scale->setEditText(text + u'%');
    FScrollBox->setFocus();
}

void TrpDesignerForm::ScaleByWheel(int notches)
{
    if (Page() == nullptr)
        return;
    double value = FScale + 0.05 * notches;
    if (value < 0.3)
        value = 0.3;
    SetScale(value);
    Combo(Control(QStringLiteral("ScaleCB")))
        ->setEditText(QString::number(static_cast<int64_t>(RoundHalfEven(FScale * 100))) + u'%');
    FScrollBox->setFocus();
}

// --- units ---

void TrpDesignerForm::SetUnits(TrpDesignerUnits value)
{
    FUnits = value;
    static const char16_t* const kNames[] = {u"dsCm", u"dsInch", u"dsPix", u"dsChars"};
    FStatusUnits->setText(ResourceText(kNames[value]));
    FTopRuler->SetUnits(static_cast<TrpRulerUnits>(value));
    FLeftRuler->SetUnits(static_cast<TrpRulerUnits>(value));
    UpdateWorkspaceGrid();
    FWorkspace->update();
    if (!SelectedObjects().empty())
        SelectionChanged(nullptr);
}

void TrpDesignerForm::StatusBarMouseDown(int panel)
{
    FUnitsClicked = panel == 0;
}

void TrpDesignerForm::StatusBarDblClick()
{
    if (!FUnitsClicked)
        return;
    FUnitsClicked = false;
    if (IsDialogPageShown() || FUnits == duChars || Page() == nullptr || IsDataPageShown())
        return;
    switch (FUnits) {
    case duCM:
        SetUnits(duInches);
        break;
    case duInches:
        SetUnits(duPixels);
        break;
    default:
        SetUnits(duCM);
        break;
    }
    FOldUnits = FUnits;
}

// --- status bar ---

TrpStatusPanel::TrpStatusPanel(TrpDesignerForm* form) : QWidget(form), form_(form)
{
    setObjectName(QStringLiteral("StatusBarPanel1"));
    setFixedWidth(230);
}

void TrpStatusPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const auto& images = MainButtonImages();
    const int top = (height() - 16) / 2;
    const int baseline = top + 13;
    if (!form_->Coord(1).isEmpty()) {
        if (images.size() > 62)
            painter.drawImage(2, top - 1, images[62]);
        painter.drawText(20, baseline, form_->Coord(1));
    }
    if (!form_->Coord(2).isEmpty()) {
        if (images.size() > 63)
            painter.drawImage(110, top - 1, images[63]);
        painter.drawText(130, baseline, form_->Coord(2));
    }
    if (!form_->Coord(3).isEmpty())
        painter.drawText(110, baseline, form_->Coord(3));
}

void TrpStatusPanel::mousePressEvent(QMouseEvent*)
{
    form_->StatusBarMouseDown(1);
}

void TrpStatusPanel::mouseDoubleClickEvent(QMouseEvent*)
{
    form_->StatusBarDblClick();
}

void TrpDesignerForm::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(true);
    FStatusUnits = new QLabel(bar);
    FStatusUnits->setObjectName(QStringLiteral("StatusBarPanel0"));
    FStatusUnits->setFixedWidth(75);
    FStatusUnits->installEventFilter(this);
    FStatusCoords = new TrpStatusPanel(this);
    FStatusObject = new QLabel(bar);
    FStatusObject->setObjectName(QStringLiteral("StatusBarPanel2"));
    FStatusObject->setMinimumWidth(50);
    bar->addWidget(FStatusUnits);
    bar->addWidget(FStatusCoords);
    bar->addWidget(FStatusObject, 1);
    if (logicalDpiX() > 96) {
        FStatusUnits->setFixedWidth(100);
        FStatusCoords->setFixedWidth(280);
        bar->setFixedHeight(24);
    }
}

QString TrpDesignerForm::StatusText(int panel) const
{
    switch (panel) {
    case 0:
        return FStatusUnits->text();
    case 1:
        return QStringList({FCoord1, FCoord2, FCoord3}).join(u' ').trimmed();
    case 2:
        return FStatusObject->text();
    default:
        return QString();
    }
}

QString TrpDesignerForm::Coord(int index) const
{
    switch (index) {
    case 1:
        return FCoord1;
    case 2:
        return FCoord2;
    case 3:
        return FCoord3;
    default:
        return QString();
    }
}

void TrpDesignerForm::NotifyPosition(const QRectF& bounds, int mode, bool mouseDown)
{
    double factorX = 1;
    double factorY = 1;
    switch (FUnits) {
    case duCM:
        factorX = factorY = 1 / 37.7953;
        break;
    case duInches:
        factorX = factorY = 1.0 / 96;
        break;
    case duPixels:
        break;
    case duChars:
        factorX = 1 / 9.6;
        factorY = 1.0 / 17;
        break;
    }
    using W = TrpDesignerWorkspace;
    constexpr int kScaleMode = W::dmScale;
    double left = bounds.left() * factorX;
    double top = bounds.top() * factorY;
    double width = bounds.width();
    double height = bounds.height();
    if (mode != kScaleMode) {
        width *= factorX;
        height *= factorY;
    }
    if (FUnits == duChars) {
        left = RoundHalfEven(left);
        top = RoundHalfEven(top);
        width = RoundHalfEven(width);
        height = RoundHalfEven(height);
    }
    const QChar separator = DesignerRuntime::Formats().DecimalSeparator;
    const auto pair = [&](double a, double b) {
        return FloatToFixedText(a, 2, separator) + QStringLiteral("; ") + FloatToFixedText(b, 2, separator);
    };
    FCoord1.clear();
    FCoord2.clear();
    FCoord3.clear();
    if (mouseDown) {
        if (mode == W::dmMove || mode == W::dmSize || mode == W::dmSizeBand || mode == W::dmInsertObject ||
            mode == W::dmInsertLine) {
            FCoord1 = pair(left, top);
            FCoord2 = pair(width, height);
        } else if (mode == kScaleMode) {
            FCoord1 = pair(left, top);
            FCoord3 = QStringLiteral("%") + FloatToFixedText(width * 100, 2, separator) + QStringLiteral("; %") +
                      FloatToFixedText(height * 100, 2, separator);
        }
    } else {
        FCoord1 = pair(left, top);
        if (SelectedObjects().empty() || SelectedObjects().front() != Page())
            FCoord2 = pair(width, height);
    }
    // A ruler's position is in the designer's units (it turns them into pixels itself) and its
    // length is the whole sheet: giving it the selection's size in pixels shrank the rulers to
    // the selected object and put the mark far off the sheet.
    FLeftRuler->SetPosition(top);
    FTopRuler->SetPosition(left);
    UpdateRulerOffsets();
    FStatusCoords->update();
}

void TrpDesignerForm::UpdateRulerOffsets()
{
    if (FScrollBox == nullptr || FWorkspace == nullptr)
        return;
    // The sheet's position inside the scroll box's view.
    QWidget* panel = FWorkspace->MarginsPanel();
    if (panel == nullptr || !FScrollBox->viewport()->isAncestorOf(panel))
        return;
    const QPoint corner = panel->mapTo(FScrollBox->viewport(), QPoint(0, 0));
    const int left = corner.x();
    const int top = corner.y();
    FTopRuler->SetSize(panel->width());
    FLeftRuler->SetSize(panel->height());
    const int originX = 0;
    const int originY = 0;
    if (left >= 0) {
        FTopRuler->SetOffset(left + originX + 2);
        FTopRuler->SetStart(0);
    } else {
        FTopRuler->SetOffset(originX + 2);
        FTopRuler->SetStart(-left);
    }
    if (top >= 0) {
        FLeftRuler->SetOffset(top + originY + 2);
        FLeftRuler->SetStart(0);
    } else {
        FLeftRuler->SetOffset(originY + 2);
        FLeftRuler->SetStart(-top);
    }
}

// --- caption, recent files, styles ---

void TrpDesignerForm::UpdateCaption()
{
    setWindowTitle(QStringLiteral("RedaVedera - ") + GetReportDisplayName());
}

void TrpDesignerForm::UpdateRecentFiles(const QString& fileName)
{
    if (!fileName.isEmpty()) {
        FRecentFiles.removeAll(fileName);
        FRecentFiles.append(fileName);
        while (FRecentFiles.size() > 8)
            FRecentFiles.removeFirst();
    }
    auto* file = findChild<QMenu*>(QStringLiteral("FileMenu"));
    QAction* sep11 = nullptr;
    QAction* sep4 = nullptr;
    for (QAction* item : file->actions()) {
        if (item->objectName() == QLatin1String("SepMI11"))
            sep11 = item;
        else if (item->objectName() == QLatin1String("SepMI4"))
            sep4 = item;
    }
    sep11->setVisible(!FRecentFiles.isEmpty());
    for (QAction* item : file->actions()) {
        if (item->property("tag").toInt() == 100) {
            file->removeAction(item);
            item->deleteLater();
        }
    }
    if (!CheckOp(drDontShowRecentFiles))
        return;
    for (qsizetype i = FRecentFiles.size() - 1; i >= 0; --i) {
        auto* item = new QAction(FRecentFiles[i], file);
        item->setProperty("tag", 100);
        const QString name = FRecentFiles[i];
        connect(item, &QAction::triggered, this, [this, name] {
            Guard([&] {
                if (CheckOp(drDontLoadReport))
                    LoadFile(name, true);
            });
        });
        file->insertAction(sep4, item);
    }
}

void TrpDesignerForm::UpdateStyleList()
{
    auto* style = Combo(Control(QStringLiteral("StyleCB")));
    QStringList names;
    Report()->Styles().GetList(names);
    style->clear();
    style->addItem(ResourceText(u"dsNoStyle"));
    style->addItems(names);
}

// --- view settings ---

void TrpDesignerForm::SetShowGrid(bool value)
{
    FShowGrid = value;
    SetDown(QStringLiteral("ShowGridB"), value);
    FWorkspace->SetShowGrid(value);
}

void TrpDesignerForm::SetGridAlign(bool value)
{
    FGridAlign = value;
    SetDown(QStringLiteral("AlignToGridB"), value);
}

void TrpDesignerForm::SetShowRulers(bool value)
{
    FShowRulers = value;
    FTopRuler->setVisible(value);
    FLeftRuler->setVisible(value);
    Action(QStringLiteral("ShowRulersCmd"))->setChecked(value);
}

void TrpDesignerForm::SetShowGuides(bool value)
{
    FShowGuides = value;
    Action(QStringLiteral("ShowGuidesCmd"))->setChecked(value);
    FWorkspace->SetShowGuides(value);
}

void TrpDesignerForm::SetWorkspaceColor(int32_t value)
{
    FWorkspaceColor = value;
    if (!IsDialogPageShown())
        FWorkspace->SetColor(value);
}

void TrpDesignerForm::SetToolsColor(int32_t value)
{
    FToolsColor = value;
    const QColor colour = ToQColor(value, Qt::white);
    FInspector->SetColor(colour);
    FDataTree->SetColor_(colour);
    FReportTree->SetColor_(colour);
}
