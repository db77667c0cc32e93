#include "devicelink/desktop.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>

namespace desktop {

namespace {

QString start_path(const file_request& r)
{
    if (r.start_folder.isEmpty()) {
        return r.initial_name;
    }
    return QDir(r.start_folder).filePath(r.initial_name);
}

class qt_file_dialogs final : public file_dialogs {
public:
    QString open_file(const file_request& r) override
    {
        return QFileDialog::getOpenFileName(nullptr, r.title, start_path(r), r.filter);
    }
    QString save_file(const file_request& r) override
    {
        return QFileDialog::getSaveFileName(nullptr, r.title, start_path(r), r.filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
};

class standard_documents final : public documents_folder {
public:
    QString path() override { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }
};

class immediate_end final : public program_end {
public:
    void end_now() override
    {
        std::fflush(nullptr);
        std::_Exit(0);
    }
};

qt_file_dialogs real_dialogs;
standard_documents real_documents;
immediate_end real_ending;

file_dialogs* current_dialogs = &real_dialogs;
documents_folder* current_documents = &real_documents;
program_end* current_ending = &real_ending;

}  // namespace

file_dialogs& dialogs()
{
    return *current_dialogs;
}

documents_folder& documents()
{
    return *current_documents;
}

program_end& ending()
{
    return *current_ending;
}

void set_dialogs(file_dialogs* replacement)
{
    current_dialogs = replacement != nullptr ? replacement : &real_dialogs;
}

void set_documents(documents_folder* replacement)
{
    current_documents = replacement != nullptr ? replacement : &real_documents;
}

void set_ending(program_end* replacement)
{
    current_ending = replacement != nullptr ? replacement : &real_ending;
}

}  // namespace desktop
