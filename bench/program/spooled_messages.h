#pragma once

#include <QString>

// Leaves in the spool folder `folder` what a controller that was killed leaves there: the
// messages of drop files numbered `first` to `first + count - 1`, taken and kept, their deletes
// from the drop folder not known to be done. Written by the controller's own spool. Throws
// Failure.
void writeSpooledMessages(const QString& folder, int first, int count);
