#pragma once

#include <QtGlobal>

// A splitter's own size in twips: outer, border included, and inner, the area inside the
// border where the contained controls live. Without a border both are the same.
struct ResizerExtent
{
    qint32 width = 0;
    qint32 height = 0;
    qint32 innerWidth = 0;
    qint32 innerHeight = 0;
};
