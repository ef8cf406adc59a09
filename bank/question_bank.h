// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/program_folder.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Fixed-size text slots, indexed 0 to 2000. An index outside that range is
// refused: set() reports it and touches nothing, value() yields empty text.
class TextSlots final {
public:
    static constexpr qsizetype Size = 2001;

    static constexpr bool contains(qint64 index) { return index >= 0 && index < Size; }

    QString value(qint64 index) const { return contains(index) ? m_slots[index] : QString(); }
    // The same without a copy, for readers of many slots; valid until the
    // slot is written again.
    QStringView view(qint64 index) const {
        return contains(index) ? QStringView(m_slots[index]) : QStringView();
    }
    [[nodiscard]] bool set(qint64 index, const QString& text);
    // The same for a piece of a larger text; a slot that is not shared keeps
    // its storage when the text fits, so reading a bank again allocates little
    // (a speed choice, see BENCHMARKS.md).
    [[nodiscard]] bool assign(qint64 index, QStringView text);
    // The same for two pieces joined, such as a tag and its text.
    [[nodiscard]] bool assign(qint64 index, QStringView head, QStringView tail);

private:
    std::array<QString, Size> m_slots;
};

// The one question store of a run: the bank by question number, and the paper
// list of the level read last by position. A question of the 2025 edition
// carries its correct letters in Keys; one of the earlier editions has empty
// Keys, Label, Category and Picture, and its correct answer is OptionA.
struct QuestionBank {
    TextSlots BankId;
    TextSlots BankQuestion;
    TextSlots OptionA;  // whole answer lines, "[A]text"
    TextSlots OptionB;
    TextSlots OptionC;
    TextSlots OptionD;
    TextSlots Keys;      // the correct letters in letter order, such as "AC"
    TextSlots Label;     // the labels, joined by "、"
    TextSlots Category;  // such as "1.1.1"
    TextSlots Picture;   // the picture's file name, empty when there is none
    TextSlots PaperIds;
    int PaperCount = 0;
};

// Paths and the level shared by the windows.
struct SharedValues {
    QString AppDir;         // program directory, ending in one separator
    QString LibDir;         // AppDir + "lib", no separator at its end
    QString PracticeLevel;  // level at the last press of review or export
    QString SelectedFile;   // path picked in the last file dialog

    ProgramFolder folder() const { return {AppDir, LibDir}; }
    void setFolder(const ProgramFolder& folder) {
        AppDir = folder.appDir();
        LibDir = folder.libDir();
    }
};

namespace zoma {

// The question number of an identifier such as LK0012: its text from the third
// character on, when that is a whole number from 0 to 2000. An identifier of
// the 2025 edition, MC2-0012, gives the number after its hyphen.
std::optional<int> questionNumber(QStringView identifier);

}  // namespace zoma
