#pragma once

// The control codes that a customer display understands. Each display preset belongs to one of
// these, and the terminal display reads any of them.
enum class DisplayCommandSet {
    escQ,          // ESC Q A / ESC Q B line commands (CD5220 and compatibles)
    escPos,        // ESC/POS, with the cursor placed by US $ column row
    aedex,         // AEDEX "!#" commands
    logicControls, // Logic Controls, with the cursor placed by DLE position
};
