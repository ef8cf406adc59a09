// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "memory/level_questions.h"
#include "memory/memory_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace zoma {

// The progress file of a level: UTF-8 with a byte-order mark, CR LF, fields
// quoted as RFC 4180 asks. A header line, then every question of the level in
// bank order: 题号, 标签, 章节, 状态, 复习次数, 遗忘次数, 稳定性, 难度,
// 当前记忆概率, 下次复习, 上次作答, 对错. Times are local, at now.
QByteArray progressCsv(const QList<LevelQuestion>& level, const MemoryState& memory,
                       const QDateTime& now, const FsrsParams& params = {});

// One CSV field, quoted when it holds a comma, a quote or a line end.
QString csvField(const QString& text);

// Writes progressCsv to path through the part-file writer; the old file
// stays as it was on failure.
bool writeProgressCsv(const QString& path, const QList<LevelQuestion>& level,
                      const MemoryState& memory, const QDateTime& now, QString* error,
                      const FsrsParams& params = {});

}  // namespace zoma
