// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/form4.h"

#include "export/output.h"
#include "ui/save_file.h"
#include "ui_form4.h"

// The save rules are shared with the study window's progress export.
const QString& Form4::OverwriteQuestion = SaveTexts::OverwriteQuestion;
const QString Form4::DoneText = QStringLiteral("导出已完成");
const QString& Form4::CannotReplaceText = SaveTexts::CannotReplace;
const QString& Form4::FailedText = SaveTexts::Failed;
const QString Form4::FileFilter = QStringLiteral("题库文件(txt)|*.txt|所有文件(*.*)|*.*");

namespace {
const QString kExportName = QStringLiteral("考试题库.TXT");
}  // namespace

Form4::Form4(const QuestionBank& bank, SharedValues& values, Dialogs& dialogs, Today today,
             QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form4>()),
      m_bank(bank),
      m_values(values),
      m_dialogs(dialogs),
      m_today(std::move(today)) {
    m_ui->setupUi(this);
    setFixedSize(size());
    // The two option buttons answer to their index, as one control group.
    m_ui->Option1->setId(m_ui->Option1_0, 0);
    m_ui->Option1->setId(m_ui->Option1_1, 1);

    connect(m_ui->Command3, &QPushButton::clicked, this, &Form4::Command3_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form4::Command2_Click);

    Form_Load();
}

Form4::~Form4() = default;

void Form4::Form_Load() {
    m_ui->Text1->setText(m_values.AppDir + m_values.PracticeLevel + kExportName);
    m_ui->Option1_0->setChecked(true);
    m_ui->Text1->setFocus();
}

void Form4::Command3_Click() {
    const QString chosen = m_dialogs.openFile(FileFilter, m_values.PracticeLevel + kExportName,
                                              Dialogs::FileMode::Any);
    if (chosen.isEmpty()) return;
    m_values.SelectedFile = chosen;
    m_ui->Text1->setText(m_values.SelectedFile);
    m_ui->Command1->setEnabled(true);
}

void Form4::Command1_Click() {
    const QString path = m_ui->Text1->text();
    const ExportLayout layout =
        m_ui->Option1_0->isChecked() ? ExportLayout::LineSeparated : ExportLayout::CommaSeparated;
    QStringList unusableIds;
    const SaveOutcome outcome =
        zoma::saveFile(m_dialogs, path, [&](QIODevice& out, QString* error) {
            return zoma::output(m_bank, m_values, out, layout, m_ui->Check1->isChecked(), m_today(),
                                &unusableIds, error);
        });
    if (outcome == SaveOutcome::Declined) {
        m_ui->Text1->setFocus();
        return;
    }
    if (outcome == SaveOutcome::Failed) return;
    m_dialogs.message(DoneText);
    if (!unusableIds.isEmpty())
        m_dialogs.message(QStringLiteral("以下题号无法识别，未导出：") + unusableIds.join(u'、'));
}

void Form4::Command2_Click() {
    close();
}
