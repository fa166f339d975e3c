#pragma once

#include <QWidget>

class QLabel;

namespace kobin {

// The window shown while the program starts: title, version, and what is being loaded.
class Splash : public QWidget
{
public:
    Splash();
    void setCondition(const QString &text); // the phase
    void setItem(const QString &text);      // the item of the phase

private:
    QLabel *m_condition;
    QLabel *m_item;
};

} // namespace kobin
