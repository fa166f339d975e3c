#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace kobin {

// A book saved under another name takes along the pages it keeps in its own book
// folder, so that the copy shows them once the old folder is gone: a captured
// page's whole folder goes into the new pages folder; any other page goes with
// its files folder ("index_files") to the same place in the new book folder, or,
// where that place is taken, into a pages folder of its own. A page outside the
// old book folder stays where it is.
class PageCarrier
{
public:
    // Both folders end in "/".
    PageCarrier(QString fromFolder, QString toFolder);

    // Where page is in the new book folder (page itself when it lies outside the
    // old one); nullopt when it could not be copied, with the file or folder that
    // failed in *failed. A page carried once is not copied again.
    [[nodiscard]] std::optional<QString> carry(const QString &page, QString *failed);

private:
    std::optional<QString> carryCaptured(const QString &page, const QString &captured, QString *failed);
    std::optional<QString> carryLoose(const QString &page, const QString &relative, QString *failed);

    QString m_from;
    QString m_to;
    QHash<QString, QString> m_copies; // a captured folder or a loose page: its copy
};

} // namespace kobin
