#include "emulator/display_decoder.h"

#include "emulator/aedex_decoder.h"
#include "emulator/esc_pos_decoder.h"
#include "emulator/esc_q_decoder.h"
#include "emulator/logic_controls_decoder.h"

std::unique_ptr<DisplayDecoder> makeDisplayDecoder(DisplayCommandSet commandSet)
{
    switch (commandSet) {
    case DisplayCommandSet::escQ:
        return std::make_unique<EscQDecoder>();
    case DisplayCommandSet::escPos:
        return std::make_unique<EscPosDecoder>();
    case DisplayCommandSet::aedex:
        return std::make_unique<AedexDecoder>();
    case DisplayCommandSet::logicControls:
        return std::make_unique<LogicControlsDecoder>();
    }
    return std::make_unique<EscQDecoder>();
}
