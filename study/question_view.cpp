// SPDX-License-Identifier: GPL-3.0-or-later
#include "study/question_view.h"

#include "bank/answer_key.h"
#include "ui/picture.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>

#include <algorithm>
#include <cmath>

namespace {

const QSize kPictureBox(320, 240);
constexpr int kLines = 16;  // the most the view asks for, in lines of text

}  // namespace

QuestionView::QuestionView(const QuestionBank& bank, const SharedValues& values, QWidget* parent)
    : QWidget(parent),
      m_bank(bank),
      m_values(values),
      m_text(new QTextBrowser(this)),
      m_picture(new QLabel(this)) {
    m_text->setObjectName(QStringLiteral("questionText"));
    m_picture->setObjectName(QStringLiteral("questionPicture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFixedSize(kPictureBox);
    m_picture->hide();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_picture);
    // A new question, a new width or a new font changes the height it needs.
    connect(m_text->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged,
            this, [this] { updateGeometry(); });
}

QSize QuestionView::minimumSizeHint() const {
    const QSize least = QWidget::minimumSizeHint();
    const int text = int(std::ceil(m_text->document()->size().height())) + 2 * m_text->frameWidth();
    const int height = std::min(text, m_text->fontMetrics().lineSpacing() * kLines);
    return {least.width(), std::max(least.height(), height)};
}

void QuestionView::showQuestion(int q) {
    m_picture->clear();
    m_picture->hide();
    if (q < 0) {
        m_text->clear();
        return;
    }
    const QString keys = zoma::correctLetters(m_bank, q);
    QString html = QStringLiteral("<p><b>%1</b>").arg(m_bank.BankId.value(q).toHtmlEscaped());
    for (const TextSlots* slot : {&m_bank.Label, &m_bank.Category}) {
        if (!slot->view(q).isEmpty()) html += QStringLiteral("　") + slot->value(q).toHtmlEscaped();
    }
    html += QStringLiteral("</p><p>%1</p>").arg(m_bank.BankQuestion.value(q).toHtmlEscaped());
    const QVarLengthArray<QStringView, 4> lines = zoma::answerLines(m_bank, q, false);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].toString().toHtmlEscaped();
        // The correct answers bold with a tick; colour alone would fail a
        // reader who cannot tell red from green, and the palette decides it.
        html += keys.contains(QChar(u'A' + i)) ? QStringLiteral("<p><b>✔ %1</b></p>").arg(line)
                                               : QStringLiteral("<p>　 %1</p>").arg(line);
    }
    html += QStringLiteral("<p>正确答案：%1</p>").arg(keys);
    m_text->setHtml(html);
    const QString path = zoma::picturePath(m_bank, m_values.folder(), m_bank.BankId.view(q));
    if (path.isEmpty()) return;
    m_picture->setAccessibleName(m_bank.BankId.value(q) + QStringLiteral(" 附图"));
    QString problem;
    const QPixmap picture =
        zoma::showPicture(path, kPictureBox, devicePixelRatioF(), Qt::KeepAspectRatio, &problem);
    if (picture.isNull()) {
        m_picture->setText(problem.isEmpty() ? QStringLiteral("附图无法显示") : problem);
    } else {
        m_picture->setPixmap(picture);
    }
    m_picture->show();
}

QString QuestionView::text() const {
    return m_text->toPlainText();
}

bool QuestionView::hasPicture() const {
    return !m_picture->pixmap().isNull();
}
