// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/process_run.h"

#include <QFile>
#include <QProcessEnvironment>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

extern char** environ;

namespace {

double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Owns the strings behind an argv-style array.
class CStrings final {
public:
    void add(const QByteArray& text) { m_bytes.push_back(text); }
    char** pointers() {
        m_pointers.clear();
        for (QByteArray& b : m_bytes) m_pointers.push_back(b.data());
        m_pointers.push_back(nullptr);
        return m_pointers.data();
    }

private:
    std::vector<QByteArray> m_bytes;
    std::vector<char*> m_pointers;
};

}  // namespace

ProcessRun runProcess(const QString& program, const QStringList& arguments,
                      const QStringList& extraEnvironment, bool keepOutput) {
    ProcessRun run;
    // Everything is prepared before the clock starts.
    CStrings argv;
    argv.add(QFile::encodeName(program));
    for (const QString& a : arguments) argv.add(QFile::encodeName(a));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extraEnvironment) {
        const qsizetype equals = entry.indexOf(u'=');
        environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    CStrings envp;
    for (const QString& entry : environment.toStringList()) envp.add(entry.toLocal8Bit());

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!keepOutput) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }

    const double start = now();
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, argv.pointers()[0], &actions, nullptr, argv.pointers(), envp.pointers());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.problem =
            program + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(spawned));
        return run;
    }
    run.started = true;

    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    run.seconds = now() - start;
    if (waited != pid) {
        run.problem = program + QStringLiteral(": lost track of the process");
        return run;
    }
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
        if (run.exitCode != 0)
            run.problem = program + QStringLiteral(" exited with %1").arg(run.exitCode);
    } else {
        run.problem = program + QStringLiteral(" ended by signal %1").arg(WTERMSIG(status));
    }
    return run;
}
