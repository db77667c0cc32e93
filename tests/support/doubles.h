// Test doubles for the desktop seams.
#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "devicelink/desktop.h"

namespace testing_support {

class recording_ending final : public desktop::program_end {
public:
    void end_now() override { ++calls; }
    int calls = 0;
};

// Answers dialogs from a queue (an empty string is a cancel) and keeps every request.
class scripted_dialogs final : public desktop::file_dialogs {
public:
    QString open_file(const desktop::file_request& r) override { return answer(r, false); }
    QString save_file(const desktop::file_request& r) override { return answer(r, true); }

    std::deque<QString> answers;
    std::vector<desktop::file_request> requests;
    std::vector<bool> was_save;

private:
    QString answer(const desktop::file_request& r, bool save)
    {
        requests.push_back(r);
        was_save.push_back(save);
        if (answers.empty()) {
            return {};
        }
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

class fixed_documents final : public desktop::documents_folder {
public:
    explicit fixed_documents(QString p) : folder(std::move(p)) {}
    QString path() override { return folder; }
    QString folder;
};

// Installs the doubles for the life of the object.
struct desktop_doubles {
    desktop_doubles(const QString& documents_path = {}) : documents(documents_path)
    {
        desktop::set_ending(&ending);
        desktop::set_dialogs(&dialogs);
        desktop::set_documents(&documents);
    }
    ~desktop_doubles()
    {
        desktop::set_ending(nullptr);
        desktop::set_dialogs(nullptr);
        desktop::set_documents(nullptr);
    }
    recording_ending ending;
    scripted_dialogs dialogs;
    fixed_documents documents;
};

}  // namespace testing_support
