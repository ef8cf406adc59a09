// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// One run of another program, timed from before it is started until it has
// been reaped: the whole process, loading of its libraries included.
struct ProcessRun {
    bool started = false;
    int exitCode = -1;  // -1 when it did not exit normally
    double seconds = 0;
    QString problem;  // why it could not be started or failed

    bool ok() const { return started && exitCode == 0; }
};

// Runs program with arguments; extraEnvironment holds NAME=value entries
// added to (or replacing those of) this process's environment. The
// program's output is discarded unless keepOutput is set.
ProcessRun runProcess(const QString& program, const QStringList& arguments,
                      const QStringList& extraEnvironment = {}, bool keepOutput = false);
