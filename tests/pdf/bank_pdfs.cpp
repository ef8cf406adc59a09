// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/pdf/bank_pdfs.h"

#include "tests/pdf/pdf_maker.h"

#include <QDir>

namespace bankpdfs {

QStringList record(const QString& labels, const QString& id, const QString& question,
                   const QString& key, const QString& picture, const QString& answerTag) {
    QStringList lines{labels, QStringLiteral("[P]1.1.1"), QStringLiteral("[I]") + id};
    const QStringList parts = question.split(u'\n');
    lines << QStringLiteral("[Q]") + parts.first() << parts.mid(1);
    lines << QStringLiteral("[T]") + key << answerTag + QStringLiteral("甲") + id
          << QStringLiteral("[B]乙") + id << QStringLiteral("[C]丙") + id
          << QStringLiteral("[D]丁") + id;
    if (!picture.isEmpty()) lines << QStringLiteral("[F]") + picture;
    return lines;
}

bool writeBankPdf(const QString& path, const QStringList& lines, int perPage) {
    QList<QStringList> pages;
    for (qsizetype i = 0; i < lines.size(); i += perPage) {
        QStringList page = lines.mid(i, perPage);
        page << QString::number(pages.size() + 1);
        pages << page;
    }
    return pdfmaker::writeTextPdf(path, pages);
}

QStringList writeBankSet(const QString& dir) {
    const QStringList q1 =
        record(QStringLiteral("[J]LY0001"), QStringLiteral("MC2-0001"),
               QStringLiteral("我国业余无线电台的管理\n由哪个部门负责："), QStringLiteral("AC"));
    const QStringList q2 = record(QStringLiteral("[J]LK0002"), QStringLiteral("MC1-0002"),
                                  QStringLiteral("图中的天线是什么："), QStringLiteral("A"),
                                  QStringLiteral("LK0002.jpg"));
    const QStringList q3 = record(QStringLiteral("[J]LY0014、[J]LY0017"),
                                  QStringLiteral("MC1-0003"), QStringLiteral("图中的电路是："),
                                  QStringLiteral("BCD"), QStringLiteral("LK0003.jpg"));
    const QStringList q3whole =
        record(QStringLiteral("[J]LY0014、[J]LY0017"), QStringLiteral("MC1-0003"),
               QStringLiteral("图中的电路是什么："), QStringLiteral("BCD"),
               QStringLiteral("LK0003.jpg"), QStringLiteral("A]"));
    const QStringList paths{
        dir + QStringLiteral("/A类题库.pdf"), dir + QStringLiteral("/B类题库.pdf"),
        dir + QStringLiteral("/总题库.pdf"), dir + QStringLiteral("/总题库附图标记.pdf")};
    // Three lines a page put a page number between [I] and [Q].
    bool ok = writeBankPdf(paths[0], q1 + q2, 3);
    ok = ok && writeBankPdf(paths[1], q1 + q2 + q3, 20);
    ok = ok && writeBankPdf(paths[2], q1 + q2 + q3whole, 40);
    QImage mono(20, 20, QImage::Format_Mono);
    mono.fill(1);
    ok = ok && pdfmaker::writeSheetPdf(paths[3],
                                       {{0, QRectF(100, 100, 60, 45), pdfmaker::picture(2),
                                         QStringLiteral("LK0002"), QPointF(25, 0)},
                                        {0, QRectF(180, 100, 60, 45), pdfmaker::picture(3),
                                         QStringLiteral("LK000"), QPointF(25, 0)},
                                        {0, QRectF(260, 40, 20, 20), mono, QString(), QPointF()}});
    return ok ? paths : QStringList();
}

QString bankSetSummary() {
    return QStringLiteral(
        "PDF题库导入完成：\n"
        "A类：2题\n"
        "B类：3题\n"
        "附图：2张\n"
        "修正：\n"
        "总题库.pdf：MC1-0003的答案标记“A]”按“[A]”读取\n"
        "总题库附图标记.pdf：图片标题“LK000”按“LK0003”读取（唯一以它开头的标签）\n"
        "与总题库.pdf不一致（以各类题库为准）：\n"
        "MC1-0003（B类）：[Q]不同");
}

}  // namespace bankpdfs
