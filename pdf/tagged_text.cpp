// SPDX-License-Identifier: GPL-3.0-or-later
#include "pdf/tagged_text.h"

#include "common/text_file.h"

#include <QRegularExpression>

namespace zoma {

namespace {

// The tags of a record in their printed order.
constexpr char16_t Order[] = u"JPIQTABCDF";

int tagIndex(QChar c) {
    for (int i = 0; i < 10; ++i) {
        if (Order[i] == c.unicode()) return i;
    }
    return -1;
}

// "[X]" at pos, with X a tag letter.
bool tagAt(QStringView line, qsizetype pos) {
    return pos + 2 < line.size() && line[pos] == u'[' && line[pos + 2] == u']' &&
           tagIndex(line[pos + 1]) >= 0;
}

bool pageNumber(QStringView line) {
    if (line.isEmpty() || line.size() > 6) return false;
    for (QChar c : line) {
        if (!c.isDigit()) return false;
    }
    return true;
}

class Builder {
public:
    explicit Builder(TaggedText* out) : m_out(out) {}

    void field(int tag, QStringView value, int line) {
        TaggedRecord* r = current();
        const bool repeatedLabel = tag == 0 && m_lastTag == 0 && line == m_lastLine;
        if (!r || (has(tag) && !repeatedLabel)) r = start(line);
        m_seen |= 1 << tag;
        m_lastTag = tag;
        m_lastLine = line;
        const QString v = value.trimmed().toString();
        switch (tag) {
            case 0:
                r->labels << QString(v).remove(QChar(u'、')).trimmed();
                break;
            case 1:
                r->category = v;
                break;
            case 2:
                r->id = v;
                break;
            case 3:
                r->question = v;
                break;
            case 4:
                r->key = v;
                break;
            case 9:
                r->picture = v;
                break;
            default:
                r->answers[tag - 5] = v;
                ++r->answerCount;
        }
    }

    void more(QStringView value) {
        TaggedRecord* r = current();
        if (!r || m_lastTag < 0) return;
        const QString v = value.trimmed().toString();
        switch (m_lastTag) {
            case 0:
                r->labels.last() += v;
                break;
            case 1:
                r->category += v;
                break;
            case 2:
                r->id += v;
                break;
            case 3:
                r->question += v;
                break;
            case 4:
                r->key += v;
                break;
            case 9:
                r->picture += v;
                break;
            default:
                r->answers[m_lastTag - 5] += v;
        }
    }

    // The tag that must come next in the record being read, or -1.
    int expected() const {
        if (!current() || m_lastTag < 0 || m_lastTag + 1 >= 10) return -1;
        return has(m_lastTag + 1) ? -1 : m_lastTag + 1;
    }
    TaggedRecord* current() const {
        return m_out->records.isEmpty() ? nullptr : &m_out->records.last();
    }

private:
    bool has(int tag) const { return m_seen & (1 << tag); }
    TaggedRecord* start(int line) {
        m_out->records.append(TaggedRecord());
        m_out->records.last().line = line;
        m_seen = 0;
        m_lastTag = -1;
        return &m_out->records.last();
    }

    TaggedText* m_out;
    int m_seen = 0;
    int m_lastTag = -1;
    int m_lastLine = 0;
};

}  // namespace

TaggedText readTaggedText(QStringView text) {
    TaggedText out;
    out.idTags = int(text.count(u"[I]"));
    Builder builder(&out);
    QString& written = out.text;
    written.reserve(text.size() + text.size() / 16);
    LineReader lines(text);
    QStringView raw;
    int lineNumber = 0;
    while (lines.next(&raw)) {
        // Form feeds mark new pages; blanks at either end carry nothing.
        QString owned;
        QStringView line = raw;
        if (line.contains(u'\f')) {
            owned = line.toString().remove(u'\f');
            line = owned;
        }
        line = line.trimmed();
        if (line.isEmpty()) continue;
        // Nothing before the first record belongs to a question.
        if (!builder.current() && !tagAt(line, 0) && !(line.size() >= 2 && line[1] == u']')) {
            continue;
        }
        if (pageNumber(line)) {
            written += line;
            written += u"\r\n";
            ++lineNumber;
            continue;
        }
        QString repaired;
        if (!tagAt(line, 0) && line.size() >= 2 && line[1] == u']') {
            const int tag = tagIndex(line[0]);
            if (tag >= 5 && tag <= 8 && tag == builder.expected()) {
                const TaggedRecord* r = builder.current();
                out.repairs.append({lineNumber + 1, r ? r->id : QString(), line.first(2).toString(),
                                    QStringLiteral("[%1]").arg(line[0])});
                repaired = u'[' + line.toString();
                line = repaired;
            }
        }
        // A field run onto the end of the one before after a run of blanks.
        qsizetype from = 0;
        while (from < line.size()) {
            qsizetype cut = -1;
            for (qsizetype i = from + 1; i + 2 < line.size(); ++i) {
                if (tagAt(line, i) && line[i - 1] == u' ' && i >= 2 && line[i - 2] == u' ') {
                    cut = i;
                    break;
                }
            }
            const QStringView part =
                line.sliced(from, (cut < 0 ? line.size() : cut) - from).trimmed();
            ++lineNumber;
            written += part;
            written += u"\r\n";
            if (tagAt(part, 0)) {
                // "[J]LY0014、[J]LY0017": every tag of the line gives a field.
                qsizetype pos = 0;
                while (pos < part.size()) {
                    const int tag = tagIndex(part[pos + 1]);
                    qsizetype end = pos + 3;
                    if (tag == 0) {
                        while (end < part.size() && !tagAt(part, end)) ++end;
                    } else {
                        end = part.size();
                    }
                    builder.field(tag, part.sliced(pos + 3, end - pos - 3), lineNumber);
                    pos = end;
                }
            } else {
                builder.more(part);
            }
            if (cut < 0) break;
            from = cut;
        }
    }
    return out;
}

QString pictureLabel(const QString& picture) {
    QString name = picture.trimmed();
    name = name.sliced(qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0) name.truncate(dot);
    return name;
}

}  // namespace zoma
