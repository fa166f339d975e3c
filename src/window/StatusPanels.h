#pragma once

#include <QStatusBar>
#include <functional>

class QLabel;
class QTimer;

namespace kobin {

// The status bar's five panels: a text (the book or page name), the date, the
// time, Caps Lock and Insert. The clock panels are kept current once a second.
class StatusPanels : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusPanels(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);

    // Whether the text pane inserts (true) or overwrites.
    void setInsertModeSource(std::function<bool()> source) { m_insertMode = std::move(source); }
    void refresh();

private:
    QLabel *m_text;
    QLabel *m_date;
    QLabel *m_time;
    QLabel *m_caps;
    QLabel *m_insert;
    QTimer *m_clock;
    std::function<bool()> m_insertMode;
};

// Whether Caps Lock is on, where the window system tells.
bool capsLockOn();

} // namespace kobin
