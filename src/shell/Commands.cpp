#include "Commands.h"

#include <map>

namespace kobin {

namespace {

ToolbarEntry separator()
{
    return {QString(), QString(), ButtonStyle::Separator, QString()};
}

ToolbarEntry push(const char *key, const char *image, const QString &tip)
{
    return {QString::fromLatin1(key), QString::fromLatin1(image), ButtonStyle::Push, tip};
}

ToolbarEntry check(const char *key, const char *image, const QString &tip)
{
    return {QString::fromLatin1(key), QString::fromLatin1(image), ButtonStyle::Check, tip};
}

ToolbarEntry group(const char *key, const QString &tip)
{
    return {QString::fromLatin1(key), QString::fromLatin1(key), ButtonStyle::Group, tip};
}

MenuEntry item(const char *id, const QString &caption, const char *shortcut = "")
{
    MenuEntry entry;
    entry.id = QString::fromLatin1(id);
    entry.caption = caption;
    entry.shortcut = QString::fromLatin1(shortcut);
    return entry;
}

MenuEntry hidden(MenuEntry entry)
{
    entry.hidden = true;
    return entry;
}

MenuEntry checked(MenuEntry entry)
{
    entry.checked = true;
    return entry;
}

MenuEntry menuSeparator()
{
    return MenuEntry();
}

MenuEntry menu(const char *id, const QString &caption, std::vector<MenuEntry> items)
{
    MenuEntry entry = item(id, caption);
    entry.items = std::move(items);
    return entry;
}

std::vector<MenuEntry> fileMenu()
{
    std::vector<MenuEntry> items = {
        item("mnuFileNew", QStringLiteral("新規作成(&N)"), "Ctrl+N"),
        item("mnuFileOpen", QStringLiteral("開く(&O)..."), "Ctrl+O"),
        item("mnuFileSave", QStringLiteral("上書き保存(&S)"), "Ctrl+S"),
        item("mnuFileSaveAs", QStringLiteral("名前を付けて保存(&A)...")),
    };
    for (int i = 0; i < kRecentFileMenuElements; ++i) {
        MenuEntry element = hidden(MenuEntry());
        element.id = recentFileMenuId(i);
        element.caption = i == 0 ? QStringLiteral("-") : QString();
        items.push_back(element);
    }
    items.push_back(menuSeparator());
    items.push_back(item("mnuFileClose", QStringLiteral("終了(&X)"), "Ctrl+Q"));
    return items;
}

std::vector<MenuEntry> editMenu()
{
    std::vector<MenuEntry> items = {
        item("mnuEditUndo", QStringLiteral("元に戻す(&U)"), "Ctrl+Z"),
        menuSeparator(),
        item("mnuEditCut", QStringLiteral("切り取り(&T)"), "Ctrl+X"),
        item("mnuEditCopy", QStringLiteral("ｺﾋﾟｰ(&C)"), "Ctrl+C"),
        item("mnuEditPaste", QStringLiteral("貼り付け(&P)"), "Ctrl+V"),
        item("mnuDeleate", QStringLiteral("削除(&D)"), "Ctrl+D"),
    };
    for (int i = 0; i < kCustomColorMenuElements; ++i) {
        MenuEntry element = hidden(MenuEntry());
        element.id = customColorMenuId(i);
        element.caption = i == 0 ? QStringLiteral("-") : QString();
        items.push_back(element);
    }
    items.push_back(menuSeparator());
    items.push_back(item("mnuEditDSelectAll", QStringLiteral("すべて選択(&A)"), "Ctrl+A"));
    return items;
}

std::vector<MenuEntry> buildMenuBar()
{
    return {
        menu("mnuFile", QStringLiteral("ﾌｧｲﾙ(&F)"), fileMenu()),
        menu("mnuEdit", QStringLiteral("編集(&E)"), editMenu()),
        menu("mnuTree", QStringLiteral("ﾂﾘｰ(&T)"),
             {
                 item("mnuNewEpualFolder", QStringLiteral("フォルダ追加(&F)")),
                 item("mnuEqualRichtext", QStringLiteral("テキスト追加(&R)")),
                 item("mnuEqualHtml", QStringLiteral("ホームページ追加(&H)")),
                 menuSeparator(),
                 item("mnuNewChildFolder", QStringLiteral("子フォルダ追加(&G)")),
                 item("mnuNewChildRichtext", QStringLiteral("子テキスト追加(&S)")),
                 item("mnuNewChildHtml", QStringLiteral("子ホームページ追加(&T)")),
                 menuSeparator(),
                 item("mnuTreeChangeName", QStringLiteral("名前を変更する(&N)")),
                 hidden(menuSeparator()),
                 item("mnuTreeDelete", QStringLiteral("削除(&D)")),
                 menuSeparator(),
                 item("mnuUp", QStringLiteral("上に移動(&U)")),
                 item("mnuDown", QStringLiteral("下に移動(&B)")),
                 menuSeparator(),
                 item("mnuLeft", QStringLiteral("左に移動(&L)")),
                 item("mnuRight", QStringLiteral("右に移動(&R)")),
                 menuSeparator(),
                 item("mnuChangeURL", QStringLiteral("参照先変更(&P)...")),
             }),
        menu("mnuText", QStringLiteral("ﾃｷｽﾄ(&T)"),
             {
                 item("mnuTextOpen", QStringLiteral("開く(&O)")),
                 hidden(menuSeparator()),
                 hidden(item("mnuFind", QStringLiteral("検索"))),
                 hidden(item("mnuNextFind", QStringLiteral("次を検索"))),
                 menuSeparator(),
                 item("mnuFont", QStringLiteral("フォント(&F)..."), "F3"),
                 item("mnuColor", QStringLiteral("背景の色(&C)..."), "F4"),
                 menuSeparator(),
                 item("mnuBold", QStringLiteral("太字(&B)")),
                 item("mnuItalic", QStringLiteral("ｲﾀﾘｯｸ(&I)")),
                 item("mnuUnder", QStringLiteral("下線(&U)")),
                 menuSeparator(),
                 item("mnuTextLeft", QStringLiteral("左寄せ(&L)")),
                 item("mnuTextCenter", QStringLiteral("中央寄せ(&C)")),
                 item("mnuTextRight", QStringLiteral("右寄せ(&R)")),
                 menuSeparator(),
                 item("mnuInsDate", QStringLiteral("日付挿入(&D)")),
                 item("mnuInsTime", QStringLiteral("時間挿入(&T)")),
             }),
        menu("mnuBrowser", QStringLiteral("ﾌﾞﾗｳｻﾞ(&B)"),
             {
                 item("mnuBack", QStringLiteral("戻る(&B)")),
                 item("mnuFoward", QStringLiteral("進む(&F)")),
                 menuSeparator(),
                 item("mnuRenew", QStringLiteral("更新(&R)")),
                 item("mnuBrwEdit", QStringLiteral("編集(&E)")),
             }),
        menu("mnuView", QStringLiteral("表示(&V)"),
             {
                 checked(item("mnuViewTreeView", QStringLiteral("ﾂﾘｰﾋﾞｭｰ(&V)"))),
                 checked(item("mnuViewToolbar", QStringLiteral("ﾂｰﾙ ﾊﾞｰ(&T)"))),
                 checked(item("mnuViewStatusBar", QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&B)"))),
                 menuSeparator(),
                 item("mnuBookPutInOrder", QStringLiteral("BOOKの整理(&P)...")),
                 item("mnuChgToolBar", QStringLiteral("ﾂｰﾙﾊﾞｰ変更(&C)...")),
                 menuSeparator(),
                 item("mnuOption", QStringLiteral("ｵﾌﾟｼｮﾝ(&O)")),
             }),
        menu("mnuHelp", QStringLiteral("ﾍﾙﾌﾟ(&H)"),
             {
                 item("mnuHelpContents", QStringLiteral("目次(&C)..."), "F1"),
                 item("mnuHelpSearch", QStringLiteral("ﾄﾋﾟｯｸの検索(&S)...")),
                 menuSeparator(),
                 item("mnuHelpAbout", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)...")),
             }),
    };
}

const MenuEntry *findEntry(const std::vector<MenuEntry> &entries, const QString &id)
{
    for (const MenuEntry &entry : entries) {
        if (entry.id == id)
            return &entry;
        if (const MenuEntry *found = findEntry(entry.items, id))
            return found;
    }
    return nullptr;
}

} // namespace

QString recentFileMenuId(int element)
{
    return QStringLiteral("mnuRecentFile(%1)").arg(element);
}

QString customColorMenuId(int element)
{
    return QStringLiteral("mnuFColor(%1)").arg(element);
}

const std::vector<ToolbarEntry> &toolbarEntries()
{
    static const std::vector<ToolbarEntry> entries = {
        separator(),
        push("save", "save", QStringLiteral("上書き保存")),
        separator(),
        push("newEqualfolder", "equalfolder", QStringLiteral("フォルダ追加")),
        push("newEqualRich", "newRich", QStringLiteral("テキスト追加")),
        push("newEqualHtml", "newHtml", QStringLiteral("ホームページ追加")),
        push("newfolder", "newfolder", QStringLiteral("子フォルダ追加")),
        push("newrich", "new", QStringLiteral("子テキスト追加")),
        push("newhtml", "html", QStringLiteral("子ホームページ追加")),
        separator(),
        push("up", "up", QStringLiteral("上に移動")),
        push("down", "down", QStringLiteral("下に移動")),
        push("leftnode", "leftnode", QStringLiteral("左に移動")),
        push("rightnode", "rightnode", QStringLiteral("右に移動")),
        separator(),
        push("cut", "cut", QStringLiteral("切り取り")),
        push("copy", "copy", QStringLiteral("コピー")),
        push("paste", "paste", QStringLiteral("張り付け")),
        push("deleate", "deleate", QStringLiteral("削除")),
        push("undo", "undo", QStringLiteral("元に戻す")),
        separator(),
        check("font", "font", QStringLiteral("フォント")),
        push("colorback", "colorb", QStringLiteral("背景の色")),
        separator(),
        check("bold", "bold", QStringLiteral("太字")),
        check("italic", "italic", QStringLiteral("斜体")),
        check("under", "under", QStringLiteral("下線")),
        separator(),
        group("left", QStringLiteral("左寄せ")),
        group("center", QStringLiteral("中央")),
        group("right", QStringLiteral("右寄せ")),
        separator(),
        push("back", "back", QStringLiteral("戻る")),
        push("foward", "foward", QStringLiteral("進む")),
        push("refresh", "renew", QStringLiteral("更新")),
        check("edit", "edit", QStringLiteral("編集")),
    };
    return entries;
}

const ToolbarEntry *toolbarEntry(const QString &key)
{
    for (const ToolbarEntry &entry : toolbarEntries()) {
        if (!key.isEmpty() && entry.key == key)
            return &entry;
    }
    return nullptr;
}

const std::vector<MenuEntry> &menuBar()
{
    static const std::vector<MenuEntry> entries = buildMenuBar();
    return entries;
}

const MenuEntry *menuEntry(const QString &id)
{
    return id.isEmpty() ? nullptr : findEntry(menuBar(), id);
}

QString toolbarCommand(const QString &buttonKey, bool bookHasPath)
{
    static const std::map<QString, QString> table = {
        {QStringLiteral("newEqualfolder"), QStringLiteral("mnuNewEpualFolder")},
        {QStringLiteral("newEqualRich"), QStringLiteral("mnuEqualRichtext")},
        {QStringLiteral("newEqualHtml"), QStringLiteral("mnuEqualHtml")},
        {QStringLiteral("newfolder"), QStringLiteral("mnuNewChildFolder")},
        {QStringLiteral("newrich"), QStringLiteral("mnuNewChildRichtext")},
        {QStringLiteral("newhtml"), QStringLiteral("mnuNewChildHtml")},
        {QStringLiteral("up"), QStringLiteral("mnuUp")},
        {QStringLiteral("down"), QStringLiteral("mnuDown")},
        {QStringLiteral("leftnode"), QStringLiteral("mnuLeft")},
        {QStringLiteral("rightnode"), QStringLiteral("mnuRight")},
        {QStringLiteral("cut"), QStringLiteral("mnuEditCut")},
        {QStringLiteral("copy"), QStringLiteral("mnuEditCopy")},
        {QStringLiteral("paste"), QStringLiteral("mnuEditPaste")},
        {QStringLiteral("deleate"), commands::DeleteTreeItem},
        {QStringLiteral("undo"), QStringLiteral("mnuEditUndo")},
        {QStringLiteral("colorback"), QStringLiteral("mnuColor")},
        {QStringLiteral("font"), QStringLiteral("mnuFont")},
        {QStringLiteral("left"), QStringLiteral("mnuTextLeft")},
        {QStringLiteral("center"), QStringLiteral("mnuTextCenter")},
        {QStringLiteral("right"), QStringLiteral("mnuTextRight")},
        {QStringLiteral("bold"), QStringLiteral("mnuBold")},
        {QStringLiteral("italic"), QStringLiteral("mnuItalic")},
        {QStringLiteral("under"), QStringLiteral("mnuUnder")},
        {QStringLiteral("back"), QStringLiteral("mnuBack")},
        {QStringLiteral("foward"), QStringLiteral("mnuFoward")},
        {QStringLiteral("refresh"), commands::ReloadPage},
        {QStringLiteral("edit"), QStringLiteral("mnuBrwEdit")},
    };
    if (buttonKey == QLatin1String("save"))
        return bookHasPath ? QStringLiteral("mnuFileSave") : QStringLiteral("mnuFileSaveAs");
    const auto it = table.find(buttonKey);
    return it == table.end() ? QString() : it->second;
}

} // namespace kobin
