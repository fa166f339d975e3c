#pragma once

#include "PageCapturer.h"

#include <QtPlugin>
#include <memory>

namespace kobin::capture {

// What the web engine's capture plugin gives: a command-line tool loads it only
// when it captures, so that its other commands start without the web engine.
class PageCapturerFactory
{
public:
    virtual ~PageCapturerFactory() = default;
    virtual std::unique_ptr<PageCapturer> createCapturer() = 0;
};

} // namespace kobin::capture

#define KOBIN_PAGE_CAPTURER_FACTORY_IID "org.kobin.PageCapturerFactory/1"
Q_DECLARE_INTERFACE(kobin::capture::PageCapturerFactory, KOBIN_PAGE_CAPTURER_FACTORY_IID)
