#pragma once

#include "OleColor.h"
#include "ResizerState.h"

#include <QString>

class PropertyBag;

// Everything a splitter keeps in its host's stored description. A default-constructed
// value holds the defaults that a missing key stands for.
struct ResizerProperties
{
    static constexpr qint16 defaultBorderStyle = 1;
    static constexpr qint16 defaultAppearance = 1;

    ResizerState layout;
    qint16 borderStyle = defaultBorderStyle;
    qint32 backColor = OleColor::buttonFace;
    qint16 appearance = defaultAppearance;
    bool enabled = true;
    QString controlName1;
    QString controlName2;
    qint32 control1Size = 0;
    qint32 control2Size = 0;

    // Every key in its fixed order; a missing key gives its default. Values are taken as
    // they are stored, without the range checks of the splitter's setters.
    static ResizerProperties read(const PropertyBag &bag);
    // Every key in its fixed order; the bag leaves out each value equal to its default.
    // Minimum sizes and visibility flags are written per slot, whatever InvertControls.
    void write(PropertyBag &bag) const;
};
