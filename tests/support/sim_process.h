// zova3-sim run as a program, its output collected as it comes.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace testing_support {

struct sim_process {
    explicit sim_process(const QStringList& arguments) { process.start(ZOVA_SIM_PROGRAM, arguments); }
    ~sim_process()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    // Reads output until text shows up; false after 5 s without new output.
    bool read_until(const char* text)
    {
        while (!output.contains(text) && process.waitForReadyRead(5000)) {
            output += process.readAll();
        }
        return output.contains(text);
    }
    QProcess process;
    QByteArray output;
};

}  // namespace testing_support
