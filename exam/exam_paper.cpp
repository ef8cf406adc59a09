// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/exam_paper.h"

#include "bank/answer_key.h"

#include "common/whole_number.h"

#include <QDir>
#include <QSet>

namespace {

QString foldCase(QStringView name) {
    QString folded = name.toString();
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
    }
    return folded;
}

// An answer line without the tag that names its letter.
QString answerText(QStringView line) {
    if (line.size() >= 3 && line[0] == u'[' && line[2] == u']') return line.mid(3).toString();
    return line.toString();
}

}  // namespace

namespace zoma {

QString editionTitle(Edition edition) {
    return edition == Edition::Y2025 ? QStringLiteral("2025") : QStringLiteral("2013–2021");
}

QString editionKey(Edition edition) {
    return edition == Edition::Y2025 ? QStringLiteral("2025") : QStringLiteral("2013-2021");
}

bool editionFromKey(QStringView key, Edition* edition) {
    if (key == editionKey(Edition::Earlier)) {
        *edition = Edition::Earlier;
    } else if (key == editionKey(Edition::Y2025)) {
        *edition = Edition::Y2025;
    } else {
        return false;
    }
    return true;
}

QString letters(quint8 set) {
    QString text;
    for (int i = 0; i < 4; ++i) {
        if (set & (1u << i)) text += QChar(u'A' + i);
    }
    return text;
}

ExamPaper examPaper(const QuestionBank& bank, const SharedValues& values) {
    ExamPaper paper;
    const LibraryIndex library(values.folder());
    QSet<int> seen;
    for (int k = 0; k < bank.PaperCount; ++k) {
        const QString entry = bank.PaperIds.value(k);
        const std::optional<int> q = questionNumber(entry);
        if (!q || seen.contains(*q)) continue;
        ExamQuestion question;
        question.id = bank.BankId.value(*q);
        question.text = bank.BankQuestion.value(*q);
        if (question.id.isEmpty() || question.text.isEmpty()) continue;
        question.answers = {answerText(bank.OptionA.view(*q)), answerText(bank.OptionB.view(*q)),
                            answerText(bank.OptionC.view(*q)), answerText(bank.OptionD.view(*q))};
        for (const QChar c : correctLetters(bank, *q)) {
            if (c >= u'A' && c <= u'D') question.correct |= quint8(1u << (c.unicode() - u'A'));
        }
        if (question.correct == 0) continue;
        // A paper with keys is the 2025 edition.
        if (hasKey(bank, *q)) paper.edition = Edition::Y2025;
        // Most questions have no picture: the one listing of the folder spares
        // the look-up a scan of the folder for each of them.
        const bool mayHavePicture = !bank.Picture.view(*q).isEmpty() ||
                                    !library.find(entry + QStringLiteral(".jpg")).isEmpty() ||
                                    !bank.Label.view(*q).isEmpty();
        if (mayHavePicture) question.picture = picturePath(bank, values.folder(), entry);
        if (question.picture.isEmpty()) question.missingPicture = bank.Picture.value(*q);
        seen.insert(*q);
        paper.questions.append(std::move(question));
    }
    return paper;
}

}  // namespace zoma

LibraryIndex::LibraryIndex(const ProgramFolder& folder) : m_folder(folder) {
    if (folder.libDir().isEmpty()) return;
    const QStringList names =
        QDir(folder.libDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    // The first by name wins, as the other look-ups of the program choose.
    for (auto it = names.crbegin(); it != names.crend(); ++it) m_names.insert(foldCase(*it), *it);
}

QString LibraryIndex::find(const QString& fileName) const {
    const auto it = m_names.constFind(foldCase(fileName));
    return it == m_names.cend() ? QString() : m_folder.libFile(*it);
}
