#include "CaptureAddress.h"

namespace kobin::capture {

namespace {

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty()
        && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace

std::optional<QUrl> captureAddress(const QString &text, QString *refusal)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        *refusal = QStringLiteral("取り込むホームページのアドレスを入力してください。");
        return std::nullopt;
    }
    const QUrl url(typed, QUrl::StrictMode);
    if (isWebAddress(url))
        return url;
    if (url.isLocalFile())
        *refusal = QStringLiteral("「 ") + typed
            + QStringLiteral(" 」はこのコンピュータのファイルです。ファイルのページは、ツリーへドロップして追加してください。");
    else
        *refusal = QStringLiteral("「 ") + typed
            + QStringLiteral(" 」は取り込めません。取り込めるのは http: か https: で始まるアドレスだけです。");
    return std::nullopt;
}

QString addressFromClipboard(const QString &clipboardText)
{
    const QString text = clipboardText.trimmed();
    if (text.contains(u'\n') || text.contains(u' '))
        return {};
    return isWebAddress(QUrl(text, QUrl::StrictMode)) ? text : QString();
}

QString itemNameFor(const QString &title, const QUrl &url)
{
    const QString name = title.simplified();
    if (!name.isEmpty())
        return name;
    const QString path = url.path(QUrl::FullyDecoded);
    return url.host() + (path == QLatin1String("/") ? QString() : path);
}

QString leftOutNotice(int localReferencesLeftOut)
{
    if (localReferencesLeftOut <= 0)
        return {};
    return QStringLiteral("このコンピュータのファイルへの参照 %1 件は取り込みませんでした。").arg(localReferencesLeftOut);
}

} // namespace kobin::capture
