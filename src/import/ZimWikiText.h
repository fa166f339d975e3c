#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace kobin::import {

// A Zim page's wiki text as a note.
struct ZimNote {
    QByteArray rtf;
    int pictures = 0;
    QStringList leftOut; // page links kept as text, tags, pictures not found
};

// Zim's wiki text (headings, bold, italic, highlight, strike, fixed pitch,
// raised and lowered text, lists and checkboxes, links, pictures, verbatim
// blocks and tables) built into a QTextDocument, as the editor would hold it,
// and that into RTF. Only Zim itself parses this dialect (in Python): Debian
// has no C or C++ library for it.
class ZimWikiText
{
public:
    // The bytes of a picture the page names ("./a.png"), empty when there is none.
    using PictureSource = std::function<QByteArray(const QString &name)>;

    explicit ZimWikiText(PictureSource pictures) : m_pictures(std::move(pictures)) {}

    // The page's text after its header lines.
    ZimNote convert(const QString &text) const;

private:
    PictureSource m_pictures;
};

// A page file's text without its header ("Content-Type: text/x-zim-wiki" up
// to the first empty line); the creation date, when given, in *created.
QString zimPageBody(const QString &file, QString *created);

} // namespace kobin::import
