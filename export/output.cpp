#include "export/output.h"

#include "bank/text_file.h"
#include "bank/whole_number.h"

#include <QFileInfo>

namespace {

void appendBlock(QStringList& lines, const QuestionBank& bank, int n, ExportLayout layout,
                 bool onlyCorrect) {
    const QString id = bank.BankId.value(n);
    const QString question = bank.BankQuestion.value(n);
    QStringList answers{bank.OptionA.value(n)};
    if (!onlyCorrect) {
        answers << bank.OptionB.value(n) << bank.OptionC.value(n) << bank.OptionD.value(n);
    }

    if (layout == ExportLayout::CommaSeparated) {
        lines << (QStringList{id, question} + answers).join(u',');
        return;
    }
    lines << id + QStringLiteral("  ") + question;
    lines << answers;
    lines << QString() << QString();
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

    QStringList lines;
    lines << values.PracticeLevel + QStringLiteral("考试题库") +
                 today.toString(QStringLiteral("yyyy-MM-dd"));
    lines << QString() << QString();
    for (int i = 0; i < bank.PaperCount; ++i) {
        const QString id = bank.PaperIds.value(i);
        const std::optional<int> n = questionNumber(id);
        if (!n) {
            if (!result.unusableIds.contains(id)) result.unusableIds << id;
            continue;
        }
        appendBlock(lines, bank, *n, layout, onlyCorrect);
    }

    result.error = writeTextFile(outfile, lines);
    result.status =
        result.error.isEmpty() ? ExportResult::Status::Written : ExportResult::Status::Failed;
    return result;
}
