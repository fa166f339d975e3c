#include "PageSafety.h"

#include "PageFiles.h"

#include <QFileInfo>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace kobin::pagesafety {

namespace {

// The kinds of request that only show something: what a script asks for itself
// (fetch, XMLHttpRequest, workers, beacons) is not among them.
bool showsContent(QWebEngineUrlRequestInfo::ResourceType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}

// Takes every WebRTC interface (RTCPeerConnection, its prefixed name, RTCIceCandidate and the
// rest) out of the page's window and of every frame below it. The engine hands a page a blank
// frame's window before this script runs there, so the page's window cleans each frame below it
// before the page can reach it: when a frame element's window or document is asked for, and after
// anything that may add a frame (the DOM's insertion methods, markup setters, document.write, a
// blank frame's load, which comes at once, and parsed markup, before the next script). Every
// replacement is fixed for good, and the script keeps its own copies of what it calls, so the page
// can neither undo it nor steer it.
constexpr char kPeerConnectionWithholder[] = R"js((() => {
'use strict';
const apply = Reflect.apply, defineProperty = Object.defineProperty, describe = Object.getOwnPropertyDescriptor;
const ownNames = Object.getOwnPropertyNames, startsWith = String.prototype.startsWith;
const guarded = new WeakSet(), isGuarded = WeakSet.prototype.has, markGuarded = WeakSet.prototype.add;
const addListener = EventTarget.prototype.addEventListener, Observer = MutationObserver;
const observe = MutationObserver.prototype.observe, frameCount = describe(window, 'length').get;
const join = Array.prototype.join, indexOf = String.prototype.indexOf, slice = String.prototype.slice;
const home = window;

function withholdPeerConnections(win) {
    const names = ownNames(win);
    for (let i = 0; i < names.length; ++i) {
        if (apply(startsWith, names[i], ['RTC']) || apply(startsWith, names[i], ['webkitRTC']))
            delete win[names[i]];
    }
}
function fix(proto, name, replace) {
    const original = proto && describe(proto, name);
    if (!original || !original.configurable)
        return;
    replace(original);
    original.configurable = false;
    if ('value' in original)
        original.writable = false;
    defineProperty(proto, name, original);
}
function guardingAfter(call) {
    return function () {
        try {
            return apply(call, this, arguments);
        } finally {
            guardAll();
        }
    };
}
function guardMethods(proto, names) {
    for (let i = 0; i < names.length; ++i)
        fix(proto, names[i], d => { if (typeof d.value === 'function') d.value = guardingAfter(d.value); });
}
function guardSetter(proto, name) { fix(proto, name, d => { if (d.set) d.set = guardingAfter(d.set); }); }
function guardGetter(proto, name) { fix(proto, name, d => { if (d.get) d.get = guardingAfter(d.get); }); }
// A script in written markup runs before the write returns: the markup goes in one tag at a time,
// each frame guarded before whatever follows it can run.
function writingTagByTag(write, ending) {
    return function () {
        const markup = apply(join, arguments, ['']) + ending;
        let start = 0;
        do {
            const next = apply(indexOf, markup, ['<', start + 1]);
            const end = next < 0 ? markup.length : next;
            apply(write, this, [apply(slice, markup, [start, end])]);
            guardAll();
            start = end;
        } while (start < markup.length);
    };
}
function guard(win) {
    // A window is guarded once per document it shows: a frame's window object stays when it goes on.
    const realm = win.Node;
    if (apply(isGuarded, guarded, [realm]))
        return;
    apply(markGuarded, guarded, [realm]);
    withholdPeerConnections(win);
    const frameElements = [win.HTMLIFrameElement, win.HTMLFrameElement, win.HTMLObjectElement];
    for (let i = 0; i < frameElements.length; ++i) {
        const proto = frameElements[i] && frameElements[i].prototype;
        guardGetter(proto, 'contentWindow');
        guardGetter(proto, 'contentDocument');
        guardMethods(proto, ['getSVGDocument']);
    }
    guardMethods(win.HTMLEmbedElement && win.HTMLEmbedElement.prototype, ['getSVGDocument']);
    const childNode = ['before', 'after', 'replaceWith'], parentNode = ['append', 'prepend', 'replaceChildren'];
    guardMethods(win.Node.prototype, ['appendChild', 'insertBefore', 'replaceChild']);
    guardMethods(win.Element.prototype, childNode.concat(parentNode, ['insertAdjacentElement', 'insertAdjacentHTML', 'setHTML']));
    guardMethods(win.CharacterData.prototype, childNode);
    guardMethods(win.DocumentType.prototype, childNode);
    guardMethods(win.Document.prototype, parentNode.concat(['execCommand']));
    const write = win.Document.prototype.write;
    fix(win.Document.prototype, 'writeln', d => { d.value = writingTagByTag(write, '\n'); });
    fix(win.Document.prototype, 'write', d => { d.value = writingTagByTag(write, ''); });
    guardMethods(win.Range.prototype, ['insertNode', 'surroundContents']);
    guardSetter(win.Element.prototype, 'innerHTML');
    guardSetter(win.Element.prototype, 'outerHTML');
    guardSetter(win.ShadowRoot.prototype, 'innerHTML');
    guardSetter(win.Document.prototype, 'body');
    apply(addListener, win, ['load', guardAll, true]);
    apply(observe, new Observer(guardAll), [win.document, {childList: true, subtree: true}]);
}
function guardTree(win) {
    try {
        guard(win);
        const count = apply(frameCount, win, []);
        for (let i = 0; i < count; ++i)
            guardTree(win[i]);
    } catch (e) {
        // A frame of another origin: the page cannot reach into it either.
    }
}
function guardAll() { guardTree(home); }
guardAll();
})();)js";

} // namespace

void applySettings(QWebEngineSettings *settings)
{
    // On: else a local page shows none of its own images, styles or scripts (RequestFilter keeps it to its folder).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    // The engine refuses a local page's requests to the web (RequestFilter stops the WebSockets it lets through).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Scripts open no pop-up windows.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // The clipboard may hold anything copied elsewhere: scripts neither read nor fill it.
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    // A page cannot bring the program's window to the front.
    settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
}

void withholdPeerConnections(QWebEngineScriptCollection &scripts)
{
    QWebEngineScript script;
    script.setName(QStringLiteral("kobin-withhold-peer-connections"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld); // where the page's own scripts look for them
    script.setRunsOnSubFrames(true);
    script.setSourceCode(QString::fromLatin1(kPeerConnectionWithholder));
    scripts.insert(script);
}

bool allowsMainFrameNavigation(const QUrl &current, const QUrl &target, QWebEnginePage::NavigationType type,
                               bool userActed)
{
    // A folder's listing shows what lies around the page; a pipe or a device is no
    // page, and reading it would never end.
    if (target.isLocalFile() && QFileInfo::exists(target.toLocalFile()) && !QFileInfo(target.toLocalFile()).isFile())
        return false;
    // Web pages go where the engine lets them, local pages to other local files.
    if (!current.isLocalFile() || target.isLocalFile())
        return true;
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped: // navigate(), the program's own choice
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeReload:
        return true;
    case QWebEnginePage::NavigationTypeLinkClicked:
        // A script setting location or calling click() reports a link click too:
        // only the user's own click or key press lets a page go out.
        return userActed;
    default:
        // Forms (the engine sends no local page's form to the web, not even on the
        // user's click, and would show an error page instead), redirects (a refresh,
        // a location set while loading) and the rest.
        return false;
    }
}

bool allowsResource(const QUrl &page, const QUrl &url, QWebEngineUrlRequestInfo::ResourceType type)
{
    // A web page keeps the engine's rules; the main frame goes by allowsMainFrameNavigation.
    if (!page.isLocalFile() || type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return true;
    // Folders are listings; a pipe or a device would keep the page loading for ever.
    return url.isLocalFile() && showsContent(type)
        && PageFiles::besideShownPage(page.toLocalFile()).holds(url.toLocalFile());
}

void RequestFilter::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!allowsResource(info.firstPartyUrl(), info.requestUrl(), info.resourceType()))
        info.block(true);
}

} // namespace kobin::pagesafety
