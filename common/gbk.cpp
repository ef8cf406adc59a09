// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/gbk.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <QStringEncoder>
#endif

#ifdef Q_OS_WIN

namespace {

constexpr UINT kGbk = 936;

// One code, or false when the code page leaves it undefined.
bool decodeStrict(QByteArrayView bytes, QString* out) {
    if (bytes.isEmpty()) return true;
    const int size = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(),
                                         int(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    const qsizetype at = out->size();
    out->resize(at + size);
    MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(out->data() + at), size);
    return true;
}

}  // namespace

QString zoma::fromGbk(QByteArrayView bytes) {
    QString out;
    if (decodeStrict(bytes, &out)) return out;
    // A fault somewhere: code by code, so that only the faulty ones are lost.
    out.clear();
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            out += QLatin1Char(char(lead));
            ++i;
            continue;
        }
        qsizetype length = 1;
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) {
            const uchar trail = uchar(bytes[i + 1]);
            if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE)) length = 2;
        }
        if (!decodeStrict(bytes.sliced(i, length), &out)) out += QChar::ReplacementCharacter;
        i += length;
    }
    return out;
}

QByteArray zoma::toGbk(QStringView text, bool* complete) {
    *complete = true;
    if (text.isEmpty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    // No best fit: a character GBK lacks is reported, not quietly changed.
    const int size = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, int(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), size,
                        nullptr, &usedDefault);
    *complete = size > 0 && !usedDefault;
    return bytes;
}

#else

QString zoma::fromGbk(QByteArrayView bytes) {
    QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
    return gbk.decode(bytes);
}

QByteArray zoma::toGbk(QStringView text, bool* complete) {
    QStringEncoder gbk("GBK", QStringEncoder::Flag::Stateless);
    QByteArray bytes = gbk.encode(text);
    *complete = !gbk.hasError();
    return bytes;
}

#endif
