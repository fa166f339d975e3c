#pragma once

#include "BookView.h"

namespace kobin {

class MainWindow;

// The book's view of the main window.
class MainWindowBookView : public BookView
{
public:
    explicit MainWindowBookView(MainWindow &window) : m_window(window) {}

    bool saveText(const QString &path) override;
    bool loadText(const QString &path) override;
    void clearText() override;
    float stackedSplit() const override;
    void setStackedSplit(float twips) override;
    float sideSplit() const override;
    void setSideSplit(float twips) override;
    float contentWidth() const override;
    float contentHeight() const override;
    void sizeControls() override;
    void updateCommandState(const QString &kind) override;
    void setBackEnabled(bool enabled) override;
    void setChangeUrlEnabled(bool enabled) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    void setTreeEnabled(bool enabled) override;
    void expandAll() override;
    void setBrowserShown(bool shown) override;
    void navigate(const QString &page) override;
    void startPageTimer() override;
    bool isPageSourceEditing() const override;
    void leavePageSourceEditing() override;
    void processEvents() override;

private:
    MainWindow &m_window;
};

} // namespace kobin
