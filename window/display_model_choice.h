#pragma once

#include "core/settings.h"

class QComboBox;

// The display page's "Modelo do display": picking a model fills the six code fields and the line
// width through the settings, so Mostrela.cfg keeps only the codes. The choice always shows the
// model whose codes the fields hold, or "Personalizado".
QComboBox* displayModelChoice(Settings& settings);
