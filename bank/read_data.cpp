// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/read_data.h"

#include "bank/csv_text.h"
#include "bank/tagged_text.h"
#include "common/text_file.h"
#include "common/whole_number.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <new>
#include <optional>

namespace {

const QString kBankPrefix = QStringLiteral("总题库文件");
const QString kBankSuffix = QStringLiteral(".txt");
const QString kPaperListSuffix = QStringLiteral("业余电台操作证书试卷涉及题号.txt");
constexpr int kRecordLines = 6;
const QString kLevelInfix = QStringLiteral("题库");
const QStringList kLevels = {QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")};
const QStringList kLevelCsvNames = {QStringLiteral("class_a.csv"), QStringLiteral("class_b.csv"),
                                    QStringLiteral("class_c.csv")};
constexpr qsizetype kIdentifierLength = 6;  // LK0001: the longest identifier a paper list holds

// What the library folder offers for a level, found in one pass: every read
// of a level pays for this look-up (see BENCHMARKS.md).
struct LibraryFiles {
    // The first name by QDir::Name order that matches 总题库文件*.txt, a
    // regular file before any other kind: a link, FIFO or device sorting
    // first must not hide the real bank. With no regular one, the other is
    // named, so that reading it says why.
    QString bank;
    QString bankRegular;
    QString tagged;  // the first regular <level>题库*.txt by name
    QString csv;     // the level's class_x.csv, its exact name before any other case
};

// Names matched by hand without regard to case: QDir's wildcard filter and
// sorting cost more than the rest of finding the file (see BENCHMARKS.md).
LibraryFiles scanLibrary(const QString& libDir, const QString& level) {
    LibraryFiles found;
    const QString prefix = level.isEmpty() ? QString() : level + kLevelInfix;
    const qsizetype at = kLevels.indexOf(level);
    const QString csvName = at < 0 ? QString() : kLevelCsvNames[at];
    const auto before = [](const QString& name, const QString& first) {
        return first.isNull() || name.compare(first) < 0;
    };
    QDirIterator it(libDir, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString name = info.fileName();
        if (name.endsWith(kBankSuffix, Qt::CaseInsensitive)) {
            if (name.size() >= kBankPrefix.size() + kBankSuffix.size() &&
                name.startsWith(kBankPrefix, Qt::CaseInsensitive)) {
                if (before(name, found.bank)) found.bank = name;
                if (before(name, found.bankRegular) && info.isFile()) found.bankRegular = name;
            } else if (!prefix.isEmpty() && name.size() >= prefix.size() + kBankSuffix.size() &&
                       name.startsWith(prefix, Qt::CaseInsensitive) && before(name, found.tagged) &&
                       info.isFile()) {
                found.tagged = name;
            }
        } else if (!csvName.isEmpty() && name.size() == csvName.size() &&
                   name.toLower() == csvName && info.isFile() &&
                   (found.csv.isNull() || name == csvName ||
                    (found.csv != csvName && name.compare(found.csv) < 0))) {
            found.csv = name;
        }
    }
    if (!found.bankRegular.isNull()) found.bank = found.bankRegular;
    return found;
}

QString levelFileOf(const ProgramFolder& folder, const LibraryFiles& found) {
    if (!found.tagged.isNull()) return folder.libFile(found.tagged);
    return found.csv.isNull() ? QString() : folder.libFile(found.csv);
}

LoadResult failure(LoadResult::File which, const QString& path, qsizetype line,
                   const QString& problem) {
    LoadResult r(LoadResult::Status::Failed, which);
    r.file = QFileInfo(path).fileName();
    r.line = line;
    r.problem = problem;
    return r;
}

// The bank pass: six-line records starting at "[I]" lines; other lines are
// skipped. Stops at the first record it cannot store. A file without any
// record (empty, binary, UTF-16) is refused before anything is stored.
std::optional<LoadResult> readBank(QuestionBank& bank, const QString& path) {
    const auto failed = [&path](qsizetype line, const QString& problem) {
        return failure(LoadResult::File::Bank, path, line, problem);
    };
    QString text;
    QString error;
    if (!zoma::readTextFile(path, &text, &error)) return failed(0, error);

    LineReader lines(text);
    QStringView first;
    int records = 0;
    while (lines.next(&first)) {
        if (!first.startsWith(u"[I]")) continue;
        const qsizetype recordLine = lines.number();
        std::array<QStringView, kRecordLines - 1> rest;
        for (QStringView& line : rest) {
            if (!lines.next(&line)) {
                return failed(recordLine, QStringLiteral("记录不完整，文件在记录中途结束"));
            }
        }
        const WholeNumber n = WholeNumber::parse(first.mid(5));
        if (!n.inRange(0, TextSlots::Size - 1)) {
            return failed(recordLine, QStringLiteral("题号不是 0 到 2000 之间的整数"));
        }
        const auto q = n.value;
        (void)bank.BankId.assign(q, first.mid(3));
        (void)bank.BankQuestion.assign(q, rest[0].mid(3));
        (void)bank.OptionA.assign(q, rest[1]);
        (void)bank.OptionB.assign(q, rest[2]);
        (void)bank.OptionC.assign(q, rest[3]);
        (void)bank.OptionD.assign(q, rest[4]);
        // A question of the 2025 edition read before under this number must
        // not lend this one its key or picture.
        (void)bank.Keys.assign(q, {});
        (void)bank.Label.assign(q, {});
        (void)bank.Category.assign(q, {});
        (void)bank.Picture.assign(q, {});
        ++records;
    }
    if (records == 0) {
        LoadResult r(LoadResult::Status::NoRecords, LoadResult::File::Bank);
        r.file = QFileInfo(path).fileName();
        return r;
    }
    return std::nullopt;
}

// The paper-list pass: every "L" the scan reaches on a line starting with "L"
// begins an identifier of up to six characters; the character after an
// identifier is never examined.
LoadResult readPaperList(QuestionBank& bank, const QString& path) {
    QString text;
    QString error;
    if (!zoma::readTextFile(path, &text, &error))
        return failure(LoadResult::File::PaperList, path, 0, error);

    LineReader lines(text);
    QStringView line;
    int n = 0;
    while (lines.next(&line)) {
        if (!line.startsWith(u'L')) continue;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] != u'L') continue;
            if (!bank.PaperIds.assign(n, line.mid(i, kIdentifierLength))) {
                return failure(LoadResult::File::PaperList, path, lines.number(),
                               QStringLiteral("题号超过 2001 个"));
            }
            ++n;
            i += kIdentifierLength;
        }
    }
    LoadResult r(LoadResult::Status::Loaded, LoadResult::File::PaperList);
    r.count = n;
    return r;
}

}  // namespace

QString LoadResult::message(const QString& level) const {
    switch (status) {
        case Status::Loaded:
            return level + QStringLiteral("题库已读取，共") + QString::number(count) +
                   QStringLiteral("题");
        case Status::BankNotFound:
            return QStringLiteral("题库文件未找到，请先执行解压");
        case Status::PaperListNotFound:
            return QStringLiteral("试卷题号文件未找到：") + file;
        case Status::NoRecords:
            return QStringLiteral("题库文件中没有题目记录：") + file;
        case Status::Failed:
            break;
    }
    const QString kind =
        which == File::PaperList ? QStringLiteral("试卷题号文件") : QStringLiteral("题库文件");
    if (line == 0)
        return kind + QStringLiteral("无法读取：") + file + QStringLiteral("，") + problem;
    return kind + QStringLiteral("格式错误：") + file + QStringLiteral(" 第 ") +
           QString::number(line) + QStringLiteral(" 行，") + problem;
}

QString zoma::findBankFile(const ProgramFolder& folder) {
    if (folder.libDir().isEmpty()) return {};
    const QString name = scanLibrary(folder.libDir(), {}).bank;
    return name.isEmpty() ? QString() : folder.libFile(name);
}

QString zoma::findPaperList(const ProgramFolder& folder, const QString& level) {
    return folder.findInLibrary(level + kPaperListSuffix);
}

QString zoma::findLevelFile(const ProgramFolder& folder, const QString& level) {
    if (folder.libDir().isEmpty() || level.isEmpty()) return {};
    return levelFileOf(folder, scanLibrary(folder.libDir(), level));
}

bool zoma::hasBank(const ProgramFolder& folder) {
    if (!findBankFile(folder).isEmpty()) return true;
    return std::any_of(kLevels.begin(), kLevels.end(), [&](const QString& level) {
        return !findLevelFile(folder, level).isEmpty();
    });
}

LoadResult zoma::readLevelFile(QuestionBank& bank, const QString& path) {
    const auto failed = [&path](qsizetype line, const QString& problem) {
        return failure(LoadResult::File::Bank, path, line, problem);
    };
    QString text;
    QString error;
    if (!readTextFile(path, &text, &error)) return failed(0, error);
    try {
        LevelRecords level;
        TextIssue issue;
        const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
        const bool read =
            csv ? parseBankCsv(text, &level, &issue) : parseTaggedText(text, &level, &issue);
        if (!read) return failed(issue.line, issue.reason);
        if (level.records.isEmpty()) {
            LoadResult r(LoadResult::Status::NoRecords, LoadResult::File::Bank);
            r.file = QFileInfo(path).fileName();
            return r;
        }
        storeRecords(bank, level);
    } catch (const std::bad_alloc&) {
        // The records of a file within the size bound can still need more
        // memory than is free.
        return failed(0, QStringLiteral("内存不足"));
    }
    LoadResult r(LoadResult::Status::Loaded, LoadResult::File::Bank);
    r.count = bank.PaperCount;
    return r;
}

LoadResult zoma::ReadData(QuestionBank& bank, const SharedValues& values, const QString& level) {
    const ProgramFolder folder = values.folder();
    const LibraryFiles found =
        folder.libDir().isEmpty() ? LibraryFiles() : scanLibrary(folder.libDir(), level);
    if (const QString path = levelFileOf(folder, found); !path.isEmpty()) {
        return readLevelFile(bank, path);
    }
    const QString bankPath = found.bank.isEmpty() ? QString() : folder.libFile(found.bank);
    if (bankPath.isEmpty())
        return LoadResult(LoadResult::Status::BankNotFound, LoadResult::File::Bank);

    QString reading = bankPath;
    LoadResult::File which = LoadResult::File::Bank;
    try {
        if (std::optional<LoadResult> failed = readBank(bank, bankPath)) return *failed;

        const QString paperPath = zoma::findPaperList(folder, level);
        if (paperPath.isEmpty()) {
            LoadResult r(LoadResult::Status::PaperListNotFound, LoadResult::File::PaperList);
            r.file = level + kPaperListSuffix;
            return r;
        }
        reading = paperPath;
        which = LoadResult::File::PaperList;
        LoadResult r = readPaperList(bank, paperPath);
        if (r.status == LoadResult::Status::Loaded) bank.PaperCount = r.count;
        return r;
    } catch (const std::bad_alloc&) {
        // A file within the size bound can still need more memory than is free.
        return failure(which, reading, 0, QStringLiteral("内存不足"));
    }
}
