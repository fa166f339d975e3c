#include "Commands.h"

#include <QHash>

namespace kobin {

namespace {

using C = Command;

CommandRow menuItem(C command, const char *objectName, const QString &caption, const char *shortcut = "")
{
    CommandRow row;
    row.command = command;
    row.objectName = QString::fromLatin1(objectName);
    row.caption = caption;
    row.shortcut = QString::fromLatin1(shortcut);
    return row;
}

// A menu item that a toolbar button reaches as well.
CommandRow withButton(CommandRow row, const char *key, const char *icon, const QString &toolTip,
                      ButtonStyle style = ButtonStyle::Push)
{
    row.toolbarKey = QString::fromLatin1(key);
    row.icon = QString::fromLatin1(icon);
    row.toolTip = toolTip;
    row.style = style;
    return row;
}

CommandRow buttonOnly(C command, const char *key, const char *icon, const QString &toolTip)
{
    CommandRow row;
    row.command = command;
    return withButton(row, key, icon, toolTip);
}

CommandRow checkable(CommandRow row)
{
    row.checkable = true;
    return row;
}

// Menu array elements: hidden until filled; element 0 is the separator above them.
CommandRow arrayElement(C command, const QString &arrayName, int element)
{
    CommandRow row;
    row.command = command;
    row.objectName = QStringLiteral("%1(%2)").arg(arrayName).arg(element);
    row.caption = element == 0 ? QStringLiteral("-") : QString();
    row.hidden = true;
    return row;
}

std::vector<CommandRow> buildRows()
{
    std::vector<CommandRow> rows = {
        menuItem(C::FileNew, "mnuFileNew", QStringLiteral("新規作成(&N)"), "Ctrl+N"),
        menuItem(C::FileOpen, "mnuFileOpen", QStringLiteral("開く(&O)..."), "Ctrl+O"),
        withButton(menuItem(C::FileSave, "mnuFileSave", QStringLiteral("上書き保存(&S)"), "Ctrl+S"), "save", "save",
                   QStringLiteral("上書き保存")),
        menuItem(C::FileSaveAs, "mnuFileSaveAs", QStringLiteral("名前を付けて保存(&A)...")),
        menuItem(C::OpenEarlierVersion, "mnuFileVersions", QStringLiteral("以前の版を開く...")),
        menuItem(C::ExportHtml, "mnuFileExportHtml", QStringLiteral("HTMLに書き出し(&E)...")),
        menuItem(C::ImportCollection, "mnuFileImport", QStringLiteral("他のソフトから取り込み(&I)...")),
    };
    for (int i = 0; i < kRecentFileMenuElements; ++i)
        rows.push_back(arrayElement(recentFileCommand(i), QStringLiteral("mnuRecentFile"), i));
    rows.push_back(menuItem(C::FileClose, "mnuFileClose", QStringLiteral("終了(&X)"), "Ctrl+Q"));

    rows.insert(rows.end(), {
        withButton(menuItem(C::EditUndo, "mnuEditUndo", QStringLiteral("元に戻す(&U)"), "Ctrl+Z"), "undo", "undo",
                   QStringLiteral("元に戻す")),
        // Beyond undo, as every editor has it: tree edits are taken back and made again.
        menuItem(C::EditRedo, "mnuEditRedo", QStringLiteral("やり直し(&R)"), "Ctrl+Y;Ctrl+Shift+Z"),
        withButton(menuItem(C::EditCut, "mnuEditCut", QStringLiteral("切り取り(&T)"), "Ctrl+X"), "cut", "cut",
                   QStringLiteral("切り取り")),
        withButton(menuItem(C::EditCopy, "mnuEditCopy", QStringLiteral("ｺﾋﾟｰ(&C)"), "Ctrl+C"), "copy", "copy",
                   QStringLiteral("コピー")),
        withButton(menuItem(C::EditPaste, "mnuEditPaste", QStringLiteral("貼り付け(&P)"), "Ctrl+V"), "paste",
                   "paste", QStringLiteral("張り付け")),
        menuItem(C::EditDelete, "mnuDeleate", QStringLiteral("削除(&D)"), "Ctrl+D"),
    });
    for (int i = 0; i < kCustomColorMenuElements; ++i)
        rows.push_back(arrayElement(customColorCommand(i), QStringLiteral("mnuFColor"), i));
    rows.push_back(menuItem(C::EditSelectAll, "mnuEditDSelectAll", QStringLiteral("すべて選択(&A)"), "Ctrl+A"));

    rows.insert(rows.end(), {
        withButton(menuItem(C::NewFolderBeside, "mnuNewEpualFolder", QStringLiteral("フォルダ追加(&F)")),
                   "newEqualfolder", "equalfolder", QStringLiteral("フォルダ追加")),
        withButton(menuItem(C::NewTextBeside, "mnuEqualRichtext", QStringLiteral("テキスト追加(&R)")), "newEqualRich",
                   "newRich", QStringLiteral("テキスト追加")),
        withButton(menuItem(C::NewHomepageBeside, "mnuEqualHtml", QStringLiteral("ホームページ追加(&H)")),
                   "newEqualHtml", "newHtml", QStringLiteral("ホームページ追加")),
        withButton(menuItem(C::NewChildFolder, "mnuNewChildFolder", QStringLiteral("子フォルダ追加(&G)")),
                   "newfolder", "newfolder", QStringLiteral("子フォルダ追加")),
        withButton(menuItem(C::NewChildText, "mnuNewChildRichtext", QStringLiteral("子テキスト追加(&S)")), "newrich",
                   "new", QStringLiteral("子テキスト追加")),
        withButton(menuItem(C::NewChildHomepage, "mnuNewChildHtml", QStringLiteral("子ホームページ追加(&T)")),
                   "newhtml", "html", QStringLiteral("子ホームページ追加")),
        menuItem(C::RenameItem, "mnuTreeChangeName", QStringLiteral("名前を変更する(&N)")),
        menuItem(C::DeleteItem, "mnuTreeDelete", QStringLiteral("削除(&D)")),
        withButton(menuItem(C::MoveUp, "mnuUp", QStringLiteral("上に移動(&U)")), "up", "up",
                   QStringLiteral("上に移動")),
        withButton(menuItem(C::MoveDown, "mnuDown", QStringLiteral("下に移動(&B)")), "down", "down",
                   QStringLiteral("下に移動")),
        withButton(menuItem(C::MoveLeft, "mnuLeft", QStringLiteral("左に移動(&L)")), "leftnode", "leftnode",
                   QStringLiteral("左に移動")),
        withButton(menuItem(C::MoveRight, "mnuRight", QStringLiteral("右に移動(&R)")), "rightnode", "rightnode",
                   QStringLiteral("右に移動")),
        menuItem(C::ChangePageReference, "mnuChangeURL", QStringLiteral("参照先変更(&P)...")),
        menuItem(C::RepairLinks, "mnuRepairLinks", QStringLiteral("リンク切れの修復(&K)...")),
        // A web page saved into the book in one step, from its address.
        withButton(menuItem(C::CaptureHomepage, "mnuCaptureHtml", QStringLiteral("ホームページ取り込み(&I)..."),
                            "Ctrl+Shift+I"),
                   "capture", "capture", QStringLiteral("ホームページ取り込み")),

        menuItem(C::TextOpen, "mnuTextOpen", QStringLiteral("開く(&O)")),
        // Find in the note or the page shown, and in the whole book.
        menuItem(C::Find, "mnuFind", QStringLiteral("検索"), "Ctrl+F"),
        menuItem(C::FindNext, "mnuNextFind", QStringLiteral("次を検索"), "Ctrl+G"),
        menuItem(C::FindPrevious, "mnuPreviousFind", QStringLiteral("前を検索"), "Ctrl+Shift+G"),
        withButton(menuItem(C::FindInBook, "mnuFindInBook", QStringLiteral("ブック内を検索"), "Ctrl+Shift+F"), "search",
                   "search", QStringLiteral("ブック内を検索")),
        withButton(checkable(menuItem(C::Font, "mnuFont", QStringLiteral("フォント(&F)..."), "F3")), "font", "font",
                   QStringLiteral("フォント"), ButtonStyle::Check),
        withButton(menuItem(C::BackColor, "mnuColor", QStringLiteral("背景の色(&C)..."), "F4"), "colorback",
                   "colorb", QStringLiteral("背景の色")),
        withButton(checkable(menuItem(C::Bold, "mnuBold", QStringLiteral("太字(&B)"), "Ctrl+B")), "bold", "bold", QStringLiteral("太字"),
                   ButtonStyle::Check),
        withButton(checkable(menuItem(C::Italic, "mnuItalic", QStringLiteral("ｲﾀﾘｯｸ(&I)"), "Ctrl+I")), "italic", "italic",
                   QStringLiteral("斜体"), ButtonStyle::Check),
        withButton(checkable(menuItem(C::Underline, "mnuUnder", QStringLiteral("下線(&U)"), "Ctrl+U")), "under", "under",
                   QStringLiteral("下線"), ButtonStyle::Check),
        withButton(checkable(menuItem(C::AlignLeft, "mnuTextLeft", QStringLiteral("左寄せ(&L)"))), "left", "left",
                   QStringLiteral("左寄せ"), ButtonStyle::Group),
        withButton(checkable(menuItem(C::AlignCenter, "mnuTextCenter", QStringLiteral("中央寄せ(&C)"))), "center", "center",
                   QStringLiteral("中央"), ButtonStyle::Group),
        withButton(checkable(menuItem(C::AlignRight, "mnuTextRight", QStringLiteral("右寄せ(&R)"))), "right", "right",
                   QStringLiteral("右寄せ"), ButtonStyle::Group),
        menuItem(C::Bullets, "mnuBullet", QStringLiteral("箇条書き(&M)")),
        menuItem(C::Numbering, "mnuNumbering", QStringLiteral("段落番号(&N)")),
        menuItem(C::InsertDate, "mnuInsDate", QStringLiteral("日付挿入(&D)")),
        menuItem(C::InsertTime, "mnuInsTime", QStringLiteral("時間挿入(&T)")),
        menuItem(C::InsertLink, "mnuInsLink", QStringLiteral("リンクの挿入(&K)..."), "Ctrl+K"),
        menuItem(C::InsertTable, "mnuInsTable", QStringLiteral("表の挿入(&A)...")),
        menuItem(C::InsertRow, "mnuInsRow", QStringLiteral("行の挿入(&W)")),
        menuItem(C::InsertColumn, "mnuInsColumn", QStringLiteral("列の挿入(&O)")),
        menuItem(C::DeleteRow, "mnuDelRow", QStringLiteral("行の削除(&E)")),
        menuItem(C::DeleteColumn, "mnuDelColumn", QStringLiteral("列の削除(&V)")),

        withButton(menuItem(C::Back, "mnuBack", QStringLiteral("戻る(&B)")), "back", "back", QStringLiteral("戻る")),
        withButton(menuItem(C::Forward, "mnuFoward", QStringLiteral("進む(&F)")), "foward", "foward",
                   QStringLiteral("進む")),
        menuItem(C::Reload, "mnuRenew", QStringLiteral("更新(&R)")),
        withButton(checkable(menuItem(C::EditPageSource, "mnuBrwEdit", QStringLiteral("編集(&E)"))), "edit", "edit",
                   QStringLiteral("編集"), ButtonStyle::Check),
        menuItem(C::CapturePage, "mnuCapturePage", QStringLiteral("このページを取り込む(&C)")),

        checkable(menuItem(C::ViewTree, "mnuViewTreeView", QStringLiteral("ﾂﾘｰﾋﾞｭｰ(&V)"))),
        checkable(menuItem(C::ViewToolbar, "mnuViewToolbar", QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"))),
        checkable(menuItem(C::ViewStatusBar, "mnuViewStatusBar", QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&B)"))),
        menuItem(C::OrganizeBooks, "mnuBookPutInOrder", QStringLiteral("BOOKの整理(&P)...")),
        menuItem(C::CustomizeToolbar, "mnuChgToolBar", QStringLiteral("ﾂｰﾙﾊﾞｰ変更(&C)...")),
        menuItem(C::Options, "mnuOption", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)")),

        menuItem(C::HelpContents, "mnuHelpContents", QStringLiteral("目次(&C)..."), "F1"),
        menuItem(C::HelpSearch, "mnuHelpSearch", QStringLiteral("ﾄﾋﾟｯｸの検索(&S)...")),
        menuItem(C::HelpAbout, "mnuHelpAbout", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)...")),

        buttonOnly(C::DeleteItemButton, "deleate", "deleate", QStringLiteral("削除")),
        buttonOnly(C::ReloadButton, "refresh", "renew", QStringLiteral("更新")),
    });
    return rows;
}

// The rows in the order of the enum, so that a command finds its row at once.
const std::vector<CommandRow> &rowsByCommand()
{
    static const std::vector<CommandRow> rows = [] {
        std::vector<CommandRow> built = buildRows();
        std::vector<CommandRow> ordered(static_cast<size_t>(kCommandCount));
        for (CommandRow &row : built)
            ordered[static_cast<size_t>(row.command)] = std::move(row);
        return ordered;
    }();
    return rows;
}

MenuItem item(C command)
{
    return {command, false};
}

MenuItem separator(bool hiddenSeparator = false)
{
    return {std::nullopt, hiddenSeparator};
}

std::vector<Menu> buildMenus()
{
    std::vector<MenuItem> file = {item(C::FileNew), item(C::FileOpen), item(C::FileSave), item(C::FileSaveAs),
                                  item(C::OpenEarlierVersion), item(C::ExportHtml), item(C::ImportCollection)};
    for (int i = 0; i < kRecentFileMenuElements; ++i)
        file.push_back(item(recentFileCommand(i)));
    file.insert(file.end(), {separator(), item(C::FileClose)});

    std::vector<MenuItem> edit = {item(C::EditUndo), item(C::EditRedo), separator(), item(C::EditCut), item(C::EditCopy),
                                  item(C::EditPaste), item(C::EditDelete)};
    for (int i = 0; i < kCustomColorMenuElements; ++i)
        edit.push_back(item(customColorCommand(i)));
    edit.insert(edit.end(), {separator(), item(C::EditSelectAll)});

    return {
        {QStringLiteral("mnuFile"), QStringLiteral("ﾌｧｲﾙ(&F)"), file},
        {QStringLiteral("mnuEdit"), QStringLiteral("編集(&E)"), edit},
        {QStringLiteral("mnuTree"), QStringLiteral("ﾂﾘｰ(&T)"),
         {item(C::NewFolderBeside), item(C::NewTextBeside), item(C::NewHomepageBeside), separator(),
          item(C::NewChildFolder), item(C::NewChildText), item(C::NewChildHomepage), separator(),
          item(C::RenameItem), separator(true), item(C::DeleteItem), separator(), item(C::MoveUp),
          item(C::MoveDown), separator(), item(C::MoveLeft), item(C::MoveRight), separator(),
          item(C::ChangePageReference), item(C::RepairLinks), separator(), item(C::CaptureHomepage)}},
        {QStringLiteral("mnuText"), QStringLiteral("ﾃｷｽﾄ(&T)"),
         {item(C::TextOpen), separator(), item(C::Find), item(C::FindNext), item(C::FindPrevious),
          item(C::FindInBook), separator(), item(C::Font),
          item(C::BackColor), separator(), item(C::Bold), item(C::Italic), item(C::Underline), separator(),
          item(C::AlignLeft), item(C::AlignCenter), item(C::AlignRight), separator(), item(C::Bullets),
          item(C::Numbering), separator(), item(C::InsertDate),
          item(C::InsertTime), item(C::InsertLink), separator(), item(C::InsertTable), item(C::InsertRow),
          item(C::InsertColumn), item(C::DeleteRow), item(C::DeleteColumn)}},
        {QStringLiteral("mnuBrowser"), QStringLiteral("ﾌﾞﾗｳｻﾞ(&B)"),
         {item(C::Back), item(C::Forward), separator(), item(C::Reload), item(C::EditPageSource), separator(),
          item(C::CapturePage)}},
        {QStringLiteral("mnuView"), QStringLiteral("表示(&V)"),
         {item(C::ViewTree), item(C::ViewToolbar), item(C::ViewStatusBar), separator(), item(C::OrganizeBooks),
          item(C::CustomizeToolbar), separator(), item(C::Options)}},
        {QStringLiteral("mnuHelp"), QStringLiteral("ﾍﾙﾌﾟ(&H)"),
         {item(C::HelpContents), item(C::HelpSearch), separator(), item(C::HelpAbout)}},
    };
}

} // namespace

const CommandRow &commandRow(Command command)
{
    return rowsByCommand()[static_cast<size_t>(command)];
}

const std::vector<CommandRow> &commandRows()
{
    return rowsByCommand();
}

namespace {

// The command whose row holds text in field: toolbar keys and object names are unique.
template <QString CommandRow::*field>
std::optional<Command> commandWhere(const QString &text)
{
    static const QHash<QString, Command> index = [] {
        QHash<QString, Command> built;
        for (const CommandRow &row : rowsByCommand()) {
            if (!(row.*field).isEmpty())
                built.insert(row.*field, row.command);
        }
        return built;
    }();
    const auto it = index.constFind(text);
    return it == index.constEnd() ? std::nullopt : std::optional<Command>(*it);
}

} // namespace

std::optional<Command> commandForToolbarKey(const QString &key)
{
    return commandWhere<&CommandRow::toolbarKey>(key);
}

std::optional<Command> commandForObjectName(const QString &name)
{
    return commandWhere<&CommandRow::objectName>(name);
}

Command recentFileCommand(int element)
{
    return static_cast<Command>(static_cast<int>(Command::RecentFile0) + element);
}

Command customColorCommand(int element)
{
    return static_cast<Command>(static_cast<int>(Command::CustomColor0) + element);
}

const std::vector<Menu> &menus()
{
    static const std::vector<Menu> built = buildMenus();
    return built;
}

const QStringList &toolbarKeys()
{
    static const QStringList keys = {
        "-",      "save",   "-",       "newEqualfolder", "newEqualRich", "newEqualHtml", "newfolder", "newrich",
        "newhtml", "-",     "up",      "down",           "leftnode",     "rightnode",    "-",         "cut",
        "copy",   "paste",  "deleate", "undo",           "-",            "font",         "colorback", "-",
        "bold",   "italic", "under",   "-",              "left",         "center",       "right",     "-",
        "back",   "foward", "refresh", "edit",
    };
    return keys;
}

const QStringList &extraToolbarKeys()
{
    static const QStringList keys = {QStringLiteral("search"), QStringLiteral("capture")};
    return keys;
}

} // namespace kobin
