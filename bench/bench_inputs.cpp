// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/bench_inputs.h"

#include "common/program_folder.h"
#include "common/text_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <zip.h>

#include <algorithm>
#include <ctime>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

const QString kBankName = QStringLiteral("总题库文件(v20131204).txt");
const QString kPictureFolder = QStringLiteral("总题库附图(v20131204)");
const QString kListSuffix = QStringLiteral("业余电台操作证书试卷涉及题号.txt");
constexpr int kRecords = 2001;
constexpr int kPictures = 60;
constexpr int kPracticeQuestions = 12;

[[noreturn]] void fail(const QString& what) {
    throw std::runtime_error(what.toStdString());
}

// Words of the examination's subject, so that the text has the mix of
// Chinese, digits and Latin units of a real question bank.
const QStringList kWords = {
    QStringLiteral("业余无线电台"), QStringLiteral("发射功率"),
    QStringLiteral("频率"),         QStringLiteral("天线"),
    QStringLiteral("电离层"),       QStringLiteral("呼号"),
    QStringLiteral("执照"),         QStringLiteral("无线电管理机构"),
    QStringLiteral("短波"),         QStringLiteral("超短波"),
    QStringLiteral("调制方式"),     QStringLiteral("信号报告"),
    QStringLiteral("驻波比"),       QStringLiteral("馈线"),
    QStringLiteral("接收机"),       QStringLiteral("发射机"),
    QStringLiteral("中继台"),       QStringLiteral("卫星通信"),
    QStringLiteral("应急通信"),     QStringLiteral("干扰"),
    QStringLiteral("带宽"),         QStringLiteral("谐波"),
    QStringLiteral("阻抗"),         QStringLiteral("电阻"),
    QStringLiteral("电容"),         QStringLiteral("电感"),
    QStringLiteral("电压"),         QStringLiteral("电流"),
    QStringLiteral("的"),           QStringLiteral("是"),
    QStringLiteral("应当"),         QStringLiteral("可以"),
    QStringLiteral("不得"),         QStringLiteral("下列"),
    QStringLiteral("哪一项"),       QStringLiteral("正确"),
    QStringLiteral("规定"),         QStringLiteral("使用"),
    QStringLiteral("设置"),         QStringLiteral("通信"),
    QStringLiteral("操作"),         QStringLiteral("业余业务"),
    QStringLiteral("国家"),         QStringLiteral("标准"),
    QStringLiteral("技术"),         QStringLiteral("MHz"),
    QStringLiteral("kHz"),          QStringLiteral("W"),
    QStringLiteral("dB"),           QStringLiteral("CW"),
    QStringLiteral("SSB"),          QStringLiteral("FM"),
    QStringLiteral("，"),           QStringLiteral("、"),
};

class TextMaker final {
public:
    explicit TextMaker(quint32 seed) : m_engine(seed) {}

    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_engine);
    }

    // A phrase of about the given number of characters.
    QString phrase(int length) {
        QString text;
        while (text.size() < length) {
            if (between(0, 9) == 0) {
                text += QString::number(between(1, 1000));
            } else {
                text += kWords[between(0, int(kWords.size()) - 1)];
            }
        }
        return text;
    }

    std::mt19937& engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};

QString identifier(int n) {
    return QStringLiteral("LK%1").arg(n, 4, 10, QLatin1Char('0'));
}

int pictureQuestion(int k) {
    return 17 + 33 * k;
}

QByteArray bankText(TextMaker& maker, int* records) {
    QList<QString> lines;
    for (int n = 0; n < kRecords; ++n) {
        lines << QStringLiteral("[I]") + identifier(n);
        lines << QStringLiteral("[Q]") + maker.phrase(maker.between(18, 60)) + QStringLiteral("？");
        for (const char* tag : {"[A]", "[B]", "[C]", "[D]"}) {
            lines << QString::fromLatin1(tag) + maker.phrase(maker.between(5, 22));
        }
        const bool picture = n >= pictureQuestion(0) && (n - pictureQuestion(0)) % 33 == 0 &&
                             (n - pictureQuestion(0)) / 33 < kPictures;
        lines << QStringLiteral("[P]") +
                     (picture ? identifier(n) + QStringLiteral(".jpg") : QString());
        lines << QString();
    }
    *records = kRecords;
    QString text;
    for (const QString& line : std::as_const(lines)) text += line + QStringLiteral("\r\n");
    return zoma::encodeGbk(text);
}

QByteArray paperText(const QString& level, const QList<int>& numbers) {
    QString text =
        level +
        QStringLiteral("业余无线电台操作技术能力验证题库（共%1题）\r\n").arg(numbers.size());
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        text += identifier(numbers[i]);
        const bool lineEnd = i % 10 == 9 || i + 1 == numbers.size();
        text += lineEnd ? QStringLiteral("，\r\n") : QStringLiteral("， ");
    }
    text +=
        QStringLiteral("------------------------------\r\n共计题目： %1\r\n").arg(numbers.size());
    return zoma::encodeGbk(text);
}

// A 640 x 480 photograph-like picture: shapes over a gradient with grain, so
// that its JPEG bytes stay near the wanted size and do not deflate away.
QByteArray pictureJpeg(quint32 seed, qint64 wanted) {
    constexpr int width = 640;
    constexpr int height = 480;
    std::mt19937 engine(seed);
    std::vector<qint8> grain(size_t(width) * height * 3);
    for (qint8& g : grain) g = qint8(std::uniform_int_distribution<int>(-127, 127)(engine));

    QImage base(width, height, QImage::Format_RGB32);
    {
        QLinearGradient gradient(0, 0, width, height);
        gradient.setColorAt(0, QColor::fromHsv(int(seed % 360), 80, 230));
        gradient.setColorAt(1, QColor::fromHsv(int((seed * 7) % 360), 120, 90));
        QPainter painter(&base);
        painter.fillRect(base.rect(), gradient);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 3));
        for (int i = 0; i < 6; ++i) {
            painter.setBrush(QColor::fromHsv(int((seed + 50 * i) % 360), 160, 200));
            painter.drawEllipse(QPointF(80 + 90 * i, 120 + 40 * (i % 3)), 50, 35);
            painter.drawLine(20, 300 + 25 * i, 620, 280 + 30 * i);
        }
    }

    const auto encode = [&](int amplitude) {
        QImage image = base;
        const qint8* g = grain.data();
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x, g += 3) {
                const auto channel = [&](int value, int k) {
                    return std::clamp(value + g[k] * amplitude / 127, 0, 255);
                };
                const QRgb p = line[x];
                line[x] = qRgb(channel(qRed(p), 0), channel(qGreen(p), 1), channel(qBlue(p), 2));
            }
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(85);
        if (!writer.write(image)) fail(QStringLiteral("JPEG: ") + writer.errorString());
        return bytes;
    };

    // The size grows with the grain; search the amplitude that gives it.
    int low = 0;
    int high = 127;
    QByteArray best = encode(high);
    while (low < high) {
        const int middle = (low + high) / 2;
        QByteArray bytes = encode(middle);
        if (bytes.size() < wanted) {
            low = middle + 1;
        } else {
            high = middle;
            best = std::move(bytes);
        }
        if (qAbs(best.size() - wanted) * 50 < wanted) break;
    }
    return best;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        fail(path + QStringLiteral(": ") + file.errorString());
    }
}

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path)) fail(path + QStringLiteral(": cannot create"));
}

struct Named {
    QString name;
    QByteArray bytes;
};

// Written as a Chinese Windows zip tool does: deflated, GBK names without
// the UTF-8 flag, pictures in a folder of their own.
void writePackage(const QString& path, const QList<Named>& texts, const QList<Named>& pictures) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip) fail(path + QStringLiteral(": cannot create the package"));
    const auto failZip = [&](const QString& what) {
        const QString reason = QString::fromLocal8Bit(zip_strerror(zip));
        zip_discard(zip);
        fail(what + QStringLiteral(": ") + reason);
    };
    std::tm stamp{};
    stamp.tm_year = 2013 - 1900;
    stamp.tm_mon = 11;
    stamp.tm_mday = 4;
    stamp.tm_hour = 12;
    stamp.tm_isdst = -1;
    const std::time_t when = std::mktime(&stamp);

    const auto add = [&](const QString& name, const QByteArray* bytes) {
        const QByteArray raw = zoma::encodeGbk(name);
        zip_int64_t index = -1;
        if (bytes) {
            zip_source_t* source = zip_source_buffer(zip, bytes->constData(), bytes->size(), 0);
            if (!source) failZip(name);
            // CP437 keeps the bytes as given and the UTF-8 flag off.
            index = zip_file_add(zip, raw.constData(), source, ZIP_FL_ENC_CP437);
            if (index < 0) {
                zip_source_free(source);
                failZip(name);
            }
            if (zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 0) < 0)
                failZip(name);
        } else {
            index = zip_dir_add(zip, raw.constData(), ZIP_FL_ENC_CP437);
            if (index < 0) failZip(name);
        }
        if (zip_file_set_mtime(zip, zip_uint64_t(index), when, 0) < 0) failZip(name);
    };
    for (const Named& f : texts) add(f.name, &f.bytes);
    add(kPictureFolder + u'/', nullptr);
    for (const Named& f : pictures) add(kPictureFolder + u'/' + f.name, &f.bytes);
    if (zip_close(zip) < 0) failZip(path);
}

QString levelList(const QString& dir, const QString& level) {
    return dir + u'/' + level + kListSuffix;
}

}  // namespace

// The C类 level file of the 2025 edition in its two forms, the same records.
void level2025(TextMaker& maker, int records, QByteArray* tagged, QByteArray* csv) {
    QStringList lines;
    QString table = QStringLiteral("J,P,I,Q,T,A,B,C,D\r\n");
    const QString keys[] = {QStringLiteral("A"),   QStringLiteral("A"),    QStringLiteral("AB"),
                            QStringLiteral("ABC"), QStringLiteral("ABCD"), QStringLiteral("BCD")};
    int page = 1;
    for (int n = 1; n <= records; ++n) {
        const QString label = n % 40 == 0 ? QStringLiteral("LX") : identifier(n % 1200 + 1);
        const QString category =
            QStringLiteral("%1.%2.%3").arg(n % 9 + 1).arg(n % 4 + 1).arg(n % 7 + 1);
        const QString id =
            QStringLiteral("MC%1-%2").arg(n % 3 ? 1 : 2).arg(n, 4, 10, QLatin1Char('0'));
        const QString question = maker.phrase(maker.between(18, 60)) + QStringLiteral("：");
        const QString key = keys[maker.between(0, 5)];
        QStringList answers;
        for (int i = 0; i < 4; ++i) answers << maker.phrase(maker.between(5, 22));

        lines << QStringLiteral("[J]") + label << QStringLiteral("[P]") + category
              << QStringLiteral("[I]") + id;
        // Long questions wrap onto a second line.
        if (question.size() > 40) {
            lines << QStringLiteral("[Q]") + question.left(36) << question.mid(36);
        } else {
            lines << QStringLiteral("[Q]") + question;
        }
        lines << QStringLiteral("[T]") + key;
        for (int i = 0; i < 4; ++i)
            lines << QStringLiteral("[%1]").arg(QChar(u'A' + i)) + answers[i];
        if (n % 25 == 0) lines << QStringLiteral("[F]") + label + QStringLiteral(".jpg");
        if (n % 5 == 0) {
            lines << QString::number(++page);
            lines << QStringLiteral("\f");
        }
        table += QStringList{label,      category,   id,         question,  key,
                             answers[0], answers[1], answers[2], answers[3]}
                     .join(u',') +
                 QStringLiteral("\r\n");
    }
    *tagged = lines.join(QStringLiteral("\r\n"))
                  .replace(QStringLiteral("\f\r\n"), QStringLiteral("\f"))
                  .toUtf8();
    *csv = table.toUtf8();
}

BenchInputs makeBenchInputs(const QString& root) {
    BenchInputs in;
    in.root = root;
    TextMaker maker(20131204);

    const QByteArray bank = bankText(maker, &in.bankRecords);
    QList<int> all;
    QList<int> everyOther;
    QList<int> everyThird;
    for (int n = 0; n < kRecords; ++n) {
        all << n;
        if (n % 2 == 0) everyOther << n;
        if (n % 3 == 0) everyThird << n;
    }
    const QList<Named> texts = {
        {kBankName, bank},
        {QStringLiteral("A类") + kListSuffix, paperText(QStringLiteral("A类"), everyThird)},
        {QStringLiteral("B类") + kListSuffix, paperText(QStringLiteral("B类"), everyOther)},
        {kBenchLevel + kListSuffix, paperText(kBenchLevel, all)},
    };
    in.bankBytes = bank.size();
    in.paperIds = int(all.size());

    // Between 100 and 160 KB, about 130 KB on average.
    QList<Named> pictures;
    for (int k = 0; k < kPictures; ++k) {
        const qint64 wanted = 100 * 1024 + (k * 37 % 61) * 1024;
        pictures.append({identifier(pictureQuestion(k)) + QStringLiteral(".jpg"),
                         pictureJpeg(quint32(1000 + k), wanted)});
    }

    in.libDir = root + QStringLiteral("/lib");
    makeFolder(in.libDir);
    for (const Named& f : texts) writeFile(in.libDir + u'/' + f.name, f.bytes);
    for (const Named& f : pictures) writeFile(in.libDir + u'/' + f.name, f.bytes);
    in.bankFile = in.libDir + u'/' + kBankName;
    in.paperFile = levelList(in.libDir, kBenchLevel);

    in.package = root + QStringLiteral("/package.zip");
    writePackage(in.package, texts, pictures);
    in.packageBytes = QFileInfo(in.package).size();

    QByteArray tagged;
    QByteArray csv;
    in.levelRecords = 1282;
    level2025(maker, in.levelRecords, &tagged, &csv);
    in.taggedLibDir = root + QStringLiteral("/lib-2025-text");
    in.taggedFile = in.taggedLibDir + QStringLiteral("/C类题库.txt");
    in.csvLibDir = root + QStringLiteral("/lib-2025-csv");
    in.csvFile = in.csvLibDir + QStringLiteral("/class_c.csv");
    makeFolder(in.taggedLibDir);
    makeFolder(in.csvLibDir);
    writeFile(in.taggedFile, tagged);
    writeFile(in.csvFile, csv);

    in.programDir = root + QStringLiteral("/program");
    const ProgramFolder program(in.programDir);
    makeFolder(program.libDir());
    for (const Named& f : texts) writeFile(program.libFile(f.name), f.bytes);
    for (const Named& f : pictures) writeFile(program.libFile(f.name), f.bytes);

    // Practice: a paper of questions that all have a picture of about 100 KB.
    const ProgramFolder practice(root + QStringLiteral("/practice"));
    in.practiceAppDir = practice.appDir();
    in.practiceLibDir = practice.libDir();
    makeFolder(in.practiceLibDir);
    writeFile(practice.libFile(kBankName), bank);
    QList<int> practicePaper;
    qint64 pictureTotal = 0;
    for (int k = 0; k < kPracticeQuestions; ++k) {
        const int n = pictureQuestion(k);
        practicePaper << n;
        const QByteArray jpeg = pictureJpeg(quint32(5000 + k), 100 * 1024);
        pictureTotal += jpeg.size();
        writeFile(practice.libFile(identifier(n) + QStringLiteral(".jpg")), jpeg);
    }
    in.practicePictureBytes = pictureTotal / kPracticeQuestions;
    writeFile(levelList(in.practiceLibDir, kBenchLevel), paperText(kBenchLevel, practicePaper));
    return in;
}
