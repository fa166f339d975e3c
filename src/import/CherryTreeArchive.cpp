#include "CherryTreeArchive.h"

#include "ImportReport.h"

#include <QFileInfo>
#include <QProcess>
#include <vector>

namespace kobin::import {

namespace {

constexpr int kListMilliseconds = 60 * 1000;
constexpr int kUnpackMilliseconds = 10 * 60 * 1000;

struct Run {
    bool started = false;
    bool finished = false;
    int exitCode = -1;
    QString output;
};

Run run7z(const QStringList &arguments, const QString &password, int milliseconds)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("7z"), arguments);
    Run result;
    result.started = process.waitForStarted();
    if (!result.started)
        return result;
    // 7z asks for the password on its standard input.
    process.write(password.toUtf8() + '\n');
    process.closeWriteChannel();
    result.finished = process.waitForFinished(milliseconds);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

struct ListedEntry {
    QString name;
    qint64 size = -1;
};

// The archive's entries as 7z's technical listing gives them, after its "----------" line.
std::vector<ListedEntry> entriesOf(const QString &listing)
{
    std::vector<ListedEntry> entries;
    const qsizetype start = listing.indexOf(QLatin1String("\n----------\n"));
    if (start < 0)
        return entries;
    for (const QString &line : listing.mid(start).split(u'\n')) {
        if (line.startsWith(QLatin1String("Path = ")))
            entries.push_back({line.mid(7)});
        else if (line.startsWith(QLatin1String("Size = ")) && !entries.empty())
            entries.back().size = line.mid(7).toLongLong();
    }
    return entries;
}

} // namespace

bool CherryTreeArchive::isArchive(const QString &path)
{
    return path.endsWith(QLatin1String(".ctz"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".ctx"), Qt::CaseInsensitive);
}

QString CherryTreeArchive::unpack(const QString &archive, const QString &password, const QString &folder, QString *failure)
{
    const Run listing = run7z({QStringLiteral("l"), QStringLiteral("-slt"), QStringLiteral("--"), archive}, password, kListMilliseconds);
    if (!listing.started) {
        *failure = quotedPath(archive) + QStringLiteral(" を開くには 7z（Debian の p7zip-full）が要ります。");
        return {};
    }
    const std::vector<ListedEntry> entries = entriesOf(listing.output);
    const bool document = entries.size() == 1
        && (entries[0].name.endsWith(QLatin1String(".ctd")) || entries[0].name.endsWith(QLatin1String(".ctb")))
        && !entries[0].name.contains(u'/') && !entries[0].name.contains(u'\\') && !entries[0].name.startsWith(u'.');
    if (listing.exitCode != 0 || !document) {
        *failure = listing.output.contains(QLatin1String("Wrong password"))
            ? quotedPath(archive) + QStringLiteral(" のパスワードが違います。")
            : quotedPath(archive) + QStringLiteral(" は CherryTree の保護された文書ではありません。");
        return {};
    }
    if (entries[0].size > kMaxDocumentBytes) {
        *failure = quotedPath(archive) + QStringLiteral(" の文書は %1 MB を超えるため開けません。").arg(kMaxDocumentBytes >> 20);
        return {};
    }
    const Run unpacked = run7z({QStringLiteral("e"), QStringLiteral("-y"), QStringLiteral("-bd"), QStringLiteral("-o") + folder,
                                QStringLiteral("--"), archive, entries[0].name},
                               password, kUnpackMilliseconds);
    const QString path = folder + u'/' + entries[0].name;
    const QFileInfo file(path);
    if (unpacked.exitCode == 0 && file.isFile() && !file.isSymLink())
        return path;
    *failure = unpacked.output.contains(QLatin1String("Wrong password"))
        ? quotedPath(archive) + QStringLiteral(" のパスワードが違います。")
        : quotedPath(archive) + QStringLiteral(" を展開できません。");
    return {};
}

} // namespace kobin::import
