#pragma once

#include <QColor>
#include <QWidget>

class QComboBox;

namespace kobin {

// The font window: the screen's fonts, sixteen sizes and eight fixed colours for
// the selection of the text pane, kept above every other window while the user
// goes on typing. Only a choice from a list applies anything, not typing into a box.
class FontWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FontWindow(QWidget *parent = nullptr);

    // The selection's font, shown in the boxes; an empty name or a size of 0
    // leaves that box as it is (a selection of several).
    void showSelection(const QString &family, qreal pointSize);

signals:
    void familyChosen(const QString &family);
    void sizeChosen(qreal pointSize);
    void colourChosen(const QColor &colour);
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QComboBox *m_family;
    QComboBox *m_size;
};

} // namespace kobin
