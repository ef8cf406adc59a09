// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Ctrl++ / Ctrl+- / Ctrl+0 on a window the program adds: its text grows,
// shrinks or returns to the desktop's size, and the factor is kept in a small
// file of the program folder so that the next window opens at it. The
// windows of the base program keep their fixed layout and never get one.
class TextZoom final : public QObject {
    Q_OBJECT

public:
    static const QString FileName;  // "text_zoom.txt"
    static constexpr double MinFactor = 0.8;
    static constexpr double MaxFactor = 2.0;
    static constexpr double Step = 0.1;

    // Reads the kept factor (a file that cannot be read counts as 1) and
    // applies it to window, whose font is taken as the size at 1.
    TextZoom(QWidget* window, QString path);

    double factor() const { return m_factor; }
    void setFactor(double factor);
    // Why the factor could not be kept, or empty text; each failure once.
    const QString& problem() const { return m_problem; }

    // The factor stored in a file's bytes, or 1 for anything else.
    static double parse(const QByteArray& bytes);

public slots:
    void zoomIn() { setFactor(m_factor + Step); }
    void zoomOut() { setFactor(m_factor - Step); }
    void reset() { setFactor(1); }

signals:
    void factorChanged(double factor);

private:
    void apply();
    void save();

    QWidget* m_window;
    QString m_path;
    double m_baseSize;
    double m_factor = 1;
    QString m_problem;
};
