// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a bank file and a paper list of arbitrary bytes must never crash,
// never write outside the store and keep PaperCount within its bounds. Either
// file may also be something other than a regular file, or one over the size
// bound: that is refused without waiting or reading it, and a regular file
// beside such a one is still found.
#include "bank/read_data.h"
#include "common/regular_file.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void writeFile(const QString& path, const char* data, qsizetype size) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(data, size) == size);
}

// What stands at a file's name.
enum Kind { Regular, RegularBesideFifo, Fifo, OverBound, DevZero, Dangling, Folder, KindCount };

bool refused(Kind kind) {
    return kind != Regular && kind != RegularBesideFifo;
}

// Lays out the file as kind says; decoy is a name that sorts before path or
// is found before it, for a FIFO beside the regular file.
void lay(Kind kind, const QString& path, const QString& decoy, const char* data, qsizetype size) {
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
        case Regular:
            writeFile(path, data, size);
            break;
        case RegularBesideFifo:
            writeFile(path, data, size);
            check(mkfifo(QFile::encodeName(decoy).constData(), 0600) == 0);
            break;
        case Fifo:
            check(mkfifo(native.constData(), 0600) == 0);
            break;
        case OverBound:  // sparse: no disk used
            writeFile(path, data, 0);
            check(QFile::resize(path, kMaxFileSize + 1));
            break;
        case DevZero:
            check(symlink("/dev/zero", native.constData()) == 0);
            break;
        case Dangling:
            check(symlink("gone", native.constData()) == 0);
            break;
        case Folder:
            check(QDir().mkpath(path));
            break;
        case KindCount:
            break;
    }
}

}  // namespace

// The first byte chooses what stands at each name (its low half the bank,
// its high half the paper list); the next two give the length of the bank
// part; the rest is the paper list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const SharedValues values = [] {
        SharedValues v;
        v.setFolder(ProgramFolder(dir.path()));
        return v;
    }();
    static const QString bankPath = values.folder().libFile(QStringLiteral("总题库文件(fuzz).txt"));
    static const QString bankDecoy = values.folder().libFile(QStringLiteral("总题库文件(a).txt"));
    static const QString paperPath =
        values.folder().libFile(QStringLiteral("A类业余电台操作证书试卷涉及题号.txt"));
    static const QString paperDecoy =
        values.folder().libFile(QStringLiteral("a类业余电台操作证书试卷涉及题号.TXT"));
    check(dir.isValid());
    check(QDir(values.LibDir).removeRecursively() && QDir().mkpath(values.LibDir));

    const Kind bankKind = size >= 1 ? Kind((data[0] & 0x0F) % KindCount) : Regular;
    const Kind paperKind = size >= 1 ? Kind((data[0] >> 4) % KindCount) : Regular;
    std::size_t bankSize = 0;
    if (size >= 3) bankSize = ((data[1] << 8) | data[2]) % (size - 2);
    const char* rest = reinterpret_cast<const char*>(data) + std::min<std::size_t>(size, 3);
    const std::size_t restSize = size >= 3 ? size - 3 : 0;
    bankSize = std::min(bankSize, restSize);
    lay(bankKind, bankPath, bankDecoy, rest, qsizetype(bankSize));
    // The decoy of the paper list takes the exact name; the list itself
    // another spelling, which the look-up must still find.
    if (paperKind == RegularBesideFifo) {
        lay(paperKind, paperDecoy, paperPath, rest + bankSize, qsizetype(restSize - bankSize));
    } else {
        lay(paperKind, paperPath, paperDecoy, rest + bankSize, qsizetype(restSize - bankSize));
    }

    static QuestionBank bank;
    const int before = bank.PaperCount;
    const LoadResult result = zoma::ReadData(bank, values, QStringLiteral("A类"));
    using Status = LoadResult::Status;
    check(bank.PaperCount >= 0 && bank.PaperCount <= TextSlots::Size);
    check(result.status != Status::Loaded || result.count == bank.PaperCount);
    check(result.status == Status::Loaded || bank.PaperCount == before);
    // A folder is no bank; anything else that is no regular file is refused.
    if (bankKind == Folder) check(result.status == Status::BankNotFound);
    const bool bankFailed = result.status == Status::Failed && result.line == 0 &&
                            result.which == LoadResult::File::Bank;
    check(bankFailed == (refused(bankKind) && bankKind != Folder));
    if (!refused(bankKind) && result.status != Status::NoRecords &&
        !(result.status == Status::Failed && result.which == LoadResult::File::Bank)) {
        // The bank was read; a paper list that is no regular file is refused.
        const bool paperFailed = result.status == Status::Failed && result.line == 0;
        check(paperFailed == (refused(paperKind) && paperKind != Folder));
        if (paperKind == Folder) check(result.status == Status::PaperListNotFound);
    }
    (void)result.message(QStringLiteral("A类"));
    return 0;
}
