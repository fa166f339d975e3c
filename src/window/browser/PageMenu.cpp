#include "PageMenu.h"

#include <QAction>
#include <QWebEnginePage>

namespace kobin {

namespace {

using Action = QWebEnginePage::WebAction;

struct ActionText
{
    Action action;
    const char16_t *text;
};

constexpr ActionText kTexts[] = {
    {QWebEnginePage::Back, u"戻る(&B)"},
    {QWebEnginePage::Forward, u"進む(&O)"},
    {QWebEnginePage::Stop, u"中止(&S)"},
    {QWebEnginePage::Reload, u"更新(&R)"},
    {QWebEnginePage::ReloadAndBypassCache, u"更新(&R)"},
    {QWebEnginePage::Cut, u"切り取り(&T)"},
    {QWebEnginePage::Copy, u"コピー(&C)"},
    {QWebEnginePage::Paste, u"貼り付け(&P)"},
    {QWebEnginePage::PasteAndMatchStyle, u"書式なしで貼り付け"},
    {QWebEnginePage::Undo, u"元に戻す(&U)"},
    {QWebEnginePage::Redo, u"やり直し(&R)"},
    {QWebEnginePage::SelectAll, u"すべて選択(&A)"},
    {QWebEnginePage::Unselect, u"選択の解除"},
    {QWebEnginePage::OpenLinkInThisWindow, u"リンクを開く(&O)"},
    {QWebEnginePage::CopyLinkToClipboard, u"リンクのアドレスをコピー(&L)"},
    {QWebEnginePage::CopyImageToClipboard, u"画像をコピー(&Y)"},
    {QWebEnginePage::CopyImageUrlToClipboard, u"画像のアドレスをコピー"},
    {QWebEnginePage::CopyMediaUrlToClipboard, u"メディアのアドレスをコピー"},
    {QWebEnginePage::ToggleMediaControls, u"コントロールを表示"},
    {QWebEnginePage::ToggleMediaLoop, u"繰り返し再生"},
    {QWebEnginePage::ToggleMediaPlayPause, u"再生／一時停止"},
    {QWebEnginePage::ToggleMediaMute, u"消音／消音解除"},
    {QWebEnginePage::ExitFullScreen, u"全画面表示を終了"},
};

// Each would open a window or a download that the pane never lets happen: chosen, nothing would follow.
constexpr Action kDropped[] = {
    QWebEnginePage::OpenLinkInNewWindow, QWebEnginePage::OpenLinkInNewTab, QWebEnginePage::OpenLinkInNewBackgroundTab,
    QWebEnginePage::DownloadLinkToDisk,  QWebEnginePage::DownloadImageToDisk, QWebEnginePage::DownloadMediaToDisk,
    QWebEnginePage::SavePage,            QWebEnginePage::ViewSource,          QWebEnginePage::InspectElement,
};

} // namespace

void prepareContextMenu(QWebEnginePage &page)
{
    for (const ActionText &each : kTexts)
        page.action(each.action)->setText(QString::fromUtf16(each.text));
    for (Action action : kDropped)
        page.action(action)->setVisible(false);
}

} // namespace kobin
