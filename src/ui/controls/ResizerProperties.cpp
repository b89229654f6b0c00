#include "ResizerProperties.h"

#include "PropertyBag.h"

namespace {

const QString keySeparatorSize = QStringLiteral("SeparatorSize");
const QString keyOrientation = QStringLiteral("Orientation");
const QString keyBorderStyle = QStringLiteral("BorderStyle");
const QString keyInvertControls = QStringLiteral("InvertControls");
const QString keyBackColor = QStringLiteral("BackColor");
const QString keyAppearance = QStringLiteral("Appearance");
const QString keyEnabled = QStringLiteral("Enabled");
const QString keyControlName1 = QStringLiteral("ControlName1");
const QString keyControlName2 = QStringLiteral("ControlName2");
const QString keyMinControlSize1 = QStringLiteral("MinControlSize1");
const QString keyMinControlSize2 = QStringLiteral("MinControlSize2");
const QString keyControl1Visible = QStringLiteral("Control1Visible");
const QString keyControl2Visible = QStringLiteral("Control2Visible");
const QString keyControl1Size = QStringLiteral("Control1Size");
const QString keyControl2Size = QStringLiteral("Control2Size");
const QString keyAutoResize = QStringLiteral("AutoResize");

} // namespace

ResizerProperties ResizerProperties::read(const PropertyBag &bag)
{
    const ResizerProperties defaults;
    ResizerProperties p;
    p.layout.separatorSize = bag.readInt32(keySeparatorSize, defaults.layout.separatorSize);
    p.layout.orientation = bag.readInt32(keyOrientation, defaults.layout.orientation);
    p.borderStyle = bag.readInt16(keyBorderStyle, defaults.borderStyle);
    p.layout.invertControls = bag.readBoolean(keyInvertControls, defaults.layout.invertControls);
    p.backColor = bag.readInt32(keyBackColor, defaults.backColor);
    p.appearance = bag.readInt16(keyAppearance, defaults.appearance);
    p.enabled = bag.readBoolean(keyEnabled, defaults.enabled);
    p.controlName1 = bag.readString(keyControlName1, defaults.controlName1);
    p.controlName2 = bag.readString(keyControlName2, defaults.controlName2);
    p.layout.minControlSize[0] = bag.readInt32(keyMinControlSize1, defaults.layout.minControlSize[0]);
    p.layout.minControlSize[1] = bag.readInt32(keyMinControlSize2, defaults.layout.minControlSize[1]);
    p.layout.controlVisible[0] = bag.readBoolean(keyControl1Visible, defaults.layout.controlVisible[0]);
    p.layout.controlVisible[1] = bag.readBoolean(keyControl2Visible, defaults.layout.controlVisible[1]);
    p.control1Size = bag.readInt32(keyControl1Size, defaults.control1Size);
    p.control2Size = bag.readInt32(keyControl2Size, defaults.control2Size);
    p.layout.autoResize = bag.readBoolean(keyAutoResize, defaults.layout.autoResize);
    return p;
}

void ResizerProperties::write(PropertyBag &bag) const
{
    const ResizerProperties d;
    bag.writeInt32(keySeparatorSize, layout.separatorSize, d.layout.separatorSize);
    bag.writeInt32(keyOrientation, layout.orientation, d.layout.orientation);
    bag.writeInt16(keyBorderStyle, borderStyle, d.borderStyle);
    bag.writeBoolean(keyInvertControls, layout.invertControls, d.layout.invertControls);
    bag.writeInt32(keyBackColor, backColor, d.backColor);
    bag.writeInt16(keyAppearance, appearance, d.appearance);
    bag.writeBoolean(keyEnabled, enabled, d.enabled);
    bag.writeString(keyControlName1, controlName1, d.controlName1);
    bag.writeString(keyControlName2, controlName2, d.controlName2);
    bag.writeInt32(keyMinControlSize1, layout.minControlSize[0], d.layout.minControlSize[0]);
    bag.writeInt32(keyMinControlSize2, layout.minControlSize[1], d.layout.minControlSize[1]);
    bag.writeBoolean(keyControl1Visible, layout.controlVisible[0], d.layout.controlVisible[0]);
    bag.writeBoolean(keyControl2Visible, layout.controlVisible[1], d.layout.controlVisible[1]);
    bag.writeInt32(keyControl1Size, control1Size, d.control1Size);
    bag.writeInt32(keyControl2Size, control2Size, d.control2Size);
    bag.writeBoolean(keyAutoResize, layout.autoResize, d.layout.autoResize);
}
