#pragma once

#include <QStringList>

// Printing from the command line, without dialogs: the printer list and printing a prepared
// report on a printer of the system or into a PDF file.

// printers: one line per printer: index, name, "*" for the default (else "-"), resolution in
// dots per inch and number of papers, tab-separated.
int RunPrinters(const QStringList& arguments);

// print FILE.zp3 [--printer NAME | --pdf OUT.pdf] [--copies N] [--collate | --no-collate]
// [--pages LIST] [--odd | --even] [--reverse] [--mode default|split|join|scale] [--sheet CODE]
// [--splicing MM] [--duplex none|vertical|horizontal|simplex]: prints with those print options
// and writes "sheets=N" (sheets sent to the printer, its own copies included). A failure prints
// its text and exits 2; a usage error exits 1.
int RunPrint(const QStringList& arguments);
