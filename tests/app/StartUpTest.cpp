// The start-up every program with report windows shares: after it, each window finds what it
// offers. In a test program of its own, since Qt's translation stays installed afterwards.
#include "report/desktop/ReportDesktop.h"

#include "report/export/rpExportDialogs.h"
#include "report/export/rpExportHTML.h"
#include "report/export/rpExportPDF.h"
#include "report/export/rpExportRTF.h"
#include "report/export/rpExportXLS.h"
#include "report/model/rpClass_services.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(ReportStartUp, ExportDialogsDesignerAndRussianButtonsAreThere)
{
    ReportDesktop::start();
    ReportDesktop::start(); // a second call changes nothing

    // The preview's export menu and PDF button open these dialogs; without them an export
    // had no file name and wrote nothing.
    for (const QString& filter : {TrpPDFExport::Class().Name, TrpHTMLExport::Class().Name,
                                  TrpRTFExport::Class().Name, TrpXLSExport::Class().Name})
        EXPECT_EQ(ExportDialogs().count(filter), 1u) << filter.toStdString();
    // The preview's edit button opens the designer.
    EXPECT_TRUE(static_cast<bool>(ModelServices().CreateDesigner));

    QMessageBox question;
    question.addButton(QMessageBox::Yes);
    question.addButton(QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')).toStdString(), "Да");
    EXPECT_EQ(question.button(QMessageBox::No)->text().remove(QLatin1Char('&')).toStdString(), "Нет");
}

} // namespace
