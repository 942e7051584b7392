#pragma once

// The named database connections of a stand-alone designer: system connections kept in the
// settings every user shares, user connections in the current user's settings, both under
// "\Software\Zuvo Dideziz\Connections" (value name = connection name, data = connection
// string). TrpConnEditorForm lists and edits them and stores the list when it closes with OK;
// TrpConnectionItemEdit edits one connection.

#include "rpDsgnDialog.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
class TrpReport;

class TrpConnectionItemEdit : public TrpDesignerDialog {
public:
    TrpConnectionItemEdit(QWidget* owner, TrpCustomDesigner* designer);

    TrpReport* Report = nullptr;
    QLineEdit* NameE = nullptr;
    QLineEdit* ConnE = nullptr;
    QPushButton* ConnB = nullptr;
    QRadioButton* SystemRB = nullptr;
    QRadioButton* UserRB = nullptr;
    QPushButton* OKB = nullptr;
    QPushButton* CancelB = nullptr;

    // The report's connection event, when assigned, builds the connection string.
    void ConnBClick();
};

class TrpConnEditorForm : public TrpDesignerDialog {
public:
    TrpConnEditorForm(QWidget* owner, TrpCustomDesigner* designer);

    // The only database kind the editor edits and stores; other rows are left alone.
    static QString DatabaseKind() { return QStringLiteral("ADO Database"); }
    static QString ConnectionsKey() { return QStringLiteral("\\Software\\Zuvo Dideziz\\Connections"); }

    TrpReport* Report = nullptr;
    QTreeWidget* ConnLV = nullptr;
    QPushButton* NewB = nullptr;
    QPushButton* EditB = nullptr;
    QPushButton* DeleteB = nullptr;
    QPushButton* TestB = nullptr;
    QPushButton* OKB = nullptr;

    // The row's fields: name, "System" or "User", database kind, connection string.
    static QString RowName(const QTreeWidgetItem& row);
    static QString RowType(const QTreeWidgetItem& row);
    static QString RowKind(const QTreeWidgetItem& row);
    static QString RowConnection(const QTreeWidgetItem& row);
    QTreeWidgetItem* AddRow(const QString& name, const QString& type, const QString& kind,
                            const QString& connection);
    // The item editor while it is open (none otherwise).
    TrpConnectionItemEdit* ItemEditor() const { return FItemEditor; }

    void FormShow();
    // Stores the list when the window closed with OK.
    void FormHide(int modalResult);
    void NewBClick();
    void EditBClick();
    void DeleteBClick();
    void OKBClick();
    void TestBClick();

protected:
    void Showing() override { FormShow(); }
    void Hiding(int modalResult) override { FormHide(modalResult); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    static void SetRow(QTreeWidgetItem& row, const QString& name, const QString& type, const QString& kind,
                       const QString& connection);
    TrpConnectionItemEdit* FItemEditor = nullptr;
};

namespace DesignerDialogs {

// The connections editor of the View menu, on the designer's report; its modal result.
int RunConnectionsEditor(TrpCustomDesigner& designer, QWidget* owner);

} // namespace DesignerDialogs
