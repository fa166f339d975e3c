#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QLineEdit;

namespace kobin::search {

// The find bar: a line over the top of the pane it finds in (the text pane or
// the page), with the text to find, previous and next, and what was found.
// Enter finds the next match, Shift+Enter the one before, Escape closes it.
class FindBar : public QFrame
{
    Q_OBJECT

public:
    explicit FindBar(QWidget *parent = nullptr);

    // Shows the bar over the top of target and puts the focus into it.
    void openOver(QWidget *target);
    QWidget *target() const { return m_target; }
    bool isOpen() const { return isVisible(); }
    void close();

    QString text() const;
    void setText(const QString &text);
    // "2 / 5", or "見つかりません".
    void showOutcome(int active, int total);

signals:
    void textEdited(const QString &text);
    void nextWanted();
    void previousWanted();
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void place();

    QLineEdit *m_edit;
    QLabel *m_outcome;
    QPointer<QWidget> m_target;
};

} // namespace kobin::search
