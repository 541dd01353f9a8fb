#pragma once

#include <QByteArray>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace pw::test {

// What a run of the program left: its exit status and its two outputs.
struct ProgramRun final {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the built program in `folder` with `folder` as its home, so that its application folder is
// `folder`/Documents/Postwick, and with no display of any kind.
inline ProgramRun runPostwick(const QString& folder, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), folder);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(POSTWICK_PROGRAM), arguments);
    EXPECT_TRUE(program.waitForFinished(120000)) << arguments.join(u' ').toStdString();
    ProgramRun run;
    run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = program.readAllStandardOutput();
    run.err = program.readAllStandardError();
    return run;
}

// Starts the built program as runPostwick() runs it, for a test to run beside it and wait for.
inline QProcess* startPostwick(const QString& folder, const QStringList& arguments)
{
    auto* program = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.insert(QStringLiteral("HOME"), folder);
    program->setProcessEnvironment(environment);
    program->setWorkingDirectory(folder);
    program->start(QStringLiteral(POSTWICK_PROGRAM), arguments);
    EXPECT_TRUE(program->waitForStarted());
    return program;
}

// The application folder of runs in `folder`.
inline QString applicationFolderIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Documents/Postwick"));
}

}  // namespace pw::test
