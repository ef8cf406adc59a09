#include "bank/question_bank.h"

#include <QDir>

bool TextSlots::set(qint64 index, const QString& text) {
    if (!contains(index)) return false;
    m_slots[index] = text;
    return true;
}

QChar pathSeparator() { return QDir::separator(); }

QString appDirFrom(const QString& programDir) {
    QString dir = QDir::toNativeSeparators(programDir);
    if (!dir.endsWith(pathSeparator())) dir += pathSeparator();
    return dir;
}

QString libPath(const SharedValues& values, const QString& fileName) {
    return values.LibDir + pathSeparator() + fileName;
}
