#include "bank/text_file.h"
#include "import/unzip_engine.h"
#include "tests/import/zip_builder.h"
#include "tests/support/test_files.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

// Files below the test folder: path -> contents; "/" marks a folder and
// "->target" a symbolic link.
using Files = QMap<QString, QByteArray>;

namespace {

struct Calls {
    QString printed;
    QList<int> replies;  // answers for the replace call-back, in order
    QStringList asked;
    QStringList listed;
    QByteArray password;  // handed out when asked; empty: none
    int passwordAsks = 0;
    int cancelAt = -1;  // the service call-back stops at this entry
    int services = 0;
};
Calls* calls = nullptr;

qint32 onPrint(const char* text, quint32 length) {
    calls->printed += QString::fromUtf8(text, length);
    return 0;
}
qint32 onReplace(const char* name) {
    calls->asked << QString::fromUtf8(name);
    if (!calls->replies.isEmpty()) return calls->replies.takeFirst();
    QTest::qFail(qPrintable(QStringLiteral("unexpected replace question: ") + calls->asked.last()),
                 __FILE__, __LINE__);
    return UnzipReplaceAnswer::No;
}
qint32 onPassword(char* buffer, qint32 size, const char*, const char*) {
    ++calls->passwordAsks;
    if (calls->password.isEmpty()) return 1;
    qstrncpy(buffer, calls->password.constData(), size_t(size));
    return UnzipPasswordEntered;
}
void onEntry(qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32,
             const char* name, const char*, qint32, qint32) {
    calls->listed << QString::fromUtf8(name);
}
qint32 onService(const char*, quint32) { return calls->services++ == calls->cancelAt ? 1 : 0; }

QByteArray one(const QByteArray& name, const QByteArray& data = "x") {
    return buildZip({ZipItem{.name = name, .data = data}});
}

QByteArray gbk(const QString& text) { return encodeGbk(text); }

// An archive made by libzip, with entries encrypted by the given methods.
QByteArray encryptedZip(const QList<std::pair<QByteArray, quint16>>& entries) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("e.zip")));
    int error = 0;
    zip_t* zip = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, method] : entries) {
        zip_source_t* source = zip_source_buffer(zip, name.constData(), zip_uint64_t(name.size()), 0);
        const zip_int64_t index = zip_file_add(zip, name.constData(), source, 0);
        if (method != ZIP_EM_NONE) zip_file_set_encryption(zip, zip_uint64_t(index), method, "secret");
    }
    zip_close(zip);
    return readBytes(dir.filePath(QStringLiteral("e.zip")));
}

}  // namespace

class UnzipEngineTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QTemporaryDir m_store;
    Calls m_calls;

    QString lib() const { return m_root->filePath(QStringLiteral("lib")); }

    void lay(const Files& files) {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = m_root->filePath(it.key());
            if (it.value() == "/") {
                QDir().mkpath(path);
            } else if (it.value().startsWith("->")) {
                std::filesystem::create_symlink(it.value().mid(2).toStdString(),
                                                QFile::encodeName(path).toStdString());
            } else {
                writeBytes(path, it.value());
            }
        }
    }

    Files snapshot() const {
        Files files;
        QDirIterator it(m_root->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString key = QDir(m_root->path()).relativeFilePath(info.filePath());
            if (info.isSymLink()) {
                files[key] = "->" + QByteArray::fromStdString(
                                        std::filesystem::read_symlink(QFile::encodeName(info.filePath()).toStdString()));
            } else {
                files[key] = info.isDir() ? QByteArray("/") : readBytes(info.filePath());
            }
        }
        return files;
    }

    int unzip(const QByteArray& archive, bool honourDirectories = false, bool listOnly = false,
              const QStringList& includes = {}, const QStringList& excludes = {}) {
        const QString path = m_store.filePath(QStringLiteral("package.zip"));
        QFile::remove(path);
        writeBytes(path, archive);
        return run(path, lib(), honourDirectories, listOnly, includes, excludes);
    }

    static int run(const QString& archive, const QString& target, bool honourDirectories,
                   bool listOnly, const QStringList& includes = {}, const QStringList& excludes = {},
                   const UnzipOptions& base = {}) {
        const QByteArray archiveBytes = archive.toUtf8();
        const QByteArray targetBytes = target.toUtf8();
        QList<QByteArray> names;
        for (const QString& n : includes + excludes) names << n.toUtf8();
        QList<const char*> pointers;
        for (const QByteArray& n : names) pointers << n.constData();
        UnzipOptions options = base;
        options.promptOverwrite = 1;
        options.overwriteExisting = 1;
        options.listOnly = listOnly;
        options.honourDirectories = honourDirectories;
        options.archivePath = archiveBytes.constData();
        options.targetDir = targetBytes.constData();
        const UnzipCallbacks callbacks{onPrint, nullptr, onReplace, onPassword, onEntry, onService};
        return windll_unzip(qint32(includes.size()), pointers.constData(), qint32(excludes.size()),
                            pointers.constData() + includes.size(), &options, &callbacks);
    }

private slots:
    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QDir().mkdir(lib());
        m_calls = Calls();
        calls = &m_calls;
    }
    void cleanup() { QVERIFY2(m_calls.replies.isEmpty(), "a scripted replace answer was not asked for"); }

    // Hostile and ordinary archives: the result, what stands on disk
    // afterwards (nothing outside lib, nothing lost), and which names the
    // print lines name.
    void extract_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("honourDirectories");
        QTest::addColumn<Files>("before");
        QTest::addColumn<QList<int>>("replies");
        QTest::addColumn<int>("result");
        QTest::addColumn<Files>("after");
        QTest::addColumn<QStringList>("named");
        using R = QList<int>;
        constexpr int yes = UnzipReplaceAnswer::Yes, no = UnzipReplaceAnswer::No;
        const Files old{{"lib/a.txt", "old"}};

        const QByteArray good = buildZip({{.name = "a.txt", .data = "alpha"}, {.name = "b.txt", .data = "beta"}});
        QByteArray badCentral = good;
        badCentral[good.indexOf("PK\x01\x02")] = 'X';
        QByteArray farCentral = good;
        farCentral[good.size() - 4] = '\x7F';
        QTest::newRow("empty file") << QByteArray() << false << Files{} << R{} << 9 << Files{} << QStringList{};
        QTest::newRow("text file") << QByteArray("plain text\r\n") << false << Files{} << R{} << 9 << Files{} << QStringList{};
        QTest::newRow("cut by one byte") << good.chopped(1) << false << Files{} << R{} << 9 << Files{} << QStringList{};
        QTest::newRow("cut in half") << good.left(good.size() / 2) << false << Files{} << R{} << 9 << Files{} << QStringList{};
        QTest::newRow("bad central directory") << badCentral << false << Files{} << R{} << 3 << Files{} << QStringList{};
        QTest::newRow("directory past the end") << farCentral << false << Files{} << R{} << 3 << Files{} << QStringList{};
        QTest::newRow("zero entries") << buildZip({}) << false << Files{} << R{} << 11 << Files{} << QStringList{};

        for (const char* name : {"../../x", "/etc/x", "C:\\x", "C:x", "\\\\srv\\s\\x", "..\\..\\x", "a/../../x"}) {
            QTest::addRow("flat %s", name) << one(name) << false << Files{} << R{} << 0 << Files{{"lib/x", "x"}} << QStringList{};
            QTest::addRow("folders %s", name) << one(name) << true << Files{} << R{} << 1 << Files{} << QStringList{name};
        }
        const QByteArray nested = buildZip({{.name = "sub/"}, {.name = "sub/deeper/b.txt", .data = "b"}});
        QTest::newRow("folders kept") << nested << true << Files{} << R{} << 0
                                      << Files{{"lib/sub", "/"}, {"lib/sub/deeper", "/"}, {"lib/sub/deeper/b.txt", "b"}} << QStringList{};
        QTest::newRow("folders dropped") << nested << false << Files{} << R{} << 0 << Files{{"lib/b.txt", "b"}} << QStringList{};
        const QByteArray dots = buildZip({{.name = "."}, {.name = ".."}, {.name = ""}, {.name = "d/"}, {.name = "d\\"}});
        QTest::newRow("dot names flat") << dots << false << Files{} << R{} << 1 << Files{} << QStringList{".."};
        QTest::newRow("dot names with folders") << dots << true << Files{} << R{} << 1 << Files{{"lib/d", "/"}} << QStringList{".."};

        QTest::newRow("link entry") << buildZip({symlinkItem("link", "/etc/passwd"), {.name = "b.txt", .data = "b"}})
                                    << false << Files{} << R{} << 1 << Files{{"lib/b.txt", "b"}} << QStringList{"link"};
        QTest::newRow("link at destination")
            << one("a.txt", "new") << false << Files{{"outside.txt", "secret"}, {"lib/a.txt", "->../outside.txt"}}
            << R{yes} << 0 << Files{{"outside.txt", "secret"}, {"lib/a.txt", "new"}} << QStringList{};
        QTest::newRow("dangling link at destination") << one("a.txt", "new") << false << Files{{"lib/a.txt", "->../made.txt"}}
                                                      << R{yes} << 0 << Files{{"lib/a.txt", "new"}} << QStringList{};
        QTest::newRow("linked folder") << one("sub/x") << true << Files{{"outside", "/"}, {"lib/sub", "->../outside"}}
                                       << R{} << 1 << Files{{"outside", "/"}, {"lib/sub", "->../outside"}} << QStringList{"sub/x"};

        QTest::newRow("overlapping entries")
            << buildZip({{.name = "a.txt", .data = "aaaa"}, {.name = "b.txt", .data = "aaaa", .shareWith = 0}})
            << false << Files{} << R{} << 12 << Files{} << QStringList{"a.txt", "b.txt"};
        QTest::newRow("inflates past its size")
            << buildZip({{.name = "a.txt", .data = QByteArray(300000, 'z'), .method = 8, .declaredSize = 1000}})
            << false << old << R{yes} << 2 << old << QStringList{"a.txt"};
        QTest::newRow("over the budget") << buildZip({{.name = "a.txt", .data = "x", .declaredSize = 0xC0000000}})
                                         << false << Files{} << R{} << 50 << Files{} << QStringList{};
        QTest::newRow("together over the budget")
            << buildZip({{.name = "a.txt", .data = "x", .declaredSize = 0x60000000}, {.name = "b.txt", .data = "y", .declaredSize = 0x60000000}})
            << false << Files{} << R{} << 50 << Files{} << QStringList{};

        QByteArray badDeflate = buildZip({{.name = "a.txt", .data = QByteArray(5000, 'q') + "tail", .method = 8}});
        for (int i = 36; i < 44; ++i) badDeflate[i] = char(badDeflate[i] ^ 0x5A);
        QTest::newRow("CRC mismatch") << buildZip({{.name = "a.txt", .data = "new", .crc = 1234}})
                                      << false << old << R{yes} << 2 << old << QStringList{"a.txt"};
        QTest::newRow("corrupt deflate data") << badDeflate << false << old << R{yes} << 2 << old << QStringList{"a.txt"};
        QTest::newRow("unsupported method") << buildZip({{.name = "a.txt", .data = "lzma?", .method = 14}})
                                            << false << old << R{} << 81 << old << QStringList{"a.txt"};
        QTest::newRow("less data than stated") << buildZip({{.name = "a.txt", .data = "12345", .declaredSize = 10}})
                                               << false << old << R{yes} << 2 << old << QStringList{"a.txt"};
        QTest::newRow("good beside bad")
            << buildZip({{.name = "good.txt", .data = "fine"}, {.name = "bad.txt", .data = "data", .crc = 1}})
            << false << Files{} << R{} << 2 << Files{{"lib/good.txt", "fine"}} << QStringList{"bad.txt"};

        QTest::newRow("encrypted beside plain")
            << encryptedZip({{"plain.txt", ZIP_EM_NONE}, {"trad.txt", ZIP_EM_TRAD_PKWARE}, {"aes.txt", ZIP_EM_AES_256}})
            << false << Files{} << R{} << 1 << Files{{"lib/plain.txt", "plain.txt"}} << QStringList{"trad.txt", "aes.txt"};
        QTest::newRow("all encrypted") << encryptedZip({{"trad.txt", ZIP_EM_TRAD_PKWARE}, {"aes.txt", ZIP_EM_AES_128}})
                                       << false << Files{} << R{} << 82 << Files{} << QStringList{"trad.txt", "aes.txt"};

        const QByteArray clash = buildZip({{.name = "a.txt", .data = "first"}, {.name = "sub/a.txt", .data = "second"},
                                           {.name = "x/a.txt", .data = "third"}, {.name = "c.txt", .data = "c"}});
        const Files firstKept{{"lib/a.txt", "first"}, {"lib/c.txt", "c"}};
        QTest::newRow("collision, Yes") << clash << false << Files{} << R{yes, yes} << 0
                                        << Files{{"lib/a.txt", "third"}, {"lib/c.txt", "c"}} << QStringList{};
        QTest::newRow("collision, No") << clash << false << Files{} << R{no, no} << 0 << firstKept << QStringList{};
        QTest::newRow("collision, Cancel") << clash << false << Files{} << R{UnzipReplaceAnswer::None} << 0 << firstKept << QStringList{};
        QTest::newRow("collision, unknown answers") << clash << false << Files{} << R{7, 103} << 0 << firstKept << QStringList{};

        const QString longName = QString(100, u'题') + QStringLiteral(".txt");
        QTest::newRow("GBK") << one(gbk(QStringLiteral("总题库文件(样例).txt"))) << false << Files{} << R{} << 0
                             << Files{{"lib/总题库文件(样例).txt", "x"}} << QStringList{};
        QTest::newRow("GBK byte 5C kept whole") << one(gbk(QStringLiteral("運動.txt"))) << true << Files{} << R{} << 0
                                                << Files{{"lib/運動.txt", "x"}} << QStringList{};
        QTest::newRow("UTF-8 without flag") << one(QStringLiteral("名字.txt").toUtf8()) << false << Files{} << R{} << 0
                                            << Files{{"lib/名字.txt", "x"}} << QStringList{};
        QTest::newRow("UTF-8 flagged beside GBK")
            << buildZip({{.name = QStringLiteral("甲.txt").toUtf8(), .flags = kUtf8Flag}, {.name = gbk(QStringLiteral("乙.txt"))}})
            << false << Files{} << R{} << 0 << Files{{"lib/甲.txt", ""}, {"lib/乙.txt", ""}} << QStringList{};
        QTest::newRow("lone lead byte") << one("a\xB0.txt") << false << Files{} << R{} << 0 << Files{{"lib/a%B0.txt", "x"}} << QStringList{};
        QTest::newRow("byte FF") << one("\xFF.txt") << false << Files{} << R{} << 0 << Files{{"lib/%FF.txt", "x"}} << QStringList{};
        QTest::newRow("NUL") << one(QByteArray("a\0b.txt", 7)) << false << Files{} << R{} << 0 << Files{{"lib/a%00b.txt", "x"}} << QStringList{};
        QTest::newRow("control characters") << one("a\x01\n.txt") << false << Files{} << R{} << 0 << Files{{"lib/a%01%0A.txt", "x"}} << QStringList{};
        QTest::newRow("name too long") << one(gbk(longName)) << false << Files{} << R{} << 1 << Files{} << QStringList{longName};
    }
    void extract() {
        QFETCH(QByteArray, archive);
        QFETCH(bool, honourDirectories);
        QFETCH(Files, before);
        QFETCH(QList<int>, replies);
        QFETCH(int, result);
        QFETCH(Files, after);
        QFETCH(QStringList, named);
        before.insert(QStringLiteral("lib/keep.txt"), "kept");
        after.insert(QStringLiteral("lib/keep.txt"), "kept");
        after.insert(QStringLiteral("lib"), "/");
        lay(before);
        m_calls.replies = replies;

        QCOMPARE(unzip(archive, honourDirectories), result);
        QCOMPARE(snapshot(), after);
        for (const QString& name : named) QVERIFY2(m_calls.printed.contains(name), qPrintable(m_calls.printed));
    }

    // Entries chosen by name lists, in list mode and when extracting.
    void select_data() {
        QTest::addColumn<QStringList>("includes");
        QTest::addColumn<QStringList>("excludes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("listed");
        const QStringList all{"a.txt", "b.txt", "sub/c.txt", "总.txt"};
        QTest::newRow("all") << QStringList{} << QStringList{} << 0 << all;
        QTest::newRow("star crosses folders") << QStringList{"*.txt"} << QStringList{} << 0 << all;
        QTest::newRow("folder") << QStringList{"sub/*"} << QStringList{} << 0 << QStringList{"sub/c.txt"};
        QTest::newRow("one character") << QStringList{"?.txt"} << QStringList{} << 0 << QStringList{"a.txt", "b.txt", "总.txt"};
        QTest::newRow("class") << QStringList{"[!a].txt"} << QStringList{} << 0 << QStringList{"b.txt", "总.txt"};
        QTest::newRow("exclude") << QStringList{} << QStringList{"a*", "*c*"} << 0 << QStringList{"b.txt", "总.txt"};
        QTest::newRow("letter case counts") << QStringList{"A.TXT"} << QStringList{} << 11 << QStringList{};
        QTest::newRow("one name unmatched") << QStringList{"b.txt", "none"} << QStringList{} << 1 << QStringList{"b.txt"};
        QTest::newRow("everything excluded") << QStringList{} << QStringList{"*"} << 11 << QStringList{};
    }
    void select() {
        QFETCH(QStringList, includes);
        QFETCH(QStringList, excludes);
        QFETCH(int, result);
        QFETCH(QStringList, listed);
        const QByteArray archive = buildZip({{.name = "a.txt"}, {.name = "b.txt"}, {.name = "sub/c.txt"},
                                             {.name = gbk(QStringLiteral("总.txt"))}});
        QCOMPARE(unzip(archive, false, true, includes, excludes), result);
        QCOMPARE(m_calls.listed, listed);
        QCOMPARE(snapshot(), (Files{{"lib", "/"}}));  // listing writes nothing

        m_calls.listed.clear();
        QCOMPARE(unzip(archive, true, false, includes, excludes), result);
        QCOMPARE(m_calls.listed, listed);
        for (const QString& name : listed) QVERIFY(QFileInfo::exists(lib() + u'/' + name));
    }

    void badOptions_data() {
        QTest::addColumn<QString>("archive");  // below the test folder; "" for none
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("update");
        QTest::addColumn<int>("result");
        QTest::newRow("no archive") << QString() << "lib" << 0 << 10;
        QTest::newRow("option not served") << "p.zip" << "lib" << 1 << 10;
        QTest::newRow("archive missing") << "missing.zip" << "lib" << 0 << 9;
        QTest::newRow("archive is a folder") << "lib" << "lib" << 0 << 9;
        QTest::newRow("no target") << "p.zip" << QString() << 0 << 10;
        QTest::newRow("target missing") << "p.zip" << "none" << 0 << 50;
        QTest::newRow("target is a file") << "p.zip" << "p.zip" << 0 << 50;
    }
    void badOptions() {
        QFETCH(QString, archive);
        QFETCH(QString, target);
        QFETCH(int, update);
        QFETCH(int, result);
        writeBytes(m_root->filePath(QStringLiteral("p.zip")), one("a.txt"));
        const auto path = [this](const QString& name) { return name.isEmpty() ? name : m_root->filePath(name); };
        UnzipOptions options;
        options.update = update;
        QCOMPARE(run(path(archive), path(target), false, false, {}, {}, options), result);
        QVERIFY(!QFileInfo::exists(lib() + QStringLiteral("/a.txt")));
    }

    void nullNames() {
        const char* names[] = {"a.txt", nullptr};
        UnzipOptions options;
        const UnzipCallbacks callbacks{};
        QCOMPARE(windll_unzip(-1, names, 0, names, &options, &callbacks), 10);
        QCOMPARE(windll_unzip(2, names, 0, names, &options, &callbacks), 10);
        QCOMPARE(windll_unzip(0, names, 0, names, nullptr, &callbacks), 10);
    }

    void passwordGiven() {
        m_calls.password = "secret";
        QCOMPARE(unzip(encryptedZip({{"trad.txt", ZIP_EM_TRAD_PKWARE}, {"aes.txt", ZIP_EM_AES_192}})), 0);
        QCOMPARE(m_calls.passwordAsks, 2);
        QCOMPARE(readBytes(lib() + QStringLiteral("/aes.txt")), QByteArray("aes.txt"));
    }

    void cancelled() {
        m_calls.cancelAt = 1;
        QCOMPARE(unzip(buildZip({{.name = "a.txt"}, {.name = "b.txt"}})), 80);
        QCOMPARE(snapshot(), (Files{{"lib", "/"}, {"lib/a.txt", ""}}));
    }

    // A write that fails part-way (the file size limit stands in for a full
    // disk) stops the import and keeps the old file.
    void writeFails() {
        writeBytes(lib() + QStringLiteral("/a.txt"), "old");
        m_calls.replies = {UnzipReplaceAnswer::Yes};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{64 * 1024, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const int result = unzip(buildZip({{.name = "a.txt", .data = QByteArray(512 * 1024, 'w'), .method = 8},
                                           {.name = "b.txt", .data = "b"}}));
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
        QCOMPARE(result, 50);
        QCOMPARE(snapshot(), (Files{{"lib", "/"}, {"lib/a.txt", "old"}}));
    }
};

QTEST_GUILESS_MAIN(UnzipEngineTest)
#include "unzip_engine_test.moc"
