#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtTest>

// Small files written and read back by tests.
inline void writeText(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

inline QByteArray readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Points the desktop trash into folder, with the home folder it has to share a disk
// with, so that tests neither fill the user's trash nor depend on where it lies.
// Returns the folder that takes the trashed files.
inline QString trashIn(const QString &folder)
{
    QDir().mkpath(folder + QStringLiteral("/home/data"));
    qputenv("HOME", QFile::encodeName(folder + QStringLiteral("/home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder + QStringLiteral("/home/data")));
    return folder + QStringLiteral("/home/data/Trash/files/");
}
