#pragma once

namespace tessella {

// Horizontal placement of a text line inside its box. Any value other than left or right
// centres, so a stored number from elsewhere still prints somewhere sensible.
enum OrvAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

}  // namespace tessella
