#pragma once

#include <QTextEdit>

namespace kobin {

// The text pane: a note or a page's side text, edited in place and kept as RTF.
class TextPane : public QTextEdit
{
    Q_OBJECT

public:
    explicit TextPane(QWidget *parent = nullptr);

    // Replaces the document with the RTF file; false (document unchanged) when it cannot be read.
    [[nodiscard]] bool loadRichText(const QString &path);
    // Writes the document as RTF, replacing the file whole or not at all.
    [[nodiscard]] bool saveRichText(const QString &path);

    void setBackColor(const QColor &color);

signals:
    void focusEntered();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kobin
