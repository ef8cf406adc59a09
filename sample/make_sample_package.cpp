// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the sample question-bank package from the UTF-8 sources beside it:
// GBK/CRLF text files and JPEG pictures, both unpacked (lib/) and zipped the
// way a Chinese Windows zip tool stores them (GBK names, no UTF-8 flag).
//
// The 2025 edition's counterpart comes from 2025/: its three level files in
// tagged text, zipped as sample-2025.zip and unpacked in lib2025/.
//
// Usage: make_sample_package <sourceDir> <outDir>

#include "common/gbk.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <zip.h>

#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString& message) {
    throw Failure(message.toStdString());
}

const QString kBankName = QStringLiteral("总题库文件(样例v1).txt");
const QString kPictureFolder = QStringLiteral("总题库附图(样例v1)");
const QString kLevelSuffix = QStringLiteral("业余电台操作证书试卷涉及题号.txt");
const QStringList kLevels = {QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")};

struct NamedData {
    QString name;
    QByteArray data;
};

QString readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(path + QStringLiteral(": ") + file.errorString());
    const QByteArray raw = file.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(raw);
    if (decoder.hasError()) fail(path + QStringLiteral(": not valid UTF-8"));
    return text;
}

QByteArray toGbk(const QString& text, const QString& what) {
    bool complete = false;
    QByteArray bytes = zoma::toGbk(text, &complete);
    // Some converters substitute silently instead of flagging, so also round-trip.
    if (!complete || zoma::fromGbk(bytes) != text)
        fail(what + QStringLiteral(": text cannot be represented in GBK"));
    return bytes;
}

QByteArray toGbkCrLf(QString text, const QString& what) {
    text.remove(QLatin1Char('\r'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return toGbk(text, what);
}

// Catches source edits that would leave the package inconsistent.
void checkSources(const QString& bank, const QList<std::pair<QString, QString>>& levels,
                  const QStringList& pictureNames) {
    static const QRegularExpression idLine(QStringLiteral("^\\[I\\](LS\\d{4})$"),
                                           QRegularExpression::MultilineOption);
    static const QRegularExpression pictureLine(QStringLiteral("^\\[P\\](\\S+)$"),
                                                QRegularExpression::MultilineOption);
    QSet<QString> ids;
    for (const auto& m : idLine.globalMatch(bank)) ids.insert(m.captured(1));
    QStringList pictures;
    for (const auto& m : pictureLine.globalMatch(bank)) pictures.append(m.captured(1));
    pictures.sort();
    QStringList expected = pictureNames;
    expected.sort();
    if (pictures != expected)
        fail(QStringLiteral("bank.txt names pictures %1, but the tool draws %2")
                 .arg(pictures.join(u' '), expected.join(u' ')));

    static const QRegularExpression levelId(QStringLiteral("LS\\d{4}"));
    static const QRegularExpression total(QStringLiteral("共计题目： (\\d+)"));
    for (const auto& [level, text] : levels) {
        qsizetype count = 0;
        for (const auto& m : levelId.globalMatch(text)) {
            ++count;
            if (!ids.contains(m.captured()))
                fail(level + QStringLiteral(": %1 is not in bank.txt").arg(m.captured()));
        }
        const auto m = total.match(text);
        if (!m.hasMatch() || m.captured(1).toLongLong() != count)
            fail(level +
                 QStringLiteral(": the total line does not match %1 identifiers").arg(count));
    }
}

// A tiny stroke font on a 4 x 6 grid, so labels look the same on every
// machine whether or not any font is installed.
std::vector<QPolygonF> glyph(QChar c) {
    using P = QPointF;
    switch (c.unicode()) {
        case '0':
            return {
                {P(1, 0), P(3, 0), P(4, 1), P(4, 5), P(3, 6), P(1, 6), P(0, 5), P(0, 1), P(1, 0)}};
        case '1':
            return {{P(1, 1), P(2, 0), P(2, 6)}, {P(1, 6), P(3, 6)}};
        case '2':
            return {{P(0, 1), P(1, 0), P(3, 0), P(4, 1), P(4, 2), P(0, 6), P(4, 6)}};
        case '3':
            return {{P(0, 0), P(4, 0), P(2, 2.5), P(3, 2.5), P(4, 3.5), P(4, 5), P(3, 6), P(1, 6),
                     P(0, 5)}};
        case '+':
            return {{P(2, 1), P(2, 5)}, {P(0, 3), P(4, 3)}};
        case '=':
            return {{P(0, 2), P(4, 2)}, {P(0, 4), P(4, 4)}};
        case '/':
            return {{P(0, 6), P(4, 0)}};
        case 'D':
            return {{P(0, 0), P(2.5, 0), P(4, 1.5), P(4, 4.5), P(2.5, 6), P(0, 6), P(0, 0)}};
        case 'E':
            return {{P(4, 0), P(0, 0), P(0, 6), P(4, 6)}, {P(0, 3), P(3, 3)}};
        case 'F':
            return {{P(4, 0), P(0, 0), P(0, 6)}, {P(0, 3), P(3, 3)}};
        case 'I':
            return {{P(1, 0), P(3, 0)}, {P(2, 0), P(2, 6)}, {P(1, 6), P(3, 6)}};
        case 'L':
            return {{P(0, 0), P(0, 6), P(4, 6)}};
        case 'R':
            return {{P(0, 6), P(0, 0), P(3, 0), P(4, 1), P(4, 2), P(3, 3), P(0, 3)},
                    {P(2, 3), P(4, 6)}};
        case 'T':
            return {{P(0, 0), P(4, 0)}, {P(2, 0), P(2, 6)}};
        case 'V':
            return {{P(0, 0), P(2, 6), P(4, 0)}};
        case 'X':
            return {{P(0, 0), P(4, 6)}, {P(4, 0), P(0, 6)}};
        case ' ':
            return {};
        default:
            fail(QStringLiteral("no stroke glyph for '%1'").arg(c));
    }
}

constexpr double kGlyphScale = 2.0;
constexpr double kAdvance = 6 * kGlyphScale;

// Draws text with its top-left corner at origin.
void label(QPainter& p, QPointF origin, const QString& text) {
    p.save();
    p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (qsizetype i = 0; i < text.size(); ++i) {
        for (QPolygonF stroke : glyph(text.at(i))) {
            for (QPointF& pt : stroke) pt = origin + QPointF(i * kAdvance, 0) + pt * kGlyphScale;
            p.drawPolyline(stroke);
        }
    }
    p.restore();
}

void labelCentered(QPainter& p, QPointF center, const QString& text) {
    const double width = text.size() * kAdvance - 2 * kGlyphScale;
    label(p, center - QPointF(width / 2, 3 * kGlyphScale), text);
}

void arrowHead(QPainter& p, QPointF tip, QPointF from) {
    const QLineF back(tip, from);
    QLineF a = back;
    a.setLength(9);
    a.setAngle(back.angle() + 25);
    QLineF b = back;
    b.setLength(9);
    b.setAngle(back.angle() - 25);
    p.save();
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({tip, a.p2(), b.p2()}));
    p.restore();
}

void dimension(QPainter& p, double x1, double x2, double y, const QString& text) {
    p.save();
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(x1, y - 8), QPointF(x1, y + 8));
    p.drawLine(QPointF(x2, y - 8), QPointF(x2, y + 8));
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    arrowHead(p, QPointF(x1, y), QPointF(x2, y));
    arrowHead(p, QPointF(x2, y), QPointF(x1, y));
    p.restore();
    p.fillRect(QRectF((x1 + x2) / 2 - 22, y - 9, 44, 18), Qt::white);
    labelCentered(p, QPointF((x1 + x2) / 2, y), text);
}

void groundSymbol(QPainter& p, QPointF top) {
    p.drawLine(top, top + QPointF(0, 10));
    for (int i = 0; i < 3; ++i) {
        const double half = 14 - i * 5;
        const double y = top.y() + 10 + i * 5;
        p.drawLine(QPointF(top.x() - half, y), QPointF(top.x() + half, y));
    }
}

// Half-wave dipole strung between two masts, fed in the middle.
void drawDipole(QPainter& p) {
    const QPen wire(Qt::black, 2.5);
    const QPen thin(Qt::black, 1.2);
    const double y = 92;

    p.setPen(thin);
    for (double x : {16.0, 284.0}) {
        p.drawLine(QPointF(x, 70), QPointF(x, 214));
        groundSymbol(p, QPointF(x, 214));
    }
    // Support ropes to the end insulators.
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    p.drawLine(QPointF(16, 74), QPointF(30, y));
    p.drawLine(QPointF(284, 74), QPointF(270, y));

    p.setPen(wire);
    p.drawLine(QPointF(38, y), QPointF(143, y));
    p.drawLine(QPointF(157, y), QPointF(262, y));
    p.setPen(thin);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(28, y - 4, 10, 8), 3, 3);
    p.drawRoundedRect(QRectF(262, y - 4, 10, 8), 3, 3);
    p.drawRect(QRectF(142, y - 6, 16, 12));

    // Coaxial feeder down to the transmitter.
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(146, y + 6), QPointF(146, 186));
    p.drawLine(QPointF(154, y + 6), QPointF(154, 186));
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRectF(126, 186, 48, 30));
    labelCentered(p, QPointF(150, 201), QStringLiteral("TX"));
    label(p, QPointF(164, 136), QStringLiteral("FEED"));

    dimension(p, 33, 150, 50, QStringLiteral("L/2"));
    dimension(p, 150, 267, 50, QStringLiteral("L/2"));
}

void resistorHorizontal(QPainter& p, double x1, double x2, double y) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x1, y - 9, x2 - x1, 18));
}

void resistorVertical(QPainter& p, double x, double y1, double y2) {
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x - 9, y1, 18, y2 - y1));
}

// Battery with two resistors in series.
void drawSeriesCircuit(QPainter& p) {
    const double left = 90, right = 240, top = 60, bottom = 190;
    const double cellTop = 112, cellBottom = 126;
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(left, top), QPointF(right, top));
    p.drawLine(QPointF(right, top), QPointF(right, bottom));
    p.drawLine(QPointF(right, bottom), QPointF(left, bottom));
    p.drawLine(QPointF(left, bottom), QPointF(left, cellBottom));
    p.drawLine(QPointF(left, cellTop), QPointF(left, top));

    // Long plate is the positive pole.
    p.drawLine(QPointF(left - 18, cellTop), QPointF(left + 18, cellTop));
    p.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(left - 9, cellBottom), QPointF(left + 9, cellBottom));
    p.setPen(QPen(Qt::black, 2));
    label(p, QPointF(left + 24, cellTop - 16), QStringLiteral("+"));
    label(p, QPointF(10, cellTop + 1), QStringLiteral("E=12V"));

    resistorHorizontal(p, 135, 195, top);
    labelCentered(p, QPointF(165, top - 24), QStringLiteral("R1=100"));
    resistorVertical(p, right, 95, 155);
    labelCentered(p, QPointF(right - 46, 125), QStringLiteral("R2=200"));

    // Current direction: out of the positive pole.
    p.setPen(QPen(Qt::black, 1.5));
    arrowHead(p, QPointF(124, top), QPointF(100, top));
    label(p, QPointF(106, top + 12), QStringLiteral("I"));

    for (const QPointF& corner :
         {QPointF(left, top), QPointF(right, top), QPointF(right, bottom), QPointF(left, bottom)}) {
        p.setBrush(Qt::black);
        p.drawEllipse(corner, 3, 3);
    }
}

// Five-element Yagi seen from above: reflector, driven element, directors.
void drawYagi(QPainter& p) {
    const double boomY = 122;
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(28, boomY), QPointF(282, boomY));

    struct Element {
        double x;
        double halfLength;
        const char* name;
        bool fed;
    };
    const Element elements[] = {{44, 84, "R", false},
                                {104, 76, "DE", true},
                                {164, 68, "D1", false},
                                {216, 64, "D2", false},
                                {264, 60, "D3", false}};
    for (const Element& e : elements) {
        p.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::FlatCap));
        if (e.fed) {
            // Split at the boom where the feeder connects.
            p.drawLine(QPointF(e.x, boomY - e.halfLength), QPointF(e.x, boomY - 7));
            p.drawLine(QPointF(e.x, boomY + 7), QPointF(e.x, boomY + e.halfLength));
            p.setPen(QPen(Qt::black, 1.5));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(e.x, boomY - 7), 2.5, 2.5);
            p.drawEllipse(QPointF(e.x, boomY + 7), 2.5, 2.5);
        } else {
            p.drawLine(QPointF(e.x, boomY - e.halfLength), QPointF(e.x, boomY + e.halfLength));
        }
        labelCentered(p, QPointF(e.x, boomY + 100), QString::fromLatin1(e.name));
    }

    // Direction of maximum radiation.
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(196, 18), QPointF(286, 18));
    arrowHead(p, QPointF(290, 18), QPointF(196, 18));
}

QByteArray drawPicture(void (*draw)(QPainter&), const QString& name) {
    QImage image(300, 240, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    if (!writer.write(image)) fail(name + QStringLiteral(": ") + writer.errorString());
    return bytes;
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() ||
        !file.flush())
        fail(path + QStringLiteral(": ") + file.errorString());
}

// Fixed local time, so the DOS timestamps read 2013-12-04 12:00 in any time zone.
std::time_t packageTime() {
    std::tm tm{};
    tm.tm_year = 2013 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 4;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

class ZipWriter {
public:
    explicit ZipWriter(const QString& path) : m_path(path) {
        QFile::remove(path);
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!m_zip) {
            zip_error_t ze;
            zip_error_init_with_code(&ze, error);
            const QString message = QString::fromUtf8(zip_error_strerror(&ze));
            zip_error_fini(&ze);
            fail(path + QStringLiteral(": ") + message);
        }
    }
    ~ZipWriter() {
        if (m_zip) zip_discard(m_zip);
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // The data must stay alive until close().
    void addFile(const QString& name, const QByteArray& data) {
        const QByteArray rawName = toGbk(name, name);
        zip_source_t* source = zip_source_buffer(m_zip, data.constData(), data.size(), 0);
        if (!source) failZip(name);
        // CP437 makes libzip keep the bytes as given and leave the UTF-8 flag off.
        const zip_int64_t index =
            zip_file_add(m_zip, rawName.constData(), source, ZIP_FL_ENC_CP437 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            failZip(name);
        }
        if (zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 0) < 0)
            failZip(name);
        setTime(index, name);
    }

    void addDirectory(const QString& name) {
        const QByteArray rawName = toGbk(name, name);
        const zip_int64_t index = zip_dir_add(m_zip, rawName.constData(), ZIP_FL_ENC_CP437);
        if (index < 0) failZip(name);
        setTime(index, name);
    }

    void close() {
        if (zip_close(m_zip) < 0) failZip(m_path);
        m_zip = nullptr;
    }

private:
    void setTime(zip_int64_t index, const QString& name) {
        if (zip_file_set_mtime(m_zip, zip_uint64_t(index), packageTime(), 0) < 0) failZip(name);
    }

    [[noreturn]] void failZip(const QString& what) {
        fail(what + QStringLiteral(": ") + QString::fromUtf8(zip_strerror(m_zip)));
    }

    QString m_path;
    zip_t* m_zip = nullptr;
};

void run(const QString& sourceDir, const QString& outDir) {
    const QString bank = readUtf8(sourceDir + QStringLiteral("/bank.txt"));
    QList<std::pair<QString, QString>> levels;
    for (const QString& level : kLevels)
        levels.append({level, readUtf8(sourceDir + u'/' + level + QStringLiteral(".txt"))});

    const QList<std::pair<QString, void (*)(QPainter&)>> drawings = {
        {QStringLiteral("LS0005.jpg"), drawDipole},
        {QStringLiteral("LS0012.jpg"), drawSeriesCircuit},
        {QStringLiteral("LS0023.jpg"), drawYagi},
    };
    QStringList pictureNames;
    for (const auto& d : drawings) pictureNames.append(d.first);
    checkSources(bank, levels, pictureNames);

    QList<NamedData> texts;
    texts.append({kBankName, toGbkCrLf(bank, QStringLiteral("bank.txt"))});
    for (const auto& [level, text] : levels)
        texts.append({level + kLevelSuffix, toGbkCrLf(text, level + QStringLiteral(".txt"))});
    QList<NamedData> pictures;
    for (const auto& [name, draw] : drawings) pictures.append({name, drawPicture(draw, name)});

    // Start lib/ afresh so it holds exactly the unpacked package.
    QDir lib(outDir + QStringLiteral("/lib"));
    if (lib.exists() && !lib.removeRecursively())
        fail(lib.path() + QStringLiteral(": cannot clear"));
    if (!QDir().mkpath(lib.path())) fail(lib.path() + QStringLiteral(": cannot create"));
    for (const NamedData& f : texts) writeFile(lib.filePath(f.name), f.data);
    for (const NamedData& f : pictures) writeFile(lib.filePath(f.name), f.data);

    ZipWriter zip(outDir + QStringLiteral("/sample-package.zip"));
    for (const NamedData& f : texts) zip.addFile(f.name, f.data);
    zip.addDirectory(kPictureFolder + u'/');
    for (const NamedData& f : pictures) zip.addFile(kPictureFolder + u'/' + f.name, f.data);
    zip.close();
}

// The 2025 edition as its level files circulate: tagged text copied out of
// the published PDFs (a form feed starts each new page after its number), in
// the encodings and line ends users meet, with the pictures in a folder of
// a top folder, as a zip of a shared folder holds them.
const QString kTop2025 = QStringLiteral("样例题库2025");

QByteArray pagedText(const QString& source, const QString& level) {
    QStringList lines = source.split(u'\n');
    static const QRegularExpression pageNumber(QStringLiteral("^\\d+$"));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (pageNumber.match(lines[i - 1]).hasMatch()) lines[i].prepend(u'\f');
    }
    const QString text = lines.join(u'\n');
    if (level == QStringLiteral("A类")) return toGbkCrLf(text, level);
    if (level == QStringLiteral("B类")) return QByteArray("\xef\xbb\xbf") + text.toUtf8();
    return QString(text).replace(u'\n', QStringLiteral("\r\n")).toUtf8();
}

void run2025(const QString& sourceDir, const QString& outDir) {
    QList<NamedData> texts;
    for (const QString& level : kLevels) {
        const QString name = level + QStringLiteral("题库.txt");
        texts.append(
            {name, pagedText(readUtf8(sourceDir + QStringLiteral("/2025/") + name), level)});
    }
    const QList<NamedData> pictures = {
        {QStringLiteral("LS0105.jpg"), drawPicture(drawDipole, QStringLiteral("LS0105.jpg"))},
        {QStringLiteral("LS0123.jpg"), drawPicture(drawYagi, QStringLiteral("LS0123.jpg"))},
    };

    QDir lib(outDir + QStringLiteral("/lib2025"));
    if (lib.exists() && !lib.removeRecursively())
        fail(lib.path() + QStringLiteral(": cannot clear"));
    if (!QDir().mkpath(lib.path())) fail(lib.path() + QStringLiteral(": cannot create"));
    for (const NamedData& f : texts) writeFile(lib.filePath(f.name), f.data);
    for (const NamedData& f : pictures) writeFile(lib.filePath(f.name), f.data);

    ZipWriter zip(outDir + QStringLiteral("/sample-2025.zip"));
    zip.addDirectory(kTop2025 + u'/');
    for (const NamedData& f : texts) zip.addFile(kTop2025 + u'/' + f.name, f.data);
    zip.addDirectory(kTop2025 + QStringLiteral("/附图/"));
    for (const NamedData& f : pictures)
        zip.addFile(kTop2025 + QStringLiteral("/附图/") + f.name, f.data);
    zip.close();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_sample_package <sourceDir> <outDir>\n");
        return 2;
    }
    try {
        run(args.at(1), args.at(2));
        run2025(args.at(1), args.at(2));
    } catch (const Failure& e) {
        std::fprintf(stderr, "make_sample_package: %s\n", e.what());
        return 1;
    }
    return 0;
}
