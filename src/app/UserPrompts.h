#pragma once

#include <QString>

class QDialog;
class QWidget;

// Everything the configurator's windows ask of the user through a modal loop: questions,
// file names, modal dialogs and the error box. The windows go through this one seam so that
// tests answer in place of the user and never enter a modal loop.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // A question with Yes and No buttons; true for Yes.
    virtual bool Question(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The file chosen to open or to save to; empty when the user cancelled. The dialog starts
    // in the folder given. The filter is in Qt's form ("Файл данных (*.daxdat);;Все файлы (*)");
    // a save adds the default suffix to a name without one.
    virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& folder, const QString& proposedName,
                                 const QString& filter, const QString& defaultSuffix) = 0;
    // Shows the dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& dialog) = 0;
    // The program's error box.
    virtual void ErrorBox(QWidget* parent, const QString& text) = 0;

    // The prompts of the desktop: message boxes, file dialogs, exec().
    static UserPrompts& System();
};

// The caption of the program's message boxes.
extern const char* const kProgramCaption; // "Dax Конфигуратор"
