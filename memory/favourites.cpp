// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/favourites.h"

#include "common/regular_file.h"
#include "common/text_file.h"

#include <QFileInfo>

const QString Favourites::FileName = QStringLiteral("favourites.txt");

namespace {

const QString kHeader = QStringLiteral("# 收藏的题目：题库版本<Tab>题号");

}  // namespace

bool Favourites::load(QString* error) {
    m_order.clear();
    m_keys.clear();
    m_broken = false;
    if (!QFileInfo::exists(m_path) && !QFileInfo(m_path).isSymLink()) return true;
    QByteArray bytes;
    QString reason;
    if (!zoma::readRegularFile(m_path, MaxSize, &bytes, &reason)) {
        m_broken = true;
        if (error) *error = reason;
        return false;
    }
    const QString text = zoma::decodeText(bytes);
    LineReader reader(text);
    QStringView line;
    while (reader.next(&line)) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() != 2 || fields[0].trimmed().isEmpty() || fields[1].trimmed().isEmpty()) {
            m_order.clear();
            m_keys.clear();
            m_broken = true;
            if (error) *error = QStringLiteral("第%1行格式错误").arg(reader.number());
            return false;
        }
        const QString k = key(fields[0].trimmed().toString(), fields[1].trimmed().toString());
        if (m_keys.contains(k)) continue;
        m_keys.insert(k);
        m_order.append(k);
    }
    return true;
}

QStringList Favourites::ids(const QString& edition) const {
    QStringList result;
    const QString head = edition + u'\t';
    for (const QString& k : m_order) {
        if (k.startsWith(head)) result.append(k.mid(head.size()));
    }
    return result;
}

bool Favourites::set(const QString& edition, const QString& id, bool on, QString* error) {
    const QString k = key(edition, id);
    if (on == m_keys.contains(k)) return true;
    if (on) {
        m_keys.insert(k);
        m_order.append(k);
    } else {
        m_keys.remove(k);
        m_order.removeOne(k);
    }
    const bool saved = save(error);
    emit changed();
    return saved;
}

bool Favourites::save(QString* error) const {
    if (m_broken) {
        if (error) *error = QStringLiteral("原文件无法读取，未改写");
        return false;
    }
    QByteArray bytes = kHeader.toUtf8() + '\n';
    for (const QString& k : m_order) bytes += k.toUtf8() + '\n';
    QString reason;
    if (zoma::writeBytes(m_path, bytes, &reason)) return true;
    if (error) *error = reason;
    return false;
}
