// SPDX-License-Identifier: GPL-3.0-or-later
// Faults from the environment, through the real windows: a read-only program
// folder or library, a disk that fills, files that vanish. Each must end in
// one clear message, and nothing that stood before may be lost.
#include "common/program_folder.h"
#include "import/form3.h"
#include "practice/form2.h"
#include "tests/support/program_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <optional>

using Answer = Dialogs::Answer;
using Window = WindowRegistry::Window;

namespace {

// Makes a folder immutable: nobody, root included, may add, remove or rename
// its entries. This is how the tests get a read-only folder while running as
// root. The flag is cleared again when the guard goes.
class ReadOnlyFolder final {
public:
    explicit ReadOnlyFolder(const QString& path) : m_fd(::open(qPrintable(path), O_RDONLY)) {
        m_ok = setImmutable(true);
    }
    ~ReadOnlyFolder() {
        if (m_ok) setImmutable(false);
        if (m_fd >= 0) ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(ReadOnlyFolder)
    bool ok() const { return m_ok; }

private:
    bool setImmutable(bool on) {
        int flags = 0;
        if (m_fd < 0 || ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) != 0) return false;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        return ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    int m_fd;
    bool m_ok = false;
};

// Files may not grow past the limit while the guard lives, as on a full disk:
// writes beyond it fail with an error instead of a signal. Only for the
// import: its engine writes its own files, where the export writer takes a
// failing device (see the export writer's test).
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

class FaultsTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ProgramFixture> m_program;

    QString appDir() const { return m_program->appDir(); }
    QString libDir() const { return m_program->libDir(); }
    QWidget* window(Window w) const { return m_program->window(w); }
    Form1* main() const { return m_program->main(); }
    ScriptedDialogs* dialogs() const { return &m_program->dialogs; }

private slots:
    void init() { m_program = std::make_unique<ProgramFixture>(); }
    void cleanup() {
        const bool done = m_program->dialogs.scriptDone();
        m_program.reset();
        QVERIFY(done);
    }

    void readOnlyProgramFolder() {
        m_program->readLevel(2);
        writeBytes(appDir() + QStringLiteral("record.txt"), "0\r\n");
        const auto before = folderFiles(appDir());
        ReadOnlyFolder readOnly(m_program->dir.path());
        if (!readOnly.ok()) QSKIP("this file system cannot make a folder read-only for root");

        // The practice window says once that the record cannot be kept, then
        // goes on working.
        click(main(), "Command1");
        QWidget* practice = window(Window::Practice);
        const QStringList texts = dialogs()->takeTexts();
        // The folder refuses even root: "Operation not permitted", said in Chinese.
        const QString refused = QStringLiteral("\n没有权限");
        QCOMPARE(texts, QStringList{Form2::RecordError + appDir() + QStringLiteral("record.txt") +
                                    refused});
        click(practice, "Command1");
        click(practice, "Command1");
        QCOMPARE(control<QLineEdit>(practice, "Text3")->text(), QStringLiteral("3"));
        QVERIFY(dialogs()->shown.isEmpty());

        // Exporting to the default target fails with the reason, leaving nothing.
        click(main(), "Command5");
        click(window(Window::Export), "Command1");
        const QStringList exportTexts = dialogs()->takeTexts();
        QCOMPARE(exportTexts, QStringList{QStringLiteral("导出失败：") + appDir() +
                                          QStringLiteral("C类考试题库.TXT") + refused});
        QCOMPARE(folderFiles(appDir()), before);
    }

    void readOnlyLibrary() {
        copySampleLib(libDir());
        writeBytes(libDir() + QStringLiteral("/LS0005.jpg"), "old picture");
        QFile::remove(libDir() + QStringLiteral("/LS0012.jpg"));
        const auto before = folderFiles(libDir());
        ReadOnlyFolder readOnly(libDir());
        if (!readOnly.ok()) QSKIP("this file system cannot make a folder read-only for root");

        dialogs()->answer(Answer::Yes);  // unzip again?
        dialogs()->answer(Answer::Yes);  // overwrite the bank file?
        m_program->importPackage(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        const QStringList texts = dialogs()->takeTexts();
        QVERIFY2(texts.contains(QStringLiteral("错误代码：50")), qPrintable(texts.join(u'|')));
        QVERIFY(!texts.contains(Form3::DoneText));
        QCOMPARE(folderFiles(libDir()), before);
    }

    // A plain file where the library folder belongs is no full disk.
    void libraryIsAFile() {
        writeBytes(libDir(), "not a folder");
        m_program->importPackage(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        QCOMPARE(dialogs()->takeTexts(), QStringList{QStringLiteral("错误代码：10")});
        QCOMPARE(readBytes(libDir()), QByteArray("not a folder"));
    }

    void diskFillsDuringImport() {
        QDir().mkpath(libDir());
        writeBytes(libDir() + QStringLiteral("/LS0023.jpg"), "old picture");
        const auto before = folderFiles(libDir());
        {
            FileSizeLimit full(3000);
            m_program->importPackage(QStringLiteral(ZOMA_SAMPLE_PACKAGE));
        }
        const QStringList texts = dialogs()->takeTexts();
        QVERIFY2(texts.contains(QStringLiteral("错误代码：50")), qPrintable(texts.join(u'|')));
        QVERIFY(!texts.contains(Form3::DoneText));
        // What stood before is intact, and no partial file is left behind.
        const auto after = folderFiles(libDir());
        QCOMPARE(after.value(QStringLiteral("LS0023.jpg")),
                 before.value(QStringLiteral("LS0023.jpg")));
        for (auto it = after.cbegin(); it != after.cend(); ++it) {
            QVERIFY2(!it.key().startsWith(u'.'), qPrintable(it.key()));
            const QString sample = QStringLiteral(ZOMA_SAMPLE_LIB) + u'/' + it.key();
            if (it.key() != QStringLiteral("LS0023.jpg")) QCOMPARE(it.value(), readBytes(sample));
        }
    }

    void bankVanishesBeforeRead() {
        // Found by the listing, gone when opened: a link to nothing.
        QDir().mkpath(libDir());
        QVERIFY(QFile::link(libDir() + QStringLiteral("/gone.txt"),
                            libDir() + QStringLiteral("/总题库文件(v1).txt")));
        click(main(), "Command4");
        const QStringList texts = dialogs()->takeTexts();
        QCOMPARE(texts,
                 QStringList{QStringLiteral("题库文件无法读取：总题库文件(v1).txt，文件不存在")});
        QVERIFY(!control(main(), "Command1")->isEnabled());
    }

    void packageRemovedAfterChoice() {
        const QString package = m_program->dir.filePath(QStringLiteral("package.zip"));
        QVERIFY(QFile::copy(QStringLiteral(ZOMA_SAMPLE_PACKAGE), package));
        click(main(), "Command2");
        QWidget* import = window(Window::Import);
        dialogs()->chooseFile(package);
        click(import, "Command3");
        QVERIFY(QFile::remove(package));
        click(import, "Command1");
        QCOMPARE(dialogs()->takeTexts(), QStringList{QStringLiteral("错误代码：9")});
        QVERIFY(folderFiles(libDir()).isEmpty());
    }

    // A package that is no regular file is named and never waited on.
    void packageNotRegular_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("device") << "/dev/null";
        QTest::newRow("link to a FIFO") << "link";
    }
    void packageNotRegular() {
        QFETCH(QString, kind);
        QString package = m_program->dir.filePath(QStringLiteral("package.zip"));
        const QString fifo = m_program->dir.filePath(QStringLiteral("pipe"));
        if (kind == u"fifo" || kind == u"link")
            QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (kind == u"fifo") package = fifo;
        if (kind == u"link") QVERIFY(QFile::link(fifo, package));
        if (kind.startsWith(u'/')) package = kind;
        click(main(), "Command2");
        QWidget* import = window(Window::Import);
        dialogs()->chooseFile(package);
        click(import, "Command3");
        click(import, "Command1");
        QCOMPARE(dialogs()->takeTexts(), QStringList{Form3::NotRegularText.arg(package)});
        QVERIFY(folderFiles(libDir()).isEmpty());
    }

    // Where the files go is decided at start: the program's folder while it
    // can be written and is not the folder it was installed to, the user's
    // folder otherwise; the probe leaves nothing behind.
    void dataFolderChoice_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("installed");  // relative to the test folder
        QTest::addColumn<QString>("user");       // relative to it; empty: none
        QTest::addColumn<bool>("portable");
        const QString user = QStringLiteral("home/.local/share/zoma_review");
        QTest::newRow("writable folder") << false << "usr/bin" << user << true;
        QTest::newRow("read-only folder") << true << "usr/bin" << user << false;
        QTest::newRow("the installed folder") << false << "program" << user << false;
        QTest::newRow("the installed folder by a link") << false << "bin" << user << false;
        QTest::newRow("installed, no user folder") << false << "program" << QString() << false;
        QTest::newRow("installed, user folder under a file")
            << false << "program" << QStringLiteral("file/zoma_review") << false;
    }
    void dataFolderChoice() {
        QFETCH(bool, readOnly);
        QFETCH(QString, installed);
        QFETCH(QString, user);
        QFETCH(bool, portable);
        const QString root = m_program->dir.path() + u'/';
        const QString program = root + QStringLiteral("program");
        writeBytes(root + QStringLiteral("file"), "x");
        if (!user.isEmpty()) user.prepend(root);
        QVERIFY(QDir().mkpath(program) && QDir().mkpath(root + QStringLiteral("usr/bin")));
        QVERIFY(QFile::link(program, root + QStringLiteral("bin")));
        std::optional<ReadOnlyFolder> guard;
        if (readOnly) {
            guard.emplace(program);
            if (!guard->ok()) QSKIP("this file system cannot make a folder read-only for root");
        }

        // Without a user folder the program runs from its own, read-only.
        const bool usable = !user.isEmpty() && !user.contains(QStringLiteral("file/"));
        bool dataReadOnly = true;
        QCOMPARE(ProgramFolder::chooseDataDir(program, root + installed, user, &dataReadOnly),
                 portable || !usable ? program : user);
        QCOMPARE(dataReadOnly, !portable && !usable);
        QCOMPARE(QFileInfo(user).isDir(), !portable && usable);
        QVERIFY(folderFiles(program).isEmpty());
    }

    // The user's folder by the XDG rules, whatever the environment holds.
    void userDataFolder_data() {
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("accountHome");  // from the user database
        QTest::addColumn<QString>("folder");       // empty: none
        const QString data = QStringLiteral("/home/u/.local/share/zoma_review");
        const QString account = QStringLiteral("/var/lib/u/.local/share/zoma_review");
        QTest::newRow("HOME") << ""
                              << "/home/u"
                              << "/var/lib/u" << data;
        QTest::newRow("XDG_DATA_HOME") << "/data/"
                                       << "/home/u"
                                       << ""
                                       << "/data/zoma_review";
        QTest::newRow("relative XDG_DATA_HOME is ignored") << "share"
                                                           << "/home/u"
                                                           << "" << data;
        QTest::newRow("HOME unset: the user database") << ""
                                                       << ""
                                                       << "/var/lib/u" << account;
        QTest::newRow("relative HOME: the user database") << ""
                                                          << "u"
                                                          << "/var/lib/u" << account;
        QTest::newRow("no home anywhere") << ""
                                          << ""
                                          << ""
                                          << "";
        QTest::newRow("only relative values") << "share"
                                              << "u"
                                              << "home"
                                              << "";
    }
    void userDataFolder() {
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, accountHome);
        QFETCH(QString, folder);
        QCOMPARE(ProgramFolder::userDataDir(xdgDataHome, home, accountHome,
                                            QStringLiteral("zoma_review")),
                 folder);
    }
};

QTEST_MAIN(FaultsTest)
#include "faults_test.moc"
