#include "PageCleaning.h"

namespace kobin::capture {

namespace {

const char kPageCleaning[] = R"(
(() => {
    const localFiles = new Set();
    let leftOut = 0;
    const isWeb = url => ['http:', 'https:', 'data:'].includes(url.protocol);
    // about: (an empty frame) and javascript: (gone with the scripts) name nothing to fetch.
    const namesNothing = url => url.protocol === 'about:' || url.protocol === 'javascript:';
    const resolved = (value, doc) => {
        try {
            return new URL(value.trim(), doc.baseURI);
        } catch (e) {
            return null;
        }
    };
    // Notes a file the value names, whatever the attribute: what the engine's save
    // copies from this computer is looked for by these after the save.
    const noteFile = (value, doc) => {
        if (!value.includes(':') && !doc.baseURI.startsWith('file:'))
            return;
        const url = resolved(value, doc);
        if (url && url.protocol === 'file:')
            localFiles.add(url.href);
    };
    // Whether the resource value names is to be left out.
    const leavesOut = (value, doc) => {
        const url = resolved(value, doc);
        if (!url || isWeb(url) || namesNothing(url))
            return false;
        if (url.protocol === 'file:')
            localFiles.add(url.href);
        ++leftOut;
        return true;
    };
    const cleanedCss = (css, doc) => css
        .replace(/url\(\s*(['"]?)(.*?)\1\s*\)/gi, (whole, quote, value) => leavesOut(value, doc) ? 'url("")' : whole)
        .replace(/@import\s+(['"])(.*?)\1/gi, (whole, quote, value) => leavesOut(value, doc) ? '@import ""' : whole);
    const cleanedSrcset = (srcset, doc) => srcset.split(',')
        .filter(candidate => !leavesOut(candidate.trim().split(/\s+/)[0], doc)).join(',');
    const stylesheetLink = /(^|\s)(stylesheet|icon|preload|prefetch|modulepreload|manifest|mask-icon|apple-touch-icon\S*)(\s|$)/i;
    // The attributes the engine's save, or the page shown offline, takes a resource from.
    const namesResource = (element, name) => {
        const tag = element.localName;
        switch (name) {
        case 'src': case 'background': case 'cite': case 'poster': case 'lowsrc':
            return true;
        case 'data':
            return tag === 'object';
        case 'href': case 'xlink:href':
            if (tag === 'link')
                return stylesheetLink.test(element.getAttribute('rel') || '')
                    || /^\s*text\/css/i.test(element.getAttribute('type') || '');
            return tag !== 'a' && tag !== 'area' && tag !== 'base'; // links; the base goes last
        default:
            return false;
        }
    };
    const emptyFrameFor = frame => {
        const empty = frame.ownerDocument.createElement(frame.localName);
        for (const name of frame.getAttributeNames()) {
            if (name.toLowerCase() !== 'src')
                empty.setAttribute(name, frame.getAttribute(name));
        }
        frame.replaceWith(empty);
    };

    const documents = [document];
    for (let i = 0; i < documents.length; ++i) {
        const doc = documents[i];
        for (const script of doc.querySelectorAll('script'))
            script.remove();
        for (const element of doc.querySelectorAll('*')) {
            let frameLeftOut = false;
            for (const name of element.getAttributeNames()) {
                const lower = name.toLowerCase();
                const value = element.getAttribute(name);
                noteFile(value, doc);
                if (lower.startsWith('on')) {
                    element.removeAttribute(name);
                } else if (lower === 'style') {
                    const css = cleanedCss(value, doc);
                    if (css !== value)
                        element.setAttribute(name, css);
                } else if (lower === 'srcset' || lower === 'imagesrcset') {
                    const srcset = cleanedSrcset(value, doc);
                    if (srcset !== value)
                        srcset.trim() ? element.setAttribute(name, srcset) : element.removeAttribute(name);
                } else if (namesResource(element, lower) && leavesOut(value, doc)) {
                    if (element.localName === 'iframe' || element.localName === 'frame')
                        frameLeftOut = true;
                    else
                        element.removeAttribute(name);
                }
            }
            if (frameLeftOut)
                emptyFrameFor(element);
        }
        for (const style of doc.querySelectorAll('style')) {
            const css = cleanedCss(style.textContent, doc);
            if (css !== style.textContent)
                style.textContent = css;
        }
        for (const base of doc.querySelectorAll('base[href]')) {
            if (leavesOut(base.getAttribute('href'), doc))
                base.remove();
        }
        for (const frame of doc.querySelectorAll('iframe, frame')) {
            try {
                if (frame.contentDocument)
                    documents.push(frame.contentDocument);
            } catch (e) {
                // a frame from another site is saved as it is
            }
        }
    }
    return {leftOut: leftOut, localFiles: [...localFiles]};
})();
)";

} // namespace

QString pageCleaningScript()
{
    return QString::fromLatin1(kPageCleaning);
}

PageCleaning pageCleaningFrom(const QVariant &answer)
{
    const QVariantMap found = answer.toMap();
    return {found.value(QStringLiteral("leftOut")).toInt(), found.value(QStringLiteral("localFiles")).toStringList()};
}

} // namespace kobin::capture
