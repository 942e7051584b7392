#include "devreport/DaxReportSetupFrame.h"
#include "devreport/DeviceReportTemplates.h"

#include "report/core/ScriptFont.h"
#include "report/model/rpClass_memo.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpFontResolver.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

// Every character a template prints of its own (its texts outside the bracketed names) has a
// glyph in the face its memo's font resolves to, "мᶾ" and "№" included.
TEST(DeviceTemplateFonts, EveryFixedCharacterHasAGlyphInItsFace)
{
    DevReportRuntime::init();
    const QRegularExpression bracketed(QStringLiteral("\\[[^\\]]*\\]"));
    for (const char* name : DeviceReportTemplates::kAll) {
        SCOPED_TRACE(name);
        TrpReport report;
        DeviceReportTemplates::Load(report, QString::fromUtf8(name));
        int checked = 0;
        for (TrpComponent* object : report.AllObjects()) {
            auto* memo = dynamic_cast<TrpMemoView*>(object);
            if (!memo)
                continue;
            const ScriptFont& font = memo->Font();
            const TrpFontFace face =
                ResolveReportFont(font.Name(), (font.Style() & ScriptFont::kBold) != 0, false);
            const QRawFont raw = ReportRawFont(face, -font.Height());
            const QString fixed = memo->Memo().Text().remove(bracketed);
            for (const QChar c : fixed) {
                if (c.isSpace())
                    continue;
                ++checked;
                EXPECT_TRUE(raw.supportsCharacter(c))
                    << memo->Name().toStdString() << " U+" << std::hex << static_cast<unsigned>(c.unicode());
            }
        }
        EXPECT_GT(checked, 10);
    }
}

} // namespace
