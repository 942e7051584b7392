#pragma once

#include "app/UserPrompts.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

namespace testsupport {

// Answers in place of the user and remembers what was asked; never enters a modal loop.
// A modal dialog is handed to OnModal (which may show it, work its controls and close it);
// without one it is rejected. The dialog's result is what the caller gets.
class FakePrompts : public UserPrompts {
public:
    struct Asked {
        QString caption;
        QString text;
    };

    bool Question(QWidget*, const QString& caption, const QString& text) override
    {
        questions.push_back({caption, text});
        return answer;
    }
    QString OpenFileName(QWidget*, const QString& folder, const QString& filter) override
    {
        folders.push_back(folder);
        filters.push_back(filter);
        return openName;
    }
    QString SaveFileName(QWidget*, const QString& folder, const QString& proposedName, const QString& filter,
                         const QString&) override
    {
        folders.push_back(folder);
        proposedNames.push_back(proposedName);
        filters.push_back(filter);
        return saveName;
    }
    int RunModal(QDialog& dialog) override
    {
        ++modalRuns;
        modalDialogs.push_back(&dialog);
        if (OnModal) {
            const int result = OnModal(dialog);
            dialog.hide();
            return result;
        }
        dialog.reject();
        return dialog.result();
    }
    void ErrorBox(QWidget*, const QString& text) override { errors.push_back(text); }

    std::function<int(QDialog&)> OnModal;
    bool answer = false;
    QString openName;
    QString saveName;

    int modalRuns = 0;
    std::vector<QDialog*> modalDialogs;
    std::vector<Asked> questions;
    std::vector<QString> folders;
    std::vector<QString> filters;
    std::vector<QString> proposedNames;
    std::vector<QString> errors;
};

} // namespace testsupport
