#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpDsgnImages.h"
#include "report/model/rpGraphicUtils.h"
#include "report/model/rpRes.h"
#include "report/model/rpXML.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace {

// The name → text pairs of a resource block file, read with a plain pattern (independent of
// the resource table's reader); texts stay escaped.
std::map<QString, QString> BlockEntries(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    std::map<QString, QString> entries;
    static const QRegularExpression entry(QStringLiteral("<StrRes Name=\"([^\"]*)\" Text=\"([^\"]*)\"/>"));
    for (auto it = entry.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        EXPECT_EQ(entries.count(match.captured(1)), 0u) << match.captured(1).toStdString();
        entries[match.captured(1)] = match.captured(2);
    }
    return entries;
}

QString DesignerBlock(const char* name)
{
    return QStringLiteral(DAX_DESIGNER_RESOURCES "/") + QLatin1String(name);
}

QString ModelBlock(const char* name)
{
    return QStringLiteral(DAX_MODEL_RESOURCES "/") + QLatin1String(name);
}

class DesignerTexts : public testing::Test {
protected:
    static void SetUpTestSuite() { DesignerRuntime::init(); }
};

TEST_F(DesignerTexts, BlocksAreOneLineUnderTheDeclaredHeader)
{
    for (const char* name : {"rpDsgnRes.xml", "rpDsgnPropRes.xml", "rpDsgnMendRes.xml"}) {
        QFile file(DesignerBlock(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll().trimmed();
        EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.1\" encoding=\"utf-8\"?><Resources CodePage=\"1251\">")) << name;
        EXPECT_FALSE(bytes.contains('\n')) << name;
        EXPECT_TRUE(bytes.endsWith("</Resources>")) << name;
    }
}

TEST_F(DesignerTexts, NoDesignerKeyInTheModelBlocksAndEachTextHasOneHome)
{
    const auto model = BlockEntries(ModelBlock("rpRes.xml"));
    const auto modelOwn = BlockEntries(ModelBlock("rpModelRes.xml"));
    const auto designer = BlockEntries(DesignerBlock("rpDsgnRes.xml"));
    const auto hints = BlockEntries(DesignerBlock("rpDsgnPropRes.xml"));
    const auto own = BlockEntries(DesignerBlock("rpDsgnMendRes.xml"));
    ASSERT_FALSE(designer.empty());
    for (const auto* block : {&designer, &hints, &own}) {
        for (const auto& [key, text] : *block) {
            EXPECT_EQ(model.count(key), 0u) << key.toStdString();
            EXPECT_EQ(modelOwn.count(key), 0u) << key.toStdString();
        }
    }
    for (const auto& [key, text] : hints) {
        EXPECT_EQ(designer.count(key), 0u) << key.toStdString();
        EXPECT_EQ(own.count(key), 0u) << key.toStdString();
    }
    for (const auto& [key, text] : own)
        EXPECT_EQ(designer.count(key), 0u) << key.toStdString();
    // The texts the model raises itself live in the designer block alone and resolve without
    // the designer's start-up.
    for (const char* key : {"prDupl", "prInvProp", "5000", "5001"})
        EXPECT_EQ(designer.count(QLatin1String(key)), 1u) << key;
}

// The designer texts block and the property hints block hold exactly the keys of their lists,
// in the lists' order; the designer's own block holds none of them.
TEST_F(DesignerTexts, BlocksHoldTheListedKeysInOrder)
{
    const auto keysOf = [](const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        QStringList keys;
        static const QRegularExpression entry(QStringLiteral("<StrRes Name=\"([^\"]*)\""));
        for (auto it = entry.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext();)
            keys << it.next().captured(1);
        return keys;
    };
    const auto listOf = [](const char* name) {
        QFile file(QStringLiteral(DAX_DESIGNER_DATA "/texts/") + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    };
    const QStringList designerKeys = listOf("designer-texts-keys.txt");
    const QStringList hintKeys = listOf("property-hints-keys.txt");
    ASSERT_EQ(designerKeys.size(), 842);
    ASSERT_EQ(hintKeys.size(), 271);
    EXPECT_EQ(keysOf(DesignerBlock("rpDsgnRes.xml")), designerKeys);
    EXPECT_EQ(keysOf(DesignerBlock("rpDsgnPropRes.xml")), hintKeys);
    for (const QString& key : keysOf(DesignerBlock("rpDsgnMendRes.xml"))) {
        EXPECT_FALSE(designerKeys.contains(key)) << key.toStdString();
        EXPECT_FALSE(hintKeys.contains(key)) << key.toStdString();
    }
    // Every hint says something of its own.
    const TrpResources& texts = GetResourcesInstance();
    for (const QString& key : hintKeys)
        EXPECT_NE(texts.Get(key), key) << key.toStdString();
}

TEST_F(DesignerTexts, BothEscapeLevelsAreDecoded)
{
    const TrpResources& texts = GetResourcesInstance();
    EXPECT_TRUE(texts.Get(u"5612").endsWith(QStringLiteral(">>")));
    EXPECT_TRUE(texts.Get(u"5614").startsWith(QStringLiteral("<<")));
    EXPECT_EQ(texts.Get(u"dtNoData1").count(u'"'), 4);
    EXPECT_TRUE(texts.Get(u"dtNoData1").contains(u'|'));
    EXPECT_EQ(texts.Get(u"2401"), QStringLiteral("&?"));
}

TEST_F(DesignerTexts, LookupsAsTheWindowsMakeThem)
{
    const TrpResources& texts = GetResourcesInstance();
    struct Row {
        const char16_t* key;
        const char16_t* text;
    };
    const Row rows[] = {
        {u"2000", u"Инспектор"},
        {u"2200", u"Дерево отчета"},
        {u"oiProp", u"Свойства"},
        {u"oiEvent", u"События"},
        {u"prInvProp", u"Неверное значение свойства"},
        {u"dsColorOth", u"Other..."},
        {u"dsRepFilter", u"Отчет (*.zi3)|*.zi3"},
        {u"propColor.TrpFrame", u"Цвет рамки"},
        {u"4110", u"4110"}, // a gap: the key itself
    };
    for (const Row& row : rows)
        EXPECT_EQ(texts.Get(QStringView(row.key)), QString::fromUtf16(row.text)) << QString::fromUtf16(row.key).toStdString();
    EXPECT_EQ(texts.GetResourceTextById(4110), QStringLiteral("4110"));
}

TEST_F(DesignerTexts, EveryKeyTheWindowsAskForResolves)
{
    const TrpResources& texts = GetResourcesInstance();
    for (const char* key : {"2000", "2200", "oiProp", "oiEvent", "prInvProp", "mbError", "dsColorOth"})
        EXPECT_NE(texts.Get(QString::fromLatin1(key)), QString::fromLatin1(key)) << key;
}

TEST_F(DesignerTexts, ImageListsAreFilled)
{
    EXPECT_FALSE(ObjectImage(kPictureObjectImage).isNull());
    EXPECT_EQ(ObjectImage(34).size(), QSize(16, 16));
    ASSERT_GE(MainButtonImages().size(), 100u);
    EXPECT_EQ(MainButtonImages().size(), DisabledButtonImages().size());
    ASSERT_FALSE(WizardImages().empty());
    EXPECT_EQ(WizardImages().front().size(), QSize(32, 32));
}

TEST_F(DesignerTexts, InitIsIdempotent)
{
    const int count = GetResourcesInstance().Count();
    DesignerRuntime::init();
    EXPECT_EQ(GetResourcesInstance().Count(), count);
}

} // namespace
