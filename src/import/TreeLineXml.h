#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace kobin::import {

// A document of TreeLine 1.x and 2.x (.trl), XML, as the document of TreeLine 3
// (.trln) it would become: each element marked item="y" a node of the type its
// tag names, its other child elements its fields; a type's title line and output
// lines are the attributes line0, line1... of its first element, a field's type
// the attribute type of its first element. Nullopt, with why in *why, for XML
// that is damaged or has no node at its top.
std::optional<QJsonObject> treeLineFromXml(const QByteArray &xml, QString *why);

} // namespace kobin::import
