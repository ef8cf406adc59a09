// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/translations.h"

#include "common/regular_file.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Far beyond Qt's largest (qtbase is about 200 KB).
constexpr qint64 kMaxTranslationSize = 16 * 1024 * 1024;

// Qt reads a translation from memory without copying it, so the bytes live
// as long as the translator does.
class QtTextTranslator final : public QTranslator {
public:
    explicit QtTextTranslator(QByteArray bytes, QObject* parent)
        : QTranslator(parent), m_bytes(std::move(bytes)) {}
    ~QtTextTranslator() override {
        if (QCoreApplication::instance()) QCoreApplication::removeTranslator(this);
    }
    bool load() {
        return QTranslator::load(reinterpret_cast<const uchar*>(m_bytes.constData()),
                                 int(m_bytes.size()));
    }

private:
    QByteArray m_bytes;
};

}  // namespace

QString zoma::qtTextLanguage(const QLocale& locale) {
    const bool traditional =
        locale.language() == QLocale::Chinese && locale.script() == QLocale::TraditionalHanScript;
    return traditional ? QStringLiteral("zh_TW") : QStringLiteral("zh_CN");
}

QTranslator* zoma::installQtTranslations(const QString& programDir, const QLocale& locale) {
    const QStringList folders = {programDir + QStringLiteral("/translations"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    QStringList languages = {qtTextLanguage(locale)};
    if (languages.first() != u"zh_CN") languages << QStringLiteral("zh_CN");
    // The program is made of Qt Base alone; Qt's catalogue "qt_" would also
    // want the translations of modules it does not use.
    for (const QString& language : languages) {
        for (const QString& folder : folders) {
            QByteArray bytes;
            QString error;
            const QString path =
                folder + QStringLiteral("/qtbase_") + language + QStringLiteral(".qm");
            if (!zoma::readRegularFile(path, kMaxTranslationSize, &bytes, &error)) continue;
            auto* translator = new QtTextTranslator(std::move(bytes), QCoreApplication::instance());
            if (translator->load() && QCoreApplication::installTranslator(translator))
                return translator;
            delete translator;
        }
    }
    return nullptr;
}
