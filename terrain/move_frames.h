// Re-tessellating the terrain costs a whole pass over the grid, so the programs do it only
// after the camera has been driven for a while, not every frame.
#pragma once

// Counts frames with a movement key (W, S, A or D) down in the keyboard snapshot; true on
// every 21st, when the level of detail should follow the camera. Turning alone never counts.
bool CountMoveFrame(int* moveFrames);
