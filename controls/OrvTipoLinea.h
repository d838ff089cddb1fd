#pragma once

namespace tessella {

// Line styles; dashed and dotted map to the rastport's 16-bit line pattern.
enum OrvTipoLinea { LineSolid = 0, LineDashed = 1, LineDotted = 2 };

}  // namespace tessella
