// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/pdf_import.h"

#include "bank/tagged_text.h"
#include "common/part_file.h"
#include "common/program_folder.h"
#include "common/text_file.h"
#include "pdf/pdf_document.h"
#include "pdf/pdf_progress.h"
#include "pdf/picture_sheet.h"
#include "pdf/tagged_text.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>

#include <new>

namespace zoma {

namespace {

const QString Levels[] = {QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")};
const QString NotImportedText = QStringLiteral("PDF题库没有导入，题库文件夹未作改动。\n");
const QString CancelledText = QStringLiteral("PDF题库导入已取消，题库文件夹未作改动。");

struct LevelFile {
    QString level;
    QString fileName;
    TaggedText text;
};

// Whitespace carries no meaning in a comparison of texts cut from a PDF.
QString bare(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (!c.isSpace()) out += c;
    }
    return out;
}

// The problems that keep a level file from being taken.
QStringList checkLevel(const LevelFile& f) {
    QStringList problems;
    const auto where = [&](const TaggedRecord& r) {
        return QStringLiteral("%1（%2）")
            .arg(f.fileName, r.id.isEmpty() ? QStringLiteral("[I]为空") : r.id);
    };
    if (f.text.records.size() != f.text.idTags) {
        problems << QStringLiteral("%1：找到%2个[I]标记，却读出%3条记录")
                        .arg(f.fileName)
                        .arg(f.text.idTags)
                        .arg(f.text.records.size());
    }
    static const QRegularExpression idForm(QStringLiteral("^[A-Z]+\\d*-(\\d{1,4})$"));
    QHash<QString, int> seen;
    for (const TaggedRecord& r : f.text.records) {
        const QRegularExpressionMatch m = idForm.match(r.id);
        if (!m.hasMatch() || m.captured(1).toInt() > 2000) {
            problems << QStringLiteral("%1：题号“%2”不对").arg(where(r), r.id);
        } else if (seen.contains(r.id)) {
            problems << QStringLiteral("%1：题号重复").arg(where(r));
        }
        seen.insert(r.id, 1);
        if (r.answerCount != 4) {
            problems << QStringLiteral("%1：有%2个答案，应为4个").arg(where(r)).arg(r.answerCount);
        }
        static const QRegularExpression keyForm(QStringLiteral("^[A-D]+$"));
        if (!keyForm.match(r.key).hasMatch()) {
            problems << QStringLiteral("%1：正确答案“%2”不在A～D之内").arg(where(r), r.key);
        }
    }
    return problems;
}

// The level text read as read data will read it, so that an import never
// writes a file the program then refuses.
QStringList readBack(const LevelFile& f) {
    LevelRecords records;
    TextIssue issue;
    if (!parseTaggedText(f.text.text, &records, &issue) || !checkRecords(records, &issue)) {
        return {QStringLiteral("%1：整理后的文本第%2行：%3")
                    .arg(f.fileName)
                    .arg(issue.line)
                    .arg(issue.reason)};
    }
    if (records.records.size() != f.text.records.size()) {
        return {QStringLiteral("%1：整理后的文本读出%2题，而不是%3题")
                    .arg(f.fileName)
                    .arg(records.records.size())
                    .arg(f.text.records.size())};
    }
    return {};
}

QStringList differences(const TaggedRecord& a, const TaggedRecord& b) {
    QStringList fields;
    if (bare(a.labels.join(u',')) != bare(b.labels.join(u','))) fields << QStringLiteral("[J]");
    if (bare(a.category) != bare(b.category)) fields << QStringLiteral("[P]");
    if (bare(a.question) != bare(b.question)) fields << QStringLiteral("[Q]");
    if (bare(a.key) != bare(b.key)) fields << QStringLiteral("[T]");
    for (int i = 0; i < 4; ++i) {
        if (bare(a.answers[i]) != bare(b.answers[i]))
            fields << QStringLiteral("[%1]").arg(QChar(u'A' + i));
    }
    if (bare(pictureLabel(a.picture)) != bare(pictureLabel(b.picture)))
        fields << QStringLiteral("[F]");
    return fields;
}

QString levelOf(const QString& fileName) {
    for (const QString& level : Levels) {
        if (fileName.contains(level, Qt::CaseInsensitive)) return level;
    }
    return {};
}

// Writes bytes whole into the library, over a file of the same name in
// another letter case if there is one.
QString writeWhole(const QString& libDir, const QString& name, const QByteArray& bytes) {
    const ProgramFolder folder(QString(), QDir::toNativeSeparators(libDir));
    QString target = folder.findInLibrary(name);
    if (target.isEmpty()) target = folder.libFile(name);
    PartFile part(target);
    QString error;
    try {
        if (!part.open({}, &error) || !writeAll(part.file(), bytes, &error) ||
            !part.commit(&error)) {
            return error;
        }
    } catch (const std::bad_alloc&) {
        return QStringLiteral("内存不足");
    }
    return {};
}

// A picture stream marked as JPEG may hold anything; only what decodes as a
// JPEG is written as one.
bool decodesAsJpeg(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    QImage image;
    return reader.read(&image) && !image.isNull();
}

// The picture labels of the level files already in the library, for a
// picture sheet imported on its own.
QStringList libraryLabels(const QString& libDir) {
    QStringList labels;
    const QStringList names = QDir(libDir).entryList(QDir::Files, QDir::Name);
    for (const QString& level : Levels) {
        for (const QString& name : names) {
            if (!name.startsWith(level + QStringLiteral("题库"), Qt::CaseInsensitive) ||
                !name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) {
                continue;
            }
            QString text, error;
            if (!readTextFile(QDir(libDir).filePath(name), &text, &error)) continue;
            for (const TaggedRecord& r : readTaggedText(text).records) {
                if (!r.picture.isEmpty()) labels << pictureLabel(r.picture);
            }
            break;
        }
    }
    return labels;
}

}  // namespace

PdfImportResult importPdfFiles(const QStringList& paths, const QString& libDir,
                               PdfProgress* progress) {
    const auto cancelled = [progress] { return progress && progress->cancelled(); };
    QStringList problems;
    QList<LevelFile> levels;
    QList<LevelFile> wholeBanks;
    QString sheetName;
    QList<PdfImage> images;
    QList<PdfWord> words;

    for (const QString& path : paths) {
        const QString fileName = QFileInfo(path).fileName();
        QString text, error;
        if (!readPdfText(path, &text, &error, progress)) {
            if (cancelled()) return {false, CancelledText};
            problems << fileName + QStringLiteral("：") + error;
            continue;
        }
        LevelFile file{levelOf(fileName), fileName, readTaggedText(text)};
        if (!file.text.records.isEmpty()) {
            if (file.level.isEmpty()) {
                wholeBanks.append(std::move(file));
                continue;
            }
            for (const LevelFile& other : levels) {
                if (other.level == file.level) {
                    problems << QStringLiteral("%1和%2都是%3的题库")
                                    .arg(other.fileName, fileName, file.level);
                }
            }
            const QStringList found = checkLevel(file);
            problems << (found.isEmpty() ? readBack(file) : found);
            levels.append(std::move(file));
            continue;
        }
        QList<PdfImage> found;
        if (!readPdfImages(path, &found, &error, progress)) {
            if (cancelled()) return {false, CancelledText};
            problems << fileName + QStringLiteral("：") + error;
            continue;
        }
        if (std::none_of(found.begin(), found.end(), [](const PdfImage& i) { return i.jpeg; })) {
            problems << fileName + QStringLiteral("：不是题库文件，其中既没有题目记录，也没有附图");
            continue;
        }
        if (!sheetName.isEmpty()) {
            problems << QStringLiteral("%1和%2都是附图文件").arg(sheetName, fileName);
            continue;
        }
        if (!readPdfWords(path, &words, &error, progress)) {
            if (cancelled()) return {false, CancelledText};
            problems << fileName + QStringLiteral("：") + error;
            continue;
        }
        sheetName = fileName;
        images = std::move(found);
    }
    if (wholeBanks.size() > 1) {
        problems << QStringLiteral("%1和%2都不是某一类的题库，无法确定哪个是总题库")
                        .arg(wholeBanks[0].fileName, wholeBanks[1].fileName);
    }

    QStringList labels;
    for (const LevelFile& f : levels) {
        for (const TaggedRecord& r : f.text.records) {
            if (!r.picture.isEmpty()) labels << pictureLabel(r.picture);
        }
    }
    if (levels.isEmpty() && !sheetName.isEmpty()) labels = libraryLabels(libDir);
    labels.removeDuplicates();
    SheetPairing pairing;
    if (!sheetName.isEmpty()) {
        if (labels.isEmpty()) {
            problems << sheetName + QStringLiteral(
                                        "：题库中没有带附图的题目，请把各类题库PDF与附图一起导入");
        } else {
            pairing = pairPictures(images, words, labels);
            for (const QString& e : pairing.errors) {
                problems << sheetName + QStringLiteral("：图片无法全部配对：") + e;
            }
        }
    }

    if (cancelled()) return {false, CancelledText};
    if (!problems.isEmpty()) return {false, NotImportedText + problems.join(u'\n')};
    if (levels.isEmpty() && sheetName.isEmpty() && !wholeBanks.isEmpty()) {
        return {false,
                NotImportedText +
                    QStringLiteral("%1的文件名中没有A类、B类或C类，不是某一类的题库。"
                                   "这样的总题库只用来与各类题库比对，单独导入时不导入任何题目；"
                                   "请把它与A类、B类或C类题库PDF一起选择。")
                        .arg(wholeBanks.first().fileName)};
    }

    // Everything read is checked: now the library changes.
    QStringList written;
    QStringList failures;
    for (const LevelFile& f : levels) {
        const QString name = f.level + QStringLiteral("题库.txt");
        const QString error = writeWhole(libDir, name, f.text.text.toUtf8());
        if (!error.isEmpty()) failures << name + QStringLiteral("：") + error;
    }
    int pictures = 0;
    QStringList notJpeg;
    for (const SheetPicture& p : pairing.pictures) {
        const PdfImage& image = images[p.image];
        if (!image.jpeg || !decodesAsJpeg(image.bytes)) {
            notJpeg << p.label;
            continue;
        }
        const QString name = p.label + QStringLiteral(".jpg");
        const QString error = writeWhole(libDir, name, image.bytes);
        if (!error.isEmpty()) {
            failures << name + QStringLiteral("：") + error;
        } else {
            ++pictures;
        }
    }

    QStringList lines{QStringLiteral("PDF题库导入完成：")};
    for (const QString& level : Levels) {
        for (const LevelFile& f : levels) {
            if (f.level == level) {
                lines << QStringLiteral("%1：%2题").arg(level).arg(f.text.records.size());
            }
        }
    }
    if (!sheetName.isEmpty()) lines << QStringLiteral("附图：%1张").arg(pictures);

    QStringList repairs;
    const auto addRepairs = [&](const LevelFile& f) {
        for (const TaggedRepair& r : f.text.repairs) {
            repairs << QStringLiteral("%1：%2的答案标记“%3”按“%4”读取")
                           .arg(f.fileName, r.id, r.printed, r.tag);
        }
    };
    for (const LevelFile& f : levels) addRepairs(f);
    for (const LevelFile& f : wholeBanks) addRepairs(f);
    for (const SheetPicture& p : pairing.pictures) {
        if (p.rule.isEmpty()) continue;
        repairs << QStringLiteral("%1：图片标题“%2”按“%3”读取（%4）")
                       .arg(sheetName, p.caption, p.label, p.rule);
    }
    if (!repairs.isEmpty()) lines << QStringLiteral("修正：") << repairs;

    QStringList notes;
    if (!notJpeg.isEmpty()) {
        notes
            << QStringLiteral("%1的图片不是JPEG，没有导入").arg(notJpeg.join(QStringLiteral("、")));
    }
    if (!sheetName.isEmpty()) {
        QStringList missing;
        for (const QString& l : labels) {
            if (std::none_of(pairing.pictures.begin(), pairing.pictures.end(),
                             [&](const SheetPicture& p) { return p.label == l; })) {
                missing << l;
            }
        }
        if (!missing.isEmpty())
            notes << QStringLiteral("附图中没有：") + missing.join(QStringLiteral("、"));
    }
    if (!wholeBanks.isEmpty()) {
        const LevelFile& whole = wholeBanks.first();
        QHash<QString, const TaggedRecord*> byId;
        for (const TaggedRecord& r : whole.text.records) byId.insert(r.id, &r);
        // One line per question, naming every level that differs from the whole bank.
        QStringList order;
        QHash<QString, QStringList> levelsOf;
        QHash<QString, QString> what;
        for (const LevelFile& f : levels) {
            for (const TaggedRecord& r : f.text.records) {
                const TaggedRecord* other = byId.value(r.id);
                const QString text = other ? differences(r, *other).join(QStringLiteral("、")) +
                                                 QStringLiteral("不同")
                                           : QStringLiteral("总题库中没有这道题");
                if (other && differences(r, *other).isEmpty()) continue;
                if (!levelsOf.contains(r.id)) order << r.id;
                levelsOf[r.id] << f.level;
                what[r.id] = text;
            }
        }
        if (!order.isEmpty()) {
            lines << QStringLiteral("与%1不一致（以各类题库为准）：").arg(whole.fileName);
            for (const QString& id : order) {
                lines << QStringLiteral("%1（%2）：%3")
                             .arg(id, levelsOf[id].join(QStringLiteral("、")), what[id]);
            }
        } else if (!levels.isEmpty()) {
            lines << QStringLiteral("各类题库与%1一致").arg(whole.fileName);
        }
    }
    if (!notes.isEmpty()) lines << QStringLiteral("注意：") << notes;
    if (!failures.isEmpty()) lines << QStringLiteral("写入失败：") << failures;
    return {failures.isEmpty(), lines.join(u'\n')};
}

}  // namespace zoma
