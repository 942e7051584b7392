#pragma once

// Objects of dot-matrix reports: a page that measures its paper in whole characters and lines,
// and text objects, lines and raw printer commands that snap to the character grid (one
// character 9.6 pixels wide, one line 17 pixels high). Their text is "Courier New" 12 pt
// (Liberation Mono here, 9.6 pixels a character). They preview and print through the ordinary
// page drawing; nothing is sent to a printer raw.

#include "report/model/rpClass_bands.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_pages.h"
#include "report/model/rpClass_views.h"

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

class PropertyRegistry;

// Printer modes of a dot-matrix text (bits 0 to 8 of TrpDMPFontStyles). Only the first three
// show on screen, as bold, italic and underline.
enum TrpDMPFontStyle : int {
    fsxBold,
    fsxItalic,
    fsxUnderline,
    fsxSuperScript,
    fsxSubScript,
    fsxCondensed,
    fsxWide,
    fsx12cpi,
    fsx15cpi
};
using TrpDMPFontStyles = uint16_t;
inline constexpr TrpDMPFontStyles kDMPFontStyleMask = 511;

// Snapping to the grid: R rounds halves to the even neighbour, T cuts toward zero.
double DMPRound(double value);
double DMPTrunc(double value);

// A printer command that is no list of character codes.
class EDMPCommandError : public platform::Exception {
public:
    using platform::Exception::Exception;
};

class TrpDMPPage : public TrpReportPage {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDMPPage();
    explicit TrpDMPPage(TrpComponent* owner) : TrpDMPPage() { AttachTo(owner); }

    bool IsDotMatrixPage() const override { return true; }

    TrpDMPFontStyles FontStyle() const { return fontStyle_; }
    // Rebuilds the page font; every object of the page with ParentFont takes the new style.
    void SetFontStyle(TrpDMPFontStyles value);
    void ResetFontOptions();

    // The base setter, then the paper rounded to whole characters or lines.
    void SetPaperWidth(double value) override;
    void SetPaperHeight(double value) override;
    void SetPaperSize(int32_t value) override;
    // The base defaults, margins of one character and one line, the paper cut to whole
    // characters and lines.
    void SetDefaults() override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpDMPFontStyles fontStyle_ = 0;
};

class TrpDMPMemoView : public TrpCustomMemoView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDMPMemoView();
    explicit TrpDMPMemoView(TrpComponent* owner) : TrpDMPMemoView() { AttachTo(owner); }

    TrpDMPFontStyles FontStyle() const { return fontStyle_; }
    // Turns ParentFont off and rebuilds the font.
    void SetFontStyle(TrpDMPFontStyles value);
    bool TruncOutboundText = false;

    // Snapped to the grid.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetHeight(double value) override;
    // On a dot-matrix page ParentFont takes the page's style.
    void SetParentFont(bool value) override;
    void FontChanged() override;
    QString GetDescription() const override;
    // The base differences, then FontStyle (style bits and 511) when it differs.
    QString Diff(const TrpComponent& original) const override;
    // The frame lines half a cell outside the text, so that they fall between characters.
    void DrawFrame(QPainter& painter) override;
    double CalcHeight() override;
    double CalcWidth() override;

    // "Courier New" 12 pt with the styles of FontStyle; no character spacing or gaps, one
    // line spacing.
    void ResetFontOptions();
    // The four values without snapping (positions already on the grid).
    void SetBoundsDirect(double left, double top, double width, double height);
    // The first R(Height / 17) lines, each cut to R(Width / 9.6) characters and followed by
    // CR LF.
    QString GetoutBoundText() const;

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpDMPFontStyles fontStyle_ = 0;
    bool resettingFont_ = false;
};

class TrpDMPLineView : public TrpLineView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDMPLineView() = default;
    explicit TrpDMPLineView(TrpComponent* owner) : TrpDMPLineView() { AttachTo(owner); }

    TrpDMPFontStyles FontStyle() const { return fontStyle_; }
    // Turns ParentFont off.
    void SetFontStyle(TrpDMPFontStyles value);

    // Lines run through the middle of a character cell.
    void SetLeft(double value) override;
    void SetTop(double value) override;
    void SetWidth(double value) override;
    void SetParentFont(bool value) override;
    QString GetDescription() const override;
    QString Diff(const TrpComponent& original) const override;

    static void RegisterClass(PropertyRegistry& registry);

private:
    TrpDMPFontStyles fontStyle_ = 0;
};

class TrpDMPCommand : public TrpView {
public:
    static const ScriptClassInfo& Class();
    const ScriptClassInfo& ScriptClass() const override { return Class(); }

    TrpDMPCommand() = default;
    explicit TrpDMPCommand(TrpComponent* owner) : TrpDMPCommand() { AttachTo(owner); }

    // "#" and decimal codes separated by "#" (#27#64), or pairs of hexadecimal digits (1B40).
    QString Command;

    void SetLeft(double value) override;
    void SetTop(double value) override;
    QString GetDescription() const override;
    QString Diff(const TrpComponent& original) const override;

    // The command as the characters to send. Empty decimal numbers are skipped and a trailing
    // single hexadecimal digit is dropped; a code above 255 or anything that is no number
    // raises EDMPCommandError naming the object.
    QByteArray ToChr() const;

    static void RegisterClass(PropertyRegistry& registry);
};

// Whether the object is a dot-matrix text with a bottom frame line: its band is one text line
// taller, so that the line falls below the text.
bool IsDMPMemoWithBottomLine(const TrpComponent* object);

// Registers the four classes for streaming and the three objects in the object registry
// (category ctDMP); idempotent. EngineRuntime::init calls it.
void RegisterDMPClasses();
