// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a bank file and a paper list of arbitrary bytes must never crash,
// never write outside the store and keep PaperCount within its bounds.
#include "bank/read_data.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
void writeFile(const QString& path, const char* data, qsizetype size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data, size) != size) std::abort();
}
}  // namespace

// The input's first two bytes give the length of the bank part; the rest is
// the paper list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const SharedValues values = [] {
        SharedValues v;
        v.setFolder(ProgramFolder(dir.path()));
        return v;
    }();
    static const QString bankPath = values.folder().libFile(QStringLiteral("总题库文件(fuzz).txt"));
    static const QString paperPath =
        values.folder().libFile(QStringLiteral("A类业余电台操作证书试卷涉及题号.txt"));
    static const bool ready = dir.isValid() && QDir().mkpath(values.LibDir);
    if (!ready) std::abort();

    std::size_t bankSize = 0;
    if (size >= 2) bankSize = ((data[0] << 8) | data[1]) % (size - 1);
    const char* rest = reinterpret_cast<const char*>(data) + (size >= 2 ? 2 : size);
    const std::size_t restSize = size >= 2 ? size - 2 : 0;
    bankSize = std::min(bankSize, restSize);
    writeFile(bankPath, rest, static_cast<qsizetype>(bankSize));
    writeFile(paperPath, rest + bankSize, static_cast<qsizetype>(restSize - bankSize));

    static QuestionBank bank;
    const int before = bank.PaperCount;
    const LoadResult result = ReadData(bank, values, QStringLiteral("A类"));
    if (bank.PaperCount < 0 || bank.PaperCount > TextSlots::Size) std::abort();
    if (result.status == LoadResult::Status::Loaded && result.count != bank.PaperCount)
        std::abort();
    if (result.status != LoadResult::Status::Loaded && bank.PaperCount != before) std::abort();
    (void)result.message(QStringLiteral("A类"));
    return 0;
}
