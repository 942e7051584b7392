#include "report/designer/DesignerRuntime.h"
#include "report/designer/rpUnicodeCtrls.h"
#include "report/designer/rpWatchForm.h"
#include "report/model/rpRes.h"
#include "report/script/ScriptedUi.h"
#include "report/script/sc_iinterpreter_script.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QToolButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(UnicodeMemo, TextKeepsUnicodeAndSameTextSendsNoNotice)
{
    TUnicodeMemo memo;
    memo.show();
    memo.setFocus();
    for (const QString& typed : {QStringLiteral("Ж"), QStringLiteral("€"), QStringLiteral("😀")}) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
        QApplication::sendEvent(&memo, &key);
    }
    EXPECT_EQ(memo.Text(), QStringLiteral("Ж€😀"));
    QSignalSpy changes(&memo, &QPlainTextEdit::textChanged);
    memo.SetText(QStringLiteral("Ж€😀"));
    EXPECT_EQ(changes.count(), 0);
    memo.SetText(QStringLiteral("Ωx"));
    EXPECT_EQ(changes.count(), 1);
    memo.selectAll();
    EXPECT_EQ(memo.SelText(), QStringLiteral("Ωx"));
    memo.SetSelText(QStringLiteral("ΨΨ"));
    EXPECT_EQ(memo.Text(), QStringLiteral("ΨΨ"));
}

QStringList Items(const TrpWatchForm& form)
{
    QStringList items;
    for (int i = 0; i < form.WatchLB->count(); ++i)
        items.append(form.WatchLB->item(i)->text());
    return items;
}

TEST(WatchForm, ValuesWhileTheScriptRunsAndNotAccessibleOtherwise)
{
    DesignerRuntime::init();
    TrpWatchForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Инспектор переменных"));
    EXPECT_EQ(form.AddB->toolTip(), QStringLiteral("Добавить переменную"));
    form.AddWatch(QStringLiteral("Name"));
    form.AddWatch(QStringLiteral("Done"));
    form.AddWatch(QStringLiteral("Total + 1"));
    form.AddWatch(QStringLiteral("Total +* 1"));
    form.AddWatch(QStringLiteral("Nothing"));
    form.AddWatch(QStringLiteral("Total div Zero"));
    form.AddWatch(QStringLiteral("Total"));
    form.ToggleWatch(6);
    EXPECT_EQ(Items(form)[0], QStringLiteral("Name: not accessible"));
    EXPECT_EQ(Items(form)[6], QStringLiteral("Total: disabled"));
    EXPECT_EQ(form.WatchLB->item(6)->checkState(), Qt::Unchecked);

    TscScript script;
    script.AddRTTI();
    script.Lines = QStringList{"var Name: String; Done: Boolean; Total, Zero: Integer; Nothing: Variant;", "begin",
                               "  Name := 'Пётр'; Done := True; Total := 41; Zero := 0; Nothing := Null;",
                               "  Stop;", "end."};
    QStringList seen;
    script.AddMethod(QStringLiteral("procedure Stop"), [&](TscCallFrame&) {
        form.UpdateWatches();
        seen = Items(form);
        return Variant();
    });
    form.SetScript(&script);
    form.UpdateWatches();
    EXPECT_EQ(Items(form)[1], QStringLiteral("Done: not accessible"));
    ASSERT_TRUE(script.Compile()) << script.ErrorMsg.toStdString();
    script.Execute();
    ASSERT_EQ(seen.size(), 7);
    EXPECT_EQ(seen[0], QStringLiteral("Name: 'Пётр'"));
    EXPECT_EQ(seen[1], QStringLiteral("Done: True"));
    EXPECT_EQ(seen[2], QStringLiteral("Total + 1: 42"));
    EXPECT_TRUE(seen[3].startsWith(QStringLiteral("Total +* 1: "))) << seen[3].toStdString();
    EXPECT_GT(seen[3].size(), QStringLiteral("Total +* 1: ").size());
    EXPECT_EQ(seen[4], QStringLiteral("Nothing: Null"));
    EXPECT_GT(seen[5].size(), QStringLiteral("Total div Zero: ").size());
    EXPECT_EQ(seen[6], QStringLiteral("Total: disabled"));
    if (const QByteArray shots = qgetenv("DAX_SCREENSHOT_DIR"); !shots.isEmpty()) {
        form.resize(320, 200);
        form.show();
        form.WatchLB->clear();
        for (const QString& text : seen)
            form.WatchLB->addItem(text);
        form.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("watch-list.png")));
    }

    QCloseEvent close;
    QApplication::sendEvent(&form, &close);
    EXPECT_FALSE(close.isAccepted());
}

TEST(WatchForm, F1OpensTheWindowsHelpTopic)
{
    DesignerRuntime::init();
    ScriptedUi ui;
    ReportServices::SetUi(&ui);
    TrpWatchForm form;
    QTest::keyClick(&form, Qt::Key_F1);
    ReportServices::SetUi(nullptr);
    ASSERT_EQ(ui.Prompts.size(), 1u);
    EXPECT_EQ(ui.Prompts[0].Kind, QStringLiteral("ShowHelp"));
    EXPECT_EQ(ui.Prompts[0].Caption, GetResourcesInstance().HelpFile());
    EXPECT_EQ(ui.Prompts[0].Text, TrpResources::HelpTopic(u"TrpWatchForm"));
}

} // namespace
