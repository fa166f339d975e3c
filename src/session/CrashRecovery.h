#pragma once

#include "ItemTree.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace kobin {

class Book;
class ItemDisplay;
class Prompter;
class WindowStatus;

// Keeps unsaved work where a crash cannot take it: while the program runs, a
// marker in the program folder names the open book, the text shown is stored
// into the working folder soon after typing stops, and the tree string is
// written beside the notes whenever the tree changes. None of it marks or
// unmarks the book. At the next start, leftovers of a run that did not end
// cleanly are offered back, or moved aside into the user's data folder.
class CrashRecovery : public QObject, private ItemTreeObserver
{
    Q_OBJECT

public:
    struct Services {
        Book &book;
        ItemDisplay &display;
        WindowStatus &status;
        Prompter &prompter;
    };
    // dataFolder: the per-user data folder; leftovers set aside go below it.
    CrashRecovery(Services services, const QString &dataFolder);
    ~CrashRecovery() override;

    static constexpr int kIdleMilliseconds = 2000;
    static constexpr int kKeptLeftovers = 5;

    // At start, before the working folder is touched: when the last run left work
    // behind, asks whether to bring it back. True when the recovered book is open
    // (marked changed); false when the start goes on as usual.
    bool recoverAtStart();

    // From now until finish(), the marker names the open book.
    void begin();
    // A clean exit: nothing is left to recover.
    void finish();

    // The text pane changed: its text is kept once typing stops.
    void textChanged();
    // Keeps the text shown and, when the tree changed, the tree string, now (the
    // window lost the focus, or typing stopped).
    void keepWork();

    QString markerPath() const;
    QString treeFilePath() const;
    QString leftoversFolder() const { return m_dataFolder + QStringLiteral("/recovered/"); }

private:
    void itemAboutToBeAdded(TreeItem *, int) override {}
    void itemAdded(TreeItem *) override { treeChanged(); }
    void itemAboutToBeRemoved(TreeItem *) override {}
    void itemRemoved() override { treeChanged(); }
    void treeAboutToBeCleared() override {}
    void treeCleared() override { treeChanged(); }
    void itemChanged(TreeItem *) override { treeChanged(); }
    void selectionChanged(TreeItem *) override {}

    void treeChanged();
    [[nodiscard]] bool keepTree();
    void writeMarker();
    void restore(const QString &bookPath, const QString &bookName);
    void setLeftoversAside();

    Services m_services;
    QString m_dataFolder;
    QTimer m_idle;
    bool m_treeChanged = false;
    bool m_running = false;
};

} // namespace kobin
