#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

// imgApi: the tree's seven 16 x 16 pictures by key, "alpha", "note", "close", "open",
// "dll", "Search" and "folder", drawn here so that no image file has to be found.
QHash<QString, QIcon> makeTreeImageList();
