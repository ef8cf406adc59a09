// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/answer_key.h"

#include "common/whole_number.h"

#include <QList>

namespace {

// A name that stays inside the library folder.
QString libraryFile(const ProgramFolder& folder, QStringView name) {
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name == u"." ||
        name == u"..") {
        return {};
    }
    return folder.findInLibrary(name.toString());
}

}  // namespace

namespace zoma {

QString correctLetters(const QuestionBank& bank, int q) {
    const QString keys = bank.Keys.value(q);
    return keys.isEmpty() ? QStringLiteral("A") : keys;
}

bool hasKey(const QuestionBank& bank, int q) {
    return !bank.Keys.view(q).isEmpty();
}

QVarLengthArray<QStringView, 4> answerLines(const QuestionBank& bank, int q, bool onlyCorrect) {
    const QStringView all[] = {bank.OptionA.view(q), bank.OptionB.view(q), bank.OptionC.view(q),
                               bank.OptionD.view(q)};
    QVarLengthArray<QStringView, 4> lines;
    if (!onlyCorrect) {
        lines.append(all, 4);
        return lines;
    }
    const QStringView keys = bank.Keys.view(q);
    if (keys.isEmpty()) {
        lines.append(all[0]);
        return lines;
    }
    for (int i = 0; i < 4; ++i) {
        if (keys.contains(QChar(u'A' + i))) lines.append(all[i]);
    }
    return lines;
}

QString picturePath(const QuestionBank& bank, const ProgramFolder& folder, QStringView entry) {
    const std::optional<int> q = questionNumber(entry);
    if (q && !bank.Picture.view(*q).isEmpty()) return libraryFile(folder, bank.Picture.view(*q));
    if (q && hasKey(bank, *q)) {
        for (const QStringView label : bank.Label.view(*q).split(u'、', Qt::SkipEmptyParts)) {
            for (const QStringView suffix : {QStringView(u".jpg"), QStringView(u".png")}) {
                const QString path = libraryFile(folder, label.toString().append(suffix));
                if (!path.isEmpty()) return path;
            }
        }
        return {};
    }
    return libraryFile(folder, entry.toString() + QStringLiteral(".jpg"));
}

}  // namespace zoma
