#include "PeerConnections.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace kobin::capture {

namespace {

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

} // namespace kobin::capture
