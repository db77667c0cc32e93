// Desktop services the windows need, behind small seams so that tests run
// without a display, a human or a real file system dialog.
#pragma once

#include <QString>

namespace desktop {

struct file_request {
    QString title;
    QString start_folder;   // empty: the dialog's own choice
    QString initial_name;   // may hold a pattern such as "zova3_syc*.bin"
    QString filter;         // Qt filter string; empty: no filter list
};

class file_dialogs {
public:
    virtual ~file_dialogs() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString open_file(const file_request& request) = 0;
    virtual QString save_file(const file_request& request) = 0;
};

class documents_folder {
public:
    virtual ~documents_folder() = default;
    // Empty when the folder cannot be determined.
    virtual QString path() = 0;
};

class program_end {
public:
    virtual ~program_end() = default;
    // Ends the program at once: no window runs its closing steps.
    virtual void end_now() = 0;
};

file_dialogs& dialogs();
documents_folder& documents();
program_end& ending();

// Installed by tests; nullptr restores the real one.
void set_dialogs(file_dialogs* replacement);
void set_documents(documents_folder* replacement);
void set_ending(program_end* replacement);

}  // namespace desktop
