#pragma once

#include "BookFile.h"
#include "TestFiles.h"

#include <QString>

// A book as a Windows copy of the program leaves it, brought into home (a program
// folder): "book.iis" and its folder "book/" with a note for the book item, a
// folder and two text items, and two homepage items whose url files hold
// "C:\..." paths, written with other capitals ("A5url.txt", "a5Index.rtf"); the
// pages lie in home/pages/ with a folder of files of their own.
namespace windowsbook {

inline QByteArray note(const QByteArray &text)
{
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil MS UI Gothic;}}\\f0\\fs20 " + text + "\\par\n}";
}

inline const char *kTreeString = "|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\Text <one>=a3+richtxt|"
                                 "a1\\Second text=a4+richtxt|a2\\Web page=a5+htmlfile|a1\\Other page=a6+htmlfile|";

inline void write(const QString &home)
{
    QVERIFY(QDir().mkpath(home));
    QVERIFY(kobin::writeBookFile(home + "/book.iis", QString::fromLatin1(kTreeString)));
    const QString folder = home + "/book/";
    writeText(folder + "a1.rtf", note("The book's note"));
    writeText(folder + "a2.rtf", note("A folder note"));
    writeText(folder + "a3.rtf", note("Plain and {\\b bold} & <marked>"));
    writeText(folder + "A4.rtf", note("Second text"));
    writeText(folder + "A5url.txt", "C:\\Program Files\\Kobin\\pages\\Index.htm\r\n");
    writeText(folder + "a5Index.rtf", note("Side note of the page"));
    writeText(folder + "a6url.txt", "C:\\Documents and Settings\\me\\PAGES\\other.HTML\r\n");
    writeText(folder + "a6other.rtf", note("Side note of the other page"));
    writeText(home + "/pages/index.htm",
              "<html><head><meta charset=\"utf-8\"><link rel=\"stylesheet\" href=\"index_files/style.css\"></head>"
              "<body><img src=\"index_files/picture.png\"><a href=\"other.html\">other</a></body></html>");
    writeText(home + "/pages/index_files/style.css", "body { color: black; }");
    writeText(home + "/pages/index_files/picture.png", "not really a picture");
    writeText(home + "/pages/other.html", "<html><body><a href=\"index.htm\">back</a></body></html>");
}

} // namespace windowsbook
