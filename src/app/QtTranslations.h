#pragma once

#include <QTranslator>
#include <memory>
#include <vector>

namespace kobin {

// Qt's own texts in Japanese while it lives: the catalogues Qt ships for the parts of Qt that
// Kobin shows (qtbase: buttons, message boxes, the file and colour dialogs, the command line's
// help; qt_help: the help window; qtwebengine where a later Qt ships it), and the few texts
// those catalogues leave in English. Needs the application object.
class QtTranslations
{
public:
    QtTranslations();
    ~QtTranslations();
    QtTranslations(const QtTranslations &) = delete;
    QtTranslations &operator=(const QtTranslations &) = delete;

private:
    std::vector<std::unique_ptr<QTranslator>> m_translators;
};

} // namespace kobin
