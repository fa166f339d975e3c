#pragma once

#include <QColor>
#include <QDialog>
#include <array>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace kobin {

// The options dialog: the five named custom colours the Edit menu offers. A
// colour button asks for a colour; "更新" applies the names and colours and the
// dialog stays, "OK" applies and closes, "ｷｬﾝｾﾙ" drops what was not applied.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    using Names = std::array<QString, 5>;
    using Colours = std::array<QColor, 5>;
    using ColourChooser = std::function<std::optional<QColor>(const QColor &initial)>;
    using Apply = std::function<void(const Names &, const Colours &)>;

    OptionsDialog(const Names &names, const Colours &colours, ColourChooser chooseColour, Apply onApply,
                  QWidget *parent = nullptr);

    void apply();

private:
    void paint(int slot);

    std::array<QLineEdit *, 5> m_names{};
    std::array<QPushButton *, 5> m_buttons{};
    Colours m_colours;
    ColourChooser m_chooseColour;
    Apply m_apply;
};

} // namespace kobin
