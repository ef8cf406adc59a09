#include "export/output.h"

#include "bank/text_file.h"
#include "bank/whole_number.h"

#include <QFileInfo>

namespace {

constexpr QStringView kLineEnd = u"\r\n";

// Appends the block to the text directly, reading the store without copies: a
// list of lines joined afterwards would copy every field twice more.
void appendBlock(QString& text, const QuestionBank& bank, int n, ExportLayout layout,
                 bool onlyCorrect) {
    const QStringView answers[] = {bank.OptionA.view(n), bank.OptionB.view(n), bank.OptionC.view(n),
                                   bank.OptionD.view(n)};
    const qsizetype answerCount = onlyCorrect ? 1 : 4;
    text += bank.BankId.view(n);
    if (layout == ExportLayout::CommaSeparated) {
        text += u',';
        text += bank.BankQuestion.view(n);
        for (qsizetype i = 0; i < answerCount; ++i) {
            text += u',';
            text += answers[i];
        }
        text += kLineEnd;
        return;
    }
    text += u"  ";
    text += bank.BankQuestion.view(n);
    text += kLineEnd;
    for (qsizetype i = 0; i < answerCount; ++i) {
        text += answers[i];
        text += kLineEnd;
    }
    text += kLineEnd;
    text += kLineEnd;
}

}  // namespace

ExportResult output(const QuestionBank& bank, const SharedValues& values, const QString& outfile,
                    ExportLayout layout, bool onlyCorrect, QDate today) {
    ExportResult result;
    // A folder of that name is no file to keep; writing over it fails below.
    const QFileInfo target(outfile);
    if (target.exists() && !target.isDir()) {
        result.status = ExportResult::Status::TargetExists;
        return result;
    }

    QString text = values.PracticeLevel + QStringLiteral("考试题库") +
                   today.toString(QStringLiteral("yyyy-MM-dd"));
    text += kLineEnd;
    text += kLineEnd;
    text += kLineEnd;
    for (int i = 0; i < bank.PaperCount; ++i) {
        const QStringView id = bank.PaperIds.view(i);
        const std::optional<int> n = questionNumber(id);
        if (!n) {
            if (!result.unusableIds.contains(id)) result.unusableIds << id.toString();
            continue;
        }
        appendBlock(text, bank, *n, layout, onlyCorrect);
    }

    result.error = writeText(outfile, text);
    result.status =
        result.error.isEmpty() ? ExportResult::Status::Written : ExportResult::Status::Failed;
    return result;
}
