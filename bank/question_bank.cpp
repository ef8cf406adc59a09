#include "bank/question_bank.h"

#include <QDir>

#include <algorithm>

bool TextSlots::set(qint64 index, const QString& text) {
    if (!contains(index)) return false;
    m_slots[index] = text;
    return true;
}

bool TextSlots::assign(qint64 index, QStringView text) {
    if (!contains(index)) return false;
    QString& slot = m_slots[index];
    if (slot.isDetached() && slot.capacity() >= text.size()) {
        slot.resize(text.size());
        std::copy(text.begin(), text.end(), slot.begin());
    } else {
        slot = text.toString();
    }
    return true;
}

bool TextSlots::assign(qint64 index, QStringView head, QStringView tail) {
    if (!contains(index)) return false;
    QString& slot = m_slots[index];
    const qsizetype size = head.size() + tail.size();
    if (slot.isDetached() && slot.capacity() >= size) {
        slot.resize(size);
    } else {
        slot = QString(size, Qt::Uninitialized);
    }
    std::copy(tail.begin(), tail.end(), std::copy(head.begin(), head.end(), slot.begin()));
    return true;
}

QChar pathSeparator() {
    return QDir::separator();
}

QString appDirFrom(const QString& programDir) {
    QString dir = QDir::toNativeSeparators(programDir);
    if (!dir.endsWith(pathSeparator())) dir += pathSeparator();
    return dir;
}

QString libPath(const SharedValues& values, const QString& fileName) {
    return values.LibDir + pathSeparator() + fileName;
}
