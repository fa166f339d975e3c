#include "ImportReport.h"

#include <QDir>

namespace kobin::import {

void ImportReport::leaveOut(const QString &title, const QString &what)
{
    leftOut.append(QStringLiteral("「") + title + QStringLiteral("」 ") + what);
}

QString ImportReport::text() const
{
    QString text = QStringLiteral("取り込んだ項目: %1 個（フォルダ %2、テキスト %3、ホームページ %4、ブックマーク %5）\n")
                       .arg(items())
                       .arg(folders)
                       .arg(notes)
                       .arg(pages)
                       .arg(bookmarks);
    text += QStringLiteral("ページ: %1、絵: %2、ページのメモ: %3\n").arg(pages).arg(pictures).arg(comments);
    if (leftOut.isEmpty())
        return text + QStringLiteral("取り込めなかったものはありません。\n");
    text += QStringLiteral("取り込めなかったもの（%1 件）:\n").arg(leftOut.size());
    for (const QString &line : leftOut)
        text += QStringLiteral("  ") + line + u'\n';
    return text;
}

QString quotedPath(const QString &path)
{
    return QStringLiteral("「 ") + QDir::toNativeSeparators(path) + QStringLiteral(" 」");
}

} // namespace kobin::import
