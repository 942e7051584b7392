#include "DialogTestSupport.h"

#include "platform/RegistryStore.h"
#include "report/designer/rpConnEditor.h"
#include "report/model/rpClass_report.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kKey = "\\Software\\Zuvo Dideziz\\Connections";

class ConnEditor : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(userDir.isValid());
        ASSERT_TRUE(systemDir.isValid());
        oldHome = qgetenv("DAXCONFIG_HOME");
        oldSystem = qgetenv("DAXCONFIG_SYSTEM_FILE");
        qputenv("DAXCONFIG_HOME", userDir.path().toLocal8Bit());
        qputenv("DAXCONFIG_SYSTEM_FILE", systemDir.filePath(QStringLiteral("registry.json")).toLocal8Bit());
        designer = std::make_unique<StandInDesigner>(&report);
        ASSERT_TRUE(System().WriteString(kKey, "Shared", "Provider=A"));
        ASSERT_TRUE(User().WriteString(kKey, "Mine", "Provider=B"));
        ASSERT_TRUE(User().WriteString(kKey, "Other", "Provider=C"));
    }

    void TearDown() override
    {
        std::error_code error;
        std::filesystem::permissions(System().File(), std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_write, error);
        qputenv("DAXCONFIG_HOME", oldHome);
        qputenv("DAXCONFIG_SYSTEM_FILE", oldSystem);
    }

    static platform::RegistryStore System() { return platform::RegistryStore::LocalMachine(); }
    static platform::RegistryStore User() { return platform::RegistryStore::CurrentUser(); }

    static QStringList Rows(const TrpConnEditorForm& form)
    {
        QStringList rows;
        for (int i = 0; i < form.ConnLV->topLevelItemCount(); ++i) {
            const QTreeWidgetItem& row = *form.ConnLV->topLevelItem(i);
            rows.append(QStringList{TrpConnEditorForm::RowName(row), TrpConnEditorForm::RowType(row),
                                    TrpConnEditorForm::RowKind(row), TrpConnEditorForm::RowConnection(row)}
                            .join(u'|'));
        }
        return rows;
    }

    static QTreeWidgetItem* RowNamed(const TrpConnEditorForm& form, const QString& name)
    {
        const auto found = form.ConnLV->findItems(name, Qt::MatchExactly, 0);
        return found.isEmpty() ? nullptr : found.first();
    }

    static QByteArray Bytes(const std::filesystem::path& file)
    {
        QFile f(QString::fromStdString(file.string()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir userDir;
    QTemporaryDir systemDir;
    QByteArray oldHome;
    QByteArray oldSystem;
    ModalScript modal;
    TrpReport report;
    std::unique_ptr<StandInDesigner> designer;
};

TEST_F(ConnEditor, ListsSystemRowsThenUserRowsWithTheirCaptions)
{
    modal.Then<TrpConnEditorForm>([](TrpConnEditorForm& form) {
        EXPECT_EQ(Rows(form), (QStringList{"Shared|System|ADO Database|Provider=A", "Mine|User|ADO Database|Provider=B",
                                           "Other|User|ADO Database|Provider=C"}));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Соединения"));
        EXPECT_EQ(form.NewB->text(), QStringLiteral("Новое"));
        EXPECT_EQ(form.DeleteB->text(), QStringLiteral("Удалить"));
        EXPECT_EQ(form.EditB->text(), QStringLiteral("Правка"));
        EXPECT_EQ(form.OKB->text(), QStringLiteral("Закрыть"));
        EXPECT_EQ(form.ConnLV->headerItem()->text(0), QStringLiteral("Имя"));
        EXPECT_TRUE(form.ConnLV->isColumnHidden(3));
        SaveScreenshot(form, QStringLiteral("connections-editor"));
        form.reject();
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrCancel);
}

TEST_F(ConnEditor, TheCloseBoxStoresNothing)
{
    const QByteArray userBefore = Bytes(User().File());
    modal.Then<TrpConnEditorForm>([](TrpConnEditorForm& form) {
        delete RowNamed(form, QStringLiteral("Mine"));
        form.AddRow(QStringLiteral("New"), QStringLiteral("User"), TrpConnEditorForm::DatabaseKind(),
                    QStringLiteral("x"));
        form.close();
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrCancel);
    EXPECT_EQ(Bytes(User().File()), userBefore);
}

TEST_F(ConnEditor, OkRewritesTheUserKeyWholeAfterARename)
{
    report.OnEditConnection = [](const QString& current) { return current + QStringLiteral(";Edited"); };
    modal.Then<TrpConnEditorForm>([this](TrpConnEditorForm& form) {
        form.ConnLV->setCurrentItem(RowNamed(form, QStringLiteral("Mine")));
        modal.Then<TrpConnectionItemEdit>([](TrpConnectionItemEdit& item) {
            EXPECT_EQ(item.NameE->text(), QStringLiteral("Mine"));
            EXPECT_TRUE(item.UserRB->isChecked());
            item.NameE->setText(QStringLiteral("Renamed"));
            item.ConnB->click();
            item.OKB->click();
        });
        form.EditB->click();
        EXPECT_EQ(form.ConnLV->currentItem()->text(0), QStringLiteral("Renamed"));
        form.OKB->click();
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrOk);
    EXPECT_EQ(User().ValueNames(kKey), (std::vector<std::string>{"Other", "Renamed"}));
    EXPECT_EQ(User().ReadString(kKey, "Renamed", ""), "Provider=B;Edited");
    EXPECT_EQ(System().ValueNames(kKey), (std::vector<std::string>{"Shared"}));
}

TEST_F(ConnEditor, NewDeleteAndTheSystemChoice)
{
    modal.Then<TrpConnEditorForm>([this](TrpConnEditorForm& form) {
        modal.Then<TrpConnectionItemEdit>([](TrpConnectionItemEdit& item) {
            EXPECT_TRUE(item.SystemRB->isChecked());
            item.NameE->setText(QStringLiteral("Fresh"));
            item.ConnE->setText(QStringLiteral("Provider=D"));
            item.UserRB->setChecked(true);
            item.OKB->click();
        });
        form.NewB->click();
        EXPECT_EQ(form.ConnLV->currentItem()->text(0), QStringLiteral("Fresh"));
        // The item editor's Cancel adds nothing.
        modal.Then<TrpConnectionItemEdit>([](TrpConnectionItemEdit& item) { item.CancelB->click(); });
        form.NewB->click();
        EXPECT_EQ(form.ConnLV->topLevelItemCount(), 4);

        form.ConnLV->setCurrentItem(RowNamed(form, QStringLiteral("Shared")));
        modal.ui.Errors.clear();
        form.DeleteB->click();
        form.OKB->click();
    });
    // DialogUi answers the question with mrOk, which is no Yes: the row stays.
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrOk);
    EXPECT_EQ(modal.ui.Errors, QStringList{QStringLiteral("Delete connection Shared?")});
    EXPECT_EQ(User().ValueNames(kKey), (std::vector<std::string>{"Fresh", "Mine", "Other"}));
    EXPECT_EQ(System().ValueNames(kKey), (std::vector<std::string>{"Shared"}));
}

// Answers the delete question with Yes; dialogs run the queued steps of the fixture's script.
class YesUi : public DialogUi {
public:
    int MessageDlg(const QString&, const QString& text, UiMessageType, uint32_t buttons) override
    {
        Errors.append(text);
        EXPECT_EQ(buttons, UiButtons({mbYes, mbNo}));
        return mrYes;
    }
};

TEST_F(ConnEditor, YesDeletesTheRowAndEscClosesWithOk)
{
    YesUi yes;
    yes.OnModal = modal.ui.OnModal;
    ReportServices::SetUi(&yes);
    modal.Then<TrpConnEditorForm>([](TrpConnEditorForm& form) {
        form.ConnLV->setCurrentItem(RowNamed(form, QStringLiteral("Mine")));
        form.DeleteB->click();
        EXPECT_EQ(RowNamed(form, QStringLiteral("Mine")), nullptr);
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrOk);
    ReportServices::SetUi(&modal.ui);
    EXPECT_EQ(yes.Errors, QStringList{QStringLiteral("Delete connection Mine?")});
    EXPECT_EQ(User().ValueNames(kKey), (std::vector<std::string>{"Other"}));
}

TEST_F(ConnEditor, RowsOfAnotherKindAreNeitherEditedNorStored)
{
    modal.Then<TrpConnEditorForm>([](TrpConnEditorForm& form) {
        QTreeWidgetItem* row = form.AddRow(QStringLiteral("Odd"), QStringLiteral("User"), QStringLiteral("BDE Database"),
                                           QStringLiteral("y"));
        form.ConnLV->setCurrentItem(row);
        form.EditB->click(); // no item editor opens: no step is queued for one
        form.OKB->click();
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrOk);
    EXPECT_EQ(modal.Shown, QStringList{QStringLiteral("TrpConnEditorForm")});
    EXPECT_EQ(User().ValueNames(kKey), (std::vector<std::string>{"Mine", "Other"}));
}

TEST_F(ConnEditor, AReadOnlySystemFileIsLeftUntouched)
{
    const QByteArray before = Bytes(System().File());
    std::filesystem::permissions(System().File(), std::filesystem::perms::owner_read);
    modal.Then<TrpConnEditorForm>([](TrpConnEditorForm& form) {
        delete RowNamed(form, QStringLiteral("Shared"));
        form.AddRow(QStringLiteral("Machine"), QStringLiteral("System"), TrpConnEditorForm::DatabaseKind(),
                    QStringLiteral("z"));
        form.OKB->click();
    });
    EXPECT_EQ(DesignerDialogs::RunConnectionsEditor(*designer, nullptr), mrOk);
    EXPECT_EQ(Bytes(System().File()), before);
    EXPECT_EQ(std::filesystem::status(System().File()).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
    // The user's part is stored all the same.
    EXPECT_EQ(User().ValueNames(kKey), (std::vector<std::string>{"Mine", "Other"}));
}

} // namespace
