#pragma once

#include "ItemTree.h"
#include "RichTextFiles.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTextDocument>

// A book made up for search: folders, text items and homepage items whose notes,
// side texts and pages hold text drawn from fragments that fold into each other
// (width, case, kana), written as the program writes them.
class GeneratedBook
{
public:
    struct Shape {
        int items = 60;             // besides the book item
        int homepageEvery = 5;      // every n-th item is a homepage item
        int folderEvery = 7;        // every n-th item is a folder
        int noteFragments = 40;     // fragments per note
        int pageFragments = 200;    // fragments per page
        quint32 seed = 1;
    };

    static const QStringList &fragments()
    {
        static const QStringList list = {
            QStringLiteral("猫"), QStringLiteral("ねこ"), QStringLiteral("ネコ"), QStringLiteral("ﾈｺ"),
            QStringLiteral("Cat"), QStringLiteral("ＣＡＴ"), QStringLiteral("犬"), QStringLiteral("いぬ"),
            QStringLiteral("本"), QStringLiteral("ﾀﾞｲｱﾘｰ"), QStringLiteral("ダイアリー"), QStringLiteral("AND"),
            QStringLiteral("\"q\""), QStringLiteral("*"), QStringLiteral(" "), QStringLiteral("、"),
            QStringLiteral("。"), QStringLiteral("図書館"), QStringLiteral("ｶﾞ"), QStringLiteral("が"),
            QStringLiteral("表計算"), QStringLiteral("software"), QStringLiteral("Ｓｏｆｔ"), QStringLiteral("\n"),
            QStringLiteral("𠮷野家"), // a character beyond the basic plane
        };
        return list;
    }

    // root: an empty folder that takes the working folder and the pages.
    GeneratedBook(const QString &root, const Shape &shape)
        : folder(root + QStringLiteral("/work/")), pageFolder(root + QStringLiteral("/pages/")), working(folder),
          m_random(shape.seed), m_shape(shape)
    {
        QDir().mkpath(folder);
        QDir().mkpath(pageFolder);
        tree.reserve(shape.items + 1);
        tree.add(QString(), kobin::Relationship::Last, QStringLiteral("a1"), QStringLiteral("ブック"), QStringLiteral("root"));
        writeNote(QStringLiteral("a1"), text(shape.noteFragments));
        QString parent = QStringLiteral("a1");
        for (int i = 0; i < shape.items; ++i) {
            const QString key = QStringLiteral("a%1").arg(i + 2);
            const QString caption = text(3).simplified();
            if (i % shape.homepageEvery == shape.homepageEvery - 1) {
                tree.add(parent, kobin::Relationship::Child, key, caption, QStringLiteral("htmlfile"));
                const QString page = pageFolder + QStringLiteral("p%1.html").arg(i + 2);
                writePage(page, text(shape.pageFragments));
                bool stored = working.pageSettings().storePagePath(key, page);
                Q_UNUSED(stored);
                writeNote(key + QStringLiteral("p%1").arg(i + 2), text(shape.noteFragments / 4));
            } else if (i % shape.folderEvery == shape.folderEvery - 1) {
                tree.add(QStringLiteral("a1"), kobin::Relationship::Child, key, caption, QStringLiteral("fclose"));
                writeNote(key, text(shape.noteFragments / 4));
                parent = key;
            } else {
                tree.add(parent, kobin::Relationship::Child, key, caption, QStringLiteral("richtxt"));
                writeNote(key, text(shape.noteFragments));
            }
        }
    }

    QString text(int fragmentCount)
    {
        QString result;
        for (int i = 0; i < fragmentCount; ++i)
            result += fragments()[static_cast<int>(m_random.bounded(static_cast<quint32>(fragments().size())))];
        return result;
    }

    void writeNote(const QString &contentId, const QString &plain)
    {
        QTextDocument document;
        document.setPlainText(plain);
        bool saved = kobin::richtext::saveFile(document, working.textFile(contentId), kobin::richtext::FileType::Rtf);
        Q_UNUSED(saved);
    }

    static void writePage(const QString &path, const QString &plain)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        QString body = plain.toHtmlEscaped();
        body.replace(u'\n', QStringLiteral("<br>\n"));
        file.write(QStringLiteral("<html><head><meta charset=\"utf-8\"><title>page</title>"
                                  "<script>var x = \"猫\";</script></head><body><p>%1</p></body></html>")
                       .arg(body)
                       .toUtf8());
    }

    QString folder;
    QString pageFolder;
    kobin::ItemTree tree;
    kobin::WorkingFolder working;

private:
    QRandomGenerator m_random;
    Shape m_shape;
};
