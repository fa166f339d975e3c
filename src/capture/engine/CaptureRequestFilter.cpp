#include "CaptureRequestFilter.h"

namespace kobin::capture {

void CaptureRequestFilter::open(std::function<void(int)> counted)
{
    m_requests = 0;
    m_counted = std::move(counted);
}

void CaptureRequestFilter::close()
{
    m_counted = nullptr;
}

void CaptureRequestFilter::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QString scheme = info.requestUrl().scheme();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    const bool engineMade = scheme == QLatin1String("data") || scheme == QLatin1String("blob");
    if (!m_counted || !(web || engineMade)) {
        info.block(true);
        return;
    }
    m_counted(++m_requests);
}

} // namespace kobin::capture
