// The configuration property sheet and its message loop.
#pragma once

// Creates the modeless sheet captioned "ゲームの設定" and runs the program's message loop
// until the sheet is closed.
void RunConfigSheet();
