#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace kobin::import {

// Where an <en-media> picture goes in the HTML: its address, given the hash and
// type; empty to leave it out.
using MediaAddress = std::function<QString(const QByteArray &hash, const QByteArray &type)>;

struct EnmlHtml {
    QString html;
    QStringList leftOut; // attachments and encrypted parts, one line each
};

// An Evernote note's ENML as HTML, read with Qt's XML reader: <en-note> becomes
// the body, <en-todo> ☐ or ☑, <en-media> of a picture an <img> at the address
// media gives (other media are attachments, left out), <en-crypt> a mark in the
// text. ENML that is no well-formed XML is taken as HTML, its own elements dropped.
EnmlHtml htmlFromEnml(const QString &enml, const MediaAddress &media);

} // namespace kobin::import
