#pragma once

#include "Book.h"
#include "CommandRegistry.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "KobinApp.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "Settings.h"
#include "TestFiles.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace kobin {

// The program as start-up puts it together, with scripted message boxes, file and
// colour dialogs, in a program folder of its own for each test, which holds a
// sample book and a note left over from a run that crashed.
class KobinAppFixture
{
protected:
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = FakePrompter();
        m_dialogs = FakeFileDialogs();
        writeText(appPath() + "sample.iis", "|0\\Sample=a1+root|a1\\Folder=a2+fclose|a2\\Page=a3+htmlfile|\r\n");
        writeText(appPath() + "sample/a1.rtf", "{\\rtf1\\ansi Book note\\par}");
        writeText(appPath() + "temp/left-over.rtf", "from a run that crashed");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KobinApp> m_app;
    Settings *m_settings = nullptr;
    FakePrompter m_prompter;
    FakeFileDialogs m_dialogs;
    QList<QColor> m_coloursToChoose; // what the colour dialog answers, in turn; cancelled when empty
    int m_colourDialogs = 0;

    QString appPath() const { return m_dir->path() + "/app/"; }
    MainWindow *window() const { return &m_app->window(); }
    ItemTree &tree() const { return m_app->book().tree(); }

    void startWith(const QString &commandLine)
    {
        m_app.reset();
        auto settings = std::make_unique<Settings>(m_dir->filePath("Kobin.ini"), appPath());
        m_settings = settings.get();
        m_app = std::make_unique<KobinApp>(programFoldersAt(appPath()), std::move(settings), true, &m_prompter,
                                           &m_dialogs,
                                           [this](const QColor &) -> std::optional<QColor> {
                                               ++m_colourDialogs;
                                               if (m_coloursToChoose.isEmpty())
                                                   return std::nullopt;
                                               return m_coloursToChoose.takeFirst();
                                           });
        m_app->start(commandLine);
    }

    // Adds a text item beside the chosen one, named in the item name dialog; returns where the dialog stood.
    QRect addTextItem(const QString &name)
    {
        QRect where;
        QTimer::singleShot(0, &m_app->window(), [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                where = dialog->frameGeometry();
                dialog->findChild<QLineEdit *>()->setText(name);
                dialog->accept();
            }
        });
        m_app->commands().run(Command::NewTextBeside);
        return where;
    }

    void stop()
    {
        m_app->lifecycle().unload();
        m_settings->sync();
    }
};

} // namespace kobin
