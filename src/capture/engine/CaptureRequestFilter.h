#pragma once

#include <QWebEngineUrlRequestInterceptor>
#include <functional>

namespace kobin::capture {

// The capture profile's only way to the network: while a capture loads, web
// requests (and the data: and blob: ones the engine makes itself) go through
// and are counted; every other request, and any at all between captures, is
// blocked, so that a page left open can reach nothing.
class CaptureRequestFilter : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Lets requests through from now on, calling counted with each one's number.
    void open(std::function<void(int requests)> counted);
    void close();

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    std::function<void(int)> m_counted; // empty while closed
    int m_requests = 0;
};

} // namespace kobin::capture
