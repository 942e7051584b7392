#include "rpConnEditor.h"

#include "platform/RegistryStore.h"
#include "report/core/Services.h"
#include "report/model/rpClass_report.h"
#include "report/model/rpClass_services.h"
#include "report/model/rpRes.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace {

constexpr int kConnectionColumn = 3;

QString SystemType()
{
    return QStringLiteral("System");
}

QString UserType()
{
    return QStringLiteral("User");
}

// Whether the settings file may be rewritten. The store replaces its file by renaming a new
// one over it, which a folder open for writing allows even for a file marked read-only: a
// read-only file (shared system settings) must stay as it is.
bool MayRewrite(const platform::RegistryStore& store)
{
    std::error_code error;
    const std::filesystem::path& file = store.File();
    if (!std::filesystem::exists(file, error))
        return true;
    const auto writeBits = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                           std::filesystem::perms::others_write;
    const std::filesystem::perms perms = std::filesystem::status(file, error).permissions();
    if (error || (perms & writeBits) == std::filesystem::perms::none)
        return false;
    return ::access(file.c_str(), W_OK) == 0;
}

// Rewrites the key of one store with the rows of one type; a store that cannot be written is
// left unsaved.
void StoreRows(platform::RegistryStore store, const QTreeWidget& list, const QString& type)
{
    if (!MayRewrite(store))
        return;
    const std::string key = TrpConnEditorForm::ConnectionsKey().toStdString();
    if (!store.DeleteKey(key) || !store.CreateKey(key))
        return;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        const QTreeWidgetItem& row = *list.topLevelItem(i);
        if (TrpConnEditorForm::RowKind(row) != TrpConnEditorForm::DatabaseKind() ||
            TrpConnEditorForm::RowType(row) != type)
            continue;
        if (!store.WriteString(key, TrpConnEditorForm::RowName(row).toStdString(),
                               TrpConnEditorForm::RowConnection(row).toStdString()))
            return;
    }
}

} // namespace

// --- one connection

TrpConnectionItemEdit::TrpConnectionItemEdit(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpConnectionItemEdit"))
{
    setObjectName(QStringLiteral("TrpConnectionItemEdit"));
    setWindowTitle(QStringLiteral("Connection"));
    Report = designer != nullptr ? designer->Report() : nullptr;
    NameE = new QLineEdit(this);
    NameE->setObjectName(QStringLiteral("NameE"));
    ConnE = new QLineEdit(this);
    ConnE->setObjectName(QStringLiteral("ConnE"));
    ConnB = new QPushButton(QStringLiteral("..."), this);
    ConnB->setObjectName(QStringLiteral("ConnB"));
    ConnB->setFixedWidth(24);
    SystemRB = new QRadioButton(QStringLiteral("System connection"), this);
    SystemRB->setObjectName(QStringLiteral("SystemRB"));
    SystemRB->setChecked(true);
    UserRB = new QRadioButton(QStringLiteral("User connection"), this);
    UserRB->setObjectName(QStringLiteral("UserRB"));
    OKB = new QPushButton(QStringLiteral("OK"), this);
    OKB->setObjectName(QStringLiteral("OKB"));
    CancelB = new QPushButton(QStringLiteral("Cancel"), this);
    CancelB->setObjectName(QStringLiteral("CancelB"));
    MakeOkCancel(OKB, CancelB);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Name"), this));
    layout->addWidget(NameE);
    layout->addWidget(new QLabel(QStringLiteral("Connection string"), this));
    auto* connRow = new QHBoxLayout;
    connRow->addWidget(ConnE, 1);
    connRow->addWidget(ConnB);
    layout->addLayout(connRow);
    auto* kind = new QGroupBox(this);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(SystemRB);
    kindLayout->addWidget(UserRB);
    layout->addWidget(kind);
    auto* buttons = DesignerDialogs::ButtonRow({OKB, CancelB});
    layout->addLayout(buttons);
    resize(380, 210);
    connect(ConnB, &QPushButton::clicked, this, [this] { Guard([this] { ConnBClick(); }); });
}

void TrpConnectionItemEdit::ConnBClick()
{
    if (Report != nullptr && Report->OnEditConnection)
        ConnE->setText(Report->OnEditConnection(ConnE->text()));
}

// --- the list

TrpConnEditorForm::TrpConnEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpConnEditorForm"))
{
    setObjectName(QStringLiteral("TrpConnEditorForm"));
    setSizeGripEnabled(true);
    Report = designer != nullptr ? designer->Report() : nullptr;
    ConnLV = new QTreeWidget(this);
    ConnLV->setObjectName(QStringLiteral("ConnLV"));
    ConnLV->setColumnCount(4);
    ConnLV->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Database"), QString()});
    ConnLV->setColumnHidden(kConnectionColumn, true);
    ConnLV->setColumnWidth(0, 300);
    ConnLV->setColumnWidth(1, 150);
    ConnLV->setColumnWidth(2, 150);
    ConnLV->setRootIsDecorated(false);
    ConnLV->setSelectionBehavior(QAbstractItemView::SelectRows);
    ConnLV->setSelectionMode(QAbstractItemView::SingleSelection);
    ConnLV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ConnLV->setStyleSheet(QStringLiteral("QTreeWidget::item { border-right: 1px solid #d0d0d0; "
                                         "border-bottom: 1px solid #d0d0d0; }"));
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    NewB = button("NewB", QStringLiteral("New"));
    EditB = button("EditB", QStringLiteral("Edit"));
    DeleteB = button("DeleteB", QStringLiteral("Delete"));
    // What a connection test does is open: the button stays out of sight.
    TestB = button("TestB", QStringLiteral("Test"));
    TestB->setVisible(false);
    OKB = button("OKB", QStringLiteral("Close"));
    OKB->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(NewB);
    side->addWidget(EditB);
    side->addWidget(DeleteB);
    side->addWidget(TestB);
    side->addStretch(1);
    side->addWidget(OKB);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(ConnLV, 1);
    layout->addLayout(side);
    resize(720, 300);

    connect(NewB, &QPushButton::clicked, this, [this] { Guard([this] { NewBClick(); }); });
    connect(EditB, &QPushButton::clicked, this, [this] { Guard([this] { EditBClick(); }); });
    connect(DeleteB, &QPushButton::clicked, this, [this] { Guard([this] { DeleteBClick(); }); });
    connect(TestB, &QPushButton::clicked, this, [this] { Guard([this] { TestBClick(); }); });
    connect(OKB, &QPushButton::clicked, this, [this] { Guard([this] { OKBClick(); }); });
    connect(ConnLV, &QTreeWidget::itemDoubleClicked, this, [this] { Guard([this] { EditBClick(); }); });
}

QString TrpConnEditorForm::RowName(const QTreeWidgetItem& row)
{
    return row.text(0);
}

QString TrpConnEditorForm::RowType(const QTreeWidgetItem& row)
{
    return row.text(1);
}

QString TrpConnEditorForm::RowKind(const QTreeWidgetItem& row)
{
    return row.text(2);
}

QString TrpConnEditorForm::RowConnection(const QTreeWidgetItem& row)
{
    return row.text(kConnectionColumn);
}

void TrpConnEditorForm::SetRow(QTreeWidgetItem& row, const QString& name, const QString& type, const QString& kind,
                               const QString& connection)
{
    row.setText(0, name);
    row.setText(1, type);
    row.setText(2, kind);
    row.setText(kConnectionColumn, connection);
}

QTreeWidgetItem* TrpConnEditorForm::AddRow(const QString& name, const QString& type, const QString& kind,
                                           const QString& connection)
{
    auto* row = new QTreeWidgetItem(ConnLV);
    SetRow(*row, name, type, kind, connection);
    return row;
}

void TrpConnEditorForm::FormShow()
{
    DesignerDialogs::Caption(this, 5800);
    DesignerDialogs::Caption(NewB, 5801);
    DesignerDialogs::Caption(DeleteB, 5802);
    DesignerDialogs::Caption(EditB, 132);
    OKB->setText(DesignerDialogs::Text(QStringLiteral("clClose")));
    ConnLV->headerItem()->setText(0, DesignerDialogs::Text(QStringLiteral("cpName")));
    ConnLV->clear();
    const std::string key = ConnectionsKey().toStdString();
    const std::pair<platform::RegistryStore, QString> stores[] = {
        {platform::RegistryStore::LocalMachine(), SystemType()},
        {platform::RegistryStore::CurrentUser(), UserType()}};
    for (const auto& [store, type] : stores)
        for (const std::string& name : store.ValueNames(key))
            AddRow(QString::fromStdString(name), type, DatabaseKind(),
                   QString::fromStdString(store.ReadString(key, name, "")));
}

void TrpConnEditorForm::FormHide(int modalResult)
{
    if (modalResult != mrOk)
        return;
    StoreRows(platform::RegistryStore::LocalMachine(), *ConnLV, SystemType());
    StoreRows(platform::RegistryStore::CurrentUser(), *ConnLV, UserType());
}

void TrpConnEditorForm::NewBClick()
{
    TrpConnectionItemEdit editor(this, Designer());
    editor.Report = Report;
    FItemEditor = &editor;
    const int result = editor.Execute();
    FItemEditor = nullptr;
    if (result != mrOk)
        return;
    QTreeWidgetItem* row = AddRow(editor.NameE->text(), editor.SystemRB->isChecked() ? SystemType() : UserType(),
                                  DatabaseKind(), editor.ConnE->text());
    ConnLV->setCurrentItem(row);
}

void TrpConnEditorForm::EditBClick()
{
    QTreeWidgetItem* row = ConnLV->currentItem();
    if (row == nullptr || !row->isSelected() || RowKind(*row) != DatabaseKind())
        return;
    TrpConnectionItemEdit editor(this, Designer());
    editor.Report = Report;
    editor.NameE->setText(RowName(*row));
    if (RowType(*row) == SystemType())
        editor.SystemRB->setChecked(true);
    else if (RowType(*row) == UserType())
        editor.UserRB->setChecked(true);
    editor.ConnE->setText(RowConnection(*row));
    FItemEditor = &editor;
    const int result = editor.Execute();
    FItemEditor = nullptr;
    if (result != mrOk)
        return;
    SetRow(*row, editor.NameE->text(), editor.SystemRB->isChecked() ? SystemType() : UserType(), RowKind(*row),
           editor.ConnE->text());
    ConnLV->setCurrentItem(row);
}

void TrpConnEditorForm::DeleteBClick()
{
    QTreeWidgetItem* row = ConnLV->currentItem();
    if (row == nullptr || !row->isSelected())
        return;
    const int answer = ReportServices::Ui().MessageDlg(
        ResourceText(u"mbConfirm"), QStringLiteral("Delete connection ") + RowName(*row) + QStringLiteral("?"),
        UiMessageType::Confirmation, UiButtons({mbYes, mbNo}));
    if (answer == mrYes)
        delete row;
}

void TrpConnEditorForm::OKBClick()
{
    ConnLV->clearSelection();
    done(QDialog::Accepted);
}

void TrpConnEditorForm::TestBClick()
{
    // Only the selection is read; what testing a connection means is left open.
    QTreeWidgetItem* row = ConnLV->currentItem();
    Q_UNUSED(row);
}

void TrpConnEditorForm::keyPressEvent(QKeyEvent* event)
{
    // The close button is also the cancel button: Esc closes with OK, as it does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OKB->click();
        return;
    }
    TrpDesignerDialog::keyPressEvent(event);
}

namespace DesignerDialogs {

int RunConnectionsEditor(TrpCustomDesigner& designer, QWidget* owner)
{
    TrpConnEditorForm form(owner, &designer);
    return form.Execute();
}

} // namespace DesignerDialogs
