// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

// The questions the user starred, keyed by edition and identifier, in a text
// file of the program folder: one "edition<TAB>identifier" a line, UTF-8, in
// the order they were starred. One object is shared by every page, so a star
// given in one shows in all.
class Favourites final : public QObject {
    Q_OBJECT

public:
    static const QString FileName;  // "favourites.txt"
    static constexpr qint64 MaxSize = qint64(4) * 1024 * 1024;

    explicit Favourites(QString path, QObject* parent = nullptr)
        : QObject(parent), m_path(std::move(path)) {}

    // A missing file is an empty list. A file that cannot be read or holds a
    // damaged line is reported, and from then on never written, so it stays
    // as it was; stars given meanwhile last until the program ends.
    bool load(QString* error);
    bool writable() const { return !m_broken; }
    const QString& path() const { return m_path; }

    bool contains(const QString& edition, const QString& id) const {
        return m_keys.contains(key(edition, id));
    }
    // The identifiers starred in an edition, in the order they were starred.
    QStringList ids(const QString& edition) const;

    // Stars (on) or unstars a question and writes the file; false with the
    // reason when the file could not be written (the star is kept all the
    // same). changed() is emitted either way.
    bool set(const QString& edition, const QString& id, bool on, QString* error);

signals:
    void changed();

private:
    static QString key(const QString& edition, const QString& id) { return edition + u'\t' + id; }
    bool save(QString* error) const;

    QString m_path;
    QList<QString> m_order;  // keys in the order they were starred
    QSet<QString> m_keys;
    bool m_broken = false;
};
