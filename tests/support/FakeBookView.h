#pragma once

#include "BookView.h"

#include <QFile>
#include <QStringList>
#include <functional>

// The main window as the book sees it: the text pane is a plain string stored in
// and loaded from files; everything else is recorded.
class FakeBookView : public kobin::BookView
{
public:
    QString text;
    float stacked = 3720;
    float side = 1080;
    float width = 9000;
    float height = 5000;
    QString shownCaption;
    QString status;
    QStringList kinds;
    QStringList navigated;
    bool treeEnabled = true;
    bool backEnabled = false;
    bool changeUrlEnabled = false;
    bool browserShown = false;
    bool pageTimerStarted = false;
    bool pageSourceEditing = false;
    int layouts = 0;

    bool saveText(const QString &path) override
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
    }
    bool loadText(const QString &path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        text = QString::fromUtf8(file.readAll());
        return true;
    }
    void clearText() override { text.clear(); }
    float stackedSplit() const override { return stacked; }
    void setStackedSplit(float twips) override { stacked = twips; }
    float sideSplit() const override { return side; }
    void setSideSplit(float twips) override { side = twips; }
    float contentWidth() const override { return width; }
    float contentHeight() const override { return height; }
    void sizeControls() override { ++layouts; }
    void updateCommandState(const QString &kind) override
    {
        kinds << kind;
        backEnabled = false;
        changeUrlEnabled = kind == QLatin1String("html");
    }
    void setBackEnabled(bool enabled) override { backEnabled = enabled; }
    void setChangeUrlEnabled(bool enabled) override { changeUrlEnabled = enabled; }
    QString caption() const override { return shownCaption; }
    void setCaption(const QString &caption) override { shownCaption = caption; }
    QString statusText() const override { return status; }
    void setStatusText(const QString &text) override { status = text; }
    void setTreeEnabled(bool enabled) override { treeEnabled = enabled; }
    void expandAll() override {}
    void setBrowserShown(bool shown) override { browserShown = shown; }
    void navigate(const QString &page) override { navigated << page; }
    void startPageTimer() override { pageTimerStarted = true; }
    bool isPageSourceEditing() const override { return pageSourceEditing; }
    void leavePageSourceEditing() override { pageSourceEditing = false; }
    std::function<void()> duringEvents; // what arrives while pending events run (once)
    void processEvents() override
    {
        if (duringEvents) {
            auto arrive = std::move(duringEvents);
            duringEvents = nullptr;
            arrive();
        }
    }
};
