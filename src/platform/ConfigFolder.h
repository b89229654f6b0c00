#pragma once

#include <QString>

// The user's configuration folder as the XDG rule gives it: $XDG_CONFIG_HOME when it is
// an absolute path (a relative one is ignored), else $HOME/.config when HOME is an
// absolute path. Empty when neither is known: nothing may then be kept beyond the run.
QString configFolder();
