// The script catalogue of the report-class and check-box modules against tables of what report
// scripts are given: every constant with its type and value, the enumerations with their names
// in order, the classes in order with their script parents and the members the modules add
// (declarations printed back as written), the functions with their categories.

#include "report/core/PropertyRegistry.h"
#include "report/engine/EngineRuntime.h"
#include "report/script/sc_iinterpreter_script.h"
#include "report/script/sc_itools.h"
#include "report/script/sc_itools_types.h"
#include "report/script/sc_xml.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Table {
    const char* name;
    const char* text;
};

const Table kConstants[] = {
    {"rp01cm", "rp01cm: Extended = 3.77953"},    {"rp1cm", "rp1cm: Extended = 37.7953"},
    {"rp01in", "rp01in: Extended = 9.6"},        {"rp1in", "rp1in: Extended = 96"},
    {"rp1CharX", "rp1CharX: Extended = 9.6"},    {"rp1CharY", "rp1CharY: Extended = 17"},
    {"clTransparent", "clTransparent: Integer = 536870911"}, {"crHand", "crHand: Integer = 150"},
    {"crZoom", "crZoom: Integer = 151"},         {"crFormat", "crFormat: Integer = 152"},
};

const Table kEnumerations[] = {
    {"TrpStretchMode", "smDontStretch,smActualHeight,smMaxHeight"},
    {"TrpShiftMode", "smDontShift,smAlways,smWhenOverlapped"},
    {"TrpDuplexMode", "dmNone,dmVertical,dmHorizontal,dmSimplex"},
    {"TrpAlign", "baNone,baLeft,baRight,baCenter,baWidth,baBottom,baClient"},
    {"TrpFrameStyle", "fsSolid,fsDash,fsDot,fsDashDot,fsDashDotDot,fsDouble"},
    {"TrpFrameTypes", "ftLeft,ftRight,ftTop,ftBottom"},
    {"TrpHAlign", "haLeft,haRight,haCenter,haBlock"},
    {"TrpVAlign", "vaTop,vaBottom,vaCenter"},
    {"TrpRestrictions", "rfDontModify,rfDontSize,rfDontMove,rfDontDelete"},
    {"TrpShapeKind", "skRectangle,skRoundRectangle,skEllipse,skTriangle,skDiamond,skDiagonal1,skDiagonal2"},
    {"TrpPreviewButtons",
     "pbPrint,pbLoad,pbSave,pbExport,pbZoom,pbFind,pbTree,pbPageSetup,pbRefresh,pbTools,pbEdit,pbNavigator,"
     "pbExportQuick"},
    {"TrpZoomMode", "zmDefault,zmWholePage,zmPageWidth,zmManyPages"},
    {"TrpPrintPages", "ppAll,ppOdd,ppEven"},
    {"TrpDMPFontStyles", "fsxBold,fsxItalic,fsxUnderline,fsxSuperScript,fsxSubScript,fsxCondensed,fsxWide,fsx12cpi,fsx15cpi"},
    {"TrpRangeBegin", "rbFirst,rbCurrent"},
    {"TrpRangeEnd", "reLast,reCurrent,reCount"},
    {"TrpFieldType", "fftNumeric,fftString,fftBoolean"},
    {"TrpFormatKind", "fkText,fkNumeric,fkDateTime,fkBoolean"},
    {"TrpCheckStyle", "csCross,csCheck,csLineCross,csPlus"},
    {"TrpUncheckStyle", "usEmpty,usCross,usLineCross,usMinus"},
};

struct ClassRow {
    const char* name;
    const char* parent;
    // As the catalogue prints them, published properties left out (a constructor is printed as
    // the function returning the new object that the script engine makes of it).
    std::vector<const char*> members;
};

const std::vector<ClassRow>& Classes()
{
    static const std::vector<ClassRow> rows = {
        {"TJPEGImage", "TGraphic", {}},
        {"TPngImage", "TGraphic", {}},
        {"TWideStrings", "TPersistent",
         {"function Create: Constructor", "function Add(const S: string): Integer",
          "function AddObject(const S: string; AObject: TObject): Integer", "procedure Clear",
          "procedure Delete(Index: Integer)", "function IndexOf(const S: string): Integer",
          "procedure Insert(Index: Integer; const S: string)", "procedure LoadFromFile(const FileName: string)",
          "procedure LoadFromStream(Stream: TStream)", "procedure SaveToFile(const FileName: string)",
          "procedure SaveToStream(Stream: TStream)", "property Count: Integer",
          "index property Objects(p0: Integer): TObject", "index property Strings(p0: Integer): string",
          "property Text: String"}},
        {"TrpDataSet", "TComponent",
         {"procedure Open", "procedure Close", "procedure First", "procedure Next", "procedure Prior",
          "function Eof: Boolean", "function FieldsCount: Integer", "function HasField(const fName: String): Boolean",
          "function IsBlobField(const fName: String): Boolean", "function RecordCount: Integer",
          "procedure GetFieldList(List: TStrings)", "property RecNo: Integer",
          "index property DisplayText(p0: String): String", "index property DisplayWidth(p0: String): Integer",
          "index property FieldType(p0: String): TrpFieldType", "index property Value(p0: String): Variant"}},
        {"TrpUserDataSet", "TrpDataSet", {}},
        {"TrpCustomDBDataSet", "TrpDataSet", {}},
        {"TrpComponent", "TComponent",
         {"procedure Clear", "function FindObject(s: String): TrpComponent",
          "procedure LoadFromStream(Stream: TStream)",
          "procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)",
          "procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)", "property Objects: TList",
          "property AllObjects: TList", "property Parent: TrpComponent", "property Page: TrpPage",
          "property AbsLeft: Extended", "property AbsTop: Extended"}},
        {"TrpReportComponent", "TrpComponent", {}},
        {"TrpDialogComponent", "TrpReportComponent", {}},
        {"TrpFrameLine", "TPersistent", {}},
        {"TrpFrame", "TPersistent", {}},
        {"TrpView", "TrpReportComponent", {"property TagStr: String"}},
        {"TrpShapeView", "TrpView", {}},
        {"TrpStretcheable", "TrpView", {"function CalcHeight: Extended"}},
        {"TrpHighlight", "TPersistent", {}},
        {"TrpFormat", "TPersistent", {}},
        {"TrpCustomMemoView", "TrpStretcheable",
         {"function CalcWidth: Extended", "property Text: String", "property AnsiText: String",
          "property Lines: TWideStrings", "property Value: Variant"}},
        {"TrpMemoView", "TrpCustomMemoView", {}},
        {"TrpSysMemoView", "TrpCustomMemoView", {}},
        {"TrpDMPMemoView", "TrpCustomMemoView", {}},
        {"TrpCustomLineView", "TrpStretcheable", {}},
        {"TrpLineView", "TrpCustomLineView", {}},
        {"TrpDMPLineView", "TrpCustomLineView", {}},
        {"TrpDMPCommand", "TrpView", {}},
        {"TrpPictureView", "TrpView", {"procedure LoadFromFile(filename: String)"}},
        {"TrpSubreport", "TrpView", {}},
        {"TrpBand", "TrpReportComponent", {"property Overflow: Boolean"}},
        {"TrpDataBand", "TrpBand", {}},
        {"TrpHeader", "TrpBand", {}},
        {"TrpFooter", "TrpBand", {}},
        {"TrpMasterData", "TrpDataBand", {}},
        {"TrpDetailData", "TrpDataBand", {}},
        {"TrpSubdetailData", "TrpDataBand", {}},
        {"TrpDataBand4", "TrpDataBand", {}},
        {"TrpDataBand5", "TrpDataBand", {}},
        {"TrpDataBand6", "TrpDataBand", {}},
        {"TrpPageHeader", "TrpBand", {}},
        {"TrpPageFooter", "TrpBand", {}},
        {"TrpColumnHeader", "TrpBand", {}},
        {"TrpColumnFooter", "TrpBand", {}},
        {"TrpGroupHeader", "TrpBand", {}},
        {"TrpGroupFooter", "TrpBand", {}},
        {"TrpReportTitle", "TrpBand", {}},
        {"TrpReportSummary", "TrpBand", {}},
        {"TrpChild", "TrpBand", {}},
        {"TrpOverlay", "TrpBand", {}},
        {"TrpPage", "TrpComponent", {}},
        {"TrpReportPage", "TrpPage", {}},
        {"TrpDialogPage", "TrpPage", {"function ShowModal: Integer", "property ModalResult: Integer"}},
        {"TrpDMPPage", "TrpReportPage", {}},
        {"TrpDataPage", "TrpPage", {}},
        {"TrpEngineOptions", "TPersistent", {"property DestroyForms: Boolean"}},
        {"TrpPrintOptions", "TPersistent", {}},
        {"TrpPreviewOptions", "TPersistent", {}},
        {"TrpReportOptions", "TPersistent", {}},
        {"TrpVariable", "TCollectionItem", {}},
        {"TrpVariables", "TCollection",
         {"function Create: Constructor", "index property Variables(p0: String): Variant"}},
        {"TrpStyleItem", "TCollectionItem", {}},
        {"TrpStyles", "TCollection",
         {"function Create(AReport: TrpReport): Constructor", "index property Items(p0: Integer): TrpStyleItem",
          "function Add: TrpStyleItem", "function Find(const Name: String): TrpStyleItem", "procedure Apply",
          "procedure GetList(List: TStrings)", "procedure LoadFromFile(const FileName: String)",
          "procedure LoadFromStream(Stream: TStream)", "procedure SaveToFile(const FileName: String)",
          "procedure SaveToStream(Stream: TStream)"}},
        {"TrpArray", "TCollection", {"function Create: Constructor", "index property Variables(p0: Variant): Variant"}},
        {"TrpReport", "TrpComponent",
         {"function Calc(const Expr: String): Variant", "function GetDataset(const Alias: String): TrpDataset",
          "function LoadFromFile(const FileName: String): Boolean", "procedure SaveToFile(const FileName: String)",
          "procedure ShowReport", "property Terminated: Boolean", "property Variables: TrpVariables",
          "property Styles: TrpStyles"}},
        {"TrpCustomEngine", "TPersistent",
         {"procedure AddAnchor(const Text: String)", "procedure NewPage", "procedure NewColumn",
          "procedure ShowBand(Band: TrpBand)", "procedure StopReport", "function FreeSpace: Extended",
          "function GetAnchorPage(const Text: String): Integer"}},
        {"TrpEngine", "TrpCustomEngine", {}},
        {"TrpCustomOutline", "TPersistent",
         {"procedure AddItem(const Text: String)", "procedure LevelRoot", "procedure LevelUp"}},
        {"TrpOutline", "TrpCustomOutline", {}},
        {"TrpCheckBoxView", "TrpView", {}},
    };
    return rows;
}

const Table kFunctions[] = {
    {"ctDate", "function DayOf(Date: TDateTime): Integer"},
    {"ctDate", "function MonthOf(Date: TDateTime): Integer"},
    {"ctDate", "function YearOf(Date: TDateTime): Integer"},
    {"ctOther", "function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"},
    {"ctAggregate", "function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"},
    {"ctAggregate", "function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"},
    {"ctAggregate", "function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"},
    {"ctAggregate", "function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"},
    {"ctAggregate", "function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"},
};

QStringList Texts(const TscXMLItem* item)
{
    QStringList texts;
    for (int i = 0; item != nullptr && i < item->Count(); ++i)
        texts << item->Items(i)->Prop(QStringLiteral("text"));
    return texts;
}

const TscXMLItem* Section(const TscXMLItem& root, const char* name)
{
    const int index = root.Find(QString::fromLatin1(name));
    return index < 0 ? nullptr : root.Items(index);
}

// A property the registry publishes for the class (reached without the module).
bool PublishedText(const QString& className, const QString& text)
{
    if (!text.startsWith(QStringLiteral("property ")))
        return false;
    const QString name = text.mid(9, text.indexOf(u':') - 9);
    const RegisteredClass* registered = PropertyRegistry::Global().FindByName(className);
    if (registered == nullptr)
        return false;
    for (const PropertyInfo* property : registered->AllProperties()) {
        if (property->Name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class ScriptCatalogue : public testing::Test {
protected:
    void SetUp() override
    {
        EngineRuntime::init();
        script.AddRTTI();
        GenerateScriptCatalogXML(&script, &root, false);
    }

    TscScript script;
    TscXMLItem root{QStringLiteral("Catalog")};
};

} // namespace

TEST_F(ScriptCatalogue, ConstantsWithTheirTypesAndValues)
{
    const QStringList constants = Texts(Section(root, "Constants"));
    for (const Table& constant : kConstants)
        EXPECT_TRUE(constants.contains(QString::fromUtf8(constant.text))) << constant.text;
}

TEST_F(ScriptCatalogue, EnumerationsWithTheirNamesInOrder)
{
    const QStringList types = Texts(Section(root, "Types"));
    for (const Table& enumeration : kEnumerations) {
        const QString text = QString::fromLatin1(enumeration.name) + QStringLiteral(": (") +
                             QString::fromLatin1(enumeration.text) + u')';
        EXPECT_TRUE(types.contains(text)) << text.toStdString();
    }
}

TEST_F(ScriptCatalogue, ClassesInOrderWithParentsAndTheirAddedMembers)
{
    const TscXMLItem* classes = Section(root, "Classes");
    ASSERT_NE(classes, nullptr);
    // The report classes in the catalogue, in their order (the class library's come before).
    QStringList order;
    std::vector<const TscXMLItem*> entries;
    for (int i = 0; i < classes->Count(); ++i) {
        const QString text = classes->Items(i)->Prop(QStringLiteral("text"));
        const QString name = text.left(text.indexOf(u' '));
        for (const ClassRow& row : Classes()) {
            if (name == QLatin1String(row.name)) {
                order << text;
                entries.push_back(classes->Items(i));
            }
        }
    }
    QStringList expected;
    for (const ClassRow& row : Classes())
        expected << QStringLiteral("%1 = class(%2)").arg(QLatin1String(row.name), QLatin1String(row.parent));
    ASSERT_EQ(order.join(u'\n').toStdString(), expected.join(u'\n').toStdString());

    for (size_t i = 0; i < entries.size(); ++i) {
        const ClassRow& row = Classes()[i];
        QStringList added;
        for (const QString& text : Texts(entries[i])) {
            if (!PublishedText(QString::fromLatin1(row.name), text))
                added << text;
        }
        QStringList wanted;
        for (const char* member : row.members)
            wanted << QString::fromLatin1(member);
        EXPECT_EQ(added.join(u'\n').toStdString(), wanted.join(u'\n').toStdString()) << row.name;
        // Every method declaration reads back as the same routine: printed as written.
        for (const char* member : row.members) {
            const QString text = QString::fromLatin1(member);
            if (text.startsWith(QStringLiteral("procedure ")) || text.startsWith(QStringLiteral("function "))) {
                EXPECT_NO_THROW(ParseNativeDeclaration(text, &script)) << member;
            }
        }
    }
}

TEST_F(ScriptCatalogue, FunctionsWithTheirCategories)
{
    const TscXMLItem* functions = Section(root, "Functions");
    ASSERT_NE(functions, nullptr);
    for (const Table& function : kFunctions) {
        const TscXMLItem* category = Section(*functions, function.name);
        ASSERT_NE(category, nullptr) << function.name;
        EXPECT_TRUE(Texts(category).contains(QString::fromLatin1(function.text))) << function.text;
    }
}

TEST_F(ScriptCatalogue, TheObjectOfTheProcessWideVariables)
{
    EXPECT_TRUE(Texts(Section(root, "Variables")).contains(QStringLiteral("rpGlobalVariables: TrpVariables")));
}
