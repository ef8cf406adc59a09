// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/unzip_engine.h"
#include "common/text_file.h"
#include "tests/import/zip_builder.h"
#include "tests/support/test_files.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

#include <filesystem>

// Files below the test folder: path -> contents; "/" marks a folder and
// "->target" a symbolic link.
using Files = QMap<QString, QByteArray>;

// One extraction: the archive and what stands before, the answers to the
// replace questions, and what must follow.
struct Case {
    QByteArray archive;
    bool folders = false;  // honourDirectories
    Files before{};
    QList<int> replies{};
    int result = 0;
    Files after{};
    QStringList named{};  // names the print lines must mention
};
Q_DECLARE_METATYPE(Case)

namespace {

struct Calls {
    QString printed;
    QList<int> replies;
    QStringList listed;
    QByteArray password;  // handed out when asked; empty: none
    int cancelAt = -1;    // the service call-back stops at this entry
    int services = 0;
};
Calls* calls = nullptr;

qint32 onPrint(const char* text, quint32 length) {
    calls->printed += QString::fromUtf8(text, length);
    return 0;
}
qint32 onReplace(const char* name) {
    if (!calls->replies.isEmpty()) return calls->replies.takeFirst();
    QTest::qFail(name, __FILE__, __LINE__);  // a question nobody expected
    return UnzipReplaceAnswer::No;
}
qint32 onPassword(char* buffer, qint32 size, const char*, const char*) {
    qstrncpy(buffer, calls->password.constData(), size_t(size));
    return calls->password.isEmpty() ? 1 : UnzipPasswordEntered;
}
void onEntry(qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32, qint32,
             const char* name, const char*, qint32, qint32) {
    calls->listed << QString::fromUtf8(name);
}
qint32 onService(const char*, quint32) {
    return calls->services++ == calls->cancelAt;
}

QByteArray one(const QByteArray& name, const QByteArray& data = "x") {
    return buildZip({{.name = name, .data = data}});
}
QByteArray gbk(const QString& text) {
    return zoma::encodeGbk(text);
}

// An archive made by libzip, each entry holding its own name, encrypted by the given method.
QByteArray encryptedZip(const QList<std::pair<QByteArray, quint16>>& entries) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.zip"));
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE, &error);
    for (const auto& [name, method] : entries) {
        zip_source_t* data = zip_source_buffer(zip, name.constData(), zip_uint64_t(name.size()), 0);
        const zip_int64_t index = zip_file_add(zip, name.constData(), data, 0);
        if (method != ZIP_EM_NONE) zip_file_set_encryption(zip, zip_uint64_t(index), method, "pw");
    }
    zip_close(zip);
    return readBytes(path);
}

}  // namespace

class UnzipEngineTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QTemporaryDir m_store;
    Calls m_calls;

    QString lib() const { return m_root->filePath(QStringLiteral("lib")); }

    // False when the files hold a link and the system makes none.
    bool lay(const Files& files) {
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            const QString path = m_root->filePath(it.key());
            if (it.value() == "/") {
                QDir().mkpath(path);
            } else if (it.value().startsWith("->")) {
                if (!makeSymlink(QString::fromUtf8(it.value().mid(2)), path)) return false;
            } else {
                writeBytes(path, it.value());
            }
        }
        return true;
    }

    Files snapshot() const {
        Files files;
        QDirIterator it(m_root->path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString key = QDir(m_root->path()).relativeFilePath(info.filePath());
            const auto path = QFile::encodeName(info.filePath()).toStdString();
            files[key] =
                info.isSymLink()
                    ? "->" + QByteArray::fromStdString(std::filesystem::read_symlink(path).string())
                : info.isDir() ? QByteArray("/")
                               : readBytes(info.filePath());
        }
        return files;
    }

    int unzip(const QByteArray& archive, UnzipOptions options = {},
              const QStringList& includes = {}, const QStringList& excludes = {}) {
        const QString path = m_store.filePath(QStringLiteral("package.zip"));
        QFile::remove(path);
        writeBytes(path, archive);
        options.promptOverwrite = options.overwriteExisting = 1;
        return run(path, lib(), options, includes, excludes);
    }

    static int run(const QString& archive, const QString& target, UnzipOptions options,
                   const QStringList& includes = {}, const QStringList& excludes = {}) {
        const QByteArray archiveBytes = archive.toUtf8();
        const QByteArray targetBytes = target.toUtf8();
        QList<QByteArray> names;
        QList<const char*> pointers;
        for (const QString& n : includes + excludes) names << n.toUtf8();
        for (const QByteArray& n : names) pointers << n.constData();
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
    void cleanup() { QVERIFY2(m_calls.replies.isEmpty(), "a scripted answer was not asked for"); }

    // Hostile and ordinary archives. Every case also keeps lib/keep.txt, and
    // nothing may appear outside lib.
    void extract_data() {
        QTest::addColumn<Case>("c");
        const auto add = [](const char* name, const Case& c) { QTest::newRow(name) << c; };
        constexpr int yes = UnzipReplaceAnswer::Yes, no = UnzipReplaceAnswer::No;
        const Files old{{"lib/a.txt", "old"}};
        // clang-format off
        const QByteArray good = buildZip({{.name = "a.txt", .data = "1"}, {.name = "b.txt"}});
        QByteArray badCentral = good;
        badCentral[good.indexOf("PK\x01\x02")] = 'X';
        QByteArray farCentral = good;
        farCentral[good.size() - 4] = '\x7F';
        add("empty file", {.archive = {}, .result = 9});
        add("text file", {.archive = QByteArray(40, 't'), .result = 9});
        add("cut by one byte", {.archive = good.chopped(1), .result = 9});
        add("cut in half", {.archive = good.left(good.size() / 2), .result = 9});
        add("bad central directory", {.archive = badCentral, .result = 3});
        add("directory past the end", {.archive = farCentral, .result = 3});
        add("zero entries", {.archive = buildZip({}), .result = 11});
        add("zip64 records", {.archive = buildZip({{.name = "a.txt", .data = "64", .zip64 = true},
            {.name = "b.txt", .data = QByteArray(3000, 'b'), .method = 8, .zip64 = true}}),
            .after = {{"lib/a.txt", "64"}, {"lib/b.txt", QByteArray(3000, 'b')}}});

        for (const char* name :
             {"../../x", "/etc/x", "C:\\x", "C:x", "\\\\srv\\s\\x", "..\\..\\x", "a/../../x"}) {
            QTest::addRow("flat %s", name) << Case{.archive = one(name), .after = {{"lib/x", "x"}}};
            QTest::addRow("folders %s", name)
                << Case{.archive = one(name), .folders = true, .result = 1, .named = {name}};
        }
        // Names no Windows folder can hold are named and skipped, on every system.
        for (const char* name : {"aux.txt", "CON", "lpt1.jpg", "a|b", "x.", "s/nul", "s/a:b"}) {
            const QByteArray zip = buildZip({{.name = name, .data = "x"}, {.name = "ok", .data = "k"}});
            QTest::addRow("Windows forbids %s", name)
                << Case{.archive = zip, .folders = true, .result = 1, .after = {{"lib/ok", "k"}},
                        .named = {name}};
        }
        const QByteArray nested = buildZip({{.name = "s/"}, {.name = "s/t/b", .data = "b"}});
        add("folders kept", {.archive = nested, .folders = true,
                             .after = {{"lib/s", "/"}, {"lib/s/t", "/"}, {"lib/s/t/b", "b"}}});
        add("folders dropped", {.archive = nested, .after = {{"lib/b", "b"}}});
        const QByteArray dots = buildZip({{.name = "."}, {.name = ".."}, {.name = ""},
                                          {.name = "d/"}, {.name = "d\\"}});
        add("dot names flat", {.archive = dots, .result = 1, .named = {".."}});
        add("dot names with folders",
            {.archive = dots, .folders = true, .result = 1, .after = {{"lib/d", "/"}}});

        add("link entry", {.archive = buildZip({symlinkItem("link", "/etc/passwd"), {.name = "b"}}),
                           .result = 1, .after = {{"lib/b", ""}}, .named = {"link"}});
        add("link at destination", {.archive = one("a.txt", "new"),
            .before = {{"outside.txt", "secret"}, {"lib/a.txt", "->../outside.txt"}},
            .replies = {yes}, .after = {{"outside.txt", "secret"}, {"lib/a.txt", "new"}}});
        add("dangling link at destination", {.archive = one("a.txt", "new"),
            .before = {{"lib/a.txt", "->../made.txt"}}, .replies = {yes},
            .after = {{"lib/a.txt", "new"}}});
        const Files linkedFolder{{"outside", "/"}, {"lib/sub", "->../outside"}};
        add("linked folder", {.archive = one("sub/x"), .folders = true, .before = linkedFolder,
                              .result = 1, .after = linkedFolder, .named = {"sub/x"}});

        add("overlapping entries", {.archive = buildZip({{.name = "a", .data = "aa"},
            {.name = "b", .shareWith = 0}}), .result = 12, .named = {"a", "b"}});
        add("inflates past its size", {.archive = buildZip({{.name = "a.txt",
            .data = QByteArray(300000, 'z'), .method = 8, .declaredSize = 1000}}),
            .before = old, .replies = {yes}, .result = 2, .after = old, .named = {"a.txt"}});
        add("over the budget", {.archive = buildZip({{.name = "a", .declaredSize = 0xC0000000}}),
                                .result = 50});
        add("together over the budget", {.archive = buildZip({{.name = "a",
            .declaredSize = 0x60000000}, {.name = "b", .declaredSize = 0x60000000}}),
            .result = 50});

        QByteArray badDeflate =
            buildZip({{.name = "a.txt", .data = QByteArray(5000, 'q'), .method = 8}});
        for (int i = 36; i < 44; ++i) badDeflate[i] = char(badDeflate[i] ^ 0x5A);
        add("CRC mismatch", {.archive = buildZip({{.name = "a.txt", .data = "new", .crc = 1234}}),
            .before = old, .replies = {yes}, .result = 2, .after = old, .named = {"a.txt"}});
        add("corrupt deflate data", {.archive = badDeflate, .before = old, .replies = {yes},
                                     .result = 2, .after = old, .named = {"a.txt"}});
        add("unsupported method", {.archive = buildZip({{.name = "a.txt", .method = 14}}),
                                   .before = old, .result = 81, .after = old, .named = {"a.txt"}});
        add("less data than stated", {.archive = buildZip({{.name = "a.txt", .data = "12345",
            .declaredSize = 10}}), .before = old, .replies = {yes}, .result = 2, .after = old});
        add("good beside bad", {.archive = buildZip({{.name = "good", .data = "g"},
            {.name = "bad", .crc = 1}}), .result = 2, .after = {{"lib/good", "g"}},
            .named = {"bad"}});

        add("encrypted beside plain", {.archive = encryptedZip({{"plain", ZIP_EM_NONE},
            {"trad", ZIP_EM_TRAD_PKWARE}, {"aes", ZIP_EM_AES_256}}), .result = 1,
            .after = {{"lib/plain", "plain"}}, .named = {"trad", "aes"}});
        add("all encrypted", {.archive = encryptedZip({{"trad", ZIP_EM_TRAD_PKWARE},
            {"aes", ZIP_EM_AES_128}}), .result = 82, .named = {"trad", "aes"}});

        // Entries that land on one name ask like any existing file, once each.
        const QByteArray clash = buildZip({{.name = "a", .data = "1"}, {.name = "s/a", .data = "2"},
                                           {.name = "t/a", .data = "3"}, {.name = "c"}});
        const Files firstKept{{"lib/a", "1"}, {"lib/c", ""}};
        add("collision, Yes", {.archive = clash, .replies = {yes, yes},
                               .after = {{"lib/a", "3"}, {"lib/c", ""}}});
        add("collision, No", {.archive = clash, .replies = {no, no}, .after = firstKept});
        add("collision, Cancel",
            {.archive = clash, .replies = {UnzipReplaceAnswer::None}, .after = firstKept});
        add("collision, unknown answers",
            {.archive = clash, .replies = {7, 103}, .after = firstKept});

        // GBK without the flag: 運 ends in byte 5C, which must not split the
        // name; undecodable and control bytes become escapes.
        // Too long for a name on Linux (bytes) and on Windows (UTF-16 units) alike.
        const QString longName = QString(260, u'题') + QStringLiteral(".txt");
        add("GBK names", {.archive = buildZip({{.name = gbk(QStringLiteral("总题库(样例).txt"))},
            {.name = gbk(QStringLiteral("運動"))}, {.name = "a\xB0.txt"}, {.name = "\xFF"},
            {.name = QByteArray("a\0b", 3)}, {.name = "c\x01\n"}, {.name = gbk(longName)}}),
            .folders = true, .result = 1,
            .after = {{"lib/总题库(样例).txt", ""}, {"lib/運動", ""}, {"lib/a%B0.txt", ""},
                      {"lib/%FF", ""}, {"lib/a%00b", ""}, {"lib/c%01%0A", ""}},
            .named = {longName}});
        add("UTF-8 without flag",
            {.archive = one(QStringLiteral("名字").toUtf8()), .after = {{"lib/名字", "x"}}});
        add("UTF-8 flagged beside GBK", {.archive = buildZip({{.name = QStringLiteral("甲").toUtf8(),
            .flags = kUtf8Flag}, {.name = gbk(QStringLiteral("乙"))}}),
            .after = {{"lib/甲", ""}, {"lib/乙", ""}}});

        // Readers that could disagree: refused whole, or read as unzip does.
        const QList<ZipItem> pair{{.name = "bank.txt", .data = "bank"},
                                  {.name = "list.txt", .data = "list"}};
        add("second directory in the comment", {.archive = withHiddenDirectory(pair,
            {{.name = "list.txt", .data = "bank"}, {.name = "bank.txt", .data = "list"}}),
            .result = 3});
        // A reader that ignores the directory size would still take the hidden one.
        QByteArray hiddenTooLarge = withHiddenDirectory(pair,
            {{.name = "list.txt", .data = "bank"}, {.name = "bank.txt", .data = "list"}});
        hiddenTooLarge[hiddenTooLarge.size() - 8] = '\x7F';
        add("second directory of a wrong size", {.archive = hiddenTooLarge, .result = 3});
        add("second directory, bomb", {.archive = withHiddenDirectory(
            {{.name = "a", .data = QByteArray(4000, 'z'), .method = 8}, {.name = "b"}},
            {{.name = "a", .data = QByteArray(4000, 'z'), .method = 8},
             {.name = "b", .data = QByteArray(4000, 'z'), .method = 8, .shareWith = 0}}),
            .result = 3});
        // Unzip follows a record whose comment runs past the end, with a warning.
        QByteArray hiddenLongComment = withHiddenDirectory(pair,
            {{.name = "list.txt", .data = "bank"}, {.name = "bank.txt", .data = "list"}});
        hiddenLongComment[hiddenLongComment.size() - 1] = '\x7F';
        add("second directory with a comment past the end", {.archive = hiddenLongComment,
            .result = 3});
        add("bytes after the end record", {.archive = buildZip(pair) + "trailing junk",
            .result = 1, .after = {{"lib/bank.txt", "bank"}, {"lib/list.txt", "list"}}});
        add("empty archive stored last", {.archive = buildZip({{.name = "a", .data = "1"},
            {.name = "inner.zip", .data = buildZip({})}}),
            .after = {{"lib/a", "1"}, {"lib/inner.zip", buildZip({})}}});
        add("duplicate names, the later wins", {.archive = buildZip({{.name = "a", .data = "1"},
            {.name = "a", .data = "2"}}), .replies = {yes}, .after = {{"lib/a", "2"}}});
        add("UTF-8 flag on GBK names", {.archive = buildZip({{.name = gbk(QStringLiteral("总题库.txt")),
            .flags = kUtf8Flag}, {.name = "\xFF\xFE", .flags = kUtf8Flag}}),
            .after = {{"lib/总题库.txt", ""}, {"lib/%FF%FE", ""}}});
        add("unmapped GBK pair ending in a backslash", {.archive = one("ab\xA1\x5C" "cd.txt"),
            .folders = true, .after = {{"lib/ab%A1%5Ccd.txt", "x"}}});
        // clang-format on
    }
    void extract() {
        QFETCH(Case, c);
        c.before.insert(QStringLiteral("lib/keep.txt"), "kept");
        c.after.insert(QStringLiteral("lib/keep.txt"), "kept");
        c.after.insert(QStringLiteral("lib"), "/");
        if (!lay(c.before)) QSKIP(kNoSpecialFiles);
        m_calls.replies = c.replies;
        const int result = unzip(c.archive, {.honourDirectories = c.folders});
        QVERIFY2(result == c.result, qPrintable(QString::number(result) + u' ' + m_calls.printed));
        QCOMPARE(snapshot(), c.after);
        for (const QString& name : std::as_const(c.named)) {
            QVERIFY2(m_calls.printed.contains(name), qPrintable(m_calls.printed));
        }
    }

    // Entries chosen by name lists, listed and extracted alike.
    void select_data() {
        QTest::addColumn<QStringList>("includes");
        QTest::addColumn<QStringList>("excludes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("chosen");
        const QStringList all{"a.txt", "b.txt", "sub/c.txt", "总.txt"};
        QTest::newRow("all") << QStringList{} << QStringList{} << 0 << all;
        QTest::newRow("star crosses folders") << QStringList{"*.txt"} << QStringList{} << 0 << all;
        QTest::newRow("folder") << QStringList{"sub/*"} << QStringList{} << 0 << all.mid(2, 1);
        QTest::newRow("one character") << QStringList{"?.txt"} << QStringList{} << 0
                                       << QStringList{"a.txt", "b.txt", "总.txt"};
        QTest::newRow("class") << QStringList{"[!a].txt"} << QStringList{} << 0
                               << QStringList{"b.txt", "总.txt"};
        QTest::newRow("exclude") << QStringList{} << QStringList{"a*", "*c*"} << 0
                                 << QStringList{"b.txt", "总.txt"};
        QTest::newRow("letter case counts")
            << QStringList{"A.TXT"} << QStringList{} << 11 << QStringList{};
        QTest::newRow("one name unmatched")
            << QStringList{"b.txt", "none"} << QStringList{} << 1 << QStringList{"b.txt"};
        QTest::newRow("everything excluded")
            << QStringList{} << QStringList{"*"} << 11 << QStringList{};
    }
    void select() {
        QFETCH(QStringList, includes);
        QFETCH(QStringList, excludes);
        QFETCH(int, result);
        QFETCH(QStringList, chosen);
        const QByteArray archive = buildZip(
            {{.name = "a.txt"}, {.name = "b.txt"}, {.name = "sub/c.txt"}, {.name = gbk("总.txt")}});
        QCOMPARE(unzip(archive, {.listOnly = 1}, includes, excludes), result);
        QCOMPARE(m_calls.listed, chosen);
        QCOMPARE(snapshot().size(), 1);  // listing writes nothing

        m_calls.listed.clear();
        QCOMPARE(unzip(archive, {.honourDirectories = 1}, includes, excludes), result);
        QCOMPARE(m_calls.listed, chosen);
        for (const QString& name : chosen) QVERIFY(QFileInfo::exists(lib() + u'/' + name));
    }

    void badOptions_data() {
        QTest::addColumn<QString>("archive");  // below the test folder; "" for none
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("update");
        QTest::addColumn<int>("result");
        QTest::newRow("no archive") << QString() << "lib" << 0 << 10;
        QTest::newRow("option not served") << "p.zip"
                                           << "lib" << 1 << 10;
        QTest::newRow("archive missing") << "missing.zip"
                                         << "lib" << 0 << 9;
        QTest::newRow("archive is a folder") << "lib"
                                             << "lib" << 0 << 9;
        QTest::newRow("no target") << "p.zip" << QString() << 0 << 10;
        QTest::newRow("target missing") << "p.zip"
                                        << "none" << 0 << 10;
        QTest::newRow("target is a file") << "p.zip"
                                          << "p.zip" << 0 << 10;
    }
    void badOptions() {
        QFETCH(QString, archive);
        QFETCH(QString, target);
        QFETCH(int, update);
        QFETCH(int, result);
        writeBytes(m_root->filePath(QStringLiteral("p.zip")), one("a.txt"));
        const auto path = [this](const QString& n) {
            return n.isEmpty() ? n : m_root->filePath(n);
        };
        QCOMPARE(run(path(archive), path(target), {.update = update}), result);
        QVERIFY(!QFileInfo::exists(lib() + QStringLiteral("/a.txt")));
    }

    void passwordAndCancel() {
        m_calls.password = "pw";
        QCOMPARE(unzip(encryptedZip({{"trad", ZIP_EM_TRAD_PKWARE}, {"aes", ZIP_EM_AES_192}})), 0);
        QCOMPARE(readBytes(lib() + QStringLiteral("/aes")), QByteArray("aes"));

        // The service call-back stops the extraction before its second entry.
        m_calls.services = 0;
        m_calls.cancelAt = 1;
        QCOMPARE(unzip(buildZip({{.name = "c"}, {.name = "d"}})), 80);
        QVERIFY(QFileInfo::exists(lib() + QStringLiteral("/c")));
        QVERIFY(!QFileInfo::exists(lib() + QStringLiteral("/d")));
    }

    // An extracted file keeps the time its entry was stored with.
    void keepsModificationTime() {
        QCOMPARE(unzip(buildZip({{.name = "a.txt", .data = "1"},
                                 {.name = "b.txt", .method = 8, .zip64 = true}})),
                 0);
        const QDateTime stored(QDate(kYear, kMonth, kDay), QTime(kHour, kMinute));
        for (const char* name : {"/a.txt", "/b.txt"})
            QCOMPARE(QFileInfo(lib() + QLatin1String(name)).lastModified(), stored);
    }
};

QTEST_GUILESS_MAIN(UnzipEngineTest)
#include "unzip_engine_test.moc"
