// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/text_zoom.h"

#include "common/regular_file.h"
#include "common/text_file.h"

#include <QFileInfo>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <cmath>

const QString TextZoom::FileName = QStringLiteral("text_zoom.txt");

namespace {

const QByteArray kKey = "text-zoom=";

}  // namespace

TextZoom::TextZoom(QWidget* window, QString path)
    : QObject(window), m_window(window), m_path(std::move(path)) {
    const QFont font = window->font();
    m_baseSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    QByteArray bytes;
    QString reason;
    if (QFileInfo(m_path).isFile() && zoma::readRegularFile(m_path, 4096, &bytes, &reason)) {
        m_factor = parse(bytes);
    }
    const auto add = [this, window](const QKeySequence& keys, void (TextZoom::*slot)()) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence::ZoomIn, &TextZoom::zoomIn);
    add(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TextZoom::zoomIn);  // + without Shift
    add(QKeySequence::ZoomOut, &TextZoom::zoomOut);
    add(QKeySequence(Qt::CTRL | Qt::Key_0), &TextZoom::reset);
    apply();
}

double TextZoom::parse(const QByteArray& bytes) {
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.startsWith(kKey)) continue;
        bool ok = false;
        const double f = trimmed.mid(kKey.size()).toDouble(&ok);
        if (ok && std::isfinite(f)) return std::clamp(f, MinFactor, MaxFactor);
    }
    return 1;
}

void TextZoom::setFactor(double factor) {
    // Whole tenths, so that ten steps up and ten down come back to 1 exactly.
    factor = std::clamp(std::round(factor * 10) / 10, MinFactor, MaxFactor);
    if (factor == m_factor) return;
    m_factor = factor;
    apply();
    save();
    emit factorChanged(m_factor);
}

void TextZoom::apply() {
    QFont font = m_window->font();
    font.setPointSizeF(m_baseSize * m_factor);
    m_window->setFont(font);
}

void TextZoom::save() {
    QString reason;
    const QByteArray bytes = kKey + QByteArray::number(m_factor, 'f', 1) + '\n';
    if (!zoma::writeBytes(m_path, bytes, &reason) && m_problem.isEmpty()) m_problem = reason;
}
