#pragma once

#include "BookStore.h"

#include <QTextEdit>

namespace kobin {

// The text pane: a note or a page's side text, edited in place and kept as RTF.
class TextPane : public QTextEdit, public TextPaneFiles
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);

    // Replaces the document with the RTF file; false (document unchanged) when it cannot be read.
    bool loadRichText(const QString &path);
    bool saveRichText(const QString &path) override;

    void setBackColor(const QColor &color);

signals:
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kobin
