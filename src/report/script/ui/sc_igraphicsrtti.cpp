// The graphics module. Canvases draw on what they are attached to; pictures load and save
// through the script's file-access policy.

#include "sc_igraphicsrtti.h"

#include "ScriptGraphics.h"

#include "report/core/Colors.h"
#include "report/script/ScriptBindings.h"

using namespace scbind;
using Frame = TscCallFrame;

std::unique_ptr<TscRTTIModule> CreateGraphicsFunctions(TscScript* script)
{
    return std::make_unique<TscGraphicsFunctions>(script);
}

namespace {

void AddCanvas(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptCanvas::Class();
    const auto self = [&cls](Frame& f) -> ScriptCanvas& { return Self<ScriptCanvas>(f, cls); };
    TscClassVariable* canvas = script->AddClass(QStringLiteral("TCanvas"), &cls, QStringLiteral("TPersistent"));
    canvas->AddConstructor(QStringLiteral("constructor Create"), Construct);
    canvas->AddMethod(QStringLiteral("procedure Draw(X, Y: Integer; Graphic: TGraphic)"), [self](Frame& f) {
        ScriptCanvas& c = self(f);
        if (ScriptGraphic* graphic = ObjectArg<ScriptGraphic>(f, 2))
            c.Draw(Int(f, 0), Int(f, 1), *graphic);
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure Ellipse(X1, Y1, X2, Y2: Integer)"), [self](Frame& f) {
        self(f).Ellipse(Int(f, 0), Int(f, 1), Int(f, 2), Int(f, 3));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure LineTo(X, Y: Integer)"), [self](Frame& f) {
        self(f).LineTo(Int(f, 0), Int(f, 1));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure MoveTo(X, Y: Integer)"), [self](Frame& f) {
        self(f).MoveTo(Int(f, 0), Int(f, 1));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure Rectangle(X1, Y1, X2, Y2: Integer)"), [self](Frame& f) {
        self(f).Rectangle(Int(f, 0), Int(f, 1), Int(f, 2), Int(f, 3));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)"), [self](Frame& f) {
        self(f).RoundRect(Int(f, 0), Int(f, 1), Int(f, 2), Int(f, 3), Int(f, 4), Int(f, 5));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)"),
                      [self](Frame& f) {
                          ScriptCanvas& c = self(f);
                          if (ScriptGraphic* graphic = ObjectArg<ScriptGraphic>(f, 4))
                              c.StretchDraw(Int(f, 0), Int(f, 1), Int(f, 2), Int(f, 3), *graphic);
                          return kNothing;
                      });
    canvas->AddMethod(QStringLiteral("function TextHeight(const Text: string): Integer"),
                      [self](Frame& f) { return Variant(int32_t{self(f).TextHeight(Text(f, 0))}); });
    canvas->AddMethod(QStringLiteral("procedure TextOut(X, Y: Integer; const Text: string)"), [self](Frame& f) {
        self(f).TextOut(Int(f, 0), Int(f, 1), Text(f, 2));
        return kNothing;
    });
    canvas->AddMethod(QStringLiteral("function TextWidth(const Text: string): Integer"),
                      [self](Frame& f) { return Variant(int32_t{self(f).TextWidth(Text(f, 0))}); });
    canvas->AddIndexProperty(QStringLiteral("Pixels"), QStringLiteral("Integer, Integer"), QStringLiteral("TColor"),
                             [self](Frame& f) {
                                 ScriptCanvas& c = self(f);
                                 if (f.AssignedValue != nullptr) {
                                     c.SetPixel(Int(f, 0), Int(f, 1), f.AssignedValue->ToInt32(Settings(f)));
                                     return kNothing;
                                 }
                                 return Variant(c.Pixel(Int(f, 0), Int(f, 1)));
                             });
}

// LoadFromFile and SaveToFile of graphics and pictures: the file's bytes under the script's
// file-access policy; an empty picture writes nothing.
template <class T>
void AddFileMembers(TscClassVariable* c, const ScriptClassInfo& cls)
{
    c->AddMethod(QStringLiteral("procedure LoadFromFile(const Filename: string)"), [&cls](Frame& f) {
        T& self = Self<T>(f, cls);
        const QString name = Text(f, 0);
        self.LoadFromBytes(ReadFile(f, name, ScriptGraphic::kMaxFileBytes), name);
        return kNothing;
    });
    c->AddMethod(QStringLiteral("procedure SaveToFile(const Filename: string)"), [&cls](Frame& f) {
        T& self = Self<T>(f, cls);
        const QString name = Text(f, 0);
        CheckFile(f, name, FileAccessMode::Create);
        const QByteArray bytes = self.SaveToBytes(name);
        if (!bytes.isEmpty())
            WriteFile(f, name, bytes);
        return kNothing;
    });
}

void AddGraphics(TscScript* script)
{
    const ScriptClassInfo& cls = ScriptGraphic::Class();
    const auto self = [&cls](Frame& f) -> ScriptGraphic& { return Self<ScriptGraphic>(f, cls); };
    TscClassVariable* graphic = script->AddClass(QStringLiteral("TGraphic"), &cls, QStringLiteral("TPersistent"));
    graphic->AddConstructor(QStringLiteral("constructor Create"), Construct);
    AddFileMembers<ScriptGraphic>(graphic, cls);
    graphic->AddProperty(
        QStringLiteral("Height"), QStringLiteral("Integer"), [self](Frame& f) { return Variant(int32_t{self(f).Height()}); },
        [self](Frame& f) {
            self(f).SetHeight(Assigned(f).ToInt32(Settings(f)));
            return kNothing;
        });
    graphic->AddProperty(
        QStringLiteral("Width"), QStringLiteral("Integer"), [self](Frame& f) { return Variant(int32_t{self(f).Width()}); },
        [self](Frame& f) {
            self(f).SetWidth(Assigned(f).ToInt32(Settings(f)));
            return kNothing;
        });

    const ScriptClassInfo& pictureClass = ScriptPicture::Class();
    const auto picture = [&pictureClass](Frame& f) -> ScriptPicture& { return Self<ScriptPicture>(f, pictureClass); };
    TscClassVariable* pic = script->AddClass(QStringLiteral("TPicture"), &pictureClass, QStringLiteral("TPersistent"));
    AddFileMembers<ScriptPicture>(pic, pictureClass);
    pic->AddProperty(QStringLiteral("Height"), QStringLiteral("Integer"),
                     [picture](Frame& f) { return Variant(int32_t{picture(f).Height()}); });
    pic->AddProperty(QStringLiteral("Width"), QStringLiteral("Integer"),
                     [picture](Frame& f) { return Variant(int32_t{picture(f).Width()}); });

    script->AddClass(QStringLiteral("TMetafile"), &ScriptMetafile::Class(), QStringLiteral("TGraphic"));
    TscClassVariable* metafileCanvas = script->AddClass(QStringLiteral("TMetafileCanvas"), &ScriptMetafileCanvas::Class(),
                                                        QStringLiteral("TCanvas"));
    metafileCanvas->AddConstructor(QStringLiteral("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)"),
                                   [](Frame& f) {
                                       ScriptMetafile& metafile = RequiredArg<ScriptMetafile>(f, 0);
                                       return Adopt(f, std::make_unique<ScriptMetafileCanvas>(metafile));
                                   });

    const ScriptClassInfo& bitmapClass = ScriptBitmap::Class();
    TscClassVariable* bitmap = script->AddClass(QStringLiteral("TBitmap"), &bitmapClass, QStringLiteral("TGraphic"));
    bitmap->AddProperty(QStringLiteral("Canvas"), QStringLiteral("TCanvas"), [&bitmapClass](Frame& f) {
        return ObjectHandles::ToVariant(&Self<ScriptBitmap>(f, bitmapClass).Canvas());
    });
}

} // namespace

TscGraphicsFunctions::TscGraphicsFunctions(TscScript* script) : TscRTTIModule(script)
{
    RegisterScriptGraphicsClasses();
    for (const ColorIdentifier& color : ColorIdentifiers())
        script->AddConst(QString::fromLatin1(color.Name), QStringLiteral("Integer"), Variant(int32_t{color.Color}));
    script->AddEnumSet(QStringLiteral("TFontStyles"), QStringLiteral("fsBold, fsItalic, fsUnderline, fsStrikeout"));
    script->AddEnum(QStringLiteral("TFontPitch"), QStringLiteral("fpDefault, fpVariable, fpFixed"));
    script->AddEnum(QStringLiteral("TPenStyle"),
                    QStringLiteral("psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame"));
    script->AddEnum(QStringLiteral("TPenMode"),
                    QStringLiteral("pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, "
                                   "pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor"));
    script->AddEnum(QStringLiteral("TBrushStyle"), QStringLiteral("bsSolid, bsClear, bsHorizontal, bsVertical, "
                                                                  "bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross"));

    for (const auto& [name, cls] : {std::pair{"TFont", &ScriptFont::Class()}, std::pair{"TPen", &ScriptPen::Class()},
                                    std::pair{"TBrush", &ScriptBrush::Class()}}) {
        TscClassVariable* c = script->AddClass(QString::fromLatin1(name), cls, QStringLiteral("TPersistent"));
        if (c != nullptr)
            c->AddConstructor(QStringLiteral("constructor Create"), Construct);
    }
    AddCanvas(script);
    AddGraphics(script);
}
