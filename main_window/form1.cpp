// SPDX-License-Identifier: GPL-3.0-or-later
#include "main_window/form1.h"

#include "bank/read_data.h"
#include "import/form3.h"
#include "ui/fonts.h"
#include "ui_form1.h"

const QString Form1::FarewellText =
    QStringLiteral("感谢使用本复习工具，祝各位考试成功。de qz0xy k");
const QString Form1::ReimportQuestion = QStringLiteral("题库文件已经解压过，重新解压覆盖吗？");

Form1::Form1(QuestionBank& bank, SharedValues& values, Dialogs& dialogs, WindowRegistry& windows,
             const QString& programDir, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form1>()),
      m_bank(bank),
      m_values(values),
      m_dialogs(dialogs),
      m_windows(windows) {
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->Label3->setFont(zoma::songti(15.75));
    m_ui->Label2->setFont(zoma::songti(7.5));

    connect(m_ui->Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(m_ui->Combo1, &QComboBox::currentIndexChanged, this, &Form1::Combo1_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(m_ui->Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_ui->examButton, &QPushButton::clicked, this, &Form1::examClicked);
    connect(m_ui->studyButton, &QPushButton::clicked, this, &Form1::studyClicked);

    Form_Load(programDir);
}

Form1::~Form1() = default;

void Form1::Form_Load(const QString& programDir) {
    m_values.setFolder(ProgramFolder(programDir));
    m_ui->Combo1->addItems({QStringLiteral("A类"), QStringLiteral("B类"), QStringLiteral("C类")});
    m_ui->Combo1->setCurrentIndex(0);
    Combo1_Click();
    m_ui->Command2->setFocus();
}

void Form1::Combo1_Click() {
    m_ui->Command5->setEnabled(false);
    m_ui->Command1->setEnabled(false);
    m_ui->examButton->setEnabled(false);
    m_ui->studyButton->setEnabled(false);
}

void Form1::Command4_Click() {
    const QString level = m_ui->Combo1->currentText();
    const LoadResult result = zoma::ReadData(m_bank, m_values, level);
    m_dialogs.message(result.message(level));
    if (result.status == LoadResult::Status::Loaded) {
        m_ui->Command1->setEnabled(true);
        m_ui->Command5->setEnabled(true);
        // An exam needs questions to draw.
        m_ui->examButton->setEnabled(m_bank.PaperCount > 0);
        // Studying asks the exam's questions: open exactly when the exam is.
        m_ui->studyButton->setEnabled(m_ui->examButton->isEnabled());
    }
}

void Form1::Command1_Click() {
    m_values.PracticeLevel = m_ui->Combo1->currentText();
    m_windows.open(WindowRegistry::Window::Practice);
}

void Form1::Command5_Click() {
    m_values.PracticeLevel = m_ui->Combo1->currentText();
    m_windows.open(WindowRegistry::Window::Export);
}

void Form1::examClicked() {
    // Unlike review and export this leaves PracticeLevel alone: the exam
    // window takes its level from here.
    m_examLevel = m_ui->Combo1->currentText();
    m_windows.open(WindowRegistry::Window::Exam);
}

void Form1::studyClicked() {
    // Like the exam, the study window takes its level from here.
    m_studyLevel = m_ui->Combo1->currentText();
    m_windows.open(WindowRegistry::Window::Study);
}

void Form1::Command2_Click() {
    if (zoma::hasBank(m_values.folder()) &&
        m_dialogs.message(ReimportQuestion, Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return;
    }
    m_windows.open(WindowRegistry::Window::Import);
}

void Form1::Command3_Click() {
    // An import under way is cancelled, or finished where it can no longer
    // be, and its window closed before the farewell: the user is leaving,
    // and nothing of the import should wait behind the farewell.
    auto* import = qobject_cast<Form3*>(m_windows.find(WindowRegistry::Window::Import));
    if (import && import->importing()) {
        if (m_exitWaits) return;
        m_exitWaits = true;
        connect(import, &Form3::importEnded, this, &Form1::farewell,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        import->close();
        return;
    }
    farewell();
}

void Form1::farewell() {
    m_exitWaits = false;
    m_dialogs.message(FarewellText);
    close();
}
