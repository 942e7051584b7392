#include "rpFormatEditor.h"

#include "report/core/Services.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int kFormatStringRole = Qt::UserRole + 1;
constexpr int kMaxFormatString = 255;
const char* const kCategories[] = {"fkText", "fkNumber", "fkDateTime", "fkBoolean"};

} // namespace

TrpFormatEditorForm::TrpFormatEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpFormatEditorForm")), FFormat(std::make_unique<TrpFormat>())
{
    setWindowTitle(QString());
    FGroups = new QWidget(this);
    CategoryL = new QGroupBox(QString(), FGroups);
    CategoryL->setObjectName(QStringLiteral("CategoryL"));
    CategoryLB = new QListWidget(CategoryL);
    CategoryLB->setObjectName(QStringLiteral("CategoryLB"));
    (new QVBoxLayout(CategoryL))->addWidget(CategoryLB);
    FormatL = new QGroupBox(QString(), FGroups);
    FormatL->setObjectName(QStringLiteral("FormatL"));
    FormatLB = new QListWidget(FormatL);
    FormatLB->setObjectName(QStringLiteral("FormatLB"));
    (new QVBoxLayout(FormatL))->addWidget(FormatLB);
    GroupBox1 = new QGroupBox(FGroups);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    FormatStrL = new QLabel(QString(), GroupBox1);
    FormatStrL->setObjectName(QStringLiteral("FormatStrL"));
    SeparatorL = new QLabel(QString(), GroupBox1);
    SeparatorL->setObjectName(QStringLiteral("SeparatorL"));
    FormatE = new QLineEdit(GroupBox1);
    FormatE->setObjectName(QStringLiteral("FormatE"));
    SeparatorE = new QLineEdit(GroupBox1);
    SeparatorE->setObjectName(QStringLiteral("SeparatorE"));
    SeparatorE->setMaximumWidth(40);
    auto* editRows = new QGridLayout(GroupBox1);
    editRows->addWidget(FormatStrL, 0, 0);
    editRows->addWidget(FormatE, 0, 1);
    editRows->addWidget(SeparatorL, 1, 0);
    editRows->addWidget(SeparatorE, 1, 1, Qt::AlignLeft);
    editRows->setColumnStretch(1, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(CategoryL, 2);
    lists->addWidget(FormatL, 3);
    auto* groupsLayout = new QVBoxLayout(FGroups);
    groupsLayout->setContentsMargins(0, 0, 0, 0);
    groupsLayout->addLayout(lists, 1);
    groupsLayout->addWidget(GroupBox1);

    OkB = new QPushButton(QStringLiteral("OK"), this);
    CancelB = new QPushButton(QString(), this);
    MakeOkCancel(OkB, CancelB);
    auto* buttons = DesignerDialogs::ButtonRow({OkB, CancelB});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FGroups, 1);
    layout->addLayout(buttons);
    resize(316, 264);

    DesignerDialogs::Caption(this, 4500);
    DesignerDialogs::Caption(CategoryL, 4501);
    DesignerDialogs::Caption(FormatL, 4502);
    DesignerDialogs::Caption(FormatStrL, 4503);
    DesignerDialogs::Caption(SeparatorL, 4504);
    if (logicalDpiY() >= 120) {
        // The samples keep their designed row height on large fonts.
        FormatLB->setStyleSheet(QStringLiteral("QListWidget::item { height: 17px; }"));
    }
    connect(CategoryLB, &QListWidget::currentRowChanged, this, [this] { Guard([this] { CategoryLBClick(); }); });
    connect(FormatLB, &QListWidget::itemClicked, this, [this] { Guard([this] { FormatLBClick(); }); });
    connect(FormatLB, &QListWidget::currentRowChanged, this, [this] { Guard([this] { FormatLBClick(); }); });
}

TrpFormatEditorForm::~TrpFormatEditorForm() = default;

void TrpFormatEditorForm::SetFormat(const TrpFormat& format)
{
    FFormat->Assign(format);
}

void TrpFormatEditorForm::Showing()
{
    Fill();
}

void TrpFormatEditorForm::Hiding(int)
{
    WriteBack();
}

void TrpFormatEditorForm::HostControls(QWidget* host)
{
    FGroups->setParent(host);
    if (host->layout() == nullptr)
        (new QVBoxLayout(host))->setContentsMargins(4, 4, 4, 4);
    host->layout()->addWidget(FGroups);
    FGroups->show();
    Fill();
}

void TrpFormatEditorForm::UnhostControls()
{
    WriteBack();
}

void TrpFormatEditorForm::Fill()
{
    const QSignalBlocker block(CategoryLB);
    CategoryLB->clear();
    for (const char* name : kCategories)
        CategoryLB->addItem(GetResourcesInstance().Get(QString::fromLatin1(name)));
    CategoryLB->setCurrentRow(std::clamp(static_cast<int>(FFormat->Kind), 0, 3));
    CategoryLBClick();
    {
        const QSignalBlocker blockFormats(FormatLB);
        for (int i = 0; i < FormatLB->count(); ++i) {
            if (FormatLB->item(i)->data(kFormatStringRole).toString() == FFormat->FormatStr) {
                FormatLB->setCurrentRow(i);
                break;
            }
        }
    }
    FormatE->setText(FFormat->FormatStr);
    SeparatorE->setText(FFormat->DecimalSeparator);
}

void TrpFormatEditorForm::CategoryLBClick()
{
    const QSignalBlocker block(FormatLB);
    FormatLB->clear();
    const int category = CategoryLB->currentRow();
    SeparatorE->setEnabled(category == 1);
    SeparatorL->setEnabled(category == 1);
    if (category < 1 || category > 3)
        return;
    const QString base = QString::fromLatin1(kCategories[category]);
    for (int i = 1; i <= 10; ++i) {
        const QString text = GetResourcesInstance().Get(base + QString::number(i));
        if (text.contains(QStringLiteral("fk")))
            continue;
        const qsizetype semicolon = text.indexOf(u';');
        auto* item = new QListWidgetItem(semicolon < 0 ? text : text.left(semicolon), FormatLB);
        item->setData(kFormatStringRole, semicolon < 0 ? QString() : text.mid(semicolon + 1, kMaxFormatString));
    }
}

void TrpFormatEditorForm::FormatLBClick()
{
    if (QListWidgetItem* item = FormatLB->currentItem())
        FormatE->setText(item->data(kFormatStringRole).toString());
}

void TrpFormatEditorForm::WriteBack()
{
    const int kind = std::clamp(CategoryLB->currentRow(), 0, 3);
    FFormat->Kind = static_cast<TrpFormatKind>(kind);
    FFormat->FormatStr = kind == 0 ? QString() : FormatE->text();
    const QString separator = SeparatorE->text();
    FFormat->DecimalSeparator = separator.isEmpty() ? QString() : separator.left(1);
    if (kind == 0) {
        FFormat->DecimalSeparator.clear();
        FFormat->ThousandSeparator.clear();
    }
}
