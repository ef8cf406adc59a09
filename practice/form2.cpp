// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/form2.h"

#include "bank/answer_key.h"
#include "common/text_file.h"
#include "common/whole_number.h"
#include "ui/fonts.h"
#include "ui/picture.h"
#include "ui_form2.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPixmap>

#include <limits>

const QString Form2::ResumeQuestion = QStringLiteral("发现上次复习记录，是否从上次记录开始？");
const QString Form2::InputError = QStringLiteral("输入错误");
const QString Form2::RecordError = QStringLiteral("复习记录无法保存：");
const QString Form2::RecordReadError = QStringLiteral("复习记录无法读取：");
const QString Form2::PictureError = QStringLiteral("附图无法读取：");
const QString Form2::IdPrefix = QStringLiteral("试题题号：");
const QString Form2::RecordName = QStringLiteral("record.txt");

namespace {

const QString kTitleSuffix = QStringLiteral("考试题库练习");

// The digits of a whole number, without surrounding blanks or leading zeros.
QString plainDigits(QStringView number) {
    QString digits = number.trimmed().toString();
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits[zeros] == u'0') ++zeros;
    return digits.mid(zeros);
}

// Decimal steps on numbers of any length; a long number must stay exact so
// that the field shows what the user would expect after the step.
QString plusOne(QStringView number) {
    QString digits = plainDigits(number);
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = u'0';
    }
    return u'1' + digits;
}

QString minusOne(QStringView number) {  // number is at least 1
    QString digits = plainDigits(number);
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'0') {
            digits[i] = QChar(digits[i].unicode() - 1);
            break;
        }
        digits[i] = u'9';
    }
    return digits.size() > 1 && digits[0] == u'0' ? digits.mid(1) : digits;
}

}  // namespace

Form2::Form2(const QuestionBank& bank, const SharedValues& values, Dialogs& dialogs,
             RandomOrder& random, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form2>()),
      m_bank(bank),
      m_values(values),
      m_dialogs(dialogs),
      m_random(random) {
    m_ui->setupUi(this);
    setFixedSize(size());
    m_ui->Label3->setFont(zoma::songti(15));
    m_ui->Text3->setFont(zoma::songti(12));
    m_ui->Text1->setFont(zoma::songti(14.25));
    m_ui->Text2->setFont(zoma::songti(14.25));
    m_ui->Text3->setMaxLength(std::numeric_limits<int>::max());
    // Typed characters pass the key filter; an input method would bypass it.
    m_ui->Text3->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_ui->Text3->installEventFilter(this);
    m_ui->Image1->setWordWrap(true);

    connect(m_ui->Text3, &QLineEdit::textChanged, this, &Form2::Text3_Change);
    connect(m_ui->Check1, &QCheckBox::toggled, this, &Form2::Check1_Click);
    connect(m_ui->Check2, &QCheckBox::toggled, this, &Form2::Check2_Click);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &Form2::Command3_Click);

    Form_Load();
}

Form2::~Form2() = default;

void Form2::Form_Load() {
    const QString path = recordPath();
    bool asked = false;
    // A folder in its place is reported when the record is written.
    if (const QFileInfo info(path); info.exists() && !info.isDir()) {
        // An unreadable record counts as none: start at 1 without asking.
        QString text;
        QString error;
        if (!zoma::readTextFile(path, &text, &error)) {
            text.clear();
            m_dialogs.message(RecordReadError + path + u'\n' + error);
        }
        // Only the first line counts; a huge record is not cut into all of its lines.
        LineReader lines(text);
        QStringView recorded;
        lines.next(&recorded);
        const WholeNumber r = WholeNumber::parse(recorded);
        if (r.isNumber() && !r.inRange(0, 0)) {
            asked = true;
            if (m_dialogs.message(ResumeQuestion, Dialogs::Buttons::YesNo) ==
                Dialogs::Answer::Yes) {
                setSequence(plusOne(recorded));
                if (!WholeNumber::parse(m_ui->Text3->text()).inRange(0, m_bank.PaperCount)) {
                    setSequence(QStringLiteral("1"));
                }
            } else {
                setSequence(QStringLiteral("1"));
            }
        }
    }
    if (!asked) setSequence(QStringLiteral("1"));

    m_ui->Label3->setText(m_values.PracticeLevel + kTitleSuffix);
    ShowQuestion();
    m_ui->Label7->setText(QStringLiteral("（序号范围：1 - %1）").arg(m_bank.PaperCount));
    m_ui->Text1->setFocus();
}

std::optional<QString> Form2::currentEntry() const {
    const WholeNumber n = WholeNumber::parse(m_ui->Text3->text());
    if (!n.inRange(1, m_bank.PaperCount)) return std::nullopt;
    return m_bank.PaperIds.value(n.value - 1);
}

void Form2::ShowQuestion() {
    const std::optional<QString> entry = currentEntry();
    if (!entry) return;
    if (const std::optional<int> q = zoma::questionNumber(*entry)) {
        m_ui->Text1->setPlainText(m_bank.BankQuestion.value(*q));
        m_ui->Label5->setText(IdPrefix + m_bank.BankId.value(*q));
        ShowAnswers(*q);
    } else {
        // An entry that names no question: show the entry itself and nothing else.
        m_ui->Text1->clear();
        m_ui->Label5->setText(IdPrefix + *entry);
        m_ui->Text2->clear();
    }
    showPicture(*entry);
}

void Form2::ShowAnswers(int q) {
    const bool onlyCorrect = m_ui->Check1->isChecked();
    QStringList lines;
    for (const QStringView line : zoma::answerLines(m_bank, q, onlyCorrect))
        lines << line.toString();
    if (!onlyCorrect && zoma::hasKey(m_bank, q))
        lines << zoma::kKeyLinePrefix.toString() + zoma::correctLetters(m_bank, q);
    m_ui->Text2->setPlainText(lines.join(QStringLiteral("\r\n")));
}

void Form2::showPicture(const QString& entry) {
    const QString path = zoma::picturePath(m_bank, m_values.folder(), entry);
    QPixmap picture;
    QString problem;
    // A press shows its question twice (the field's change, then the
    // button): the loader decodes the picture once, and again only when the
    // file changes (a speed choice, see BENCHMARKS.md). The box stretches the
    // picture to its own size, so a larger one is decoded at that size.
    if (!path.isEmpty())
        picture = zoma::showPicture(path, m_ui->Image1->size(), m_ui->Image1->devicePixelRatioF(),
                                    Qt::IgnoreAspectRatio, &problem);
    // A missing or undecodable picture leaves the box empty, without a word;
    // one that cannot be read (a FIFO, a device, too large) says why in it.
    if (picture.isNull()) {
        m_ui->Image1->clear();
        if (!problem.isEmpty())
            m_ui->Image1->setText(PictureError + QFileInfo(path).fileName() + u'，' + problem);
    } else {
        m_ui->Image1->setPixmap(picture);
    }
}

void Form2::Check1_Click() {
    const std::optional<QString> entry = currentEntry();
    if (!entry) return;
    if (const std::optional<int> q = zoma::questionNumber(*entry)) {
        ShowAnswers(*q);
    } else {
        m_ui->Text2->clear();
    }
}

void Form2::Text3_Change() {
    const QString text = m_ui->Text3->text();
    if (!text.isEmpty()) {
        if (WholeNumber::parse(text).inRange(1, m_bank.PaperCount)) {
            ShowQuestion();
        } else {
            m_dialogs.message(InputError);
        }
    }
    writeRecord(text);
}

void Form2::setSequence(const QString& text) {
    if (m_ui->Text3->text() == text) {
        Text3_Change();
    } else {
        m_ui->Text3->setText(text);  // textChanged runs Text3_Change before this returns
    }
}

QString Form2::recordPath() const {
    return m_values.folder().appFile(RecordName);
}

void Form2::writeRecord(const QString& text) {
    const QString path = recordPath();
    QString error;
    if (zoma::writeTextFile(path, {text}, &error) || m_recordErrorShown) return;
    // Once per opening: the window stays usable without a record.
    m_recordErrorShown = true;
    m_dialogs.message(RecordError + QDir::toNativeSeparators(path) + u'\n' + error);
}

void Form2::Command1_Click() {
    if (m_ui->Check2->isChecked()) {
        setSequence(QString::number(m_random.draw(m_bank.PaperCount)));
    } else {
        // Empty or non-numeric text counts as 0.
        const WholeNumber n = WholeNumber::parse(m_ui->Text3->text());
        const bool belowEnd = n.kind != WholeNumber::Kind::TooLarge && n.value < m_bank.PaperCount;
        setSequence(belowEnd ? QString::number(n.value + 1) : QStringLiteral("1"));
    }
    ShowQuestion();
}

void Form2::Command3_Click() {
    const QString text = m_ui->Text3->text();
    const WholeNumber n = WholeNumber::parse(text);
    const bool aboveFirst = n.kind == WholeNumber::Kind::TooLarge ||
                            (n.kind == WholeNumber::Kind::Value && n.value > 1);
    setSequence(aboveFirst ? minusOne(text) : QString::number(m_bank.PaperCount));
    ShowQuestion();
}

void Form2::Check2_Click() {
    m_ui->Command3->setEnabled(!m_ui->Check2->isChecked());
}

void Form2::Command2_Click() {
    close();
}

bool Form2::Text3_KeyPress(QChar typed) const {
    return (typed >= u'0' && typed <= u'9') || typed == QChar(8);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_ui->Text3 || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // Shortcuts (copy, paste, select all) and keys that move rather than type
    // are no typed characters.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            break;
    }
    const QString typed = key->text();
    for (const QChar c : typed) {
        if (!Text3_KeyPress(c)) return true;
    }
    return false;
}
