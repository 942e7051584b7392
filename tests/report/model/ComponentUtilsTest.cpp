#include "ReportModelTestClasses.h"

#include "report/core/Services.h"

#include <QBuffer>
#include <QObject>

#include <gtest/gtest.h>

using namespace modeltest;

namespace {

// A form or frame of the program that owns report components outside any report.
struct Holder {
    Holder(const char* name, QObject* parent = nullptr) : Name(QString::fromLatin1(name))
    {
        RegisterGlobalRoot(Name, &Root, [this](QStringView n) -> TrpComponent* { return Find(n); }, parent);
    }
    TrpComponent* Add(const char* name)
    {
        Components.push_back(std::make_unique<TestView>());
        Components.back()->SetName(QString::fromLatin1(name));
        Components.back()->SetOwner(&Root);
        return Components.back().get();
    }
    TrpComponent* Find(QStringView name)
    {
        if (name == u"Broken")
            throw platform::Exception("lookup failed");
        for (const auto& c : Components) {
            if (c->Name().compare(name, Qt::CaseInsensitive) == 0)
                return c.get();
        }
        return nullptr;
    }
    QString Name;
    QObject Root;
    std::vector<std::unique_ptr<TestView>> Components;
};

TEST(ComponentUtilsTest, PathsOverGlobalRoots)
{
    TestTree tree;
    auto* memo = new TestMemo(tree.Band);
    memo->SetName(QStringLiteral("Memo1"));
    Holder frame("DaxFrame");
    TrpComponent* days = frame.Add("DayArchiveDataSet");
    Holder sub("ReportData", &frame.Root);
    TrpComponent* hours = sub.Add("HourDataSet");
    Holder other("Other");
    TrpComponent* stray = other.Add("Stray");
    const TrpComponent* report = tree.Report.get();

    struct PathCase {
        const TrpComponent* component;
        const char* path;
    };
    const PathCase paths[] = {
        {memo, "Memo1"},
        {days, "DaxFrame.DayArchiveDataSet"},
        {hours, "DaxFrame.ReportData.HourDataSet"},
        {stray, "Other.Stray"},
        {nullptr, ""},
    };
    for (const PathCase& c : paths) {
        SCOPED_TRACE(c.path);
        const QString path = GetComponentPath(report, c.component);
        EXPECT_EQ(path.toStdString(), c.path);
        if (c.component != nullptr) {
            EXPECT_EQ(FindComponentByPath(report, path), c.component);
        }
    }
    EXPECT_EQ(FindComponentByPath(report, u"Nowhere.Memo1"), nullptr);
    EXPECT_EQ(FindComponentByPath(report, u"DaxFrame.Nope.HourDataSet"), nullptr);
    EXPECT_EQ(FindComponentByPath(report, u"Nope"), nullptr);
    try {
        FindComponentByPath(report, u"DaxFrame.Broken");
        ADD_FAILURE();
    } catch (const EClassNotFound& failure) {
        EXPECT_EQ(failure.Message(), "Missing DaxFrame.Broken");
    }

    // A report owned by a global root finds that root's components by their plain names,
    // and writes them so.
    tree.Report->SetOwner(&frame.Root);
    EXPECT_EQ(FindComponentByPath(report, u"DayArchiveDataSet"), days);
    EXPECT_EQ(GetComponentPath(report, days), "DayArchiveDataSet");
    // Components of another report are not written at all.
    TestTree second;
    auto* foreign = new TestMemo(second.Band);
    foreign->SetName(QStringLiteral("Foreign"));
    EXPECT_EQ(GetComponentPath(report, foreign), "");

    // A reference to a frame's data set survives a file.
    memo->Band = nullptr;
    memo->Link = static_cast<TestView*>(days);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    tree.Report->SetOwner(nullptr);
    tree.Report->SaveToStream(buffer);
    EXPECT_TRUE(buffer.data().contains(R"(Link="DaxFrame.DayArchiveDataSet")"));
    TestReport copy;
    buffer.seek(0);
    copy.LoadFromStream(buffer);
    EXPECT_EQ(static_cast<TestMemo*>(copy.FindObject(u"Memo1"))->Link, days);

    UnregisterGlobalRoot(&frame.Root);
    EXPECT_EQ(FindComponentByPath(report, u"DaxFrame.DayArchiveDataSet"), nullptr);
    EXPECT_EQ(FindComponentByPath(report, u"DaxFrame.ReportData.HourDataSet"), nullptr);
}

class RecordingUi : public IUiService {
public:
    RecordingUi() { ReportServices::SetUi(this); }
    ~RecordingUi() override { ReportServices::SetUi(nullptr); }
    void ShowMessage(const QString& text) override { Lines << text; }
    int MessageDlg(const QString& caption, const QString& text, UiMessageType type, uint32_t buttons) override
    {
        Lines << caption + u'|' + text + u'|' + QString::number(static_cast<int>(type)) + u'|' + QString::number(buttons);
        return Answer;
    }
    QStringList Lines;
    int Answer = mrYes;
};

TEST(ComponentUtilsTest, MessageBoxesCarryTheirCaptions)
{
    ModelRuntime::init();
    {
        RecordingUi ui;
        ErrorMessageBox(QStringLiteral("Плохо"));
        EXPECT_EQ(ConfirmMessageBox(QStringLiteral("Удалить?"), UiButtons({mbYes, mbNo})), mrYes);
        InfoMessageBox(QStringLiteral("Готово"));
        EXPECT_EQ(ui.Lines, QStringList({QStringLiteral("Ошибка|Плохо|1|4"), QStringLiteral("Подтверждение|Удалить?|3|3"),
                                         QStringLiteral("Информация|Готово|2|4")}));
    }
    // Headless, without a service: nothing is shown and nothing waits.
    EXPECT_EQ(ConfirmMessageBox(QStringLiteral("?"), UiButtons({mbYes, mbNo, mbCancel})), mrNone);
}

} // namespace
