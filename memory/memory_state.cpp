// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory/memory_state.h"

void MemoryState::replay(const QList<ReviewEntry>&, const QString&, const FsrsParams&) {}

void MemoryState::apply(const ReviewEntry&, const FsrsParams&) {}

const QuestionMemory* MemoryState::find(const QString& id) const {
    const auto it = m_questions.constFind(id);
    return it == m_questions.cend() ? nullptr : &*it;
}
