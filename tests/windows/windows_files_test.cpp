// SPDX-License-Identifier: GPL-3.0-or-later
// The file seams as Windows has them: devices and pipes refused without
// waiting, files held open by another program, long paths with Chinese
// names, and where an installed or a portable copy keeps its data.
#include "common/module.h"
#include "common/program_folder.h"
#include "common/regular_file.h"
#include "common/text_file.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <utility>

#include <windows.h>

namespace {

// A handle closed at the end of its scope.
struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

std::wstring wide(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

}  // namespace

class WindowsFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString longFolder() const {
        // Past the old limit of 260 characters, in Chinese names.
        QString path = m_dir.path();
        while (path.size() < 300) path += QStringLiteral("/题库文件夹名称很长的一段");
        return path;
    }

private slots:
    // What is no file on a disk is refused, and opening it never waits.
    void refused_data() {
        QTest::addColumn<QString>("path");  // "%1" is the temporary folder
        QTest::addColumn<QString>("error");
        const QString notRegular = QStringLiteral("不是普通文件");
        QTest::newRow("console") << "CON" << notRegular;
        QTest::newRow("null device") << "NUL" << notRegular;
        QTest::newRow("null device in a folder") << "%1\\NUL" << notRegular;
        QTest::newRow("device name with an extension") << "%1\\nul.txt" << notRegular;
        QTest::newRow("serial port") << "%1\\COM1" << notRegular;
        QTest::newRow("printer port") << "lpt1" << notRegular;
        QTest::newRow("named pipe") << "\\\\.\\pipe\\zoma-review-test" << notRegular;
        QTest::newRow("folder") << "%1" << notRegular;
        QTest::newRow("missing") << "%1\\gone.txt" << QStringLiteral("文件不存在");
        QTest::newRow("missing folder") << "%1\\gone\\a.txt" << QStringLiteral("文件不存在");
    }
    void refused() {
        QFETCH(QString, path);
        QFETCH(QString, error);
        path.replace(QStringLiteral("%1"), QDir::toNativeSeparators(m_dir.path()));
        // A pipe with a server waiting for a client: a reader that connects
        // and reads would wait forever.
        Handle pipe{CreateNamedPipeW(L"\\\\.\\pipe\\zoma-review-test", PIPE_ACCESS_DUPLEX,
                                     PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr)};
        QVERIFY(pipe.h != INVALID_HANDLE_VALUE);
        QByteArray bytes("old");
        QString problem;
        QVERIFY(!zoma::readRegularFile(path, kMaxFileSize, &bytes, &problem));
        QCOMPARE(problem, error);
        QCOMPARE(bytes, QByteArray("old"));
    }

    // Bytes come back exactly (no text-mode line ends), under any name and
    // at the size bound.
    void read_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << "a.txt" << qint64(10) << true;
        QTest::newRow("Chinese name") << "总题库文件(v1).txt" << qint64(10) << true;
        QTest::newRow("a name that only starts like a device") << "con1.txt" << qint64(10) << true;
        QTest::newRow("long path") << "@/A类.txt" << qint64(10) << true;
        QTest::newRow("sparse, one over the bound") << "huge" << kMaxFileSize + 1 << false;
    }
    void read() {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(bool, ok);
        const QString path =
            name.startsWith(u'@') ? longFolder() + name.mid(1) : m_dir.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        const QByteArray bytes("\xd6\xd0\r\n\x1a\r\r\nx\n", 10);
        if (size == qint64(bytes.size())) {
            writeBytes(path, bytes);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size));
        }
        QByteArray read;
        QString problem;
        // Backslashes, as the program builds its paths.
        QCOMPARE(
            zoma::readRegularFile(QDir::toNativeSeparators(path), kMaxFileSize, &read, &problem),
            ok);
        QCOMPARE(read, ok ? bytes : QByteArray());
        if (!ok) QCOMPARE(problem, zoma::tooLargeReason(kMaxFileSize));
    }

    // Replacing a file whole: over one that exists, and over one another
    // program holds open, which keeps its old contents.
    void replace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<DWORD>("share");  // the other program's sharing; 0 when none has it open
        QTest::addColumn<QString>("error");
        const DWORD readWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
        const QString inUse = QStringLiteral("文件正被其他程序使用，请关闭那个程序后再试");
        QTest::newRow("over an existing file") << "导出.txt" << DWORD(0) << QString();
        QTest::newRow("long path") << "@/导出.txt" << DWORD(0) << QString();
        QTest::newRow("held open by a reader") << "导出.txt" << DWORD(FILE_SHARE_READ) << inUse;
        QTest::newRow("held open, sharing all but delete") << "导出.txt" << readWrite << inUse;
    }
    void replace() {
        QFETCH(QString, name);
        QFETCH(DWORD, share);
        QFETCH(QString, error);
        const QString path =
            name.startsWith(u'@') ? longFolder() + name.mid(1) : m_dir.filePath(name);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeBytes(path, "old");
        Handle other{INVALID_HANDLE_VALUE};
        if (share != 0) {
            other.h = CreateFileW(wide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                  0, nullptr);
            QVERIFY(other.h != INVALID_HANDLE_VALUE);
        }
        QString problem;
        QCOMPARE(zoma::writeText(QDir::toNativeSeparators(path), u"新\r\n", &problem),
                 error.isEmpty());
        QCOMPARE(problem, error);
        if (other.h != INVALID_HANDLE_VALUE)
            CloseHandle(std::exchange(other.h, INVALID_HANDLE_VALUE));
        QCOMPARE(readBytes(path), error.isEmpty() ? QByteArray("\xd0\xc2\r\n") : QByteArray("old"));
        // No part file left behind either way.
        const QStringList left =
            QDir(QFileInfo(path).path())
                .entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
    }

    // A copy the installer made keeps its data in the user's folder; an
    // unpacked portable one beside itself.
    void dataFolder_data() {
        QTest::addColumn<bool>("installed");
        QTest::newRow("portable") << false;
        QTest::newRow("installed") << true;
    }
    void dataFolder() {
        QFETCH(bool, installed);
        const QString program = m_dir.filePath(QStringLiteral("程序"));
        QVERIFY(QDir().mkpath(program));
        if (installed) writeBytes(program + QStringLiteral("/uninstall.exe"), "MZ");
        const QString dir = ProgramFolder::dataDir(program);
        QCOMPARE(dir, installed ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                : program);
    }

    // The modules are DLLs beside the program.
    void moduleBesideProgram() {
        QString error;
        QVERIFY2(zoma::moduleFunction(QStringLiteral(ZOMA_UNZIP_MODULE), "UzpVersion2", &error),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(WindowsFilesTest)
#include "windows_files_test.moc"
