#include "Lifecycle.h"

#include "Book.h"
#include "BookCommands.h"
#include "BookFile.h"
#include "ColorValue.h"
#include "CommandRegistry.h"
#include "Commands.h"
#include "MainWindow.h"
#include "RecentBooksMenu.h"
#include "Settings.h"
#include "Splash.h"
#include "TextPane.h"
#include "ToolbarLayout.h"
#include "Twips.h"
#include "WindowSettings.h"
#include "Workspace.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <utility>

namespace kobin {

namespace {

// A saved rectangle that no screen shows any of puts the window back where a first start does.
bool onSomeScreen(const QRect &rect)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect))
            return true;
    }
    return false;
}

void showProgress()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

Lifecycle::Lifecycle(MainWindow &window, Settings &settings, Book &book, Steps steps)
    : m_window(window), m_settings(settings), m_book(book), m_bookCommands(steps.bookCommands),
      m_recentBooks(steps.recentBooks), m_recoverAtStart(std::move(steps.recoverAtStart))
{
}

void Lifecycle::load(const QString &commandLine, Splash &splash)
{
    const Book::Loading loading(m_book);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    restorePlacement(splash);
    openStartBook(commandLine, splash);
    m_recentBooks.fill();
    fillCustomColors();
    splash.close();

    m_window.setActivePane(Pane::Text);
    m_window.textPane()->setFontWeight(QFont::Normal);
    QApplication::restoreOverrideCursor();

    if (m_savedWindowState == 2)
        m_window.showMaximized();
    else
        m_window.show();
    restoreToolbarLayout();
    m_window.showArrangement(arrangement::Text);
}

void Lifecycle::restorePlacement(Splash &splash)
{
    splash.setCondition(QStringLiteral("前回位置 読み込み："));
    const WindowPlacement placement = readWindowPlacement(m_settings);
    m_window.workspace()->setSplits(placement.treeWidth, 3720, 1080);
    m_savedWindowState = placement.maximized ? 2 : 0;
    for (const char *item : {"X座標", "Y座標", "幅", "高さ"}) {
        splash.setItem(QString::fromUtf8(item));
        showProgress();
    }
    const TwipsScale scale = TwipsScale::of(&m_window);
    m_restoredTwips = placement.normal;
    m_restoredPixels = scale.rect(m_restoredTwips);
    if (!onSomeScreen(m_restoredPixels)) {
        m_restoredTwips = {300, 500, 11500, 7000};
        m_restoredPixels = scale.rect(m_restoredTwips);
    }
    m_window.setGeometry(m_restoredPixels);

    splash.setCondition(QStringLiteral("背景色 読み込み："));
    splash.setItem(QStringLiteral("ﾃｷｽﾄ"));
    if (placement.textBackColor)
        m_window.textPane()->setBackColor(colorFromValue(*placement.textBackColor));
    if (placement.treeHidden)
        m_window.setTreeShown(false);
    if (placement.toolbarHidden)
        m_window.setToolbarShown(false);
    if (placement.statusBarHidden)
        m_window.setStatusBarShown(false);
}

void Lifecycle::openStartBook(const QString &commandLine, Splash &splash)
{
    const QString path = commandLine.isEmpty() ? m_settings.readString(settings::Book) : commandLine;
    // The name always comes from the file, never from the settings: a name such as
    // "../x" edited into them would lead the book folder out of the program folder.
    const QString name = bookNameFromPath(path);

    splash.setCondition(QStringLiteral("ﾂｰﾙﾊﾞｰ 読み込み："));
    for (const QString &key : toolbarKeys()) {
        if (key != toolbarlayout::Separator)
            splash.setItem(key == QLatin1String("down") ? QStringLiteral("下の移動")
                                                        : commandRow(*commandForToolbarKey(key)).toolTip);
    }
    showProgress();

    splash.setCondition(QStringLiteral("前回終了ﾌｧｲﾙ 読み込み："));
    splash.setItem(name);
    showProgress();
    splash.setCondition(QStringLiteral("tempﾌｫﾙﾀﾞ にｺﾋﾟｰ："));
    splash.setItem(QStringLiteral("起動します"));
    showProgress();
    if (m_recoverAtStart())
        return;
    m_bookCommands.openAtStart(path, name);
}

void Lifecycle::fillCustomColors()
{
    for (int i = 0; i < settings::kCustomColorCount; ++i) {
        const QString name = m_settings.readString(settings::colorName(i));
        if (!name.isEmpty()) {
            m_window.menuAction(customColorCommand(0))->setVisible(true);
            QAction *element = m_window.menuAction(customColorCommand(i + 1));
            element->setText(name);
            element->setVisible(true);
        }
        m_customColors[static_cast<size_t>(i)] = m_settings.readInt32(settings::customColor(i)).value_or(0);
    }
}

void Lifecycle::restoreToolbarLayout()
{
    if (const auto layout = toolbarlayout::fromText(m_settings.readString(settings::ToolbarLayout)))
        m_window.setToolbarLayout(*layout);
}

void Lifecycle::unload()
{
    if (m_window.isMinimized())
        m_window.showNormal();
    const TwipsScale scale = TwipsScale::of(&m_window);
    const QRect normal = m_window.isMaximized() ? m_window.normalGeometry() : m_window.geometry();
    ExitState state;
    state.normal = normal == m_restoredPixels
        ? m_restoredTwips
        : TwipsRect{scale.twipsX(normal.x()), scale.twipsY(normal.y()), scale.twipsX(normal.width()),
                    scale.twipsY(normal.height())};
    state.maximized = m_window.isMaximized();
    state.treeWidth = m_window.workspace()->treeWidth();
    state.treeChecked = m_window.menuAction(Command::ViewTree)->isChecked();
    state.toolbarChecked = m_window.menuAction(Command::ViewToolbar)->isChecked();
    state.statusBarChecked = m_window.menuAction(Command::ViewStatusBar)->isChecked();
    state.bookPath = m_book.bookPath();
    state.bookName = m_book.bookName();
    writeExitSettings(m_settings, state);
    if (!state.bookPath.isEmpty())
        m_recentBooks.add(state.bookPath);
    m_settings.sync();
}

} // namespace kobin
