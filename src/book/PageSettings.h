#pragma once

#include <QString>
#include <optional>

namespace kobin {

class WorkingFolder;

// What the open book keeps of its pages in small content files: the page path a
// homepage item's url file holds, and the splitter positions kept for a page's
// side text. Read and written through the working folder.
class PageSettings
{
public:
    explicit PageSettings(const WorkingFolder &folder) : m_folder(folder) {}

    // The page path a homepage item's url file holds; nullopt when it cannot be read.
    std::optional<QString> pagePath(const QString &key) const;
    // Writes the item's url file: the page path and CR LF in the system's encoding,
    // whole or not at all.
    [[nodiscard]] bool storePagePath(const QString &key, const QString &page) const;

    // The splitter positions kept for a page's side text; nullopt when none is kept.
    std::optional<float> stackedSplit(const QString &contentId) const;
    std::optional<float> sideSplit(const QString &contentId) const;
    // Keeps them in folder (the book folder of a book left unchanged). On failure
    // names the file that could not be written.
    [[nodiscard]] static bool storeSplits(const QString &folder, const QString &contentId, float stacked, float side,
                                          QString *failedFile = nullptr);
    // Keeps them in the working folder, unless they are what is kept already.
    [[nodiscard]] bool storeSplits(const QString &contentId, float stacked, float side,
                                   QString *failedFile = nullptr) const;

private:
    const WorkingFolder &m_folder;
};

} // namespace kobin
