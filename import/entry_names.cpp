// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/entry_names.h"

#include "common/gbk.h"
#include "common/regular_file.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Length of the valid UTF-8 sequence at bytes[i] and its code point, or 0.
qsizetype utf8Sequence(QByteArrayView bytes, qsizetype i, char32_t* codePoint) {
    const auto byte = [&](qsizetype k) { return static_cast<uchar>(bytes[k]); };
    const uchar lead = byte(i);
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    qsizetype length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > bytes.size()) return 0;
    for (qsizetype k = 1; k < length; ++k) {
        const uchar next = byte(i + k);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    *codePoint = value;
    return length;
}

void appendEscape(QString& out, uchar byte) {
    out += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7F;
}

// The separators that archives from Windows and from elsewhere use.
bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

bool hasDrive(QStringView part) {
    return part.size() >= 2 && part[1] == u':' && part[0].unicode() < 0x80 && part[0].isLetter();
}

}  // namespace

QString zoma::decodeUtf8(QByteArrayView bytes, ControlChars controls) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t c = 0;
        const qsizetype length = utf8Sequence(bytes, i, &c);
        if (length == 0 || (controls == ControlChars::Escape && isControl(c))) {
            appendEscape(out, static_cast<uchar>(bytes[i]));
            ++i;
            continue;
        }
        out += QStringView(QChar::fromUcs4(c));
        i += length;
    }
    return out;
}

QString zoma::decodeGbk(QByteArrayView bytes, ControlChars controls) {
    // The converter maps unassigned codes into the private use area or to
    // U+FFFD; neither is a character a user could read.
    const auto decodeOne = [](QByteArrayView code, QChar* out) {
        const QString text = zoma::fromGbk(code);
        if (text.size() != 1) return false;
        const char16_t c = text[0].unicode();
        if (c == 0xFFFD || c == 0x1A || (c >= 0xE000 && c <= 0xF8FF)) return false;
        *out = text[0];
        return true;
    };
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar b = static_cast<uchar>(bytes[i]);
        if (b < 0x80) {
            if (controls == ControlChars::Escape && isControl(b)) {
                appendEscape(out, b);
            } else {
                out += QLatin1Char(char(b));
            }
            ++i;
            continue;
        }
        QChar c;
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) {
            const uchar trail = static_cast<uchar>(bytes[i + 1]);
            const bool trailOk =
                (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
            if (trailOk) {
                // A pair the converter will not map is escaped whole: its
                // trail byte may be a backslash, which must not split the name.
                if (decodeOne(bytes.sliced(i, 2), &c)) {
                    out += c;
                } else {
                    appendEscape(out, b);
                    appendEscape(out, trail);
                }
                i += 2;
                continue;
            }
        }
        if (decodeOne(bytes.sliced(i, 1), &c)) {
            out += c;
        } else {
            appendEscape(out, b);
        }
        ++i;
    }
    return out;
}

QString zoma::decodeEntryName(QByteArrayView raw, NameEncoding encoding) {
    return encoding == NameEncoding::Utf8 ? zoma::decodeUtf8(raw, ControlChars::Escape)
                                          : zoma::decodeGbk(raw, ControlChars::Escape);
}

QByteArray zoma::toNarrow(const QString& text) {
    // Qt's local 8-bit encoding is UTF-8 on Unix and the ANSI code page on Windows.
    return text.toLocal8Bit();
}

QString zoma::fromNarrow(const char* buffer, qsizetype maxBytes) {
    if (!buffer || maxBytes <= 0) return {};
    qsizetype length = 0;
    while (length < maxBytes && buffer[length] != 0) ++length;
    QByteArrayView bytes(buffer, length);
#ifdef Q_OS_WIN
    // UTF-8 where the program's manifest made it the narrow code page.
    if (GetACP() != CP_UTF8) return QString::fromLocal8Bit(bytes);
#endif
    if (length == maxBytes) {
        // Cut at the limit: leave out a character whose bytes run past it.
        qsizetype start = length;
        while (start > 0 && length - start < 4 &&
               (static_cast<uchar>(bytes[start - 1]) & 0xC0) == 0x80) {
            --start;
        }
        if (start > 0) {
            char32_t c = 0;
            const uchar lead = static_cast<uchar>(bytes[start - 1]);
            if (lead >= 0xC0 && utf8Sequence(bytes, start - 1, &c) == 0)
                bytes = bytes.first(start - 1);
        }
    }
    return zoma::decodeUtf8(bytes, ControlChars::Keep);
}

namespace {

// Names no Windows folder can hold: a device (AUX, CON, NUL, COM1, LPT1,
// with any extension, opens the device itself), the characters it reserves,
// and a trailing dot or blank, which it drops. Refused everywhere, so that
// a package unpacks alike on every system.
bool windowsForbids(const QString& part) {
    static const QString reserved = QStringLiteral("<>:\"|?*");
    for (const QChar c : part) {
        if (c.unicode() < 0x20 || reserved.contains(c)) return true;
    }
    if (part.endsWith(u'.') && part != u"." && part != u"..") return true;
    if (part.endsWith(u' ')) return true;
    return zoma::isWindowsDeviceName(part);
}

}  // namespace

EntryTarget zoma::entryTarget(QStringView name, bool honourDirectories) {
    const bool directory = !name.isEmpty() && isSeparator(name.back());
    QStringList raw;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || isSeparator(name[i])) {
            raw << name.sliced(start, i - start).toString();
            start = i + 1;
        }
    }

    EntryTarget target;
    if (!honourDirectories) {
        if (directory) {
            target.kind = EntryTarget::Kind::Directory;
            return target;
        }
        QString last = raw.last();
        if (raw.size() == 1 && hasDrive(last)) last = last.mid(2);
        if (last.isEmpty() || last == u"." || last == u"..") {
            target.reason = QStringLiteral("no file name");
            return target;
        }
        if (windowsForbids(last)) {
            target.reason = QStringLiteral("name Windows forbids");
            return target;
        }
        target.kind = EntryTarget::Kind::File;
        target.parts = {last};
        return target;
    }

    if (!name.isEmpty() && isSeparator(name.front())) {
        target.reason = QStringLiteral("absolute path");
        return target;
    }
    if (hasDrive(name)) {
        target.reason = QStringLiteral("drive name");
        return target;
    }
    for (const QString& part : std::as_const(raw)) {
        if (part == u"..") {
            target.parts.clear();
            target.reason = QStringLiteral("path leaves the target folder");
            return target;
        }
        if (windowsForbids(part)) {
            target.parts.clear();
            target.reason = QStringLiteral("name Windows forbids");
            return target;
        }
        if (!part.isEmpty() && part != u".") target.parts << part;
    }
    if (directory) {
        target.kind = EntryTarget::Kind::Directory;
    } else if (target.parts.isEmpty() || raw.last().isEmpty() || raw.last() == u".") {
        target.parts.clear();
        target.reason = QStringLiteral("no file name");
    } else {
        target.kind = EntryTarget::Kind::File;
    }
    return target;
}

namespace {

// Matches c against the class that starts at pattern[open] ("["). Returns the
// index after its "]", or -1 when the "[" opens no class.
qsizetype matchClass(QStringView pattern, qsizetype open, QChar c, bool* matched) {
    qsizetype i = open + 1;
    const bool negated = i < pattern.size() && (pattern[i] == u'!' || pattern[i] == u'^');
    if (negated) ++i;
    bool hit = false;
    bool first = true;
    while (i < pattern.size() && (first || pattern[i] != u']')) {
        first = false;
        const QChar low = pattern[i];
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-' && pattern[i + 2] != u']') {
            if (c >= low && c <= pattern[i + 2]) hit = true;
            i += 3;
        } else {
            if (c == low) hit = true;
            ++i;
        }
    }
    if (i >= pattern.size()) return -1;
    *matched = hit != negated;
    return i + 1;
}

}  // namespace

bool zoma::matchesWildcard(QStringView pattern, QStringView name) {
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starPattern = -1;
    qsizetype starName = 0;
    while (n < name.size()) {
        if (p < pattern.size()) {
            const QChar c = pattern[p];
            if (c == u'*') {
                starPattern = ++p;
                starName = n;
                continue;
            }
            if (c == u'?') {
                ++p;
                ++n;
                continue;
            }
            bool matched = false;
            const qsizetype after = c == u'[' ? matchClass(pattern, p, name[n], &matched) : -1;
            if (after >= 0) {
                if (matched) {
                    p = after;
                    ++n;
                    continue;
                }
            } else if (c == name[n]) {
                ++p;
                ++n;
                continue;
            }
        }
        if (starPattern < 0) return false;
        p = starPattern;
        n = ++starName;
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}
