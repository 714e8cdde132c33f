#pragma once

#include "core/settings.h"

class QComboBox;

// The display page's "Modelo do display": picking a model fills the six code fields, the line
// width, the line settings and the code page through the settings, so Mostrela.cfg keeps only
// those, not the model. The choice always shows the model whose codes the fields hold, or
// "Personalizado".
QComboBox* displayModelChoice(Settings& settings);
